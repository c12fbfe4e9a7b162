#include "chart/chart_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace chart {
namespace {

using platform::clBlack, platform::clBlue, platform::clRed, platform::clSilver, platform::clWhite;

// A surface in the middle of a buffered frame on a white buffer.
struct Frame {
  explicit Frame(int w = 140, int h = 140) { canvas.PrepareFrame(nullptr, nullptr, clWhite, false, TRect{0, 0, w, h}); }
  TColor At(int x, int y) const { return canvas.Buffer()->PixelAt(x, y); }
  // The bounding box of the pixels in the given colours.
  QRect Extent(std::initializer_list<TColor> colors) const {
    QRect box;
    for (int y = 0; y < canvas.Buffer()->Height(); ++y)
      for (int x = 0; x < canvas.Buffer()->Width(); ++x)
        if (std::find(colors.begin(), colors.end(), At(x, y)) != colors.end()) box |= QRect(x, y, 1, 1);
    return box;
  }
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

TEST(ChartCanvas, WhiteToSilverGradientStartsOnItsDirectionsSide) {
  Frame frame(100, 60);  // one quadrant per direction
  frame.canvas.FillGradient(TRect{0, 0, 50, 30}, clWhite, clSilver, gdTopBottom);
  frame.canvas.FillGradient(TRect{50, 0, 100, 30}, clWhite, clSilver, gdBottomTop);
  frame.canvas.FillGradient(TRect{0, 30, 50, 60}, clWhite, clSilver, gdLeftRight);
  frame.canvas.FillGradient(TRect{50, 30, 100, 60}, clWhite, clSilver, gdRightLeft);
  const struct { int x, y; TColor color; } pixels[] = {{25, 29, clWhite}, {25, 0, clSilver}, {75, 0, clWhite},
      {75, 29, clSilver}, {49, 45, clWhite}, {0, 45, clSilver}, {50, 45, clWhite}, {99, 45, clSilver}};
  for (const auto& p : pixels) EXPECT_EQ(frame.At(p.x, p.y), p.color) << p.x << ", " << p.y;
}

TEST(ChartCanvas, ClipsToTheCubeOnePixelInsideAndToIntersections) {
  Frame frame;
  frame.canvas.ClipToCube(TRect{10, 20, 110, 120}, 0, 0);
  frame.canvas.SetBrushColor(clRed);
  frame.canvas.SetPenColor(clRed);
  frame.canvas.DrawRectangle(0, 0, 140, 140);
  EXPECT_EQ(frame.Extent({clRed}), QRect(QPoint(11, 21), QPoint(109, 118)));
  frame.canvas.ClipToRectangle(TRect{0, 0, 12, 22});
  frame.canvas.SetBrushColor(clBlue);
  frame.canvas.DrawRectangle(0, 0, 140, 140);
  EXPECT_EQ(frame.Extent({clBlue}), QRect(11, 21, 1, 1));
}

TEST(ChartCanvas, LinesTakeTheLoadedChartPen) {
  TDottedGrayPen smallDots;
  smallDots.SetSmallDots(true);
  // Columns 10..20 of rows 9, 10 and 11 after a line (10, 10)-(20, 10): '#' pen, 'r' background.
  const struct { const char* what; TChartPen pen; int mode; std::string drawn; } rows[] = {
      {"end pixel left out", TChartPen(), cbmTransparent, "..........." "##########."},
      {"hidden", TChartHiddenPen(), cbmTransparent, "..........." "..........."},
      {"axis: 2 pixels", TChartAxisPen(), cbmTransparent, "###########" "###########"},
      {"dotted, transparent", TDottedGrayPen(), cbmTransparent, "..........." "###...###.."},
      {"dotted, opaque", TDottedGrayPen(), cbmOpaque, "..........." "###rrr###r."},
      {"small dots", smallDots, cbmTransparent, "..........." "#.#.#.#.#.."},
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

TEST(ChartCanvas, RotatedTextTurnsCounterClockwiseAndAbove360TurnsOnceLess) {
  const QString text = QStringLiteral("Oscilloscope");
  for (const int angle : {90, 450}) {
    Frame frame(200, 200);
    frame.canvas.SetTextAlignment(TA_CENTER | TA_BOTTOM);
    frame.canvas.DrawRotatedText(100, 100, text, angle);
    // An axis title: reading upwards just left of (100, 100), centred on it.
    const int w = frame.canvas.MeasureTextWidth(text), h = frame.canvas.TextLineHeight();
    const QRect glyphs = frame.Extent({clBlack});
    EXPECT_TRUE(!glyphs.isEmpty() && QRect(100 - h, 100 - w + w / 2, h, w).contains(glyphs)) << angle;
  }
}

TEST(ChartCanvas, RedrawsFromTheBufferOnlyWhileItIsValid) {
  TChartCanvas3D canvas;
  QImage screen(720, 480, QImage::Format_RGB32);
  QPainter painter(&screen);
  painter.fillRect(screen.rect(), Qt::white);
  EXPECT_FALSE(canvas.RedrawFromBuffer(&painter)) << "no frame yet";
  const TRect window{216, 248, 705, 473};
  EXPECT_EQ(canvas.PrepareFrame(&painter, nullptr, clWhite, false, window), (TRect{0, 0, 489, 225}));
  canvas.SetPenColor(clRed);
  canvas.LineBetween(0, 0, 1, 0);  // pixel (0, 0)
  canvas.PresentFrame(&painter, window);
  EXPECT_EQ(std::pair(screen.pixel(216, 248), screen.pixel(215, 248)), std::pair(qRgb(255, 0, 0), qRgb(255, 255, 255)));
  painter.fillRect(screen.rect(), Qt::white);
  EXPECT_TRUE(canvas.RedrawFromBuffer(&painter));
  EXPECT_EQ(screen.pixel(0, 0), qRgb(255, 0, 0)) << "the kept frame copied";
  canvas.MarkStale();
  EXPECT_FALSE(canvas.RedrawFromBuffer(&painter));
  // A new size gets a new, white buffer.
  EXPECT_EQ(canvas.PrepareFrame(&painter, nullptr, clWhite, false, TRect{0, 0, 300, 100}), (TRect{0, 0, 300, 100}));
  EXPECT_EQ(canvas.Buffer()->Image().size(), QSize(300, 100));
  EXPECT_EQ(canvas.Buffer()->PixelAt(0, 0), clWhite);
}

}  // namespace
}  // namespace chart
