// The oscilloscope on the main window after a stability run toward marker 158 (+50 mm):
// its axes laid out as the program shows them, and the traces read from the painted chart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/Unit1.h"

namespace {

struct Bounds {
  int left = 100000, top = 100000, right = -1, bottom = -1;
  auto Tie() const { return std::tuple(left, top, right, bottom); }
};

class Oscilloscope : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mousePress(form.Image2, Qt::LeftButton, {}, QPoint(108, 20));
    QTest::mouseMove(form.Image2, QPoint(158, 20));
    QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, QPoint(158, 20));
    form.Timer1->stop();  // ticks are called here, not by the clock
    for (int tick = 0; tick < 400; ++tick) form.Timer1Timer();
    QApplication::processEvents();
  }
  // The pixels of one colour in columns x0..x1-1 and rows y0..y1-1 of the painted chart.
  Bounds PixelsOf(platform::TColor colour, int x0, int x1, int y0 = 0, int y1 = 1000) const {
    const platform::RasterCanvas& buffer = *chart.Canvas().Buffer();
    Bounds b;
    for (int y = y0; y < std::min(y1, chart.height()); ++y) {
      for (int x = x0; x < x1; ++x) {
        if (buffer.PixelAt(x, y) == colour) b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), y};
      }
    }
    return b;
  }

  TForm1 form{u','};
  chart::TChart& chart = *form.Chart1;
};

TEST_F(Oscilloscope, AxesTakeTheirRoomAndTitlesReadUpwards) {
  chart::TChartCanvas3D probe;
  probe.UseFont(chart.Title().Font());
  EXPECT_EQ(chart.ChartRect().Top, 5 + probe.TextLineHeight() + 5) << "the top axis takes no room";
  const chart::TChartAxis& bottom = chart.BottomAxis();
  const chart::TRect r = chart.ChartRect();
  // The labels' glyphs (black) start one tick band (6 rows) below the line, none within it.
  const int glyphs = PixelsOf(platform::clBlack, r.Left + 1, r.Right, bottom.AxisPos + 1).top;
  EXPECT_GE(glyphs, bottom.AxisPos + 6);
  EXPECT_LE(glyphs, bottom.AxisPos + 6 + 3);

  // The vertical titles are the only blue and green beside the plot; their labels are black.
  const struct {
    platform::TColor colour;
    int x0, x1;
  } titles[] = {{platform::clBlue, 0, r.Left}, {platform::clGreen, r.Right + 1, chart.width()}};
  for (const auto& [colour, x0, x1] : titles) {
    const Bounds t = PixelsOf(colour, x0, x1);
    ASSERT_GE(t.right, t.left);
    EXPECT_GT(t.bottom - t.top, 3 * (t.right - t.left)) << "stands on end";
    EXPECT_NEAR((t.top + t.bottom) / 2.0, chart.LeftAxis().CenterPixel, 3) << "centred on the axis";
    // Read upwards, the glyphs' tops face left and the first letter, a capital, lies at the
    // bottom: it reaches further left than the small letters at the top end.
    EXPECT_LT(PixelsOf(colour, x0, x1, t.bottom - 4, t.bottom + 1).left,
              PixelsOf(colour, x0, x1, t.top, t.top + 5).left);
  }
}

TEST_F(Oscilloscope, AStabilityRunShowsTheTracesSettledAt49) {
  EXPECT_EQ(std::tuple(form.Series1->Count(), form.Series2->Count(), form.Series3->Count()), std::tuple(393, 393, 0));
  const chart::TRect r = chart.ChartRect();
  const int middle = (r.Left + r.Right) / 2;
  const int row49 = chart.RightAxis().ValueToPixel(49);
  ASSERT_EQ(row49, chart.LeftAxis().ValueToPixel(49));
  const auto settledLine = std::tuple(middle, row49, r.Right - 1, row49);
  // Over the right half the yellow-green preset lies along 49 mm, drawn over the actual.
  EXPECT_EQ(PixelsOf(0x00FF80, middle, r.Right, r.Top + 1, r.Bottom - 1).Tie(), settledLine);
  // Without it, the aqua actual shows there at 49 mm too, after its rise in the left half.
  form.Series2->SetActive(false);
  chart.Invalidate();
  QApplication::processEvents();
  EXPECT_EQ(PixelsOf(0xFFFF00, middle, r.Right, r.Top + 1, r.Bottom - 1).Tie(), settledLine);
  EXPECT_GT(PixelsOf(0xFFFF00, r.Left + 1, middle, r.Top + 1, r.Bottom - 1).bottom, row49 + 5) << "the rise";
}

// An accuracy run painted tick by tick on two windows, one chart drawing the plain way:
// the oscilloscope's pictures agree on every tick, error trace included.
TEST(OscilloscopeDrawing, AnAccuracyRunPaintsAlikeBothWays) {
  TForm1 fast{u','}, plain{u','};
  plain.Chart1->Canvas().SetPlainDrawing(true);
  for (TForm1* form : {&fast, &plain}) {
    form->RadioButton2->setChecked(true);
    form->SpinEdit1->setText(QStringLiteral("50"));
    form->SpinEdit2->setText(QStringLiteral("30"));
    form->Button5Click();
    form->Timer1->stop();
  }
  const chart::TRect rect{0, 0, fast.Chart1->width(), fast.Chart1->height()};
  for (int tick = 0; tick < 150; ++tick) {
    for (TForm1* form : {&fast, &plain}) {
      form->Timer1Timer();
      form->Chart1->DrawChart(nullptr, rect);
    }
    ASSERT_TRUE(fast.Chart1->Canvas().Buffer()->Image() == plain.Chart1->Canvas().Buffer()->Image()) << tick;
  }
  EXPECT_EQ(fast.Series3->Count(), 393) << "the error trace is drawn";
}

}  // namespace
