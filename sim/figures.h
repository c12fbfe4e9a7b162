// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The figures of a step run and of a harmonic run, as the measurements report them and the
// experiment log records them.

#include <optional>

namespace sim {

enum class StepVerdict { Settling, Settled, Oscillating, HeldAtStop, Stopped };

// "settling", "settled", "oscillating", "held at an end stop", "stopped by an error".
const char* StepVerdictText(StepVerdict verdict);

// Times in model seconds from the first tick with the changed command, positions in mm. A
// command that changed over several ticks (the marker dragged while the drive runs) is a
// ramp: the rise time and the first peak are looked for from its end, and the peak time is
// counted from there. A figure the run has not yet shown is empty.
struct StepFigures {
  double start = 0;    // the commanded position before the change; from rest, the position at the release
  double target = 0;   // the commanded position
  double ramp = 0;     // how long the command took to get there; 0 for a step
  double elapsed = 0;  // model time since the first tick with the changed command
  std::optional<double> riseTime;          // from 10 % to 90 % of the step
  std::optional<double> peakTime;          // the first peak, the first turn back toward the start, after the ramp's end
  std::optional<double> peakValue;         // position there
  std::optional<double> overshoot;         // % of the step beyond the target at the first peak
  std::optional<double> settling5;         // last entry into target +- 5 % of the step, while inside
  std::optional<double> settling2;         // the same for +- 2 %
  std::optional<double> steadyStateError;  // target - position, once settled
  StepVerdict verdict = StepVerdict::Settling;
};

// Figures over the last whole period of the command's sine, once the start's transient has
// died away. Amplitudes in mm, the lag in degrees (in -90..270, positive behind the
// command), measured against the sine A*sin(w*t) the student set.
struct HarmonicFigures {
  double amplitude = 0;  // commanded, mm
  double frequency = 0;  // rad/s
  int periods = 0;       // whole periods measured; the figures below hold once it is 1 or more
  double carriageAmplitude = 0;
  double ratio = 0;  // carriageAmplitude / amplitude
  double phaseLag = 0;
  double errorAmplitude = 0;  // of the command minus the position
  bool steady = false;        // the last two periods agree
};

}  // namespace sim
