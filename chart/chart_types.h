// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Small types every part of the chart shares.

#include <QString>
#include <cstdint>
#include <stdexcept>

#include "platform/colors.h"
#include "platform/raster_canvas.h"

namespace chart {

using platform::TColor;

// A rectangle as the chart computes with it: (Left, Top) inside, (Right, Bottom) just
// outside, so it covers columns Left..Right-1 and rows Top..Bottom-1.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// Stores value when field holds another one; returns whether it did. Every setter of the
// chart uses it: a setter given the value already held changes nothing and repaints nothing.
template <class T, class V>
bool StoreIfChanged(T& field, const V& value) {
  if (field == value) {
    return false;
  }
  field = value;
  return true;
}

// a*b/c in 64 bits, rounded to the nearest integer with halves away from zero.
// A zero c gives -1, as the platform's call does.
int MulDiv(int a, int b, int c);

// pmNotXor: each pixel becomes the inverse of pen xor pixel, so drawing the same outline
// twice gives the pixels back (the zoom's rubber band).
enum TPenMode { pmCopy, pmNotXor };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TGradientDirection {
  gdTopBottom,
  gdBottomTop,
  gdLeftRight,
  gdRightLeft,
  gdFromCenter,
  gdFromTopLeft,
  gdFromBottomLeft
};

// Background modes of the surface.
inline constexpr int cbmTransparent = 1;
inline constexpr int cbmOpaque = 2;

// Text alignment flags, the raster canvas' own: horizontal and vertical parts are or-ed.
inline constexpr int TA_LEFT = platform::AlignLeft;
inline constexpr int TA_RIGHT = platform::AlignRight;
inline constexpr int TA_CENTER = platform::AlignCenter;
inline constexpr int TA_TOP = platform::AlignTop;
inline constexpr int TA_BOTTOM = platform::AlignBottom;

// A chart or axis property given a value it cannot take; the property keeps its old value.
class ChartException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AxisException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace chart
