// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/raster_canvas.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <functional>
#include <vector>

#include "tests/support/reference_image.h"

namespace platform {
namespace {

constexpr TColor Pen = RGB(200, 0, 0), Brush = RGB(0, 0, 200), Background = RGB(0, 200, 0);

RasterCanvas Canvas(int width, int height, int penWidth = 1) {
  RasterCanvas canvas(width, height);
  canvas.SetPenColor(Pen);
  canvas.SetBrushColor(Brush);
  canvas.SetPenWidth(penWidth);
  canvas.SetBackgroundColor(Background);
  return canvas;
}

// The bounding box of the pixels not white, and how many are of `color`.
std::pair<QRect, int> Drawn(const RasterCanvas& canvas, TColor color) {
  QRect box;
  int count = 0;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (canvas.PixelAt(x, y) != clWhite) box |= QRect(x, y, 1, 1);
      count += canvas.PixelAt(x, y) == color;
    }
  }
  return {box, count};
}

// Each drawing on its own canvas, one below the other. The reference was checked pixel by pixel:
// boxes cover x1..x2-1 and y1..y2-1 and an empty one draws nothing; thin lines leave out their end
// pixel and break a tie towards the start; wide pens are centred (half a pixel up and left when
// even) with round ends and joins; polygons fill by the alternate rule under their outline; a
// 3-pixel ellipse ring grows one pixel out; dotted gaps take the background only when opaque and
// keep their place under a clip; the not-xor outline inverts each pixel once and twice gives back.
TEST(RasterCanvas, ShapesLinesAndPensAgainstTheReference) {
  std::vector<QImage> pictures;
  const auto draw = [&](RasterCanvas canvas, const std::function<void(RasterCanvas&)>& how) {
    how(canvas);
    pictures.push_back(canvas.Image().copy());
  };
  draw(Canvas(12, 10), [](RasterCanvas& c) { c.FillRect(3, 2, 9, 7); });
  draw(Canvas(12, 10), [](RasterCanvas& c) { c.Rectangle(3, 2, 9, 7); });
  draw(Canvas(12, 10), [](RasterCanvas& c) { c.Rectangle(2, 5, 10, 6), c.Rectangle(2, 8, 10, 8), c.FillRect(9, 3, 3, 1); });
  const std::vector<std::vector<QPoint>> thin = {{{2, 3}, {6, 3}}, {{5, 0}, {3, 6}}, {{0, 0}, {4, 2}},
                                                 {{4, 2}, {0, 0}}, {{3, 3}, {3, 3}}, {{1, 1}, {4, 1}, {4, 3}}};
  for (const auto& path : thin) {
    RasterCanvas lines(8, 8), polyline(8, 8);
    lines.MoveTo(path[0].x(), path[0].y());
    for (const QPoint& p : path) lines.LineTo(p.x(), p.y());
    polyline.Polyline(path);
    EXPECT_EQ(lines.Image(), polyline.Image()) << path.size();
    pictures.push_back(lines.Image().copy());
  }
  const std::pair<int, std::vector<QPoint>> wide[] = {
      {2, {{5, 10}, {15, 10}}}, {5, {{10, 10}, {20, 10}}}, {5, {{10, 10}, {20, 10}, {20, 20}}}};
  for (const auto& [width, path] : wide) draw(Canvas(30, 30, width), [&](RasterCanvas& c) { c.Polyline(path); });
  const std::vector<std::pair<QPoint, QPoint>> twoPixel = {
      {{5, 10}, {15, 10}}, {{15, 10}, {5, 10}}, {{7, 3}, {7, 18}}, {{7, 18}, {7, 3}}, {{9, 9}, {9, 9}}, {{0, 0}, {0, 5}}};
  for (const auto& [from, to] : twoPixel) {
    draw(Canvas(24, 24, 2), [&](RasterCanvas& c) { c.Polyline(std::vector<QPoint>{from, to}); });
  }
  draw(Canvas(14, 14), [](RasterCanvas& c) { c.Polygon(std::vector<QPoint>{{0, 0}, {10, 0}, {0, 10}}); });
  draw(Canvas(100, 100), [](RasterCanvas& c) {
    c.Polygon(std::vector<QPoint>{{50, 10}, {74, 82}, {12, 38}, {88, 38}, {26, 82}});
  });
  draw(Canvas(30, 30, 3), [](RasterCanvas& c) { c.Ellipse(3, 8, 23, 18); });
  const struct { LineStyle style; bool opaque; int clipLeft, width; } styles[] = {
      {LineStyle::Dot, false, 0, 1}, {LineStyle::Dot, true, 0, 1},   {LineStyle::Dot, true, 5, 1},
      {LineStyle::Alternate, true, 0, 1}, {LineStyle::Clear, true, 0, 1}, {LineStyle::Dot, true, 0, 3}};
  for (const auto& s : styles) {
    draw(Canvas(30, 3, s.width), [&](RasterCanvas& c) {
      c.SetPenStyle(s.style);
      c.SetOpaqueBackground(s.opaque);
      c.IntersectClip(s.clipLeft, 0, 30, 3);
      c.MoveTo(0, 1);
      c.LineTo(28, 1);
    });
  }
  for (const int times : {1, 2}) {
    draw(Canvas(20, 20), [&](RasterCanvas& c) {
      c.FillRect(0, 0, 20, 10);
      for (int i = 0; i < times; ++i) c.NotXorOutline(2, 3, 12, 15, RGB(212, 208, 200));
    });
  }
  QImage all = Stacked({});
  for (const QImage& p : pictures) all = Stacked({all, p});
  EXPECT_TRUE(MatchesReference(all, "canvas-shapes"));
}

TEST(RasterCanvas, TextCellTakesTheBrushBehindUnantialiasedGlyphs) {
  RasterCanvas canvas = Canvas(120, 40);
  canvas.SetFontColor(Pen);
  canvas.TextOut(10, 5, QStringLiteral("MOTOR"));
  const QRect cell(QPoint(10, 5), canvas.TextExtent(QStringLiteral("MOTOR")));
  const auto [box, glyphs] = Drawn(canvas, Pen);
  EXPECT_EQ(box, cell);
  EXPECT_GT(glyphs, 30);
  EXPECT_EQ(glyphs + Drawn(canvas, Brush).second, cell.width() * cell.height()) << "no third colour";
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
    const QRect drawn = Drawn(canvas, Pen).first;
    EXPECT_TRUE(!drawn.isEmpty() && QRect(5, 4, 10, 8).contains(drawn)) << drawn.x() << ", " << drawn.y();
  }
}

}  // namespace
}  // namespace platform
