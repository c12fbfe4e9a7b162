#include "chart/chart_pen.h"
