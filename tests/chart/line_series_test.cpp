#include "chart/line_series.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <tuple>
#include <vector>

#include "chart/chart.h"

namespace chart {
namespace {

using platform::clBlue, platform::clDefault, platform::clLime, platform::clNone, platform::clRed;
using Points = std::vector<std::tuple<double, double, TColor>>;

TEST(LineSeries, PointsKeepXAscendingWithTheirYColourAndLabel) {
  TLineSeries s;
  EXPECT_EQ(s.AddXY(1, 10, QStringLiteral("a"), clRed), 0);
  EXPECT_EQ(s.AddXY(3, 30, QStringLiteral("c"), clLime), 1);
  EXPECT_EQ(s.AddXY(2, 20, QStringLiteral("b"), clBlue), 1);
  EXPECT_EQ(std::pair(s.XValues.ValueAt(1), s.YValues.ValueAt(1)), std::pair(2.0, 20.0));
  EXPECT_EQ(s.PointColor(1), clBlue);
  EXPECT_EQ(s.PointLabel(1), QStringLiteral("b"));
  EXPECT_EQ(s.AddXY(2, 25, QString(), clRed), 2) << "an equal x lands after its equals";
}

TEST(LineSeries, ColoursAndLabelsGrowWithTheValuesAndAreReleasedWithThem) {
  TLineSeries s;
  for (int i = 0; i < 393; ++i) {
    s.AddXY(i * 0.002, 0, QString(), clRed);
    ASSERT_EQ(std::vector({s.ColorCapacity(), s.LabelCapacity()}), std::vector(2, s.XValues.Capacity())) << i;
  }
  s.Clear();
  EXPECT_EQ(s.ColorCapacity() + s.LabelCapacity() + s.YValues.Capacity(), 0);
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

// Fixed 0..10 axes both ways put points on known pixels.
struct Plot {
  Plot() {
    window.resize(260, 260);
    chart = new TChart(&window);
    chart->setGeometry(0, 0, 240, 240);
    chart->SetView3D(false);
    chart->SetAxisVisible(false);
    chart->SetBackColor(Back);
    series.SetSeriesColor(clBlue);
    series.SetParentChart(chart);
    chart->BottomAxis().SetRange(0, 10);
    chart->LeftAxis().SetRange(0, 10);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void Paint(const Points& points) {
    for (const auto& [x, y, c] : points) series.AddXY(x, y, QString(), c);
    chart->Invalidate();
    QApplication::processEvents();
  }
  TColor Pixel(int x, int y) const { return chart->Canvas().Buffer()->PixelAt(x, y); }
  int X(double v) const { return chart->BottomAxis().ValueToPixel(v); }
  int Y(double v) const { return chart->LeftAxis().ValueToPixel(v); }
  int CountIn(TColor c, int top, int bottom) const {  // rows top..bottom
    int n = 0;
    for (int y = top; y <= bottom; ++y) {
      for (int x = 0; x < 240; ++x) n += Pixel(x, y) == c;
    }
    return n;
  }
  QWidget window;
  TChart* chart;
  TLineSeries series;
};

TEST(LineSeriesDrawing, EachSegmentTakesItsEndPointsColourAndAClNonePointLeavesAGap) {
  const std::tuple<const char*, Points, Points> rows[] = {
      {"end point's colour", {{1, 1, clRed}, {5, 1, clLime}, {9, 1, clRed}}, {{3, 1, clLime}, {7, 1, clRed}}},
      {"clNone", {{1, 5, clRed}, {5, 5, clNone}, {9, 5, clRed}, {10, 9, clRed}},
       {{3, 5, Back}, {7, 5, Back}, {9, 5, clRed}}},
      {"clDefault", {{1, 5, clDefault}, {9, 5, clDefault}}, {{5, 5, clBlue}}},
      {"beyond 32767 px: neighbours joined", {{0, 0, clRed}, {5, 1e9, clRed}, {10, 10, clRed}}, {{5, 5, clRed}}},
  };
  for (const auto& [what, points, probes] : rows) {
    Plot p;
    p.Paint(points);
    for (const auto& [x, y, c] : probes) EXPECT_EQ(p.Pixel(p.X(x), p.Y(y)), c) << what << " at " << x << ", " << y;
  }
}

TEST(LineSeriesDrawing, NothingToJoinDrawsNothing) {
  for (const Points& points : {Points{}, Points{{5, 5, clRed}}, Points{{5, 5, clRed}, {5.001, 5.001, clRed}}}) {
    Plot p;
    p.Paint(points);
    EXPECT_EQ(p.CountIn(clRed, 0, 239), 0) << points.size() << " points";
  }
}

TEST(LineSeriesDrawing, ValuesBeyondTheAxisAreCutAtTheBorderNotPinned) {
  Plot p;
  p.Paint({{0, 5, clRed}, {2, 25, clRed}, {10, 25, clRed}});  // leaves the top through x = 0.5
  const int top = p.chart->ChartRect().Top;
  EXPECT_EQ(p.CountIn(clRed, 0, top - 1), 0) << "nothing above the plotting area";
  EXPECT_GE(p.CountIn(clRed, top + 1, top + 1), 1) << "the segment reaches the border";
  EXPECT_LE(p.CountIn(clRed, top + 1, top + 1), 3) << "where it crosses, not along the border";
}

TEST(LineSeriesDrawing, TheFirstVisiblePointStartsFromTheLeftEdge) {
  Plot p;
  p.chart->BottomAxis().SetRange(2, 10);
  p.Paint({{0, 0, clRed}, {4, 8, clRed}, {8, 8, clRed}});
  // At x = 2 the line from (0, 0) to (4, 8) stands at y = 4.
  const int edge = p.chart->ChartRect().Left + 1, y = p.Y(4);
  EXPECT_TRUE(p.Pixel(edge, y - 1) == clRed || p.Pixel(edge, y) == clRed || p.Pixel(edge, y + 1) == clRed);
}

TEST(LineSeriesDrawing, AClearedSeriesIsHitNowhereAndARefillCostsOnePaint) {
  Plot p;
  p.Paint({{0, 5, clRed}, {5, 5, clRed}, {10, 5, clRed}});
  ASSERT_EQ(p.series.Clicked(p.X(4), p.Y(5)), 1);
  p.series.Clear();
  EXPECT_EQ(p.series.Clicked(p.X(4), p.Y(5)), -1);
  p.series.AddXY(0, 5, QString(), clRed);  // fewer points than the last paint drew
  EXPECT_EQ(p.series.Clicked(p.X(4), p.Y(5)), -1);
  QTest::mouseClick(p.chart, Qt::LeftButton, {}, QPoint(p.X(4), p.Y(5)));

  QApplication::processEvents();
  const int drawn = p.chart->FullDrawCount();
  for (int i = 0; i < 1179; ++i) p.series.AddXY(i * 0.002, 5, QString(), clRed);
  EXPECT_EQ(p.chart->FullDrawCount(), drawn);
  QApplication::processEvents();
  EXPECT_EQ(p.chart->FullDrawCount(), drawn + 1);
}

}  // namespace
}  // namespace chart
