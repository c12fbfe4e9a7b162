#include "chart/chart_axis.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "chart/axis_math.h"
#include "chart/chart.h"
#include "chart/line_series.h"
#include "tests/support/deadline.h"

namespace chart {
namespace {

TEST(AxisMath, NextNiceStepRunsThroughOneTwoFive) {
  const std::pair<double, double> rows[] = {{1, 2}, {2, 5}, {4.9, 5}, {5, 10}, {10, 20}, {0.2, 0.5}, {0.1, 0.2}};
  for (const auto& [x, next] : rows) EXPECT_NEAR(NextNiceStep(x), next, next * 1e-12) << x;
}

TEST(AxisMath, LabelIncrementKeepsLabelsApartOrSkipsTheSearch) {
  // Range, axis length and label size in pixels, separation %, the axis' own increment.
  const std::tuple<double, int, int, int, double, double> rows[] = {
      {240, 166, 21, 10, 0, 50},     // the fixed -120..120 axis: 7 labels fit, 240/50 rounds to 5
      {0.784, 448, 35, 10, 0, 0.1},  // the trace window
      {0, 448, 7, 10, 0, 1e-12},     // an empty range
      {240, 166, 21, 0, 0, 1},       // separation 0: no search, however crowded
      {240, 3, 21, 10, 0, 1e-12},    // no room for one label
  };
  for (const auto& [range, length, size, separation, increment, expected] : rows) {
    EXPECT_NEAR(LabelIncrement(range, length, size, separation, increment), expected, expected * 1e-9) << range;
  }
}

TEST(AxisMath, LabelValuesRunDownFromAWholeMultiple) {
  auto values = [](double lo, double hi, double inc) { return AxisLabelValues(lo, hi, inc, true); };
  EXPECT_EQ(values(-120, 120, 50), (std::vector<double>{100, 50, 0, -50, -100}));
  EXPECT_EQ(values(-120, 120, 20), (std::vector<double>{120, 100, 80, 60, 40, 20, 0, -20, -40, -60, -80, -100}));
  const std::vector<double> trace = values(-0.782, 0.002, 0.1);  // after the first cycle
  ASSERT_EQ(trace.size(), 8u);
  EXPECT_EQ(trace.front(), 0);
  EXPECT_EQ(values(0, 0, 1e-12), std::vector<double>{0}) << "an empty axis: one label";
  EXPECT_TRUE(values(0, 10000, 1).empty()) << "10000 increments or more: none";
  EXPECT_EQ(AxisLabelValues(-0.5, 0.75, 0.5, false), (std::vector<double>{0.75, 0.25, -0.25}));
}

TEST(AxisMath, LabelValuesOfDegenerateRangesEndAndStayInTheRange) {
  // A step below half the values' precision, a zero-width range, and a range narrower than
  // the lower bound's slack below a negative value.
  const std::tuple<double, double, double> rows[] = {
      {1e19, 1e19 + 1000, 200}, {20000, 20000, 1e-12}, {74, 74, 1e-12}, {-74 - 2e-11, -74 - 1e-11, 1e-12},
      {1e6, 1e6 + 1e-9, 1e-12},  {-0.5, 0.5, 1e-300}};
  for (const auto& [lo, hi, inc] : rows) {
    std::vector<double> values;
    FinishesWithin(std::chrono::seconds(30), "the label walk", [&] { values = AxisLabelValues(lo, hi, inc, true); });
    if (std::fabs((hi - lo) / inc) >= 10000) {
      EXPECT_TRUE(values.empty()) << lo;
      continue;
    }
    ASSERT_FALSE(values.empty()) << lo;
    EXPECT_LE(values.size(), 10001u) << lo;
    for (double v : values) EXPECT_TRUE(v <= hi && v >= lo - 1e-12 * (1 + std::fabs(lo))) << lo << ": " << v;
    if (lo == hi) {
      EXPECT_EQ(values.size(), 1u) << "one label for one value";
    }
  }
  EXPECT_EQ(AxisLabelValues(1e19, 1e19 + 4096, 200, true).back(), 1e19) << "the lower end closes a walk that stalls";
}

TEST(AxisMath, FormatLabelUnderAPointAndACommaLocale) {
  const std::tuple<double, const char*, const char*> rows[] = {
      {1234.5678, "1,234.568", "1.234,568"}, {0.5, "0.5", "0,5"}, {2, "2", "2"}, {-2.7e-17, "0", "0"},
      {1e6, "1,000,000", "1.000.000"},       {0.0625, "0.063", "0,063"},  // a 5 rounds up
      {-0.0004, "0", "0"},                    {999999.9999, "1,000,000", "1.000.000"}};
  for (const auto& [v, point, comma] : rows) {
    EXPECT_EQ(FormatAxisValue(v, QStringLiteral("."), QStringLiteral(",")), QString::fromLatin1(point)) << v;
    EXPECT_EQ(FormatAxisValue(v, QStringLiteral(","), QStringLiteral(".")), QString::fromLatin1(comma)) << v;
  }
}

TEST(AxisMath, MinorTicksBetweenAndBeyondTheEndTicks) {
  // Ticks as the labels record them, from the top of the range down: right to left.
  EXPECT_EQ(MinorTickPositions(std::vector<int>{100, 60, 20}, 3),
            (std::vector<int>{110, 10, 120, 0, 130, -10, 70, 80, 90, 30, 40, 50}));
  EXPECT_TRUE(MinorTickPositions(std::vector<int>{50}, 3).empty());
  EXPECT_EQ(MinorTickPositions(std::vector<int>{0, 5}, 1), (std::vector<int>{-2, 7, 3}));  // halves to even
}

std::string ErrorOf(const std::function<void()>& call) try {
  call();
  return "accepted";
} catch (const std::exception& e) {
  return e.what();
}

TEST(ChartAxis, SettersRefuseBadValuesAndKeepTheOldOnes) {
  TChart chart;
  TChartAxis& axis = chart.LeftAxis();
  axis.SetRange(150, 200);
  EXPECT_EQ(ErrorOf([&] { axis.SetMinimum(250); }), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(ErrorOf([&] { axis.SetIncrement(-1); }), "Axis increment must be >= 0");
  EXPECT_EQ(ErrorOf([&] { axis.SetLabelsSeparation(-1); }), "Labels Separation % must be greater than 0");
  EXPECT_EQ(ErrorOf([&] { axis.SetLabelsAngle(360); }), "Axis Labels Angle must be between 0 and 359 degrees");
  EXPECT_EQ(std::vector({axis.Minimum(), axis.Maximum(), axis.Increment()}), std::vector<double>({150, 200, 0}));
}

TEST(ChartAxis, SetRangeOrdersWidensAndFixesTheRangeAndAutomaticCascades) {
  TChart chart;
  TChartAxis& axis = chart.BottomAxis();
  axis.SetRange(150, 100);
  EXPECT_EQ(std::pair(axis.Minimum(), axis.Maximum()), std::pair(100.0, 150.0));
  EXPECT_FALSE(axis.Automatic() || axis.AutomaticMinimum() || axis.AutomaticMaximum()) << "fixed";
  axis.SetRange(5, 5);
  EXPECT_EQ(std::pair(axis.Minimum(), axis.Maximum()), std::pair(5.0, 5 + 1e-10));
  axis.SetAutomatic(true);
  EXPECT_TRUE(axis.AutomaticMinimum() && axis.AutomaticMaximum()) << "both ends follow";
  axis.SetAutomaticMinimum(false);
  EXPECT_FALSE(axis.Automatic()) << "one end fixed";
  chart.BeginLoading();  // while the form is read, no cascade
  axis.SetAutomatic(true);
  chart.EndLoading();
  EXPECT_FALSE(axis.AutomaticMinimum());
}

TEST(ChartAxis, ValuesMapToPixelsBothWays) {
  TChart chart;
  TChartAxis& bottom = chart.BottomAxis();
  TChartAxis& left = chart.LeftAxis();
  for (TChartAxis* axis : {&bottom, &left}) {
    std::tie(axis->RangeMin, axis->RangeMax, axis->RangeSize) = std::tuple(-120, 120, 240);
    std::tie(axis->StartPixel, axis->EndPixel, axis->AxisLength, axis->CenterPixel) = std::tuple(20, 260, 240, 140);
  }
  const std::tuple<double, int, int> rows[] = {
      {-120, 20, 260}, {120, 260, 20}, {0.5, 140, 140}, {1.5, 142, 138}, {1e300, 140, 140}};  // halves to even
  const auto pixels = [&](double v) { return std::pair(bottom.ValueToPixel(v), left.ValueToPixel(v)); };
  for (const auto& [v, x, y] : rows) EXPECT_EQ(pixels(v), std::pair(x, y)) << v;
  EXPECT_EQ(std::pair(bottom.PixelToValue(20), left.PixelToValue(20)), std::pair(-120.0, 120.0));
  bottom.SetInverted(true);
  EXPECT_EQ(bottom.ValueToPixel(-120), 260);
  left.RangeSize = 0;
  EXPECT_EQ(left.ValueToPixel(77), 140) << "a zero range maps to the centre";
}

// A chart painted through Qt, with one series so that its axes show.
struct Painted {
  explicit Painted(std::initializer_list<std::pair<double, double>> points) {
    chart.resize(489, 225);
    chart.SetView3D(false);
    for (const auto& [x, y] : points) series.AddXY(x, y, QString(), platform::clDefault);
    series.SetParentChart(&chart);
    chart.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
    Paint();
  }
  void Paint() {
    chart.Invalidate();
    QApplication::processEvents();
  }
  // Rows (vertical axis) or columns (horizontal) where the ticks' gray reaches `at` across the axis.
  std::vector<int> TicksAt(const TChartAxis& axis, int at) {
    std::vector<int> found;
    const TRect& r = chart.ChartRect();
    const bool across = axis.IsHorizontal();
    for (int p = across ? r.Left : r.Top; p <= (across ? r.Right : r.Bottom); ++p) {
      if (chart.Canvas().Buffer()->PixelAt(across ? p : at, across ? at : p) == platform::clGray) found.push_back(p);
    }
    return found;
  }
  TChart chart;
  TLineSeries series;
};

TEST(AxisDrawing, AnEmptySeriesGivesTheBottomAxisOneLabelAtItsCentre) {
  Painted p({});
  TChartAxis& bottom = p.chart.BottomAxis();
  p.chart.Canvas().UseFont(bottom.LabelsFont());
  EXPECT_EQ(bottom.CurrentIncrement(), 1e-12);
  EXPECT_EQ(p.TicksAt(bottom, bottom.AxisPos + 4), std::vector<int>{bottom.CenterPixel}) << "the far end of the tick";
}

TEST(AxisDrawing, LabelsAtTheEndsOnlyWithLabelsOnAxis) {
  Painted p({{0, 0}, {10, 100}});
  TChartAxis& left = p.chart.LeftAxis();
  left.SetRange(0, 100);
  left.SetIncrement(25);
  p.Paint();
  // 100 at StartPixel, 0 at EndPixel; a label's tick reaches 4 px out, the minor ticks do not.
  const std::vector<int> inside{left.ValueToPixel(75), left.ValueToPixel(50), left.ValueToPixel(25)};
  EXPECT_EQ(p.TicksAt(left, left.AxisPos - 4),
            (std::vector<int>{left.StartPixel, inside[0], inside[1], inside[2], left.EndPixel}));
  left.SetLabelsOnAxis(false);
  p.Paint();
  EXPECT_EQ(p.TicksAt(left, left.AxisPos - 4), inside);
}

// Columns (or rows) anywhere inside the chart's bevel where the tick gray reaches `at` across the axis.
std::vector<int> TickGrayAcross(Painted& p, const TChartAxis& axis, int at) {
  std::vector<int> found;
  const platform::RasterCanvas& buffer = *p.chart.Canvas().Buffer();
  const bool across = axis.IsHorizontal();
  for (int q = 2; q < (across ? p.chart.width() : p.chart.height()) - 2; ++q) {
    if (buffer.PixelAt(across ? q : at, across ? at : q) == platform::clGray) found.push_back(q);
  }
  return found;
}

TEST(AxisDrawing, EveryPaintEndsAndLabelsStayBetweenTheAxisEnds) {
  const auto limit = std::chrono::seconds(60);
  // One x value far above the step's precision: a zero-width time axis.
  FinishesWithin(limit, "a paint of one repeated x", [] { Painted p({{20000, 0}, {20000, 5}}); });
  FinishesWithin(limit, "a paint of a range at 1e19", [] {
    Painted p({{0, 0}, {10, 100}});
    p.chart.LeftAxis().SetRange(1e19, 1e19 + 1000);
    p.Paint();
  });

  Painted p({{0, 0}, {100, 100}});
  TChartAxis& bottom = p.chart.BottomAxis();
  const std::pair<double, double> zooms[] = {{74, 74 + 2e-9}, {-74 - 2e-9, -74}, {74, 74}, {-120, 120}};
  for (const auto& [lo, hi] : zooms) {
    bottom.SetRange(lo, hi);
    FinishesWithin(limit, "a paint of a deep zoom", [&] { p.Paint(); });
    const std::vector<int> ticks = TickGrayAcross(p, bottom, bottom.AxisPos + 4);
    EXPECT_FALSE(ticks.empty()) << lo << ": at least one label";
    for (int q : ticks) EXPECT_TRUE(bottom.StartPixel <= q && q <= bottom.EndPixel) << lo << ": tick at " << q;
  }
}

}  // namespace
}  // namespace chart
