// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Root locus window on the real main window: what it draws where, at equal scale; a branch
// pointed at and clicked, the gain going into the box through the box's own reading; the
// locus following the parameters the window reads.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#include "app/Unit1.h"
#include "app/root_locus_window.h"
#include "platform/colors.h"
#include "tests/app/box_watcher.h"

namespace {

constexpr QRgb Blue = 0x005AC8, Red = 0xD21E1E, Orange = 0xFF8C00, Green = 0x008C00, Faint = 0xD4D4D4;

TEST(RootLocusShapes, EqualScaleAndTheGainAsTheBoxTakesIt) {
  // 20 across and 10 down in a square: the height widened about its middle.
  const app::PlaneBox box = app::EqualScale({-30, -10, 5, 15}, 200, 200);
  EXPECT_EQ(std::tuple(box.left, box.right, box.bottom, box.top), std::tuple(-30.0, -10.0, 0.0, 20.0));
  const app::PlaneBox wide = app::EqualScale({-10, 10, 0, 20}, 400, 100);
  EXPECT_EQ(std::tuple(wide.left, wide.right, wide.bottom, wide.top), std::tuple(-40.0, 40.0, 0.0, 20.0));
  EXPECT_EQ(app::GainText(2007.13, u','), QStringLiteral("2007"));
  EXPECT_EQ(app::GainText(53.2749, u','), QStringLiteral("53,27"));
  EXPECT_EQ(app::GainText(100, u'.'), QStringLiteral("100"));
  EXPECT_EQ(app::GainText(0.0123456, u'.'), QStringLiteral("0.01235"));
  EXPECT_EQ(app::GainText(12345.6, u'.'), QStringLiteral("12346")) << "no exponent";
}

class RootLocusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    form.MenuRootLocus->trigger();
    ASSERT_TRUE(window.isVisible());
    QApplication::processEvents();  // laid out, as on a screen
    picture = window.Picture();
  }
  QRgb At(std::complex<double> s, int dx = 0, int dy = 0) const {
    const QPoint p = window.PixelOf(s);
    return picture.pixel(p.x() + dx, p.y() + dy) & 0xFFFFFF;
  }
  void Hover(QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, window.Chart->mapToGlobal(at), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(window.Chart, &move);
  }
  // Where in the locus the gain nearest `gain` is, and the upper pole of its pair (past the
  // break-away).
  std::size_t NearestGain(double gain) {
    const auto& locus = window.Locus();
    return std::min_element(locus.begin(), locus.end(), [&](auto& a, auto& b) {
             return std::abs(a.gain - gain) < std::abs(b.gain - gain);
           }) - locus.begin();
  }
  std::complex<double> UpperPoleNear(double gain) {
    const sim::Poles& poles = window.Locus()[NearestGain(gain)].poles;
    return *std::max_element(poles.begin(), poles.end(), [](auto a, auto b) { return a.imag() < b.imag(); });
  }

  TForm1 form{u','};
  RootLocusWindow& window = *form.RootLocusForm;
  QImage picture;
};

