// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The target strip: a white 217 x 41 image with a red marker 8 columns wide centred on
// markerX (columns markerX-4..markerX+3, rows 5..24). Strip column x lies over picture
// column x + 209, so the marker stands over the carriage's pointer when both show the
// same position.

#include "platform/raster_canvas.h"

namespace animation {

inline constexpr int StripWidth = 217;
inline constexpr int StripHeight = 41;

// Redraws the whole strip, so no trace of an earlier position remains.
void DrawMarker(platform::RasterCanvas& canvas, int markerX);

}  // namespace animation
