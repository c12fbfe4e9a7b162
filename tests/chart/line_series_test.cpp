#include "chart/line_series.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "chart/chart.h"

namespace chart {
namespace {

constexpr TColor Red = platform::clRed;
constexpr TColor Green = platform::clLime;

TEST(LineSeries, PointsKeepXAscendingWithTheirYColourAndLabel) {
  TLineSeries s;
  EXPECT_EQ(s.AddXY(1, 10, QStringLiteral("a"), Red), 0);
  EXPECT_EQ(s.AddXY(3, 30, QStringLiteral("c"), Green), 1);
  EXPECT_EQ(s.AddXY(2, 20, QStringLiteral("b"), platform::clBlue), 1);
  EXPECT_EQ(s.XValues.ValueAt(1), 2);
  EXPECT_EQ(s.YValues.ValueAt(1), 20);
  EXPECT_EQ(s.PointColor(1), platform::clBlue);
  EXPECT_EQ(s.PointLabel(1), QStringLiteral("b"));
  EXPECT_EQ(s.PointLabel(2), QStringLiteral("c"));
  // An equal x lands after its equals.
  EXPECT_EQ(s.AddXY(2, 25, QString(), Red), 2);
  EXPECT_EQ(s.YValues.ValueAt(2), 25);
  EXPECT_EQ(s.MinYValue(), 10);
  EXPECT_EQ(s.MaxXValue(), 3);
}

TEST(LineSeries, EveryListGrowsByTheSameStepsAndIsReleasedOnClear) {
  TLineSeries s;
  std::vector<int> steps;
  for (int i = 0; i < 393; ++i) {
    s.AddXY(i * 0.002, 0, QString(), Red);
    if (steps.empty() || steps.back() != s.ColorCapacity()) steps.push_back(s.ColorCapacity());
    ASSERT_EQ(s.LabelCapacity(), s.ColorCapacity());
    ASSERT_EQ(s.XValues.Capacity(), s.ColorCapacity());
  }
  EXPECT_EQ(steps, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228, 285, 356, 445}));
  s.Clear();
  EXPECT_EQ(s.Count(), 0);
  EXPECT_EQ(s.ColorCapacity(), 0);
  EXPECT_EQ(s.YValues.Capacity(), 0);
}

TEST(LineSeries, PointColourFallsBackToTheSeriesOrThePalette) {
  TLineSeries s;
  s.SetSeriesColor(0x123456);
  s.AddXY(0, 0, QString(), platform::clDefault);
  s.AddXY(1, 0, QString(), Red);
  s.AddXY(2, 0, QString(), platform::clDefault);
  EXPECT_EQ(s.PointColor(0), 0x123456u);
  EXPECT_EQ(s.PointColor(1), Red);
  EXPECT_EQ(s.PointColor(7), 0x123456u) << "beyond the stored colours";
  s.SetColorEachPoint(true);
  EXPECT_EQ(s.PointColor(2), SeriesPalette[2]);
  EXPECT_EQ(s.PointColor(1), Red);
}

TEST(LineSeries, JoiningAChartTakesTheFirstFreePaletteColour) {
  TChart chart;
  chart.SetBackColor(Red);  // not in a window: the wall's brush stays as it is
  TLineSeries first, second, coloured;
  coloured.SetSeriesColor(SeriesPalette[1]);
  coloured.SetParentChart(&chart);
  first.SetParentChart(&chart);
  second.SetParentChart(&chart);
  EXPECT_EQ(first.SeriesColor(), SeriesPalette[2]) << "red is the back colour, green is taken";
  EXPECT_EQ(second.SeriesColor(), SeriesPalette[3]);
  EXPECT_EQ(chart.SeriesList().size(), 3u);
  first.SetParentChart(&chart);
  EXPECT_EQ(chart.SeriesList().size(), 3u) << "not added twice";
  second.SetParentChart(nullptr);
  EXPECT_EQ(chart.SeriesList().size(), 2u);
}

