#include "chart/chart.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

namespace chart {
namespace {

using platform::TColor;

// A chart in a window, painted through Qt as the program paints it.
struct Shown {
  explicit Shown(int width = 489, int height = 225) {
    window.resize(width + 20, height + 20);
    chart = new TChart(&window);
    chart->setGeometry(10, 10, width, height);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();
  }

  // The oscilloscope's own panel settings; the axes are switched off so that the panel's
  // own layout shows alone.
  void LikeTheOscilloscope() {
    chart->BeginLoading();
    chart->SetAxisVisible(false);
    chart->SetMarginLeft(1);
    chart->SetMarginTop(2);
    chart->SetMarginRight(1);
    chart->SetMarginBottom(2);
    chart->SetColor(platform::clMenu);
    chart->Gradient().SetEndColor(platform::clSilver);
    chart->Gradient().SetVisible(true);
    chart->Title().Font() = TChartFont(QStringLiteral("Tahoma"), 13, platform::clBlue, true);
    chart->Title().SetText({QStringLiteral("Oscilloscope")});
    chart->BackWall().Brush().SetColor(platform::clWhite);
    chart->BackWall().SetColor(platform::clBlack);
    chart->SetBackColor(platform::clBlack);
    chart->Legend().SetVisible(false);
    chart->SetView3D(false);
    chart->EndLoading();
    Repaint();
  }

  void Repaint() {
    chart->Invalidate();
    QApplication::processEvents();
  }

  TColor Pixel(int x, int y) const { return chart->Canvas().Buffer()->PixelAt(x, y); }

  QWidget window;
  TChart* chart;
};

int TitleHeight() {
  TChartCanvas3D probe;
  probe.UseFont(TChartFont(QStringLiteral("Tahoma"), 13, platform::clBlue, true));
  return probe.TextLineHeight();
}

TEST(ChartPanel, MarginsArePercentagesRoundedHalfAwayFromZero) {
  const struct {
    int width, height;
    TRect chartRect;
  } rows[] = {{489, 225, {5, 5, 484, 220}}, {978, 225, {10, 5, 968, 220}}};
  for (const auto& r : rows) {
    Shown shown(r.width, r.height);
    shown.LikeTheOscilloscope();
    shown.chart->Title().SetVisible(false);
    shown.Repaint();
    EXPECT_EQ(shown.chart->ChartRect(), r.chartRect) << r.width;
  }
}

TEST(ChartPanel, TitleTakesItsLineAndAGapAtTheTop) {
  Shown shown;
  shown.LikeTheOscilloscope();
  const int h = TitleHeight();
  EXPECT_EQ(shown.chart->ChartRect(), (TRect{5, 5 + h + 5, 484, 220}));

  // The title's blue glyphs start on row 5 and are centred on column 244.
  int left = 489, right = -1, top = 225;
  for (int y = 0; y < 5 + h; ++y) {
    for (int x = 0; x < 489; ++x) {
      if (shown.Pixel(x, y) == platform::clBlue) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
      }
    }
  }
  ASSERT_GE(right, left) << "no title drawn";
  EXPECT_GE(top, 5);
  EXPECT_NEAR((left + right) / 2.0, 244, 2);

