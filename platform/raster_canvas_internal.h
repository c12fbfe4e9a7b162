// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// What the files of RasterCanvas share and nothing else needs: the pixel format, the row
// writes and the integer division of the exact geometry. The row writes sit in every inner
// loop of lines, shapes and text, so they are defined here, where each file can take them in.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "platform/raster_canvas.h"

namespace platform::raster {

// Format_RGB32 keeps 0xFFRRGGBB; the program writes 0x00BBGGRR.
inline std::uint32_t ToPixel(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return 0xFF000000u | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

// One pixel value over a run of pixels. On the long runs of backgrounds the C library's
// wide-character fill, which writes 32-bit units with the widest stores the processor has,
// is several times faster than the loop compiled for the baseline instruction set; a short
// run is not worth its call.
inline void FillPixels(std::uint32_t* first, std::uint32_t* last, std::uint32_t pixel) {
  static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
  if (last - first < 32) {
    std::fill(first, last, pixel);
    return;
  }
  std::wmemset(reinterpret_cast<wchar_t*>(first), static_cast<wchar_t>(pixel), static_cast<std::size_t>(last - first));
}

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {  // b > 0
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

}  // namespace platform::raster

namespace platform {

inline void RasterCanvas::BeginDrawing() {
  // bits() detaches the image if someone shares it, so take it afresh for each operation.
  bits_ = image_.bits();
  bytesPerLine_ = image_.bytesPerLine();
}

// A template rather than an inline function, so that the compiler weighs it as the plain
// function it was when all drawing sat in one file. Declared inline, it is taken into
// FillPolygon ahead of the first level of std::sort, which is then left as a call on every
// polygon row: an eighth more work for the screw's full redraw.
template <int>
void RasterCanvas::HorizontalSpan(int x1, int x2, int y, std::uint32_t pixel) {
  if (y < clipTop_ || y >= clipBottom_) {
    return;
  }
  x1 = std::max(x1, clipLeft_);
  x2 = std::min(x2, clipRight_);
  if (x1 < x2) {
    raster::FillPixels(Row(y) + x1, Row(y) + x2, pixel);
  }
}

}  // namespace platform
