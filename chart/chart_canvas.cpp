#include "chart/chart_canvas.h"
