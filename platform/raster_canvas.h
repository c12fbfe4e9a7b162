// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A raster drawing surface on a QImage with the pixel rules the program's pictures are
// drawn by:
//   - a rectangle (x1, y1)-(x2, y2) covers columns x1..x2-1 and rows y1..y2-1;
//   - a 1-pixel line leaves out its end pixel;
//   - polygons fill by the alternate (odd-even) rule;
//   - a pen wider than 1 pixel is centred on the path with round ends and joins;
//   - everything is aliased and integer.
// A new surface is white, with a black pen of width 1, a white brush, the default font
// ("MS Sans Serif", 11 px, black) and the current position at (0, 0).
//
// Where those rules leave a choice, this surface decides:
//   - Two geometries meet. FillRect, Rectangle and Ellipse take box corners: pixel (i, j)
//     is the unit square [i, i+1) x [j, j+1), sampled at its centre, so the box
//     (x1, y1)-(x2, y2) holds columns x1..x2-1. Lines and polygons take pixel centres: the
//     point (x, y) is the pixel (x, y) itself.
//   - A box with x2 <= x1 or y2 <= y1 is empty and draws nothing, outline included (the
//     corners are not swapped).
//   - 1-pixel lines are Bresenham lines; where the true line passes exactly half-way
//     between two pixels, the one nearer the start point's row (or column) is taken.
//   - A polygon's interior is the set of pixels inside the polygon through the points,
//     by the odd-even rule; a pixel exactly on an edge belongs to the interior when the
//     edge bounds it on the left or on top, not on the right or below (the rule that makes
//     a box hold x1..x2-1). The outline is drawn over the interior and closes the path, so
//     with a 1-pixel pen every vertex's pixel is drawn and every pixel on an edge is the
//     pen's: a filled and outlined polygon covers its right and bottom edges too.
//   - A pen of width w > 1 covers the pixels whose centres lie within w/2 of the path
//     (segments with discs at their ends and joins), and so includes the end point. For an
//     even w the path is moved half a pixel up and left, as no pixel row is centred on it:
//     a 2-pixel line from (x1, y) to (x2, y), x1 < x2, covers columns x1-1..x2 of rows y-1
//     and y.
//   - An ellipse covers the pixels whose centres lie inside the ellipse inscribed in its
//     box. Its 1-pixel outline is the ring of those pixels with a side neighbour outside;
//     a pen of width w grows the ring (w-1)/2 pixels outward (rounded down) and the rest
//     inward.
//   - A wider pen on Rectangle strokes the closed path through the 1-pixel outline's
//     corners (x1, y1), (x2-1, y1), (x2-1, y2-1), (x1, y2-1) over the brush-filled inside.
//   - A pen width below 1 is taken as 1.
//   - TextOut's cell is TextExtent(text) at (x, y): the text's advance wide and the
//     font's ascent plus descent high. The font is rendered without antialiasing, so each
//     pixel of the cell is either the brush or the font colour. TextOut leaves the current
//     position alone, as do Polyline and Polygon.
//   - Drawing is clipped to the surface and to the clip rectangle, which covers columns
//     x1..x2-1 and rows y1..y2-1 like any box. PixelAt outside the surface gives clNone.
//   - Colours are resolved with ColorToRGB: system colours take the classic scheme,
//     clDefault and clNone draw black.
//   - Pen styles follow the window system's cosmetic pens: a 1-pixel line steps through
//     its pattern pixel by pixel along its longer axis (dash 18 on 6 off, dot 3 on 3 off,
//     dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3, alternate 1 on 1 off), starting afresh
//     with each call and running on across the segments of one path. The gaps take the
//     background colour when the background is opaque and are left alone otherwise. A pen
//     wider than 1 pixel draws solid whatever its style, as the window system's does. A
//     clear pen draws nothing: Rectangle then fills the whole box, Ellipse the whole
//     ellipse with the brush. A clear brush fills nothing.
//   - DrawText places the text cell (advance wide, ascent plus descent high) by its
//     reference point and the alignment flags, rotated counter-clockwise about the
//     reference point by whole degrees with the alignment taken in the rotated frame; an
//     opaque background fills the rotated cell with the background colour first. Each text
//     is rendered once per font and angle and kept as pixel runs, so a label drawn again
//     on the next frame is a copy of runs. Off the right angles the cell's corner is
//     rounded to a whole pixel.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/colors.h"

namespace platform {

enum class LineStyle { Solid, Dash, Dot, DashDot, DashDotDot, Alternate, Clear };
enum class FillStyle { Solid, Clear };

// DrawText's reference point: one horizontal flag or-ed with one vertical flag.
inline constexpr int AlignLeft = 0;
inline constexpr int AlignRight = 2;
inline constexpr int AlignCenter = 6;
inline constexpr int AlignTop = 0;
inline constexpr int AlignBottom = 8;
inline constexpr int AlignBaseline = 24;

class RasterCanvas {
 public:
  RasterCanvas(int width, int height);