// A chart in a window with a dark plotting area and fixed 0..10 axes both ways, so that
// points land on known pixels. Not black: a point's clNone would draw black.
constexpr TColor Back = 0x202020;

struct Plot {
  Plot() {
    window.resize(260, 260);
    chart = new TChart(&window);
    chart->setGeometry(0, 0, 240, 240);
    chart->SetView3D(false);
    chart->SetAxisVisible(false);
    chart->Title().SetVisible(false);
    chart->SetBackColor(Back);
    series.SetParentChart(chart);
    for (TChartAxis* axis : {&chart->BottomAxis(), &chart->LeftAxis()}) {
      axis->SetRange(0, 10);
    }
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  ~Plot() { series.SetParentChart(nullptr); }
  void Paint() {
    chart->Invalidate();
    QApplication::processEvents();
  }
  int CountOf(TColor c) const {
    int n = 0;
    const platform::RasterCanvas& b = *chart->Canvas().Buffer();
    for (int y = 0; y < b.Height(); ++y) {
      for (int x = 0; x < b.Width(); ++x) {
        n += b.PixelAt(x, y) == c;
      }
    }
    return n;
  }
  TColor Pixel(int x, int y) const { return chart->Canvas().Buffer()->PixelAt(x, y); }
  int X(double v) const { return chart->BottomAxis().ValueToPixel(v); }
  int Y(double v) const { return chart->LeftAxis().ValueToPixel(v); }

  QWidget window;
  TChart* chart;
  TLineSeries series;
};

TEST(LineSeriesDrawing, SegmentsTakeTheirEndPointsColour) {
  Plot p;
  p.series.AddXY(1, 1, QString(), Red);
  p.series.AddXY(5, 1, QString(), Green);
  p.series.AddXY(9, 1, QString(), Red);
  p.Paint();
  EXPECT_EQ(p.Pixel(p.X(3), p.Y(1)), Green) << "the segment ending at the green point";
  EXPECT_EQ(p.Pixel(p.X(7), p.Y(1)), Red);
  EXPECT_EQ(p.series.FirstVisible, 0);
  EXPECT_EQ(p.series.LastVisible, 2);
}

TEST(LineSeriesDrawing, NothingToJoinDrawsNothing) {
  const struct {
    const char* what;
    std::vector<std::pair<double, double>> points;
  } rows[] = {
      {"no point", {}},
      {"one point", {{5, 5}}},
      {"two points on one pixel", {{5, 5}, {5.001, 5.001}}},
  };
  for (const auto& r : rows) {
    Plot p;
    for (const auto& [x, y] : r.points) p.series.AddXY(x, y, QString(), Red);
    p.Paint();
    EXPECT_EQ(p.CountOf(Red), 0) << r.what;
  }
}

TEST(LineSeriesDrawing, ANullPointLeavesAGapOnBothSides) {
  Plot p;
  p.series.AddXY(1, 5, QString(), Red);
  p.series.AddXY(5, 5, QString(), platform::clNone);
  p.series.AddXY(9, 5, QString(), Red);
  p.series.AddXY(9.5, 9, QString(), Red);
  p.Paint();
  EXPECT_EQ(p.Pixel(p.X(3), p.Y(5)), Back) << "no segment into the null point";
  EXPECT_EQ(p.Pixel(p.X(7), p.Y(5)), Back) << "none out of it";
  EXPECT_GT(p.CountOf(Red), 0) << "the series goes on after the next point";
  EXPECT_EQ(p.series.Count(), 4);
}

TEST(LineSeriesDrawing, DefaultColouredPointsTakeTheSeriesColour) {
  Plot p;
  p.series.SetSeriesColor(Green);
  p.series.AddXY(1, 5, QString(), platform::clDefault);
  p.series.AddXY(9, 5, QString(), platform::clDefault);
  p.Paint();
  EXPECT_EQ(p.Pixel(p.X(5), p.Y(5)), Green);
}

TEST(LineSeriesDrawing, ValuesBeyondTheAxisAreCutAtTheBorderNotPinned) {
  Plot p;
  p.series.AddXY(0, 5, QString(), Red);
  p.series.AddXY(2, 25, QString(), Red);  // leaves the top through x = 0.5
  p.series.AddXY(10, 25, QString(), Red);
  p.Paint();
  const TRect r = p.chart->ChartRect();
  int onTopRow = 0;
  for (int x = r.Left; x <= r.Right; ++x) {
    onTopRow += p.Pixel(x, r.Top + 1) == Red;
    ASSERT_NE(p.Pixel(x, r.Top - 1), Red) << "nothing above the plotting area";
  }
  EXPECT_GE(onTopRow, 1) << "the segment reaches the border";
  EXPECT_LE(onTopRow, 3) << "where it crosses, not along the border";
}

TEST(LineSeriesDrawing, TheFirstVisiblePointStartsFromTheLeftEdge) {
  Plot p;
  p.chart->BottomAxis().SetRange(2, 10);
  p.series.AddXY(0, 0, QString(), Red);
  p.series.AddXY(4, 8, QString(), Red);
  p.series.AddXY(8, 8, QString(), Red);
  p.Paint();
  EXPECT_EQ(p.series.FirstVisible, 1);
  // At x = 2 the line from (0, 0) to (4, 8) stands at y = 4.
  const int edge = p.chart->ChartRect().Left + 1;
  bool near4 = false;
  for (int dy = -1; dy <= 1; ++dy) near4 |= p.Pixel(edge, p.Y(4) + dy) == Red;
  EXPECT_TRUE(near4);
}

TEST(LineSeriesDrawing, PointsFarOutsideThePixelWindowAreSkipped) {
  Plot p;
  p.series.AddXY(0, 0, QString(), Red);
  p.series.AddXY(5, 1e9, QString(), Red);  // tens of millions of pixels up
  p.series.AddXY(10, 10, QString(), Red);
  p.Paint();
  // The previous point stays at the first, so the next segment joins the two neighbours.
  EXPECT_EQ(p.Pixel(p.X(5), p.Y(5)), Red);
}

TEST(LineSeriesDrawing, AClearedSeriesIsHitNowhereBeforeTheNextPaint) {
  Plot p;
  for (int i = 0; i <= 10; ++i) p.series.AddXY(i, 5, QString(), Red);
  p.Paint();
  ASSERT_EQ(p.series.Clicked(p.X(5), p.Y(5)), 5);
  p.series.Clear();
  EXPECT_EQ(p.series.Clicked(p.X(5), p.Y(5)), -1);
  p.series.AddXY(0, 5, QString(), Red);  // fewer points than the last paint drew
  EXPECT_EQ(p.series.Clicked(p.X(5), p.Y(5)), -1);
  QTest::mousePress(p.chart, Qt::LeftButton, {}, QPoint(p.X(5), p.Y(5)));
  QTest::mouseRelease(p.chart, Qt::LeftButton, {}, QPoint(p.X(5), p.Y(5)));
}

TEST(LineSeriesDrawing, ATicksWorthOfPointsCostsOnePaint) {
  Plot p;
  p.Paint();
  const int drawn = p.chart->FullDrawCount();
  TLineSeries second, third;
  second.SetParentChart(p.chart);
  third.SetParentChart(p.chart);
  for (TLineSeries* s : {&p.series, &second, &third}) s->Clear();
  for (int i = 0; i < 393; ++i) {
    for (TLineSeries* s : {&p.series, &second, &third}) s->AddXY(i * 0.02, 5, QString(), Red);
  }
  EXPECT_EQ(p.chart->FullDrawCount(), drawn);
  QApplication::processEvents();
  EXPECT_EQ(p.chart->FullDrawCount(), drawn + 1);
  second.SetParentChart(nullptr);
  third.SetParentChart(nullptr);
}

}  // namespace
}  // namespace chart
