// The oscilloscope on the main window: its axes laid out as the program shows them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/Unit1.h"
#include "tests/support/points_series.h"

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
  chart::PointsSeries actual({{-0.782, 0}, {0.002, 10}});
  chart::PointsSeries preset({{-0.782, 0}, {0.002, 10}});
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

}  // namespace