  const QImage& Image() const { return image_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

  // Pen, brush, font and current position.
  void SetPenColor(TColor color);
  TColor PenColor() const { return penColor_; }
  void SetPenWidth(int width);
  int PenWidth() const { return penWidth_; }
  void SetBrushColor(TColor color);
  TColor BrushColor() const { return brushColor_; }
  void SetFont(const QFont& font);
  const QFont& Font() const { return font_; }
  // The text colour of TextOut and DrawText.
  void SetFontColor(TColor color);
  TColor FontColor() const { return fontColor_; }
  QPoint PenPos() const { return penPos_; }
  void SetPenStyle(LineStyle style) { penStyle_ = style; }
  LineStyle PenStyle() const { return penStyle_; }
  void SetBrushStyle(FillStyle style) { brushStyle_ = style; }
  FillStyle BrushStyle() const { return brushStyle_; }
  // Behind dotted lines and DrawText; a new surface's is transparent and white.
  void SetOpaqueBackground(bool opaque) { opaqueBackground_ = opaque; }
  bool OpaqueBackground() const { return opaqueBackground_; }
  void SetBackgroundColor(TColor color);
  TColor BackgroundColor() const { return backgroundColor_; }
  // AlignLeft, AlignRight or AlignCenter or-ed with AlignTop, AlignBottom or AlignBaseline.
  void SetTextAlign(int flags) { textAlign_ = flags; }
  int TextAlign() const { return textAlign_; }

  // Narrows the clip rectangle to its intersection with (x1, y1)-(x2, y2).
  void IntersectClip(int x1, int y1, int x2, int y2);
  // Back to the whole surface.
  void RemoveClip();
  QRect ClipRect() const { return QRect(clipLeft_, clipTop_, clipRight_ - clipLeft_, clipBottom_ - clipTop_); }

  // Fills (x1, y1)-(x2, y2) with the brush, no outline.
  void FillRect(int x1, int y1, int x2, int y2);
  // Outlines with the pen and fills the inside with the brush.
  void Rectangle(int x1, int y1, int x2, int y2);
  // The one-pixel outline of the box, each pixel inverted against the colour (inverse of
  // colour xor pixel) exactly once: drawing it twice gives the pixels back.
  void NotXorOutline(int x1, int y1, int x2, int y2, TColor color);
  // Inscribed in the rectangle: pen outline, brush fill.
  void Ellipse(int x1, int y1, int x2, int y2);
  // Closed; filled with the brush by the alternate rule, outlined with the pen.
  void Polygon(std::span<const QPoint> points);
  // Open; pen only.
  void Polyline(std::span<const QPoint> points);
  void MoveTo(int x, int y);
  // From the current position, which moves to (x, y).
  void LineTo(int x, int y);
  // The top-left corner of the text's cell at (x, y), each character cell's background
  // in the brush colour (left alone with a clear brush), the glyphs in the font colour;
  // alignment and background mode play no part.
  void TextOut(int x, int y, const QString& text);
  // At the reference point (x, y) by the text alignment, turned `angle` degrees
  // counter-clockwise, glyphs in the font colour, the cell per the background mode.
  void DrawText(int x, int y, const QString& text, int angle = 0);
  QSize TextExtent(const QString& text) const;

  // For callers that draw many pieces in few colours and would otherwise pay for the pen
  // on every one. The value a colour is written as:
  static std::uint32_t PixelOf(TColor color);
  // Each what LineTo draws from `from` to `to` with a solid 1-pixel pen in `pixel` (end
  // pixel left out, clipped), in order, leaving the pen and the current position alone.
  struct SolidSegment {
    QPoint from;
    QPoint to;
    std::uint32_t pixel;
  };
  void SolidLines(std::span<const SolidSegment> segments);
  // The pixels of an RGB32 image with its top-left corner at (x, y), clipped.
  void PutImage(int x, int y, const QImage& image);

  // The colour at a pixel, as 0x00BBGGRR; for tests and for the picture's readers.
  TColor PixelAt(int x, int y) const;

  // Off the plain way, dotted lines go run by run, and lines and texts that lie wholly
  // inside the clip are written without a test per pixel. The pixels are the same either
  // way; the plain one is kept to compare against.
  void SetPlainDrawing(bool plain) { plainDrawing_ = plain; }
  bool PlainDrawing() const { return plainDrawing_; }

 private:
  // A polygon edge stepped row by row in exact integer arithmetic: at the current row the
  // edge crosses at x = column - remainder/dy, so column is that x rounded up.
  struct PolygonEdge {
    int yTop;
    int yBottom;  // first row below the edge
    int column;
    std::int64_t remainder;  // 0 <= remainder < dy
    std::int64_t dy;
    int columnStep;
    std::int64_t remainderStep;
  };

  // A text as pixel runs about its cell's top-left corner, which sits at (0, 0).
  struct TextSpan {
    int y;
    int x1;
    int x2;  // columns x1..x2-1
  };
  // The box that holds a set of spans, (left, top)-(right, bottom) as any box.
  struct SpanBounds {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
  };
  struct RenderedText {
    int width;
    int height;
    int ascent;
    std::vector<TextSpan> glyphs;
    std::vector<TextSpan> cell;
    SpanBounds glyphBounds;
    SpanBounds cellBounds;
  };
  struct TextKey {
    int font;  // index into fonts_
    int angle;  // 0..359
    QString text;
    friend bool operator==(const TextKey&, const TextKey&) = default;
  };
  struct TextKeyHash {
    std::size_t operator()(const TextKey& key) const;
  };

  std::uint32_t* Row(int y) { return reinterpret_cast<std::uint32_t*>(bits_ + y * bytesPerLine_); }
  // These two are defined in raster_canvas_internal.h, where every drawing file's inner
  // loops can take them in; why the second is a template is told there.
  inline void BeginDrawing();
  template <int = 0>
  void HorizontalSpan(int x1, int x2, int y, std::uint32_t pixel);  // columns x1..x2-1
  void FillBox(int x1, int y1, int x2, int y2, std::uint32_t pixel);
  // Bresenham from `from` towards `to`, the end pixel left out; a tie half-way between
  // two pixels goes to the start point's side. plot(x, y) for each pixel, unclipped.
  template <class Plot>
  static void WalkLine(QPoint from, QPoint to, Plot plot);
  void ThinLine(QPoint from, QPoint to, std::uint32_t pixel);  // end pixel left out
  // ThinLine for ends that both lie inside the clip.
  void LineInside(QPoint from, QPoint to, std::uint32_t pixel);
  bool InsideClip(QPoint p) const {
    return p.x() >= clipLeft_ && p.x() < clipRight_ && p.y() >= clipTop_ && p.y() < clipBottom_;
  }
  // Solid or patterned by the pen style; `phase` carries the pattern along a path.
  void StyledLine(QPoint from, QPoint to, int& phase);
  const RenderedText& Rendered(const QString& text, int angle);
  static SpanBounds BoundsOf(const std::vector<TextSpan>& spans);
  void PaintSpans(int x, int y, const std::vector<TextSpan>& spans, const SpanBounds& bounds, std::uint32_t pixel);
  // Whether (x1, y1)-(x2, y2) lies wholly inside the clip.
  bool InsideClip(int x1, int y1, int x2, int y2) const {
    return x1 >= clipLeft_ && y1 >= clipTop_ && x2 <= clipRight_ && y2 <= clipBottom_;
  }
  void WideSegment(QPoint from, QPoint to);
  void FillPolygon(std::span<const QPoint> points, std::uint32_t pixel);
  void StrokePath(std::span<const QPoint> points, bool closed);
  struct Span {
    int left;
    int right;  // inclusive; left > right when the row misses the ellipse
  };
  void EllipseSpans(int x1, int y1, int x2, int y2, int grow, std::vector<Span>& spans) const;

  QImage image_;
  TColor penColor_ = clBlack;
  int penWidth_ = 1;
  LineStyle penStyle_ = LineStyle::Solid;
  TColor brushColor_ = clWhite;
  FillStyle brushStyle_ = FillStyle::Solid;
  QFont font_;
  QFontMetrics metrics_;
  TColor fontColor_ = clBlack;
  QPoint penPos_{0, 0};
  bool opaqueBackground_ = false;
  TColor backgroundColor_ = clWhite;
  int textAlign_ = AlignLeft | AlignTop;
  int clipLeft_ = 0;
  int clipTop_ = 0;
  int clipRight_;
  int clipBottom_;
  bool plainDrawing_ = false;

  std::uint32_t penPixel_;
  std::uint32_t brushPixel_;
  std::uint32_t backgroundPixel_;
  int fontIndex_ = 0;
  std::vector<QFont> fonts_;  // every font this surface has drawn text in
  std::unordered_map<TextKey, RenderedText, TextKeyHash> texts_;
  QImage textMask_;  // where texts are rendered before they are kept as runs
  uchar* bits_ = nullptr;
  qsizetype bytesPerLine_ = 0;
  // Scratch space kept between calls so that drawing allocates nothing per call.
  std::vector<PolygonEdge> edges_;
  std::vector<int> crossings_;
  std::vector<Span> outerSpans_;
  std::vector<Span> innerSpans_;
};

}  // namespace platform
