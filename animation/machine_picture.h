// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The machine picture in the 489 x 233 animation image: the fixed motor, transducer bar
// and block diagram, and the lead screw and carriage that move on every tick.

#include <QImage>
#include <QRect>
#include <array>

#include "platform/raster_canvas.h"

namespace animation {

inline constexpr int PictureWidth = 489;
inline constexpr int PictureHeight = 233;

// The parts that never move. Paints over what is there and keeps no state; leaves the pen
// 2 pixels wide in RGB(170, 50, 50) and the brush in that colour.
void DrawMachine(platform::RasterCanvas& canvas);

// Where the screw and the carriage move, columns 145..484 and rows 1..119: from one call
// of DrawScrewAndCarriage to the next, nothing else of the picture changes.
inline constexpr QRect ScrewAndCarriageBand(145, 1, 340, 119);

// Clears columns 145..484, rows 1..119 and redraws the screw with its thread shifted
// screwPhase pixels (-14..14), the guide, the housings, the shaft ends, the coupling and
// the carriage carriageX pixels right of its rest position (at most 115 either way, the
// last position whose drawing the band holds). The result depends on these two values
// alone. Leaves the pen black and 1 pixel wide, the brush grey 200.
void DrawScrewAndCarriage(platform::RasterCanvas& canvas, int carriageX, int screwPhase);

// DrawScrewAndCarriage for a picture redrawn on every tick, with the same pixels and the
// same pen, brush and position left behind. What the band holds before the carriage is
// drawn (the white, the screw body, the thread, the guide and the housings) depends on the
// thread phase alone, so it is drawn once per phase and kept; each call copies it in and
// draws only the carriage and the pieces that lie over it.
class ScrewAndCarriagePainter {
 public:
  void Draw(platform::RasterCanvas& canvas, int carriageX, int screwPhase);

 private:
  static constexpr int MaxPhase = 14;
  QImage above_;  // the band's rows above the thread, alike for every phase
  QImage below_;  // and below it
  std::array<QImage, 2 * MaxPhase + 1> thread_;  // the thread's rows, by phase
};

}  // namespace animation
