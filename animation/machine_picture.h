#pragma once
// The machine picture in the 489 x 233 animation image: the fixed motor, transducer bar
// and block diagram, and the lead screw and carriage that move on every tick.

#include "platform/raster_canvas.h"

namespace animation {

inline constexpr int PictureWidth = 489;
inline constexpr int PictureHeight = 233;

// The parts that never move. Paints over what is there and keeps no state; leaves the pen
// 2 pixels wide in RGB(170, 50, 50) and the brush in that colour.
void DrawMachine(platform::RasterCanvas& canvas);

// Clears columns 145..484, rows 1..119 and redraws the screw with its thread shifted
// screwPhase pixels (-14..14), the guide, the housings, the shaft ends, the coupling and
// the carriage carriageX pixels right of its rest position (at most 115 either way, the
// last position whose drawing the band holds). The result depends on these two values
// alone. Leaves the pen black and 1 pixel wide, the brush grey 200.
void DrawScrewAndCarriage(platform::RasterCanvas& canvas, int carriageX, int screwPhase);

}  // namespace animation
