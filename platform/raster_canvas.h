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

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <span>

#include "platform/colors.h"

namespace platform {

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
  void SetFontColor(TColor color);
  TColor FontColor() const { return fontColor_; }
  QPoint PenPos() const { return penPos_; }

  // Fills (x1, y1)-(x2, y2) with the brush, no outline.
  void FillRect(int x1, int y1, int x2, int y2);
  // Outlines with the pen and fills the inside with the brush.
  void Rectangle(int x1, int y1, int x2, int y2);
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
  // in the brush colour, the glyphs in the font colour.
  void TextOut(int x, int y, const QString& text);
  QSize TextExtent(const QString& text) const;

  // The colour at a pixel, as 0x00BBGGRR; for tests and for the picture's readers.
  TColor PixelAt(int x, int y) const;

 private:
  QImage image_;
  TColor penColor_ = clBlack;
  int penWidth_ = 1;
  TColor brushColor_ = clWhite;
  QFont font_;
  TColor fontColor_ = clBlack;
  QPoint penPos_{0, 0};
};

}  // namespace platform
