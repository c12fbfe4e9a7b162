// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_canvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "chart/chart.h"
#include "chart/line_series.h"
#include "tests/support/reference_image.h"

namespace chart {
namespace {

using platform::clBlack, platform::clBlue, platform::clRed, platform::clSilver, platform::clWhite;

// A surface in the middle of a buffered frame on a white buffer.
struct Frame {
  explicit Frame(int w = 140, int h = 140) { canvas.PrepareFrame(nullptr, nullptr, clWhite, false, TRect{0, 0, w, h}); }
  TColor At(int x, int y) const { return canvas.Buffer()->PixelAt(x, y); }
  TChartCanvas3D canvas;
};

TEST(ChartCanvas, GradientPaintsAtMost256NearlyEqualBandsFromTheBottomUp) {
  for (const auto& [height, bands] : {std::pair(0, 0), std::pair(1, 1), std::pair(600, 256)}) {
    SCOPED_TRACE(height);
    Frame frame(20, height + 20);
    frame.canvas.FillGradient(TRect{0, 0, 20, height + 20}, clRed, clRed, gdTopBottom);
    frame.canvas.FillGradient(TRect{0, 10, 20, 10 + height}, clWhite, clBlack, gdTopBottom);
    EXPECT_EQ(std::pair(frame.At(5, 9), frame.At(5, 10 + height)), std::pair(clRed, clRed));
    // White to black in 256 bands steps one grey level a band, so every band shows.
    std::vector<int> heights;
    for (int y = 10 + height - 1; y >= 10; --y) {
      if (y == 10 + height - 1 || frame.At(5, y) != frame.At(5, y + 1)) heights.push_back(0);
      ++heights.back();
    }
    ASSERT_EQ(static_cast<int>(heights.size()), bands);
    if (bands == 0) continue;
    EXPECT_LE(*std::max_element(heights.begin(), heights.end()) - *std::min_element(heights.begin(), heights.end()),
              1);
  }
}

TEST(ChartCanvas, LinesTakeTheLoadedChartPen) {
  TDottedGrayPen smallDots;
  smallDots.SetSmallDots(true);
  TChartAxisPen blueAxis;
  blueAxis.SetColor(clBlue);
  TChartPen assigned;  // every property of another pen at once
  assigned.Assign(blueAxis);
  // Columns 10..20 of rows 9, 10 and 11 after a line (10, 10)-(20, 10): '#' pen, 'r' background.
  const struct { const char* what; TChartPen pen; int mode; std::string drawn; } rows[] = {
      {"end pixel left out", TChartPen(), cbmTransparent, "..........." "##########."},
      {"hidden", TChartHiddenPen(), cbmTransparent, "..........." "..........."},
      {"axis: 2 pixels", TChartAxisPen(), cbmTransparent, "###########" "###########"},
      {"dotted, transparent", TDottedGrayPen(), cbmTransparent, "..........." "###...###.."},
      {"dotted, opaque", TDottedGrayPen(), cbmOpaque, "..........." "###rrr###r."},
      {"small dots", smallDots, cbmTransparent, "..........." "#.#.#.#.#.."},
      {"assigned", assigned, cbmTransparent, "###########" "###########"},
  };
  for (const auto& r : rows) {
    Frame frame;
    frame.canvas.SetBackgroundColor(clRed);
    frame.canvas.SetBackgroundMode(r.mode);
    frame.canvas.UseChartPen(r.pen);
    frame.canvas.DrawHorizontalLine(10, 20, 10);
    const auto mark = [&](TColor c) { return c == r.pen.Color() ? '#' : c == clRed ? 'r' : c == clWhite ? '.' : '?'; };
    std::string drawn;
    for (int y = 9; y <= 11; ++y)
      for (int x = 10; x <= 20; ++x) drawn += mark(frame.At(x, y));
    EXPECT_EQ(drawn, r.drawn + "...........") << r.what;
  }
}

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
  QWidget window;
  TChart* chart;
};

// The panel: margins as percentages, the title's line and a gap below it; gradient, bevel,
// title and the black outline and inside of the wall. Below it, on a white frame: white to
// silver from each direction's side, one quadrant each; a fill clipped to a cube one pixel
// inside its rectangle, then to a corner of that; a title rotated 90 degrees and one rotated
// 450, both reading upwards left of their point.
TEST(ChartPanel, MarginsAndThePaintedPanelGradientsClipsAndRotatedText) {
  Shown shown;
  TChartCanvas3D probe;
  probe.UseFont(TitleFont());
  EXPECT_EQ(shown.chart->ChartRect(), (TRect{5, 5 + probe.TextLineHeight() + 5, 484, 220}));
  for (const auto& [w, rect] : {std::pair(489, TRect{5, 5, 484, 220}), {978, TRect{10, 5, 968, 220}}}) {
    EXPECT_EQ(Shown(w, false).chart->ChartRect(), rect) << w << " untitled";
  }
  Frame frame(200, 200);
  TChartCanvas3D& c = frame.canvas;
  c.FillGradient(TRect{0, 0, 50, 30}, clWhite, clSilver, gdTopBottom);
  c.FillGradient(TRect{50, 0, 100, 30}, clWhite, clSilver, gdBottomTop);
  c.FillGradient(TRect{0, 30, 50, 60}, clWhite, clSilver, gdLeftRight);
  c.FillGradient(TRect{50, 30, 100, 60}, clWhite, clSilver, gdRightLeft);
  c.ClipToCube(TRect{10, 70, 110, 170}, 0, 0);
  c.SetBrushColor(clRed);
  c.SetPenColor(clRed);
  c.DrawRectangle(0, 0, 200, 200);
  c.ClipToRectangle(TRect{0, 0, 12, 72});
  c.SetBrushColor(clBlue);
  c.DrawRectangle(0, 0, 200, 200);
  c.RemoveClip();
  c.SetTextAlignment(TA_CENTER | TA_BOTTOM);
  c.DrawRotatedText(150, 100, QStringLiteral("Oscilloscope"), 90);
  c.DrawRotatedText(185, 100, QStringLiteral("Oscilloscope"), 450);
  EXPECT_TRUE(MatchesReference(Stacked({shown.chart->Canvas().Buffer()->Image(), c.Buffer()->Image()}), "canvas"));
}

// A chart on a window asks Qt for one paint however often its data change before it comes,
// and paints nothing inside the handler that changes them.
TEST(ChartPanel, OneRepaintRequestStandsUntilItsPaintComes) {
  Shown shown;
  TChart& chart = *shown.chart;
  TLineSeries series;
  series.SetParentChart(&chart);
  QApplication::processEvents();
  const int drawn = chart.FullDrawCount();
  chart.repaint();  // a paint with nothing changed copies the buffer
  EXPECT_EQ(chart.FullDrawCount(), drawn);
  for (int tick = 0; tick < 3; ++tick) {
    const int requests = chart.RepaintRequestCount(), draws = chart.FullDrawCount();
    series.Clear();
    for (int i = 0; i < 1179; ++i) series.AddXY(i * 0.002, i % 7, QString(), clRed);
    EXPECT_EQ(std::pair(chart.RepaintRequestCount(), chart.FullDrawCount()), std::pair(requests + 1, draws)) << tick;
    QApplication::processEvents();
    EXPECT_EQ(chart.FullDrawCount(), draws + 1) << tick;
    EXPECT_FALSE(chart.Canvas().Stale()) << tick;
  }
  chart.SetMarginLeft(1);
  chart.Gradient().SetEndColor(clSilver);
  EXPECT_FALSE(chart.Canvas().Stale()) << "setters given the value held change nothing";
  chart.SetMarginLeft(2);
  EXPECT_TRUE(chart.Canvas().Stale());
  QApplication::processEvents();
  // Hidden, it asks for nothing; shown again, it is painted with what changed meanwhile.
  shown.window.hide();
  const int requests = chart.RepaintRequestCount(), draws = chart.FullDrawCount();
  series.Clear();
  EXPECT_EQ(chart.RepaintRequestCount(), requests);
  shown.window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
  QApplication::processEvents();
  EXPECT_EQ(chart.FullDrawCount(), draws + 1);
  EXPECT_FALSE(chart.Canvas().Stale());
}

}  // namespace
}  // namespace chart
