// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/line_series.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "chart/chart.h"
#include "chart/value_list.h"
#include "tests/support/reference_image.h"

namespace chart {
namespace {

using platform::clBlue, platform::clDefault, platform::clLime, platform::clNone, platform::clRed;
using Points = std::vector<std::tuple<double, double, TColor>>;

std::vector<double> Values(const TChartValueList& list) {
  std::vector<double> values;
  for (int i = 0; i < list.Count(); ++i) values.push_back(list.ValueAt(i));
  return values;
}

// Each equal value lands after its equals; raw values decide the place (the -1 row).
TEST(ValueList, AddValueKeepsTheOrderAndReturnsWhereTheValueWent) {
  const std::tuple<TChartListOrder, double, std::vector<int>, std::vector<double>> rows[] = {
      {loAscending, 1, {0, 1, 1, 2, 1}, {1, 1, 2, 2, 3}},
      {loDescending, 1, {0, 0, 1, 2, 4}, {3, 2, 2, 1, 1}},
      {loAscending, -1, {0, 1, 1, 2, 1}, {-1, -1, -2, -2, -3}}};
  for (const auto& [order, multiplier, returned, read] : rows) {
    TChartValueList list("X", order);
    list.SetMultiplier(multiplier);
    std::vector<int> got;
    for (double v : {1, 3, 2, 2, 1}) got.push_back(list.AddValue(v));
    EXPECT_EQ(got, returned) << "order " << order;
    EXPECT_EQ(Values(list), read) << "order " << order;
  }
}

// A list holding 1, 2 with its figures read, then changed: min, max, total, absolute total.
TEST(ValueList, FiguresFollowEveryChangeInMultipliedUnits) {
  const std::pair<std::function<void(TChartValueList&)>, std::vector<double>> rows[] = {
      {[](auto& l) { l.ClearValues(); }, {0, 0, 0, 0}},
      {[](auto& l) { l.SetMultiplier(2); }, {2, 4, 6, 6}},
      {[](auto& l) { l.AddValue(-5); }, {-5, 2, -2, 8}},
      {[](auto& l) { l.SetValue(0, 9); }, {2, 9, 11, 11}}};
  for (const auto& [change, figures] : rows) {
    TChartValueList list("Y", loNone);
    for (double v : {1, 2}) list.AddValue(v);
    ASSERT_EQ(list.MaxValue(), 2);
    change(list);
    EXPECT_EQ((std::vector{list.MinValue(), list.MaxValue(), list.Total(), list.TotalAbs()}), figures);
  }
}

std::string ListError(const std::function<void()>& call) try {
  call();
  return "";
} catch (const EListError& e) {
  return e.what();
}

TEST(ValueList, IndexOutsideTheListIsAnError) {
  TChartValueList list("X", loAscending);
  list.AddValue(1);
  EXPECT_EQ(ListError([&] { list.ValueAt(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ListError([&] { list.ValueAt(1); }), "List index out of bounds (1)");
  EXPECT_EQ(ListError([&] { list.InsertValue(2, 0); }), "List index out of bounds (2)");
  EXPECT_EQ(ListError([&] { list.InsertValue(1, 0); }), "") << "one past the end is a place to insert";
}

TEST(LineSeries, PointsKeepXAscendingWithTheirYColourAndLabel) {
  TLineSeries s;
  for (const auto& [x, label, c] : {std::tuple(1, "a", clRed), std::tuple(3, "c", clLime), std::tuple(2, "b", clBlue)}) {
    s.AddXY(x, 10 * x, QString::fromLatin1(label), c);
  }
  EXPECT_EQ(std::tuple(s.XValues.ValueAt(1), s.YValues.ValueAt(1), s.PointColor(1), s.PointLabel(1)),
            std::tuple(2.0, 20.0, clBlue, QStringLiteral("b")));
}

// The values grow 4 at a time up to 12, 16 up to 76, then by a quarter; the colours and
// labels keep the values' capacity, and a clear releases all of them.
TEST(LineSeries, CapacityGrowsByStepsForValuesColoursAndLabelsAndClearReleasesIt) {
  TLineSeries s;
  std::vector<int> steps{0};
  for (int i = 0; i < 393; ++i) {
    s.AddXY(i * 0.002, 0, QString(), clRed);
    ASSERT_EQ(std::vector({s.ColorCapacity(), s.LabelCapacity()}), std::vector(2, s.XValues.Capacity())) << i;
    if (s.XValues.Capacity() != steps.back()) steps.push_back(s.XValues.Capacity());
  }
  EXPECT_EQ(steps, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228, 285, 356, 445}));
  s.Clear();
  EXPECT_EQ(s.ColorCapacity() + s.LabelCapacity() + s.XValues.Capacity() + s.YValues.Capacity(), 0);
}

TEST(LineSeries, JoiningAChartTakesTheFirstFreePaletteColour) {
  TChart chart;
  chart.SetBackColor(SeriesPalette[0]);
  TLineSeries taken, joining;
  taken.SetSeriesColor(SeriesPalette[1]);
  for (TLineSeries* s : {&taken, &joining, &joining}) s->SetParentChart(&chart);
  EXPECT_EQ(joining.SeriesColor(), SeriesPalette[2]) << "the back colour and a series' colour are taken";
  EXPECT_EQ(chart.SeriesList().size(), 2u) << "joined once";
}

constexpr TColor Back = 0x202020;  // not black, the colour a segment drawn in clNone would take

// Fixed 0..10 axes both ways (or from `left` on the bottom axis) put points on known pixels.
struct Plot {
  explicit Plot(const Points& points, double left = 0) {
    window.resize(260, 260);
    chart = new TChart(&window);
    chart->setGeometry(0, 0, 240, 240);
    chart->SetView3D(false);
    chart->SetAxisVisible(false);
    chart->SetBackColor(Back);
    series.SetSeriesColor(clBlue);
    series.SetParentChart(chart);
    chart->BottomAxis().SetRange(left, 10);
    chart->LeftAxis().SetRange(0, 10);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const auto& [x, y, c] : points) series.AddXY(x, y, QString(), c);
    chart->Invalidate();
    QApplication::processEvents();
  }
  int X(double v) const { return chart->BottomAxis().ValueToPixel(v); }
  int Y(double v) const { return chart->LeftAxis().ValueToPixel(v); }
  const QImage& Image() const { return chart->Canvas().Buffer()->Image(); }
  QWidget window;
  TChart* chart;
  TLineSeries series;
};

// Top to bottom: each segment in its end point's colour; a clNone point leaves a gap on both
// its sides; clDefault takes the series' colour; a point a billion pixels out is skipped and
// its neighbours joined; no points, one point, two on one pixel draw nothing; a segment
// leaving the top is cut at the border, not pinned along it; with the axis from 2, the first
// visible point is joined from where the line from the point before crosses the left edge.
TEST(LineSeriesDrawing, SegmentsColoursGapsClippingTheLeftEdgeAndHitsAfterAClear) {
  const std::pair<Points, double> plots[] = {
      {{{1, 1, clRed}, {5, 1, clLime}, {9, 1, clRed}}, 0},
      {{{1, 5, clRed}, {5, 5, clNone}, {9, 5, clRed}, {10, 9, clRed}}, 0},
      {{{1, 5, clDefault}, {9, 5, clDefault}}, 0},
      {{{0, 0, clRed}, {5, 1e9, clRed}, {10, 10, clRed}}, 0},
      {{}, 0},
      {{{5, 5, clRed}}, 0},
      {{{5, 5, clRed}, {5.001, 5.001, clRed}}, 0},
      {{{0, 5, clRed}, {2, 25, clRed}, {10, 25, clRed}}, 0},
      {{{0, 0, clRed}, {4, 8, clRed}, {8, 8, clRed}}, 2},
  };
  QImage all;
  for (const auto& [points, left] : plots) all = Stacked({all, Plot(points, left).Image()});
  EXPECT_TRUE(MatchesReference(all, "line_series"));

  // A cleared series is hit nowhere.
  Plot p({{0, 5, clRed}, {5, 5, clRed}, {10, 5, clRed}});
  ASSERT_EQ(p.series.Clicked(p.X(4), p.Y(5)), 1);
  p.series.Clear();
  EXPECT_EQ(p.series.Clicked(p.X(4), p.Y(5)), -1);
  p.series.AddXY(0, 5, QString(), clRed);  // fewer points than the last paint drew
  EXPECT_EQ(p.series.Clicked(p.X(4), p.Y(5)), -1);
  QTest::mouseClick(p.chart, Qt::LeftButton, {}, QPoint(p.X(4), p.Y(5)));
}

}  // namespace
}  // namespace chart
