// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "animation/marker_strip.h"

namespace animation {

void DrawMarker(platform::RasterCanvas& canvas, int markerX) {
  canvas.SetBrushColor(platform::clWhite);
  canvas.FillRect(0, 0, StripWidth, StripHeight);
  canvas.SetBrushColor(platform::RGB(255, 0, 0));
  canvas.FillRect(markerX - 4, 5, markerX + 4, 25);
}

}  // namespace animation
