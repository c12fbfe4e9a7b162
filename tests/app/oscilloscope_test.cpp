// The oscilloscope on the main window: its axes laid out as the program shows them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/Unit1.h"
#include "chart/line_series.h"

namespace {

using platform::TColor;

struct Bounds {
  int left = 100000, top = 100000, right = -1, bottom = -1;
  void Add(int x, int y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

// The pixels of one colour inside a band of columns of the chart's buffer.
Bounds PixelsOf(const chart::TChart& chart, TColor colour, int x0, int x1) {
  Bounds b;
  const platform::RasterCanvas& buffer = *const_cast<chart::TChart&>(chart).Canvas().Buffer();
  for (int y = 0; y < chart.height(); ++y) {
    for (int x = x0; x < x1; ++x) {
      if (buffer.PixelAt(x, y) == colour) b.Add(x, y);
    }
  }
  return b;
}

TEST(Oscilloscope, AxesTakeTheirRoomAndPlaceTheirTexts) {
  TForm1 form(u',');
  chart::TChart& chart = *form.Chart1;
  // Series on the left and right axes, over the first window of the traces.
  chart::TLineSeries actual;
  chart::TLineSeries preset;
  for (chart::TLineSeries* s : {&actual, &preset}) {
    s->AddXY(-0.782, 0, QString(), platform::clDefault);
    s->AddXY(0.002, 10, QString(), platform::clDefault);
  }
  preset.SetVertAxis(chart::aRightAxis);
  actual.SetParentChart(&chart);
  preset.SetParentChart(&chart);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  chart.Invalidate();
  QApplication::processEvents();

  chart::TChartCanvas3D probe;
  probe.UseFont(chart.Title().Font());
  EXPECT_EQ(chart.ChartRect().Top, 5 + probe.TextLineHeight() + 5) << "the top axis takes no room";
  EXPECT_FALSE(chart.AxisShown(chart.TopAxis()));

  chart::TChartAxis& bottom = chart.BottomAxis();
  EXPECT_EQ(bottom.AxisPos, chart.ChartRect().Bottom);
  EXPECT_EQ(bottom.LabelsPos - bottom.AxisPos, 6) << "labels one tick band below the line";
  EXPECT_DOUBLE_EQ(bottom.RangeMin, -0.782);
  EXPECT_DOUBLE_EQ(bottom.RangeMax, 0.002);
  const Bounds labels = PixelsOf(chart, platform::clBlack, chart.ChartRect().Left, chart.ChartRect().Right);
  EXPECT_GE(labels.bottom, bottom.LabelsPos) << "label glyphs in the band below the ticks";

  chart::TChartAxis& left = chart.LeftAxis();
  chart::TChartAxis& right = chart.RightAxis();
  EXPECT_EQ(left.RangeMin, -120);
  EXPECT_EQ(right.RangeMax, 120);
  // The titles stand on end beside the labels, centred on the axis.
  const Bounds leftTitle = PixelsOf(chart, platform::clBlue, 0, left.TitlePos + 1);
  const Bounds rightTitle = PixelsOf(chart, platform::clGreen, right.TitlePos, chart.width());
  for (const Bounds* t : {&leftTitle, &rightTitle}) {
    ASSERT_GE(t->right, t->left);
    EXPECT_GT(t->bottom - t->top, 3 * (t->right - t->left)) << "reads along the axis";
    EXPECT_NEAR((t->top + t->bottom) / 2.0, left.CenterPixel, 3);
  }
  EXPECT_LE(leftTitle.right, left.TitlePos) << "just left of its anchor";
  EXPECT_GE(rightTitle.left, right.TitlePos) << "just right of its anchor";
  EXPECT_LT(leftTitle.right, left.LabelsPos);

  actual.SetParentChart(nullptr);
  preset.SetParentChart(nullptr);
}

TEST(Oscilloscope, AStabilityRunShowsTheTracesSettledAt49) {
  TForm1 form(u',');
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QTest::mousePress(form.Image2, Qt::LeftButton, {}, QPoint(108, 20));
  QTest::mouseMove(form.Image2, QPoint(158, 20));
  QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, QPoint(158, 20));
  form.Timer1->stop();  // ticks are called here, not by the clock
  for (int tick = 0; tick < 400; ++tick) {
    form.Timer1Timer();
  }
  EXPECT_EQ(form.Series1->Count(), 393);
  EXPECT_EQ(form.Series2->Count(), 393);
  EXPECT_EQ(form.Series3->Count(), 0) << "no error trace in stability research";
  QApplication::processEvents();

  chart::TChart& chart = *form.Chart1;
  const platform::RasterCanvas& buffer = *chart.Canvas().Buffer();
  const TColor aqua = 0xFFFF00;
  const TColor yellowGreen = 0x00FF80;
  const int row49 = chart.RightAxis().ValueToPixel(49);
  EXPECT_EQ(row49, chart.LeftAxis().ValueToPixel(49));
  // Over the right half of the window the preset line lies at 49 mm on the right axis and
  // the settled actual movement (49 or 50 mm, one pixel row here) under it; the actual's
  // rise from 0 shows in the left half.
  const chart::TRect r = chart.ChartRect();
  const int middle = (r.Left + r.Right) / 2;
  const int row50 = chart.LeftAxis().ValueToPixel(50);
  const int row0 = chart.LeftAxis().ValueToPixel(0);
  int green = 0;
  int aquaOffTheLine = 0;
  int aquaRising = 0;
  for (int x = r.Left + 1; x < r.Right; ++x) {
    green += x >= middle && buffer.PixelAt(x, row49) == yellowGreen;
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
      if (buffer.PixelAt(x, y) != aqua) continue;
      if (x >= middle) {
        aquaOffTheLine += y < row50 || y > row49;
      } else {
        aquaRising += y > row49 && y < row0;
      }
    }
  }
  EXPECT_GT(green, r.Right - middle - 4);
  EXPECT_EQ(aquaOffTheLine, 0);
  EXPECT_GT(aquaRising, 5);
}

}  // namespace
