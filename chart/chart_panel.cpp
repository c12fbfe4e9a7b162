#include "chart/chart_panel.h"
