// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Traces kept from earlier runs, drawn under the live ones so that a student compares the
// same step at gain 100 and 1900 on one screen instead of screenshots. A kept trace is what
// the oscilloscope showed, with what the run was made with; it is drawn aligned on the
// start of the live run, so both steps (or both sines) begin at the same place.

#include <QChar>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/comparison.h"
#include "platform/colors.h"
#include "sim/drive_model.h"

namespace app {

inline constexpr std::size_t MaxReferences = 4;

struct Reference {
  bool accuracy = false;  // the research mode it was taken in, and the only one it is drawn in
  sim::Parameters parameters;
  double step = 0;                  // mm, the commanded change of a stability run
  std::int32_t amplitude = 0;       // mm, as the drive used it
  std::int32_t frequency = 0;       // rad/s
  double start = 0;                 // when its run began, on the oscilloscope's time axis
  double clock = 0;                 // model time less the time axis' then: the sine's phase runs on model time
  bool shown = true;
  std::size_t colour = 0;  // into ReferenceColors: a trace keeps its colour while others come and go
  std::vector<double> time, actual;  // as plotted
  std::vector<double> error;         // accuracy research only
};

// The live run, as far as the alignment and the labels need it.
struct LiveRun {
  bool accuracy = false;
  std::optional<double> start;  // none while no run is on the oscilloscope
  double newest = 0;            // the time of the newest point plotted
  double clock = 0;             // model time less the time axis' (Reset starts the axis afresh)
  double tick = 0;              // model time between two plotted points
  std::vector<Setting> settings;
};

// How far a kept trace's times move to be drawn beside the live run, in whole ticks so that
// it stays put from tick to tick: its start onto the live start (for a sine of the same
// frequency, by whole periods from where both sines have the same phase); with no live run, its
// newest point onto the newest point plotted.
double ReferenceShift(const Reference& r, const LiveRun& live, std::int32_t liveFrequency);

// What the run was made with: the six parameters, then the command.
std::vector<Setting> ReferenceSettings(const Reference& r);

// The legend's texts for the given kept traces: what differs among them and the live run.
QStringList ReferenceLabels(const std::vector<const Reference*>& kept, const LiveRun& live, QChar separator);

// Muted, told apart by readers with any common colour vision deficiency, and none of them
// near the live traces' aqua, yellow-green or orange. The error trace of a kept run is its
// colour darkened.
inline constexpr platform::TColor ReferenceColors[MaxReferences] = {0xA779CC, 0xB27200, 0x739E00, 0x999999};
platform::TColor ErrorColorOf(platform::TColor color);
// The first colour none of `kept` has.
std::size_t FreeColour(const std::vector<Reference>& kept);

}  // namespace app
