#include "platform/raster_canvas.h"
