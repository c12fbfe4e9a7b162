#include "chart/chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <tuple>

namespace chart {
namespace {

using platform::clBlack, platform::clBlue, platform::clSilver, platform::clWhite, platform::TColor;

TChartFont TitleFont() { return TChartFont(QStringLiteral("Tahoma"), 13, clBlue, true); }

// The oscilloscope's panel, painted through Qt; no axes, so that the panel's own layout shows.
struct Shown {
  explicit Shown(int width = 489, bool title = true) {
    chart = new TChart(&window);
    chart->setGeometry(10, 10, width, 225);
    chart->SetAxisVisible(false);
    chart->SetMarginLeft(1);
    chart->SetMarginTop(2);
    chart->SetMarginRight(1);
    chart->SetMarginBottom(2);
    chart->Gradient().SetEndColor(clSilver);
    chart->Gradient().SetVisible(true);
    chart->Title().Font() = TitleFont();
    chart->Title().SetText({QStringLiteral("Oscilloscope")});
    chart->Title().SetVisible(title);
    chart->BackWall().Brush().SetColor(clWhite);
    chart->BackWall().SetColor(clBlack);
    chart->SetView3D(false);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    chart->Invalidate();
    QApplication::processEvents();
  }
  TColor Pixel(int x, int y) const { return chart->Canvas().Buffer()->PixelAt(x, y); }
  QWidget window;
  TChart* chart;
};

TEST(ChartPanel, MarginsArePercentagesAndTheTitleTakesItsLineAndAGap) {
  TChartCanvas3D probe;
  probe.UseFont(TitleFont());
  const int h = probe.TextLineHeight();
  const std::tuple<int, bool, TRect> rows[] = {
      {489, false, {5, 5, 484, 220}}, {978, false, {10, 5, 968, 220}}, {489, true, {5, 5 + h + 5, 484, 220}}};
  for (const auto& [w, title, rect] : rows) EXPECT_EQ(Shown(w, title).chart->ChartRect(), rect) << w << ' ' << title;
}

TEST(ChartPanel, PaintOrderLeavesGradientBevelTitleAndBlackBackWall) {
  Shown shown;
  const TRect r = shown.chart->ChartRect();
  const TColor shadow = platform::ColorToRGB(platform::clBtnShadow);
  const std::tuple<int, int, TColor> pixels[] = {
      {100, 0, clWhite},  {0, 100, clWhite},  {488, 100, shadow},  {100, 224, shadow},  // bevel
      {2, 223, clWhite},  {2, 1, clSilver},                                           // gradient
      {r.Left, r.Top + 10, clBlack}, {r.Right, r.Top + 10, clBlack}, {r.Left + 10, r.Top, clBlack},
      {r.Left + 10, r.Bottom, clBlack}, {244, 150, clBlack}};  // the wall's outline and inside
  for (const auto& [x, y, colour] : pixels) EXPECT_EQ(shown.Pixel(x, y), colour) << x << ", " << y;
  EXPECT_NE(shown.Pixel(r.Right + 1, r.Top + 10), clBlack) << "nothing beyond the outline";
  EXPECT_NE(shown.Pixel(r.Left - 1, r.Top + 10), clBlack);

  // The title's blue glyphs lie in its line from row 5 (5 + h + 5 is ChartRect's top), centred on 244.
  int left = 489, right = -1, top = 225, bottom = -1;
  for (int y = 0; y < r.Top; ++y) {
    for (int x = 0; x < 489; ++x) {
      if (shown.Pixel(x, y) != clBlue) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = y;
    }
  }
  EXPECT_GE(top, 5);
  EXPECT_LT(bottom, r.Top - 5);
  EXPECT_NEAR((left + right) / 2.0, 244, 2);
}

TEST(ChartPanel, RepaintsOnlyWhenAskedAndOnceForManyRequests) {
  Shown shown;
  const int drawn = shown.chart->FullDrawCount();
  shown.chart->repaint();  // a paint with nothing changed copies the buffer
  EXPECT_EQ(shown.chart->FullDrawCount(), drawn);
  for (int i = 0; i < 1182; ++i) shown.chart->Invalidate();  // a tick's Clear and AddXY calls
  EXPECT_EQ(shown.chart->FullDrawCount(), drawn) << "nothing drawn inside the handler";
  QApplication::processEvents();
  EXPECT_EQ(shown.chart->FullDrawCount(), drawn + 1);

  shown.chart->SetMarginLeft(1);
  shown.chart->Gradient().SetEndColor(clSilver);
  EXPECT_FALSE(shown.chart->Canvas().Stale()) << "setters given the value held change nothing";
  shown.chart->SetMarginLeft(2);
  EXPECT_TRUE(shown.chart->Canvas().Stale());
}

TEST(ChartPanel, Chart3DPercentOutsideItsRangeIsRefused) {
  TChart chart;
  EXPECT_THROW(chart.SetChart3DPercent(0), ChartException);
  try {
    chart.SetChart3DPercent(101);
    ADD_FAILURE() << "101 accepted";
  } catch (const ChartException& e) {
    EXPECT_STREQ(e.what(), "3D effect percent must be between 1 and 100");
  }
}

}  // namespace
}  // namespace chart
