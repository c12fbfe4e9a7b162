#include "chart/log_axis.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "chart/chart.h"
#include "chart/line_series.h"
#include "chart/point_series.h"

namespace chart {
namespace {

TEST(LogAxisMath, DecadesAroundAValueAndRangesRoundedOutToThem) {
  // v, base, the power at or below, the power at or above.
  const std::tuple<double, int, double, double> decades[] = {
      {1, 10, 1, 1},       {1000, 10, 1000, 1000}, {999.9, 10, 100, 1000}, {500, 10, 100, 1000},
      {0.05, 10, 0.01, 0.1}, {1e-3, 10, 1e-3, 1e-3}, {12, 2, 8, 16},        {1e22, 10, 1e22, 1e22}};
  for (const auto& [v, base, below, above] : decades) {
    EXPECT_EQ(LogDecadeBelow(v, base), below) << v;
    EXPECT_EQ(LogDecadeAbove(v, base), above) << v;
  }
  // Data min, max and the rounded range.
  const std::tuple<double, double, double, double> ranges[] = {
      {1, 500, 1, 1000},   {3, 7, 1, 10},       {10, 10, 1, 10},  // one power: the decade below it
      {0, 500, 10, 1000},  {-5, 0, 1, 10},      {0.2, 40, 0.1, 100}};
  for (const auto& [min, max, lo, hi] : ranges) {
    EXPECT_EQ(LogRoundedRange(min, max, 10), std::pair(lo, hi)) << min << ".." << max;
  }
}

TEST(LogAxisMath, LabelsAtTheDecadesMinorTicksAtTwoToNine) {
  EXPECT_EQ(LogLabelValues(1, 1000, 10, 1), (std::vector<double>{1, 10, 100, 1000}));
  EXPECT_EQ(LogLabelValues(2, 500, 10, 1), (std::vector<double>{10, 100})) << "only those inside";
  EXPECT_EQ(LogLabelValues(1e-3, 1e3, 10, 2), (std::vector<double>{1e-2, 1, 1e2})) << "every second, from 10^0";
  EXPECT_EQ(LogLabelValues(1, 64, 2, 1), (std::vector<double>{1, 2, 4, 8, 16, 32, 64}));
  EXPECT_TRUE(LogLabelValues(0, 100, 10, 1).empty()) << "no logarithm of 0";
  EXPECT_TRUE(LogLabelValues(1, HUGE_VAL, 10, 1).empty()) << "nor of infinity";
  EXPECT_EQ(LogRoundedRange(NAN, HUGE_VAL, 10), std::pair(1.0, 10.0)) << "no data to round";
  EXPECT_EQ(LogMinorTickValues(1, 100, 10),
            (std::vector<double>{2, 3, 4, 5, 6, 7, 8, 9, 20, 30, 40, 50, 60, 70, 80, 90}));
  EXPECT_EQ(LogMinorTickValues(30, 500, 10), (std::vector<double>{40, 50, 60, 70, 80, 90, 200, 300, 400}));
  EXPECT_TRUE(LogMinorTickValues(1, 64, 2).empty()) << "base 2 has none between its powers";
  // Decades, axis length, label size, separation % and the decades from one label to the next.
  const std::tuple<double, int, int, int, int> steps[] = {
      {3, 300, 30, 10, 1}, {12, 300, 30, 10, 2}, {3, 30, 30, 10, 4}, {3, 300, 0, 10, 1}};
  for (const auto& [decades, length, size, separation, step] : steps) {
    EXPECT_EQ(LogLabelStep(decades, length, size, separation), step) << decades << ", " << length;
  }
}

std::string ErrorOf(const std::function<void()>& call) try {
  call();
  return "accepted";
} catch (const std::exception& e) {
  return e.what();
}

TEST(LogAxis, EqualRatiosTakeEqualPixelsBothWays) {
  TChart chart;
  TChartAxis& bottom = chart.BottomAxis();
  TChartAxis& left = chart.LeftAxis();
  for (TChartAxis* axis : {&bottom, &left}) {
    axis->SetLogarithmic(true);
    std::tie(axis->RangeMin, axis->RangeMax, axis->RangeSize) = std::tuple(1, 1000, 999);
    std::tie(axis->StartPixel, axis->EndPixel, axis->AxisLength, axis->CenterPixel) = std::tuple(20, 320, 300, 170);
  }
  // Value, column on the bottom axis, row on the left one.
  const std::tuple<double, int, int> rows[] = {
      {1, 20, 320}, {10, 120, 220}, {100, 220, 120}, {1000, 320, 20}, {2, 50, 290}, {std::sqrt(10.0), 70, 270}};
  for (const auto& [v, x, y] : rows) {
    EXPECT_EQ(std::pair(bottom.ValueToPixel(v), left.ValueToPixel(v)), std::pair(x, y)) << v;
    int mapped[2];
    const double values[2] = {v, v};
    bottom.MapValues(values, 2, 1, mapped);
    EXPECT_EQ(mapped[1], x) << v << ": the series' mapping agrees";
    EXPECT_NEAR(bottom.PixelToValue(x) / v, 1, 0.012) << v;
    EXPECT_NEAR(left.PixelToValue(y) / v, 1, 0.012) << v;
  }
  EXPECT_LT(bottom.ValueToPixel(0), -32767) << "0 lies beyond any pixel a series draws";
  EXPECT_GT(left.ValueToPixel(-1), 32767);
  bottom.SetInverted(true);
  EXPECT_EQ(bottom.ValueToPixel(10), 220);
  left.RangeMin = 0;
  EXPECT_EQ(left.ValueToPixel(10), 170) << "a range without a logarithm maps to the centre";
}

TEST(LogAxis, ANonPositiveMinimumIsRefusedAndTheOldValuesKept) {
  TChart chart;
  TChartAxis& axis = chart.BottomAxis();
  axis.SetLogarithmic(true);  // automatic: the range comes from the data
  EXPECT_EQ(ErrorOf([&] { axis.SetRange(0, 100); }), "Logarithmic axis Minimum Value must be > 0");
  axis.SetRange(1, 100);
  EXPECT_EQ(ErrorOf([&] { axis.SetMinimum(0); }), "Logarithmic axis Minimum Value must be > 0");
  EXPECT_EQ(ErrorOf([&] { axis.SetMinimum(-3); }), "Logarithmic axis Minimum Value must be > 0");
  EXPECT_EQ(ErrorOf([&] { axis.SetLogarithmicBase(1); }), "Logarithmic Base must be >= 2");
  EXPECT_EQ(std::tuple(axis.Minimum(), axis.Maximum(), axis.LogarithmicBase()), std::tuple(1.0, 100.0, 10));
  TChartAxis& left = chart.LeftAxis();
  left.SetRange(-120, 120);
  EXPECT_EQ(ErrorOf([&] { left.SetLogarithmic(true); }), "Logarithmic axis Minimum Value must be > 0");
  EXPECT_FALSE(left.Logarithmic());
  EXPECT_EQ(ErrorOf([&] { left.SetMinimum(0); }), "accepted") << "a linear axis takes 0";
}

// Columns inside the chart's bevel where the ticks' gray reaches `at` below the bottom axis.
// The chart shown and painted once, `series` on it and its bottom axis logarithmic.
void ShowWithLogBottomAxis(TChart& chart, TChartSeries& series) {
  chart.resize(489, 225);
  chart.SetView3D(false);
  series.SetParentChart(&chart);
  chart.BottomAxis().SetLogarithmic(true);
  chart.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
  chart.Invalidate();
  QApplication::processEvents();
}

std::vector<int> GrayColumns(TChart& chart, int at) {
  std::vector<int> found;
  for (int x = 2; x < chart.width() - 2; ++x) {  // inside the bevel
    if (chart.Canvas().Buffer()->PixelAt(x, at) == platform::clGray) found.push_back(x);
  }
  return found;
}

TEST(LogAxisDrawing, AFrequencyAxisRoundsOutToDecadesWithLabelsAndMinorTicks) {
  TChart chart;
  TPointSeries points;
  for (const double w : {1.0, 5.0, 40.0, 500.0}) points.AddXY(w, w / 10, QString(), platform::clRed);
  points.Pointer().InflateMargins = false;
  ASSERT_NO_FATAL_FAILURE(ShowWithLogBottomAxis(chart, points));
  TChartAxis& bottom = chart.BottomAxis();
  EXPECT_EQ(std::pair(bottom.RangeMin, bottom.RangeMax), std::pair(1.0, 1000.0));
  const std::vector<int> decades{bottom.ValueToPixel(1), bottom.ValueToPixel(10), bottom.ValueToPixel(100),
                                 bottom.ValueToPixel(1000)};
  EXPECT_EQ(decades[1] - decades[0], decades[2] - decades[1]) << "a decade as long as the next";
  EXPECT_EQ(GrayColumns(chart, bottom.AxisPos + 4), decades) << "a label's tick at each decade, none between";
  std::vector<int> all = decades;
  for (const double v : LogMinorTickValues(1, 1000, 10)) all.push_back(bottom.ValueToPixel(v));
  std::sort(all.begin(), all.end());
  EXPECT_EQ(GrayColumns(chart, bottom.AxisPos + 2), all) << "minor ticks at 2..9 of each decade";
  const QStringList texts{bottom.FormatLabel(1), bottom.FormatLabel(100), bottom.FormatLabel(1000)};
  EXPECT_EQ(texts, (QStringList{"1", "100", "1,000"})) << "in the axis' label format";
  // The markers: each point's box in its colour, at its pixel on the log axis.
  const int x = bottom.ValueToPixel(40);
  const int y = chart.LeftAxis().ValueToPixel(4);
  EXPECT_EQ(chart.Canvas().Buffer()->PixelAt(x, y), platform::clRed);
  EXPECT_EQ(chart.Canvas().Buffer()->PixelAt(x + 4, y), platform::clBlack) << "its outline";
  EXPECT_NE(chart.Canvas().Buffer()->PixelAt(x + 6, y), platform::clRed);
}

TEST(LogAxisDrawing, AScrollAlongALogarithmicAxisShiftsByARatioAndZoomKeepsItPositive) {
  TChart chart;
  TLineSeries line;
  for (const double w : {1.0, 10.0, 100.0}) line.AddXY(w, w, QString(), platform::clRed);
  ASSERT_NO_FATAL_FAILURE(ShowWithLogBottomAxis(chart, line));
  TChartAxis& bottom = chart.BottomAxis();
  // A decade's length to the right, from left of the middle: the range moves a decade down.
  const int from = bottom.ValueToPixel(2), to = bottom.ValueToPixel(20);
  const int y = chart.ChartRect().Top + 20;
  QTest::mousePress(&chart, Qt::RightButton, {}, QPoint(from, y));
  QTest::mouseMove(&chart, QPoint(to, y));
  QTest::mouseRelease(&chart, Qt::RightButton, {}, QPoint(to, y));
  EXPECT_NEAR(bottom.Minimum(), 0.1, 0.1 * 0.02);
  EXPECT_NEAR(bottom.Maximum(), 10, 10 * 0.02);
  chart.UndoZoom();
  chart.Invalidate();
  QApplication::processEvents();
  EXPECT_EQ(std::pair(bottom.RangeMin, bottom.RangeMax), std::pair(1.0, 100.0)) << "automatic again";
  const int x0 = bottom.ValueToPixel(5), x1 = bottom.ValueToPixel(50);
  QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(x0, y));
  QTest::mouseMove(&chart, QPoint(x1, chart.ChartRect().Bottom - 5));
  QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(x1, chart.ChartRect().Bottom - 5));
  EXPECT_NEAR(bottom.Minimum(), 5, 5 * 0.02);
  EXPECT_NEAR(bottom.Maximum(), 50, 50 * 0.02);
}

}  // namespace
}  // namespace chart
