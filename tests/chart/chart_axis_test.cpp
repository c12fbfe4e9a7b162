// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

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
#include "chart/log_axis.h"
#include "chart/point_series.h"
#include "tests/support/reference_image.h"

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
      {0, 448, 7, 10, 0, 1e-12},     // an empty range
      {240, 166, 21, 0, 0, 1},       // separation 0: no search, however crowded
      {7, 161, 21, 10, 0, 1},        // exactly as many labels as fit
      {240, 3, 21, 10, 0, 1e-12},    // no room for one label
  };
  for (const auto& [range, length, size, separation, increment, expected] : rows) {
    EXPECT_NEAR(LabelIncrement(range, length, size, separation, increment), expected, expected * 1e-9) << range;
  }
}

TEST(AxisMath, LabelValuesRunDownFromAWholeMultipleEndAndStayInTheRange) {
  auto values = [](double lo, double hi, double inc) { return AxisLabelValues(lo, hi, inc, true); };
  EXPECT_EQ(values(-120, 120, 50), (std::vector<double>{100, 50, 0, -50, -100}));
  EXPECT_EQ(values(-120, 120, 20), (std::vector<double>{120, 100, 80, 60, 40, 20, 0, -20, -40, -60, -80, -100}));
  EXPECT_TRUE(values(0, 10000, 1).empty()) << "10000 increments or more: none";
  EXPECT_EQ(AxisLabelValues(-0.5, 0.75, 0.5, false), (std::vector<double>{0.75, 0.25, -0.25}));

  // A step below half the values' precision, a zero-width range, and a range narrower than
  // the lower bound's slack below a negative value.
  const std::tuple<double, double, double> rows[] = {
      {1e19, 1e19 + 1000, 200}, {20000, 20000, 1e-12}, {74, 74, 1e-12}, {-74 - 2e-11, -74 - 1e-11, 1e-12},
      {1e6, 1e6 + 1e-9, 1e-12},  {-0.5, 0.5, 1e-300}};
  for (const auto& [lo, hi, inc] : rows) {
    const std::vector<double> labels = values(lo, hi, inc);  // a walk that never ends times out
    if (std::fabs((hi - lo) / inc) >= 10000) {
      EXPECT_TRUE(labels.empty()) << lo;
      continue;
    }
    ASSERT_FALSE(labels.empty()) << lo;
    EXPECT_LE(labels.size(), lo == hi ? 1u : 10001u) << lo;
    for (double v : labels) EXPECT_TRUE(v <= hi && v >= lo - 1e-12 * (1 + std::fabs(lo))) << lo << ": " << v;
  }
  EXPECT_EQ(values(1e19, 1e19 + 4096, 200).back(), 1e19) << "the lower end closes a walk that stalls";
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

TEST(LogAxisMath, DecadesAroundAValueAndRangesRoundedOutToThem) {
  // v, base, the power at or below, the power at or above.
  const std::tuple<double, int, double, double> decades[] = {
      {1, 10, 1, 1},       {1000, 10, 1000, 1000}, {999.9, 10, 100, 1000}, {500, 10, 100, 1000},
      {0.05, 10, 0.01, 0.1}, {1e-3, 10, 1e-3, 1e-3}, {12, 2, 8, 16},        {1e22, 10, 1e22, 1e22}};
  for (const auto& [v, base, below, above] : decades) {
    EXPECT_EQ(std::pair(LogDecadeBelow(v, base), LogDecadeAbove(v, base)), std::pair(below, above)) << v;
  }
  // Data min, max and the rounded range.
  const std::tuple<double, double, double, double> ranges[] = {
      {1, 500, 1, 1000},   {3, 7, 1, 10},       {10, 10, 1, 10},  // one power: the decade below it
      {0, 500, 10, 1000},  {-5, 0, 1, 10},      {0.2, 40, 0.1, 100}, {NAN, HUGE_VAL, 1, 10}};  // no data to round
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

TEST(ChartAxis, SettersRefuseBadValuesKeepTheOldOnesAndSetRangeOrdersAndFixes) {
  TChart chart;
  TChartAxis& axis = chart.LeftAxis();
  TChartAxis& log = chart.BottomAxis();
  axis.SetRange(-120, 120);
  log.SetLogarithmic(true);  // automatic: the range comes from the data
  const std::string logMinimum = "Logarithmic axis Minimum Value must be > 0";
  const std::pair<std::function<void()>, std::string> rows[] = {
      {[&] { axis.SetMinimum(250); }, "Axis Minimum Value must be <= Maximum"},
      {[&] { axis.SetIncrement(-1); }, "Axis increment must be >= 0"},
      {[&] { axis.SetLabelsSeparation(-1); }, "Labels Separation % must be greater than 0"},
      {[&] { axis.SetLabelsAngle(360); }, "Axis Labels Angle must be between 0 and 359 degrees"},
      {[&] { axis.SetLogarithmic(true); }, logMinimum},
      {[&] { log.SetRange(0, 100); }, logMinimum},
      {[&] { log.SetRange(1, 100); }, "accepted"},
      {[&] { log.SetMinimum(0); }, logMinimum},
      {[&] { log.SetLogarithmicBase(1); }, "Logarithmic Base must be >= 2"},
      {[&] { chart.SetChart3DPercent(0); }, "3D effect percent must be between 1 and 100"},
      {[&] { chart.SetChart3DPercent(101); }, "3D effect percent must be between 1 and 100"},
      // Each setter takes its own bounds.
      {[&] { axis.SetIncrement(0), axis.SetLabelsSeparation(0), axis.SetLabelsAngle(359); }, "accepted"},
      {[&] { chart.SetChart3DPercent(1), chart.SetChart3DPercent(100); }, "accepted"},
      {[&] { log.SetLogarithmicBase(2), log.SetLogarithmicBase(10); }, "accepted"},
  };
  for (const auto& [call, error] : rows) EXPECT_EQ(ErrorOf(call), error);
  EXPECT_EQ(std::tuple(axis.Minimum(), axis.Maximum(), axis.Increment(), axis.Logarithmic()),
            std::tuple(-120.0, 120.0, 0.0, false));
  EXPECT_EQ(std::tuple(log.Minimum(), log.Maximum(), log.LogarithmicBase()), std::tuple(1.0, 100.0, 10));
  EXPECT_EQ(ErrorOf([&] { axis.SetMinimum(0); }), "accepted") << "a linear axis takes 0";

  // SetRange orders, widens and fixes the range; Automatic cascades to both ends.
  TChartAxis& right = chart.RightAxis();
  right.SetRange(150, 100);
  EXPECT_EQ(std::pair(right.Minimum(), right.Maximum()), std::pair(100.0, 150.0));
  EXPECT_FALSE(right.Automatic() || right.AutomaticMinimum() || right.AutomaticMaximum()) << "fixed";
  right.SetRange(5, 5);
  EXPECT_EQ(std::pair(right.Minimum(), right.Maximum()), std::pair(5.0, 5 + 1e-10));
  right.SetAutomatic(true);
  EXPECT_TRUE(right.AutomaticMinimum() && right.AutomaticMaximum()) << "both ends follow";
  right.SetAutomaticMinimum(false);
  EXPECT_FALSE(right.Automatic()) << "one end fixed";
  chart.BeginLoading();  // while the form is read, no cascade
  right.SetAutomatic(true);
  chart.EndLoading();
  EXPECT_FALSE(right.AutomaticMinimum());
}

// A linear -120..120 axis over pixels 20..260 and a logarithmic 1..1000 one over 20..320:
// value, column on the bottom axis, row on the left one.
TEST(ChartAxis, ValuesMapToPixelsBothWays) {
  TChart chart;
  TChartAxis& bottom = chart.BottomAxis();
  TChartAxis& left = chart.LeftAxis();
  const std::tuple<bool, double, int, int> rows[] = {
      {false, -120, 20, 260}, {false, 120, 260, 20}, {false, 0.5, 140, 140}, {false, 1.5, 142, 138},  // halves to even
      {false, 1e300, 140, 140}, {true, 1, 20, 320},  {true, 10, 120, 220},   {true, 100, 220, 120},
      {true, 1000, 320, 20},    {true, 2, 50, 290},  {true, std::sqrt(10.0), 70, 270}};
  for (const auto& [log, v, x, y] : rows) {
    for (TChartAxis* axis : {&bottom, &left}) {
      axis->SetLogarithmic(log);
      std::tie(axis->RangeMin, axis->RangeMax, axis->RangeSize) = log ? std::tuple(1, 1000, 999) : std::tuple(-120, 120, 240);
      const int end = log ? 320 : 260;
      std::tie(axis->StartPixel, axis->EndPixel, axis->AxisLength, axis->CenterPixel) =
          std::tuple(20, end, end - 20, (20 + end) / 2);
    }
    EXPECT_EQ(std::pair(bottom.ValueToPixel(v), left.ValueToPixel(v)), std::pair(x, y)) << v;
    int mapped[2];
    const double values[2] = {v, v};
    bottom.MapValues(values, 2, 1, mapped);
    EXPECT_EQ(mapped[1], x) << v << ": the series' mapping agrees";
    if (log || x == 20) {  // a log pixel back within a ratio, a linear end exactly
      EXPECT_NEAR(bottom.PixelToValue(x) / v, 1, log ? 0.012 : 0) << v;
      EXPECT_NEAR(left.PixelToValue(y) / v, 1, log ? 0.012 : 0) << v;
    }
  }
  EXPECT_LT(bottom.ValueToPixel(0), -32767) << "0 lies beyond any pixel a series draws";
  EXPECT_GT(left.ValueToPixel(-1), 32767);
  bottom.SetInverted(true);
  EXPECT_EQ(bottom.ValueToPixel(10), 220);
  bottom.SetLogarithmic(false);
  EXPECT_EQ(bottom.ValueToPixel(1), 320) << "linear too";
  left.RangeMin = 0;
  EXPECT_EQ(left.ValueToPixel(10), 170) << "a range without a logarithm maps to the centre";
  left.SetLogarithmic(false);
  left.RangeSize = 0;
  EXPECT_EQ(left.ValueToPixel(77), 170) << "so does an empty range";
}

// A chart painted through Qt, with one series so that its axes show.
template <class Series>
struct Painted {
  explicit Painted(std::initializer_list<std::pair<double, double>> points, bool logarithmic = false) {
    chart.resize(489, 225);
    chart.SetView3D(false);
    for (const auto& [x, y] : points) series.AddXY(x, y, QString(), platform::clRed);
    series.Pointer().InflateMargins = false;
    series.SetParentChart(&chart);
    chart.BottomAxis().SetLogarithmic(logarithmic);
    chart.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
    Paint();
  }
  const QImage& Paint() {
    chart.Invalidate();
    QApplication::processEvents();
    return chart.Canvas().Buffer()->Image();
  }
  // Columns (or rows) inside the chart's bevel where the ticks' gray reaches `at` across the axis.
  std::vector<int> TicksAt(const TChartAxis& axis, int at) {
    std::vector<int> found;
    const bool across = axis.IsHorizontal();
    for (int q = 2; q < (across ? chart.width() : chart.height()) - 2; ++q) {
      if (chart.Canvas().Buffer()->PixelAt(across ? q : at, across ? at : q) == platform::clGray) found.push_back(q);
    }
    return found;
  }
  TChart chart;
  Series series;
};

// An empty series: one label at the bottom axis' centre. Fixed 0..100 by 25 on the left with
// the labels at the ends, then without. A frequency axis rounded out to decades 1..1000, a
// label at each, minor ticks at 2..9, each point's marker at its place.
TEST(AxisDrawing, LabelsTicksAndMarkersOfLinearAndLogarithmicAxesAndEveryPaintEnds) {
  Painted<TLineSeries> empty({});
  Painted<TLineSeries> p({{0, 0}, {10, 100}});
  TChartAxis& left = p.chart.LeftAxis();
  left.SetRange(0, 100);
  left.SetIncrement(25);
  const QImage ends = p.Paint();
  left.SetLabelsOnAxis(false);
  Painted<TPointSeries> log({{1, 0.1}, {5, 0.5}, {40, 4}, {500, 50}}, true);
  EXPECT_TRUE(MatchesReference(Stacked({empty.Paint(), ends, p.Paint(), log.Paint()}), "axes"));

  // A paint that never ends times out. One x value far above the step's precision: a
  // zero-width time axis; a range at 1e19.
  Painted<TLineSeries>({{20000, 0}, {20000, 5}});
  Painted<TLineSeries> far({{0, 0}, {10, 100}});
  far.chart.LeftAxis().SetRange(1e19, 1e19 + 1000);
  far.Paint();
  TChartAxis& bottom = p.chart.BottomAxis();
  const std::pair<double, double> zooms[] = {{74, 74 + 2e-9}, {-74 - 2e-9, -74}, {74, 74}, {-120, 120}};
  for (const auto& [lo, hi] : zooms) {
    bottom.SetRange(lo, hi);
    p.Paint();
    const std::vector<int> ticks = p.TicksAt(bottom, bottom.AxisPos + 4);
    EXPECT_FALSE(ticks.empty()) << lo << ": at least one label";
    for (int q : ticks) EXPECT_TRUE(bottom.StartPixel <= q && q <= bottom.EndPixel) << lo << ": tick at " << q;
  }
}

TEST(ZoomScroll, ADragAlongALogarithmicAxisShiftsByARatioAndAZoomKeepsItPositive) {
  Painted<TLineSeries> p({{1, 1}, {10, 10}, {100, 100}}, true);
  TChartAxis& bottom = p.chart.BottomAxis();
  const auto drag = [&](Qt::MouseButton button, double from, double to, int y0, int y1) {
    const int x0 = bottom.ValueToPixel(from), x1 = bottom.ValueToPixel(to);
    QTest::mousePress(&p.chart, button, {}, QPoint(x0, y0));
    QTest::mouseMove(&p.chart, QPoint(x1, y1));
    QTest::mouseRelease(&p.chart, button, {}, QPoint(x1, y1));
  };
  // A decade's length to the right, from left of the middle: the range moves a decade down.
  const int top = p.chart.ChartRect().Top + 20;
  drag(Qt::RightButton, 2, 20, top, top);
  EXPECT_NEAR(bottom.Minimum(), 0.1, 0.1 * 0.02);
  EXPECT_NEAR(bottom.Maximum(), 10, 10 * 0.02);
  p.chart.UndoZoom();
  p.Paint();
  EXPECT_EQ(std::pair(bottom.RangeMin, bottom.RangeMax), std::pair(1.0, 100.0)) << "automatic again";
  drag(Qt::LeftButton, 5, 50, top, p.chart.ChartRect().Bottom - 5);
  EXPECT_NEAR(bottom.Minimum(), 5, 5 * 0.02);
  EXPECT_NEAR(bottom.Maximum(), 50, 50 * 0.02);
}

}  // namespace
}  // namespace chart
