// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/trace_plotting.h"

namespace sim {

namespace {

// All three series emptied, then one point to each filled series in turn per index.
void Plot(const Drive& d, TraceSeries& first, TraceSeries& second, TraceSeries& third, bool withError) {
  first.Clear();
  second.Clear();
  third.Clear();
  for (int i = 0; i < TraceLength; ++i) {
    first.AddXY(d.TraceTime[i], d.TraceActual[i], {}, ActualTraceColour);
    second.AddXY(d.TraceTime[i], d.TracePreset[i], {}, PresetTraceColour);
    if (withError) {
      third.AddXY(d.TraceTime[i], d.TraceError[i], {}, ErrorTraceColour);
    }
  }
}

}  // namespace

void PlotStabilityTraces(const Drive& d, TraceSeries& first, TraceSeries& second, TraceSeries& third) {
  Plot(d, first, second, third, false);
}

void PlotAccuracyTraces(const Drive& d, TraceSeries& first, TraceSeries& second, TraceSeries& third) {
  Plot(d, first, second, third, true);
}

}  // namespace sim
