#include "chart/chart_axis.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cmath>

#include "chart/axis_math.h"
#include "chart/chart.h"
#include "chart/line_series.h"

namespace chart {
namespace {

TEST(AxisMath, NextNiceStepRunsThroughOneTwoFive) {
  const struct {
    double x, next;
  } rows[] = {{1, 2}, {2, 5}, {4.9, 5}, {5, 10}, {10, 20}, {0.2, 0.5}, {0.1, 0.2}, {50, 100}};
  for (const auto& r : rows) {
    EXPECT_NEAR(NextNiceStep(r.x), r.next, r.next * 1e-12) << r.x;
  }
}

TEST(AxisMath, LabelIncrementKeepsLabelsApartOrSkipsTheSearch) {
  const struct {
    double range;
    int length, size, separation;
    double increment, expected;
  } rows[] = {
      {240, 166, 21, 10, 0, 50},       // the fixed -120..120 axis: 7 labels fit, 240/50 rounds to 5
      {240, 400, 21, 10, 0, 20},       // room for 17
      {0.784, 448, 35, 10, 0, 0.1},    // the trace window
      {0, 448, 7, 10, 0, 1e-12},       // an empty range
      {240, 166, 21, 0, 0, 1},         // separation 0: no search, however crowded
      {0.5, 166, 21, 0, 0, 1e-12},
      {240, 166, 21, 0, 3, 3},
      {240, 166, 0, 10, 0, 200},       // labels of no size: one label over the range
      {240, 3, 21, 10, 0, 1e-12},      // no room for one label
  };
  for (const auto& r : rows) {
    EXPECT_NEAR(LabelIncrement(r.range, r.length, r.size, r.separation, r.increment), r.expected, r.expected * 1e-9)
        << r.range << " over " << r.length << " px, labels " << r.size;
  }
}

TEST(AxisMath, LabelValuesRunDownFromAWholeMultiple) {
  auto values = [](double lo, double hi, double inc) { return AxisLabelValues(lo, hi, inc, true); };
  EXPECT_EQ(values(-120, 120, 50), (std::vector<double>{100, 50, 0, -50, -100}));
  EXPECT_EQ(values(-120, 120, 20), (std::vector<double>{120, 100, 80, 60, 40, 20, 0, -20, -40, -60, -80, -100}))
      << "no label at -120";
  // The trace window after its first cycle: from 0 downwards.
  const std::vector<double> trace = values(-0.782, 0.002, 0.1);
  ASSERT_EQ(trace.size(), 8u);
  EXPECT_EQ(trace.front(), 0);
  EXPECT_NEAR(trace.back(), -0.7, 1e-12);
  EXPECT_EQ(values(0, 0, 1e-12), std::vector<double>{0}) << "an empty axis: one label";
  EXPECT_TRUE(values(0, 20000, 1).empty()) << "10000 steps or more: none";
  EXPECT_EQ(AxisLabelValues(-0.5, 0.75, 0.5, false), (std::vector<double>{0.75, 0.25, -0.25}));
}

TEST(AxisMath, FormatLabelUnderAPointAndACommaLocale) {
  const struct {
    double v;
    const char* point;
    const char* comma;
  } rows[] = {
      {1234.5678, "1,234.568", "1.234,568"}, {0.5, "0.5", "0,5"},     {2, "2", "2"},
      {-2.7e-17, "0", "0"},                   {1e6, "1,000,000", "1.000.000"},
      {-1234.5, "-1,234.5", "-1.234,5"},      {0.0625, "0.063", "0,063"},  // a 5 rounds up
      {-0.0004, "0", "0"},                    {0.9996, "1", "1"},
      {999999.9999, "1,000,000", "1.000.000"}, {-0.782, "-0.782", "-0,782"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(FormatAxisValue(r.v, QStringLiteral("."), QStringLiteral(",")), QString::fromLatin1(r.point)) << r.v;
    EXPECT_EQ(FormatAxisValue(r.v, QStringLiteral(","), QStringLiteral(".")), QString::fromLatin1(r.comma)) << r.v;
  }
}

TEST(AxisMath, MinorTicksBetweenAndBeyondTheEndTicks) {
  // Ticks as the labels record them, from the top of the range down: right to left.
  const std::vector<int> ticks{100, 60, 20};
  EXPECT_EQ(MinorTickPositions(ticks, 3), (std::vector<int>{110, 10, 120, 0, 130, -10, 70, 80, 90, 30, 40, 50}));
  EXPECT_TRUE(MinorTickPositions(std::vector<int>{50}, 3).empty());
  EXPECT_EQ(MinorTickPositions(std::vector<int>{0, 5}, 1), (std::vector<int>{-2, 7, 3}));  // halves to even
}

TEST(ChartAxis, SettersCheckTheirValuesAndKeepTheOldOnes) {
  TChart chart;
  TChartAxis& axis = chart.LeftAxis();
  axis.SetMaximum(200);
  axis.SetMinimum(150);
  const struct {
    const char* what;
    std::function<void()> set;
    const char* message;
  } rows[] = {
      {"Maximum below Minimum", [&] { axis.SetMaximum(100); }, "Axis Maximum Value must be >= Minimum"},
      {"Minimum above Maximum", [&] { axis.SetMinimum(250); }, "Axis Minimum Value must be <= Maximum"},
      {"negative increment", [&] { axis.SetIncrement(-1); }, "Axis increment must be >= 0"},
      {"negative separation", [&] { axis.SetLabelsSeparation(-1); }, "Labels Separation % must be greater than 0"},
      {"labels angle 360", [&] { axis.SetLabelsAngle(360); }, "Axis Labels Angle must be between 0 and 359 degrees"},
      {"title angle -1", [&] { axis.Title().SetAngle(-1); }, "Axis Title Angle must be between 0 and 359 degrees"},
  };
  for (const auto& r : rows) {
    try {
      r.set();
      ADD_FAILURE() << r.what << " accepted";
    } catch (const std::exception& e) {
      EXPECT_STREQ(e.what(), r.message) << r.what;
    }
  }
  EXPECT_EQ(axis.Minimum(), 150);
  EXPECT_EQ(axis.Maximum(), 200);
  EXPECT_EQ(axis.Increment(), 0);
  EXPECT_EQ(axis.LabelsSeparation(), 10);
  EXPECT_EQ(axis.LabelsAngle(), 0);
  EXPECT_EQ(axis.Title().Angle(), 90) << "the left axis' default";
  axis.SetLabelsSeparation(0);  // accepted

  // Read from the form, the ends arrive in any order.
  chart.BeginLoading();
  chart.RightAxis().SetMaximum(-200);
  chart.RightAxis().SetMinimum(-300);
  chart.EndLoading();
  EXPECT_EQ(chart.RightAxis().Maximum(), -200);
}

TEST(ChartAxis, AutomaticCascadesExceptWhileLoading) {
  TChart chart;
  TChartAxis& axis = chart.BottomAxis();
  axis.SetAutomaticMinimum(false);
  EXPECT_FALSE(axis.Automatic());
  EXPECT_TRUE(axis.AutomaticMaximum());
  axis.SetAutomaticMinimum(true);
  EXPECT_TRUE(axis.Automatic()) << "both ends automatic again";
  axis.SetAutomatic(false);
  EXPECT_FALSE(axis.AutomaticMinimum());
  EXPECT_FALSE(axis.AutomaticMaximum());

  chart.BeginLoading();
  axis.SetAutomatic(true);
  chart.EndLoading();
  EXPECT_FALSE(axis.AutomaticMinimum()) << "no cascade while the form is read";
}

TEST(ChartAxis, SetRangeOrdersAndWidensAndFixesTheRange) {
  TChart chart;
  TChartAxis& axis = chart.BottomAxis();
  axis.SetRange(150, 100);
  EXPECT_EQ(axis.Minimum(), 100);
  EXPECT_EQ(axis.Maximum(), 150);
  EXPECT_FALSE(axis.Automatic());
  EXPECT_FALSE(axis.AutomaticMinimum());
  axis.SetRange(5, 5);
  EXPECT_EQ(axis.Minimum(), 5);
  EXPECT_EQ(axis.Maximum(), 5 + 1e-10);
}

TEST(ChartAxis, ValuesMapToPixelsBothWays) {
  TChart chart;
  TChartAxis& bottom = chart.BottomAxis();
  TChartAxis& left = chart.LeftAxis();
  for (TChartAxis* axis : {&bottom, &left}) {
    axis->RangeMin = -120;
    axis->RangeMax = 120;
    axis->RangeSize = 240;
    axis->StartPixel = 20;
    axis->EndPixel = 260;
    axis->AxisLength = 240;
    axis->CenterPixel = 140;
  }
  const struct {
    double v;
    int bottom, left;
  } rows[] = {{-120, 20, 260}, {120, 260, 20}, {0, 140, 140}, {0.5, 140, 140}, {1.5, 142, 138}, {1e300, 140, 140}};
  for (const auto& r : rows) {
    EXPECT_EQ(bottom.ValueToPixel(r.v), r.bottom) << r.v;
    EXPECT_EQ(left.ValueToPixel(r.v), r.left) << r.v;
  }
  EXPECT_EQ(bottom.PixelToValue(20), -120);
  EXPECT_EQ(left.PixelToValue(20), 120);
  EXPECT_EQ(left.PixelToValue(left.ValueToPixel(50)), 50);
  bottom.SetInverted(true);
  EXPECT_EQ(bottom.ValueToPixel(-120), 260);
  EXPECT_EQ(bottom.PixelToValue(260), -120);
  left.RangeSize = 0;
  EXPECT_EQ(left.ValueToPixel(77), 140) << "a zero range maps to the centre";
  left.AxisLength = 0;
  EXPECT_EQ(left.PixelToValue(5), 0);
}

void Fill(TLineSeries& series, std::initializer_list<std::pair<double, double>> points) {
  for (const auto& [x, y] : points) {
    series.AddXY(x, y, QString(), platform::clDefault);
  }
}

// A chart in a window, painted through Qt.
struct Painted {
  Painted() {
    window.resize(520, 260);
    chart = new TChart(&window);
    chart->setGeometry(10, 10, 489, 225);
    chart->SetView3D(false);
    chart->SetLabelSeparators(QStringLiteral("."), QStringLiteral(","));
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void Paint() {
    chart->Invalidate();
    QApplication::processEvents();
  }
  TColor Pixel(int x, int y) const { return chart->Canvas().Buffer()->PixelAt(x, y); }
  // Columns of the plotting rectangle's width holding colour c in row y.
  std::vector<int> ColumnsOf(TColor c, int y) const {
    std::vector<int> xs;
    for (int x = chart->ChartRect().Left; x <= chart->ChartRect().Right; ++x) {
      if (Pixel(x, y) == c) xs.push_back(x);
    }
    return xs;
  }
  QWidget window;
  TChart* chart;
};

TEST(AxisDrawing, AnEmptySeriesGivesTheBottomAxisOneLabelAtItsCentre) {
  Painted p;
  TLineSeries empty;
  empty.SetParentChart(p.chart);
  p.Paint();
  TChartAxis& bottom = p.chart->BottomAxis();
  EXPECT_EQ(bottom.RangeSize, 0);
  EXPECT_EQ(bottom.ResolvedLabelStyle(), talValue);
  p.chart->Canvas().UseFont(bottom.LabelsFont());
  EXPECT_EQ(bottom.CurrentIncrement(), 1e-12);
  // One tick, in the ticks' gray, at the far end of the tick band.
  const std::vector<int> ticks = p.ColumnsOf(platform::clGray, bottom.AxisPos + 4);
  EXPECT_EQ(ticks, std::vector<int>{bottom.CenterPixel});
  empty.SetParentChart(nullptr);
}

TEST(AxisDrawing, LabelsAtTheEndsOnlyWithLabelsOnAxis) {
  Painted p;
  TLineSeries series;
  Fill(series, {{0, 0}, {10, 100}});
  series.SetParentChart(p.chart);
  TChartAxis& left = p.chart->LeftAxis();
  left.SetRange(0, 100);
  left.SetIncrement(25);
  p.Paint();
  // Rows with a tick at its far end, where the shorter minor ticks do not reach.
  auto tickRows = [&] {
    std::vector<int> rows;
    for (int y = p.chart->ChartRect().Top; y <= p.chart->ChartRect().Bottom; ++y) {
      if (p.Pixel(left.AxisPos - 4, y) == platform::clGray) rows.push_back(y);
    }
    return rows;
  };
  // 100 at StartPixel, 0 at EndPixel: both ends carry a label and its tick.
  std::vector<int> rows = tickRows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows.front(), left.StartPixel);
  EXPECT_EQ(rows.back(), left.EndPixel);
  left.SetLabelsOnAxis(false);
  p.Paint();
  rows = tickRows();
  EXPECT_EQ(rows.size(), 3u);
  EXPECT_GT(rows.front(), left.StartPixel);
  EXPECT_LT(rows.back(), left.EndPixel);
  series.SetParentChart(nullptr);
}

TEST(AxisDrawing, OnlyAxesWithSeriesTakeRoom) {
  Painted p;
  TLineSeries onLeft;
  Fill(onLeft, {{0, 0}, {1, 1}});
  onLeft.SetParentChart(p.chart);
  p.chart->LeftAxis().Title().SetCaption(QStringLiteral("Left"));
  p.Paint();
  EXPECT_FALSE(p.chart->AxisShown(p.chart->TopAxis()));
  EXPECT_FALSE(p.chart->AxisShown(p.chart->RightAxis()));
  EXPECT_TRUE(p.chart->AxisShown(p.chart->LeftAxis()));
  EXPECT_TRUE(p.chart->AxisShown(p.chart->BottomAxis()));
  // The default margins of 3 and 4 %: the right and top edges keep their place.
  EXPECT_EQ(p.chart->ChartRect().Right, 489 - 15);
  EXPECT_EQ(p.chart->ChartRect().Top, 9);
  EXPECT_GT(p.chart->ChartRect().Left, 15) << "the left axis took its room";
  onLeft.SetParentChart(nullptr);
}

}  // namespace
}  // namespace chart