  shown.chart->Title().SetText({});
  shown.Repaint();
  EXPECT_EQ(shown.chart->ChartRect().Top, 5) << "a title without lines takes no room";
}

TEST(ChartPanel, PaintOrderLeavesGradientBevelAndBlackBackWall) {
  Shown shown;
  shown.LikeTheOscilloscope();
  const TRect r = shown.chart->ChartRect();
  const TColor highlight = platform::clWhite;
  const TColor shadow = platform::ColorToRGB(platform::clBtnShadow);
  const struct {
    const char* what;
    int x, y;
    TColor colour;
  } pixels[] = {
      {"bevel top", 100, 0, highlight},         {"bevel left", 0, 100, highlight},
      {"bevel top-left", 0, 0, highlight},      {"bevel right", 488, 100, shadow},
      {"bevel bottom", 100, 224, shadow},       {"bevel top-right", 488, 0, shadow},
      {"bevel bottom-left", 0, 224, shadow},    {"gradient near the bottom", 2, 223, platform::clWhite},
      {"gradient near the top", 2, 1, platform::clSilver},
      {"wall outline, left column", r.Left, r.Top + 10, platform::clBlack},
      {"wall outline, right column", r.Right, r.Top + 10, platform::clBlack},
      {"wall outline, bottom row", r.Left + 10, r.Bottom, platform::clBlack},
      {"wall inside", 244, 150, platform::clBlack},
  };
  for (const auto& p : pixels) {
    EXPECT_EQ(shown.Pixel(p.x, p.y), p.colour) << p.what;
  }
  EXPECT_NE(shown.Pixel(r.Right + 1, r.Top + 10), platform::clBlack) << "nothing beyond the outline";
  EXPECT_NE(shown.Pixel(r.Left - 1, r.Top + 10), platform::clBlack);
}

TEST(ChartPanel, WithoutAGradientTheControlTakesItsColour) {
  Shown shown;
  shown.chart->SetColor(platform::RGB(10, 200, 30));
  shown.Repaint();
  EXPECT_EQ(shown.Pixel(3, 3), platform::RGB(10, 200, 30));
  EXPECT_EQ(shown.Pixel(485, 221), platform::RGB(10, 200, 30));
}

TEST(ChartPanel, RepaintsOnlyWhenAskedAndOnceForManyRequests) {
  Shown shown;
  shown.LikeTheOscilloscope();
  const int drawn = shown.chart->FullDrawCount();

  shown.chart->repaint();  // a paint with nothing changed copies the buffer
  EXPECT_EQ(shown.chart->FullDrawCount(), drawn);

  for (int i = 0; i < 1182; ++i) {  // a tick's Clear and AddXY calls
    shown.chart->Invalidate();
  }
  EXPECT_EQ(shown.chart->FullDrawCount(), drawn) << "nothing drawn inside the handler";
  QApplication::processEvents();
  EXPECT_EQ(shown.chart->FullDrawCount(), drawn + 1);

  // Setters given the value held change nothing.
  shown.chart->SetMarginLeft(1);
  shown.chart->Gradient().SetEndColor(platform::clSilver);
  shown.chart->Title().SetText({QStringLiteral("Oscilloscope")});
  EXPECT_FALSE(shown.chart->Canvas().Stale());
  shown.chart->SetMarginLeft(2);
  EXPECT_TRUE(shown.chart->Canvas().Stale());
}

TEST(ChartPanel, Chart3DPercentOutsideItsRangeIsRefused) {
  TChart chart;
  for (int bad : {0, 101, -5}) {
    try {
      chart.SetChart3DPercent(bad);
      ADD_FAILURE() << bad << " accepted";
    } catch (const ChartException& e) {
      EXPECT_STREQ(e.what(), "3D effect percent must be between 1 and 100");
    }
  }
  EXPECT_EQ(chart.Chart3DPercent(), 15);
  chart.SetChart3DPercent(100);
  EXPECT_EQ(chart.Chart3DPercent(), 100);
}

TEST(ChartPanel, BackColorMakesTheWallSolidOnlyOnAChartInAWindowNotBeingLoaded) {
  QWidget window;
  TChart inWindow(&window);
  TChart loose;
  TChart loading(&window);
  loading.BeginLoading();
  for (TChart* chart : {&inWindow, &loose, &loading}) {
    ASSERT_EQ(chart->BackWall().Brush().Style(), bsClear);
    chart->SetBackColor(platform::clBlack);
    EXPECT_EQ(chart->BackWall().Color(), platform::clBlack);
  }
  EXPECT_EQ(inWindow.BackWall().Brush().Style(), bsSolid);
  EXPECT_EQ(loose.BackWall().Brush().Style(), bsClear);
  EXPECT_EQ(loading.BackWall().Brush().Style(), bsClear);
}

TEST(ChartPanel, ChartRectIsNormalisedWhenMarginsCross) {
  Shown shown(100, 100);
  shown.chart->SetAxisVisible(false);
  shown.chart->Title().SetVisible(false);
  shown.chart->SetMarginLeft(60);
  shown.chart->SetMarginRight(60);
  shown.Repaint();
  EXPECT_EQ(shown.chart->ChartRect().Left, 60);
  EXPECT_EQ(shown.chart->ChartRect().Right, 61) << "right of left by one";
  EXPECT_EQ(shown.chart->ChartWidth(), 1);
}

}  // namespace
}  // namespace chart
