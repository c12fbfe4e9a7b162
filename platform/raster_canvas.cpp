// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The surface itself: construction, the drawing state, the clip, and pixels written and
// read as they are. Lines, shapes and text are drawn in raster_lines.cpp,
// raster_shapes.cpp and raster_text.cpp.
#include "platform/raster_canvas.h"

#include <algorithm>

#include "platform/fonts.h"
#include "platform/raster_canvas_internal.h"

namespace platform {
namespace {

TColor FromPixel(std::uint32_t pixel) {
  return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

QFont Aliased(QFont font) {
  const int strategy = font.styleStrategy() & ~QFont::PreferAntialias;
  font.setStyleStrategy(QFont::StyleStrategy(strategy | QFont::NoAntialias));
  return font;
}

}  // namespace

using raster::ToPixel;

RasterCanvas::RasterCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32),
      font_(Aliased(DefaultFont())),
      metrics_(font_, &image_),
      clipRight_(image_.width()),
      clipBottom_(image_.height()),
      penPixel_(ToPixel(penColor_)),
      brushPixel_(ToPixel(brushColor_)),
      backgroundPixel_(ToPixel(backgroundColor_)),
      fonts_{font_} {
  image_.fill(Qt::white);
}

void RasterCanvas::SetPenColor(TColor color) {
  penColor_ = color;
  penPixel_ = ToPixel(color);
}

void RasterCanvas::SetPenWidth(int width) { penWidth_ = std::max(width, 1); }

void RasterCanvas::SetBrushColor(TColor color) {
  brushColor_ = color;
  brushPixel_ = ToPixel(color);
}

void RasterCanvas::SetFont(const QFont& font) {
  QFont aliased = Aliased(font);
  if (aliased == font_) {
    return;  // the chart sets the same font before each label
  }
  font_ = std::move(aliased);
  metrics_ = QFontMetrics(font_, &image_);
  const auto known = std::find(fonts_.begin(), fonts_.end(), font_);
  fontIndex_ = static_cast<int>(known - fonts_.begin());
  if (known == fonts_.end()) {
    fonts_.push_back(font_);
  }
}

void RasterCanvas::SetBackgroundColor(TColor color) {
  backgroundColor_ = color;
  backgroundPixel_ = ToPixel(color);
}

void RasterCanvas::IntersectClip(int x1, int y1, int x2, int y2) {
  clipLeft_ = std::max(clipLeft_, x1);
  clipTop_ = std::max(clipTop_, y1);
  clipRight_ = std::max(clipLeft_, std::min(clipRight_, x2));
  clipBottom_ = std::max(clipTop_, std::min(clipBottom_, y2));
}

void RasterCanvas::RemoveClip() {
  clipLeft_ = 0;
  clipTop_ = 0;
  clipRight_ = Width();
  clipBottom_ = Height();
}

void RasterCanvas::SetFontColor(TColor color) { fontColor_ = color; }

// --- pixels in and out ----------------------------------------------------------------

void RasterCanvas::FillBox(int x1, int y1, int x2, int y2, std::uint32_t pixel) {
  x1 = std::max(x1, clipLeft_);
  x2 = std::min(x2, clipRight_);
  if (x1 >= x2) {
    return;
  }
  for (int y = std::max(y1, clipTop_), yEnd = std::min(y2, clipBottom_); y < yEnd; ++y) {
    raster::FillPixels(Row(y) + x1, Row(y) + x2, pixel);
  }
}

std::uint32_t RasterCanvas::PixelOf(TColor color) { return ToPixel(color); }

void RasterCanvas::PutImage(int x, int y, const QImage& image) {
  const int x1 = std::max(x, clipLeft_);
  const int x2 = std::min(x + image.width(), clipRight_);
  const int y1 = std::max(y, clipTop_);
  const int y2 = std::min(y + image.height(), clipBottom_);
  if (x1 >= x2) {
    return;
  }
  BeginDrawing();
  for (int row = y1; row < y2; ++row) {
    const auto* from = reinterpret_cast<const std::uint32_t*>(image.constScanLine(row - y)) + (x1 - x);
    std::copy(from, from + (x2 - x1), Row(row) + x1);
  }
}

TColor RasterCanvas::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
    return clNone;
  }
  return FromPixel(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x]);
}

}  // namespace platform
