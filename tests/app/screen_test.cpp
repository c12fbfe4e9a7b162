// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the window system shows is the window's backing store. Ticks repaint only what they
// change, straight into it: after each one, the machine picture, the marker strip and the
// oscilloscope there must hold, pixel for pixel, what drawing them afresh gives.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QPainter>
#include <QTest>
#include <string>
#include <tuple>

#include "animation/machine_picture.h"
#include "animation/marker_strip.h"
#include "app/Unit1.h"
#include "platform/screen_copy.h"
#include "tests/app/marker_release.h"
#include "tests/support/reference_image.h"

namespace {

// What of `image` (in the widget's coordinates) the widget shows, the rest black.
QImage Visible(const QImage& image, const QWidget* widget) {
  QImage shown(widget->size(), QImage::Format_RGB32);
  shown.fill(Qt::black);
  QPainter painter(&shown);
  painter.setClipRegion(widget->visibleRegion());
  painter.drawImage(0, 0, image);
  return shown;
}

// The widget's place in the window's backing store.
QImage Stored(const QWidget* widget) {
  const auto* store = dynamic_cast<QImage*>(widget->backingStore()->paintDevice());
  return store->copy(QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size()));
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { form.show(); ASSERT_TRUE(QTest::qWaitForWindowExposed(&form)); }

  void ExpectScreenAsDrawnAfresh(const char* when) {
    SCOPED_TRACE(when);
    const sim::Drive& d = form.Drive();
    platform::RasterCanvas machine(animation::PictureWidth, animation::PictureHeight);
    animation::DrawMachine(machine);
    animation::DrawScrewAndCarriage(machine, d.CarriageX, d.ScrewPhase);
    platform::RasterCanvas strip(animation::StripWidth, animation::StripHeight);
    animation::DrawMarker(strip, d.MarkerX);
    chart::TChart& chart = *form.Chart1;
    QImage fresh(chart.size(), QImage::Format_RGB32);
    QPainter painter(&fresh);
    chart.Canvas().MarkStale();
    chart.DrawChart(&painter, chart::TRect{0, 0, chart.width(), chart.height()});
    for (const auto& [widget, drawn, stored] : {std::tuple<QWidget*, QImage, QImage>(form.Image1, machine.Image(), Stored(form.Image1)),
                                                {form.Image2, strip.Image(), Stored(form.Image2)},
                                                {&chart, fresh, Stored(&chart)}}) {
      EXPECT_EQ(Differences(Visible(stored, widget), Visible(drawn, widget)), "") << widget->objectName().toStdString();
    }
  }

  // Ticks as the timer runs them, each followed by its paint; how many of the chart's
  // frames were drawn only where the values changed.
  int Ticks(int n) {
    int partial = 0;
    for (int i = 0; i < n; ++i) {
      form.Timer1Timer();
      QApplication::processEvents();
      const chart::TRect drawn = form.Chart1->LastFrameArea();
      partial += drawn.Width() * drawn.Height() < form.Chart1->width() * form.Chart1->height();
    }
    return partial;
  }

  TForm1 form{u','};
};

TEST_F(ScreenTest, EveryTickLeavesTheScreenAsAWholeRedrawWould) {
  form.RadioButton2->setChecked(true);
  form.SpinEdit1->setText(QStringLiteral("50"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  form.Button5Click();
  form.Timer1->stop();
  // The time axis slides under the sine: only the plot and the band below it are drawn.
  EXPECT_GT(Ticks(150), 100);
  ExpectScreenAsDrawnAfresh("sliding");
  // A zoom (whole frames of the chart follow in drawing_paths_test.cpp) fixes the time axis.
  QTest::mousePress(form.Chart1, Qt::LeftButton, {}, {100, 60});
  QTest::mouseMove(form.Chart1, {250, 150});
  QTest::mouseRelease(form.Chart1, Qt::LeftButton, {}, {250, 150});
  EXPECT_GT(Ticks(60), 50);
  ExpectScreenAsDrawnAfresh("zoomed");
  // An axis following the values makes whole a frame Qt was asked for in part: the rest follows.
  form.Chart1->LeftAxis().SetAutomatic(true);
  Ticks(20);
  QApplication::processEvents();
  ExpectScreenAsDrawnAfresh("the left axis following the traces");

  // Stability research: the marker jumps, the carriage follows and settles.
  form.Button4Click();
  form.RadioButton1->setChecked(true);
  ReleaseMarkerAt(form, -45);
  form.Timer1->stop();
  form.Edit1->setFocus();  // the strip's focus frame is no part of the picture
  Ticks(3);
  ExpectScreenAsDrawnAfresh("the marker released");
  Ticks(400);
  ExpectScreenAsDrawnAfresh("settled");
}

// The rows go from the picture into the store at the widget's place, clipped to both, and
// only where the region asks; a store of another format is left alone.
TEST(ScreenCopy, RowsGoWhereTheRegionAsksAndNowhereElse) {
  QImage image(30, 20, QImage::Format_RGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) image.setPixel(x, y, qRgb(x, y, 7));
  QImage store(50, 40, QImage::Format_ARGB32_Premultiplied), other(50, 40, QImage::Format_RGB16);
  store.fill(Qt::white);
  const QPoint at(25, 5);
  const QRegion region = QRegion(0, 0, 10, 4) + QRegion(20, 18, 40, 40);
  ASSERT_TRUE(platform::CopyRows(store, at, image, region));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      const QPoint p = QPoint(x, y) - at;
      const bool copied = region.contains(p) && image.rect().contains(p);
      ASSERT_EQ(store.pixel(x, y), copied ? image.pixel(p) : qRgb(255, 255, 255)) << x << "," << y;
    }
  EXPECT_FALSE(platform::CopyRows(other, at, image, region));
}

}  // namespace
