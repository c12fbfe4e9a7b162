// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Turning the trace window into the oscilloscope's three line series. Each cycle empties
// them and refills them from the whole window, one point to each series in turn per index.
// The colour given with each point is the colour its segment is drawn in: the actual
// movement aqua, the preset movement yellow-green, the error orange.

#include <cstdint>
#include <string_view>

#include "sim/drive.h"

namespace sim {

// What the plotting needs of a chart series.
class TraceSeries {
 public:
  virtual ~TraceSeries() = default;
  virtual void Clear() = 0;
  // Returns the index at which the point now stands.
  virtual int AddXY(double x, double y, std::string_view label, std::uint32_t colour) = 0;
};

// 0x00BBGGRR.
inline constexpr std::uint32_t ActualTraceColour = 0xFFFF00;
inline constexpr std::uint32_t PresetTraceColour = 0x00FF80;
inline constexpr std::uint32_t ErrorTraceColour = 0x0080FF;

// Actual into the first series, preset into the second; the third is emptied and stays empty.
void PlotStabilityTraces(const Drive& d, TraceSeries& first, TraceSeries& second, TraceSeries& third);

// Actual, preset and error into the first, second and third series.
void PlotAccuracyTraces(const Drive& d, TraceSeries& first, TraceSeries& second, TraceSeries& third);

}  // namespace sim