TEST_F(RootLocusTest, TheDefaultLocusWithItsMarksAtEqualScale) {
  EXPECT_EQ(std::tuple(window.windowTitle(), window.isModal(), form.MenuRootLocus->shortcut()),
            std::tuple(QStringLiteral("Root locus"), false, QKeySequence(Qt::CTRL | Qt::Key_R)));
  const chart::TChartAxis &x = window.Chart->BottomAxis(), &y = window.Chart->LeftAxis();
  EXPECT_NEAR(x.RangeSize / x.AxisLength, y.RangeSize / y.AxisLength, 1e-9 * x.RangeSize / x.AxisLength);
  EXPECT_NEAR(y.RangeMin, -y.RangeMax, 1e-9) << "the real axis in the middle";
  EXPECT_NEAR(window.MaxGain(), 3 * 2007.13, 0.02);

  // Crosses at the open loop's 0 and -1/Tmotor: 2-pixel arms reaching 5 pixels out, centred
  // between pixels as an even width is; not the corners of a box.
  for (double pole : {0.0, -50.0}) {
    for (int d : {-6, -1, 0, 5}) {
      EXPECT_EQ(At(pole, d, 0), 0x000000u) << pole << " across " << d;
      EXPECT_EQ(At(pole, 0, d), 0x000000u) << pole << " down " << d;
    }
    for (int d : {-7, 6}) {
      EXPECT_NE(At(pole, d, 0), 0x000000u) << pole << " across " << d;
      EXPECT_NE(At(pole, 0, d), 0x000000u) << pole << " down " << d;
    }
    EXPECT_NE(At(pole, 4, 4), 0x000000u) << pole;
  }
  // The present poles at Kamp 100: -23.35 +- 20.01i and -336.6, filled orange dots.
  for (std::complex<double> pole : {std::complex<double>(-23.3505, 20.0081), {-23.3505, -20.0081}, {-336.632, 0}}) {
    EXPECT_EQ(At(pole), Orange) << pole;
    EXPECT_EQ(At(pole, 3, 0), Orange) << pole;
    EXPECT_NE(At(pole, 4, 4), Orange) << pole << ": a dot, not a box";
  }
  // The crossing at +-129.1 rad/s, and the pair blue before it and red after it.
  EXPECT_EQ(At({0, 129.099}), Green);
  EXPECT_EQ(At({0, -129.099}), Green);
  EXPECT_EQ(At(UpperPoleNear(1000)), Blue);
  EXPECT_EQ(At(UpperPoleNear(5000)), Red);
  EXPECT_EQ(At(std::conj(UpperPoleNear(5000))), Red);
  // The far pole's branch, left of -1/Tamp, on the real axis.
  EXPECT_EQ(At(-400), Blue);
  // A ray of constant damping 0.6 halfway up, clear of the branches.
  const double up = 0.5 * y.RangeMax;
  for (double side : {up, -up}) {
    const std::complex<double> s(-up * 0.6 / 0.8, side);
    EXPECT_TRUE(At(s) == Faint || At(s, -1) == Faint || At(s, 1) == Faint) << side;
  }

  // The critical gain written beside the crossing, in its green, on a line of its own above
  // the mark; each ray's ratio in grey where it leaves the plot at the top.
  const auto count = [&](QRect r, QRgb colour) {
    int n = 0;
    for (int px = r.left(); px <= r.right(); ++px)
      for (int py = r.top(); py <= r.bottom(); ++py) n += (picture.pixel(px, py) & 0xFFFFFF) == colour;
    return n;
  };
  const QPoint crossing = window.PixelOf({0, 129.099});
  EXPECT_GT(count(QRect(crossing.x() - 160, crossing.y() - 18, 150, 14), Green), 40) << "left of it, as the plot ends";
  EXPECT_EQ(count(QRect(crossing.x() - 160, crossing.y(), 150, 14), Green), 0);
  const int top = window.Chart->ChartRect().Top;
  for (double zeta : RootLocusWindow::DampingLines) {
    const int exit = window.PixelOf({-y.RangeMax * zeta / std::sqrt(1 - zeta * zeta), 0}).x();
    EXPECT_GT(count(QRect(exit + 4, top + 2, 30, 13), 0x8C8C8C), 10) << zeta;
  }

  EXPECT_EQ(window.Summary->text(),
            QStringLiteral("At Kamp 100 the poles are -336,6, -23,35 \u00B1 20,01i: damping ratio 0,7594, natural "
                           "frequency 30,75 rad/s. A second-order loop with that damping overshoots 2,557 %. The "
                           "loop turns critical at Kamp 2007, swinging at 129,1 rad/s."));
}

