#include "platform/raster_canvas.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr TColor Pen = RGB(200, 0, 0), Brush = RGB(0, 0, 200), Background = RGB(0, 200, 0);

struct Pixel { int x, y; TColor color; };
using Pixels = std::set<std::pair<int, int>>;

RasterCanvas Canvas(int width, int height, int penWidth = 1) {
  RasterCanvas canvas(width, height);
  canvas.SetPenColor(Pen);
  canvas.SetBrushColor(Brush);
  canvas.SetPenWidth(penWidth);
  canvas.SetBackgroundColor(Background);
  return canvas;
}

void ExpectPixels(const RasterCanvas& canvas, const std::vector<Pixel>& pixels) {
  for (const Pixel& p : pixels) EXPECT_EQ(canvas.PixelAt(p.x, p.y), p.color) << p.x << ", " << p.y;
}

// The pixels of one colour, or with `except` of every other colour.
Pixels PixelsOf(const RasterCanvas& canvas, TColor color, bool except = false) {
  Pixels found;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x)
      if ((canvas.PixelAt(x, y) == color) != except) found.insert({x, y});
  return found;
}

QRect NotWhite(const RasterCanvas& canvas) {
  QRect box;
  for (const auto& [x, y] : PixelsOf(canvas, clWhite, true)) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(RasterCanvas, BoxesCoverColumnsX1ToX2Minus1AndRowsY1ToY2Minus1) {
  RasterCanvas filled = Canvas(12, 10), outlined = Canvas(12, 10), degenerate = Canvas(12, 10);
  filled.FillRect(3, 2, 9, 7);
  outlined.Rectangle(3, 2, 9, 7);
  ExpectPixels(filled, {{3, 2, Brush}, {8, 6, Brush}, {9, 4, clWhite}, {5, 7, clWhite}, {2, 4, clWhite}});
  ExpectPixels(outlined, {{3, 2, Pen}, {8, 6, Pen}, {8, 4, Pen}, {5, 6, Pen}, {4, 3, Brush}, {7, 5, Brush},
                          {9, 4, clWhite}, {5, 7, clWhite}});
  // One row is all outline; zero height and swapped corners draw nothing.
  degenerate.Rectangle(2, 5, 10, 6);
  degenerate.Rectangle(2, 8, 10, 8);
  degenerate.FillRect(9, 3, 3, 1);
  EXPECT_EQ(NotWhite(degenerate), QRect(2, 5, 8, 1));
  EXPECT_EQ(PixelsOf(degenerate, Pen).size(), 8u);
}

TEST(RasterCanvas, ThinLinesLeaveOutTheirEndPixel) {
  const struct { const char* what; std::vector<QPoint> path; Pixels drawn; } rows[] = {
      {"right", {{2, 3}, {6, 3}}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
      {"steep, leftwards", {{5, 0}, {3, 6}}, {{5, 0}, {5, 1}, {4, 2}, {4, 3}, {4, 4}, {3, 5}}},
      // Half-way between two rows the one nearer the start is taken, so direction matters.
      {"tie, forwards", {{0, 0}, {4, 2}}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {"tie, backwards", {{4, 2}, {0, 0}}, {{4, 2}, {3, 2}, {2, 1}, {1, 1}}},
      {"zero length", {{3, 3}, {3, 3}}, {}},
      {"the next segment draws the corner", {{1, 1}, {4, 1}, {4, 3}}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    RasterCanvas lines(8, 8), polyline(8, 8);
    lines.MoveTo(r.path[0].x(), r.path[0].y());
    for (const QPoint& p : r.path) lines.LineTo(p.x(), p.y());
    polyline.Polyline(r.path);
    EXPECT_EQ(PixelsOf(lines, clBlack), r.drawn);
    EXPECT_EQ(PixelsOf(polyline, clBlack), r.drawn);
  }
}

TEST(RasterCanvas, WidePensAreCentredWithRoundEndsAndJoins) {
  const struct { int width; std::vector<QPoint> path; Pixels drawn, blank; } rows[] = {
      // No pixel row is centred on an even width: the path sits half a pixel up and left.
      {2, {{5, 10}, {15, 10}}, {{4, 9}, {4, 10}, {15, 9}, {15, 10}}, {{10, 8}, {10, 11}, {3, 10}, {16, 10}}},
      {5, {{10, 10}, {20, 10}}, {{15, 12}, {8, 9}, {8, 11}, {22, 9}, {22, 11}},
       {{15, 13}, {8, 8}, {8, 12}, {7, 10}, {22, 8}, {22, 12}, {23, 10}}},
      {5, {{10, 10}, {20, 10}, {20, 20}}, {{22, 9}, {21, 8}}, {{22, 8}, {23, 10}}},  // the join
  };
  for (const auto& r : rows) {
    RasterCanvas canvas = Canvas(30, 30, r.width);
    canvas.Polyline(r.path);
    for (const auto& [x, y] : r.drawn) EXPECT_EQ(canvas.PixelAt(x, y), Pen) << x << ", " << y;
    for (const auto& [x, y] : r.blank) EXPECT_EQ(canvas.PixelAt(x, y), clWhite) << x << ", " << y;
  }
}

// Every pixel of a 2-pixel line along a row or a column, against the rule itself: the
// centres within 1 of the path moved half a pixel up and left.
TEST(RasterCanvas, TwoPixelLinesAlongARowOrAColumnCoverTheCentresWithinOne) {
  const std::vector<std::pair<QPoint, QPoint>> segments = {
      {{5, 10}, {15, 10}}, {{15, 10}, {5, 10}}, {{7, 3}, {7, 18}}, {{7, 18}, {7, 3}}, {{9, 9}, {9, 9}}, {{0, 0}, {0, 5}}};
  for (const auto& [from, to] : segments) {
    RasterCanvas canvas = Canvas(24, 24, 2);
    canvas.Polyline(std::vector<QPoint>{from, to});
    Pixels expected;
    const double ax = from.x() - 0.5, ay = from.y() - 0.5, bx = to.x() - 0.5, by = to.y() - 0.5;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) {
        // The nearest point of the path to the pixel's centre.
        const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
        const double t = length2 == 0 ? 0 : std::clamp(((x - ax) * dx + (y - ay) * dy) / length2, 0.0, 1.0);
        const double ex = ax + t * dx - x, ey = ay + t * dy - y;
        if (ex * ex + ey * ey <= 1) expected.insert({x, y});
      }
    }
    EXPECT_EQ(PixelsOf(canvas, Pen), expected) << from.x() << "," << from.y() << " to " << to.x() << "," << to.y();
  }
}

TEST(RasterCanvas, ShapesFillInsideTheirOutlineByTheAlternateRule) {
  RasterCanvas triangle = Canvas(14, 14), star = Canvas(100, 100), ellipse = Canvas(30, 30, 3);
  triangle.Polygon(std::vector<QPoint>{{0, 0}, {10, 0}, {0, 10}});
  // Every vertex and the whole slanted edge are the pen's.
  ExpectPixels(triangle, {{10, 0, Pen}, {0, 10, Pen}, {5, 5, Pen}, {1, 1, Brush}, {4, 5, Brush}, {6, 5, clWhite}});
  star.Polygon(std::vector<QPoint>{{50, 10}, {74, 82}, {12, 38}, {88, 38}, {26, 82}});
  // The inner pentagon is crossed twice, the points once.
  ExpectPixels(star, {{50, 50, clWhite}, {50, 45, clWhite}, {50, 25, Brush}, {25, 40, Brush}, {50, 38, Pen}});
  // A 3-pixel ring grows one pixel out of the box (3, 8)-(23, 18) and two in.
  ellipse.Ellipse(3, 8, 23, 18);
  ExpectPixels(ellipse, {{2, 13, Pen}, {1, 13, clWhite}, {23, 13, Pen}, {24, 13, clWhite}, {13, 7, Pen},
                         {13, 6, clWhite}, {13, 9, Pen}, {13, 10, Brush}, {3, 8, clWhite}});
}

TEST(RasterCanvas, TextCellTakesTheBrushBehindUnantialiasedGlyphs) {
  RasterCanvas canvas = Canvas(120, 40);
  canvas.SetFontColor(Pen);
  canvas.TextOut(10, 5, QStringLiteral("MOTOR"));
  const QRect cell(QPoint(10, 5), canvas.TextExtent(QStringLiteral("MOTOR")));
  EXPECT_EQ(NotWhite(canvas), cell);
  const std::size_t glyphs = PixelsOf(canvas, Pen).size(), behind = PixelsOf(canvas, Brush).size();
  EXPECT_GT(glyphs, 30u);
  EXPECT_EQ(glyphs + behind, static_cast<std::size_t>(cell.width() * cell.height())) << "no third colour";
}

TEST(RasterCanvas, PenStylesPatternThinLinesWithGapsFilledOnlyOnAnOpaqueBackground) {
  // Row 1 after a line from (0, 1) to (28, 1): P pen, G background, . white.
  const struct { LineStyle style; bool opaque; const char* row; int clipLeft = 0, width = 1; } rows[] = {
      {LineStyle::Dot, false, "PPP...PPP...PPP...PPP...PPP..."},
      {LineStyle::Dot, true, "PPPGGGPPPGGGPPPGGGPPPGGGPPPG.."},
      {LineStyle::Dot, true, ".....GPPPGGGPPPGGGPPPGGGPPPG..", 5},  // clipping keeps the pattern's place
      {LineStyle::Alternate, true, "PGPGPGPGPGPGPGPGPGPGPGPGPGPG.."},
      {LineStyle::Clear, true, ".............................."},
      {LineStyle::Dot, true, "PPPPPPPPPPPPPPPPPPPPPPPPPPPPPP", 0, 3},  // wide pens draw solid
  };
  for (const auto& r : rows) {
    RasterCanvas canvas = Canvas(30, 3, r.width);
    canvas.SetPenStyle(r.style);
    canvas.SetOpaqueBackground(r.opaque);
    canvas.IntersectClip(r.clipLeft, 0, 30, 3);
    canvas.MoveTo(0, 1);
    canvas.LineTo(28, 1);
    std::string row;
    for (int x = 0; x < 30; ++x) {
      const TColor c = canvas.PixelAt(x, 1);
      row += c == Pen ? 'P' : c == Background ? 'G' : c == clWhite ? '.' : '?';
    }
    EXPECT_EQ(row, r.row);
  }
}

TEST(RasterCanvas, ClipRectangleBoundsEveryOperation) {
  const std::function<void(RasterCanvas&)> operations[] = {
      [](RasterCanvas& c) { c.FillRect(0, 0, 20, 16); },
      [](RasterCanvas& c) { c.Ellipse(-4, -4, 24, 20); },
      [](RasterCanvas& c) { c.Polygon(std::vector<QPoint>{{-5, -5}, {30, 8}, {-5, 20}}); },
      [](RasterCanvas& c) { c.LineTo(20, 16); },
      [](RasterCanvas& c) { c.SetPenWidth(5); c.MoveTo(0, 8); c.LineTo(20, 8); },
      [](RasterCanvas& c) { c.SetOpaqueBackground(true); c.DrawText(0, 16, QStringLiteral("WWWW"), 90); },
  };
  for (const auto& operation : operations) {
    RasterCanvas canvas = Canvas(20, 16);
    canvas.IntersectClip(2, 4, 15, 12);
    canvas.IntersectClip(5, 0, 18, 14);
    operation(canvas);
    const QRect drawn = NotWhite(canvas);
    EXPECT_TRUE(!drawn.isEmpty() && QRect(5, 4, 10, 8).contains(drawn)) << drawn.x() << ", " << drawn.y();
  }
}

TEST(RasterCanvas, NotXorOutlineDrawnTwiceGivesThePixelsBack) {
  RasterCanvas canvas = Canvas(20, 20);
  canvas.FillRect(0, 0, 20, 10);
  const QImage before = canvas.Image().copy();
  canvas.NotXorOutline(2, 3, 12, 15, RGB(212, 208, 200));
  // Inverse of colour xor pixel (the brush, RGB(0, 0, 200)) per channel; the corner inverted once, not twice.
  const TColor inverted = RGB(~(212 ^ 0) & 0xFF, ~(208 ^ 0) & 0xFF, ~(200 ^ 200) & 0xFF);
  ExpectPixels(canvas, {{5, 3, inverted}, {2, 3, inverted}, {6, 8, Brush}, {12, 8, Brush}});
  canvas.NotXorOutline(2, 3, 12, 15, RGB(212, 208, 200));
  EXPECT_EQ(canvas.Image(), before);
}

}  // namespace
}  // namespace platform