TEST_F(RootLocusTest, PointingAtABranchReadsItAndAClickPutsItsGainInTheBox) {
  const double kamp = form.Drive().Kamp;
  const auto& locus = window.Locus();
  const std::size_t k = NearestGain(1900);
  const int branch = locus[k].poles[1].imag() > 0 ? 1 : 2;
  const std::complex<double> pole = locus[k].poles[branch];
  // A pixel's worth of gain along the branch there: the resolution a click has.
  const QPoint before = window.PixelOf(locus[k - 1].poles[branch]), after = window.PixelOf(locus[k + 1].poles[branch]);
  const double perPixel = (locus[k + 1].gain - locus[k - 1].gain) / std::hypot(after.x() - before.x(), after.y() - before.y());
  const QPoint at = window.PixelOf(pole);

  const QRect chartPlace = window.Chart->geometry();
  Hover(at);
  QApplication::processEvents();
  EXPECT_EQ(window.Chart->geometry(), chartPlace) << "the reading's length moves nothing under the pointer";
  const QRegularExpressionMatch read =
      QRegularExpression(QStringLiteral("^Kamp ([0-9,]+): pole (-?[0-9,]+) \u00B1 ([0-9,]+)i, damping ratio (-?[0-9,]+), "
                                        "natural frequency ([0-9,]+) rad/s\\. Click to take this gain\\.$"))
          .match(window.Reading->text());
  ASSERT_TRUE(read.hasMatch()) << window.Reading->text().toStdString();
  const auto number = [&](int i) { return read.captured(i).replace(u',', u'.').toDouble(); };
  EXPECT_NEAR(number(1), locus[k].gain, perPixel);
  const double units = window.Chart->BottomAxis().RangeSize / window.Chart->BottomAxis().AxisLength;
  EXPECT_NEAR(number(2), pole.real(), units);
  EXPECT_NEAR(number(3), pole.imag(), units);
  EXPECT_NEAR(number(4), -pole.real() / std::abs(pole), 0.01);
  EXPECT_NEAR(number(5), std::abs(pole), units);
  picture = window.Picture();
  EXPECT_EQ(At(pole, 7, 0), 0x000000u) << "a ring round the point read";

  QTest::mouseClick(window.Chart, Qt::LeftButton, {}, at);
  const double typed = form.Edit1->text().replace(u',', u'.').toDouble();
  EXPECT_NEAR(typed, locus[k].gain, perPixel) << form.Edit1->text().toStdString();
  EXPECT_EQ(window.Parameters()->Kamp, typed) << "the present poles at the gain clicked";
  EXPECT_EQ(form.Drive().Kamp, kamp) << "the run goes on at its own gain until the next";
  picture = window.Picture();
  EXPECT_EQ(At(sim::PolesAt(*window.Parameters(), typed)[branch]), Orange);

  // Nothing but a branch takes a click, and no zoom ever starts.
  QTest::mouseClick(window.Chart, Qt::LeftButton, {}, window.PixelOf({-200, 150}));
  QTest::mouseMove(window.Chart, window.PixelOf({-250, 100}));
  QTest::mouseRelease(window.Chart, Qt::LeftButton, {}, window.PixelOf({-250, 100}));
  EXPECT_EQ(form.Edit1->text().replace(u',', u'.').toDouble(), typed);
  EXPECT_FALSE(window.Chart->Zoomed());
  Hover(window.PixelOf({-200, 150}));
  EXPECT_TRUE(window.Reading->text().startsWith(QStringLiteral("Blue:")));

  // Beside the open loop's pole at 0: a gain near 0, read as the box reads it.
  QTest::mouseClick(window.Chart, Qt::LeftButton, {}, window.PixelOf(0) + QPoint(2, 0));
  EXPECT_EQ(form.Edit1->text(), app::GainText(window.Parameters()->Kamp, u','));
  EXPECT_LT(window.Parameters()->Kamp, 50);
}

TEST_F(RootLocusTest, AClickWithAnotherBoxAtFaultSaysSoAndTheLocusFollowsTheReadings) {
  BoxWatcher boxes;
  form.Edit2->setText(QStringLiteral("x"));
  QTest::mouseClick(window.Chart, Qt::LeftButton, {}, window.PixelOf(UpperPoleNear(1000)));
  EXPECT_EQ(boxes.shown, BoxWatcher::One("'x' is not a valid floating point value."));
  EXPECT_EQ(form.focusWidget(), form.Edit2);
  EXPECT_EQ(window.Parameters()->Kamp, 100) << "nothing read, nothing moved";

  // A marker released reads the boxes for the run: the open loop's poles move with Tamp.
  form.Edit2->setText(QStringLiteral("0,005"));
  form.Image2MouseUp(Qt::LeftButton, {}, 100, 10);
  EXPECT_EQ(window.Parameters()->Tamp, 0.005);
  picture = window.Picture();
  EXPECT_EQ(At(-200), 0x000000u) << "the cross at -1/Tamp";

  // Parameters whose coefficients overflow (no reading lets them through to a run): the
  // window says so instead of drawing, and throws nothing at its caller.
  sim::Parameters huge = *window.Parameters();
  huge.Kamp = 1e308;
  EXPECT_NO_THROW(window.SetParameters(huge));
  EXPECT_TRUE(window.Summary->text().startsWith(QStringLiteral("No root locus can be drawn for these parameters: ")))
      << window.Summary->text().toStdString();
  EXPECT_TRUE(window.Locus().empty());
  EXPECT_FALSE(window.BranchAt(window.PixelOf(0)).has_value());
}

}  // namespace
