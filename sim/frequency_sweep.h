// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Accuracy research over a range of frequencies: the table of amplitude ratio and lag
// against frequency that a student would otherwise build run by run.

#include <complex>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/drive.h"
#include "sim/experiment_log.h"
#include "sim/figures.h"
#include "sim/measurements.h"
#include "sim/stability.h"
#include "sim/step_observer.h"

namespace sim {

// What a sweep may ask for, in the window and the runner alike. Below 0.1 rad/s one period
// lasts over a minute of model time, and the few periods a point needs take minutes of
// processor time; beyond 1000 rad/s the tick's staircase, not the drive, decides what the
// carriage does.
inline constexpr double MinSweepFrequency = 0.1;
inline constexpr double MaxSweepFrequency = 1000;
inline constexpr int MaxSweepPoints = 1000;
// No point runs longer than this much model time (150,000 cycles, about a second of
// processor time): a loop whose slowest mode is minutes long, or a sine too slow for two
// periods to fit, ends there and is reported as not steady.
inline constexpr double MaxPointTime = 300;

// count frequencies from `from` to `to`, rad/s, equally spaced on a logarithmic scale; the
// first is `from` and, for two or more, the last is `to`. None unless both are positive.
std::vector<double> LogSpacedFrequencies(double from, double to, int count);

// Accuracy research with the drive's parameters, coefficients and Amplitude at `frequency`
// rad/s, from rest and model time 0, cycle by cycle as the window runs it (the command
// held over each tick at its value at the tick's end; the marker follows the command),
// until the harmonic measurement is steady or, failing that, the transient's time and
// forty periods have passed, and never beyond MaxPointTime. The drive's Frequency is an integer; the sweep's need not be.
// A floating-point error of the cycle is raised as the cycle raises it.
HarmonicFigures MeasureAtFrequency(const Drive& drive, double frequency);

// MeasureAtFrequency a number of ticks at a time, so that a window can run it between its
// events. Runs to the same figures, tick for tick.
class FrequencyRun final : public StepObserver {
 public:
  FrequencyRun(const Drive& drive, double frequency);
  FrequencyRun(const FrequencyRun&) = delete;
  FrequencyRun& operator=(const FrequencyRun&) = delete;

  // Up to `ticks` more cycles; true once the run is over.
  bool Advance(std::int64_t ticks);
  bool Finished() const { return finished_; }
  const HarmonicFigures& Figures() const { return measurement_.Figures(); }
  // The carriage touched an end stop: the figures are of the stop, not of the loop.
  bool StopReached() const { return stopReached_; }

  void StepDone(const Drive& d, std::int32_t step) override;

 private:
  Drive d_;
  HarmonicMeasurement measurement_;
  long double limit_ = 0;
  bool finished_ = false;
  bool stopReached_ = false;
};

// The closed loop H(s) = A3/(s^3 + A1 s^2 + A2 s + A3) as the cycle drives it: the command
// held over each tick of T = StepsPerTick*StepH at its value at the tick's end, which
// multiplies the response by sinc(wT/2) e^(jwT/2) (the hold's average delay of T/2, less
// the T by which the sample leads). Its modulus is the amplitude ratio, minus its argument
// the phase lag.
std::complex<double> HeldClosedLoopResponse(const Drive& drive, double frequency);

// One point of a sweep: its figures, and whether the carriage met a stop on the way.
struct SweepPoint {
  HarmonicFigures figures;
  bool stopReached = false;
};

// A whole sweep, a budget of ticks at a time.
class FrequencySweep {
 public:
  FrequencySweep(const Drive& drive, double from, double to, int count);

  // Up to `ticks` more cycles over as many frequencies as they reach; true once all are done.
  bool Advance(std::int64_t ticks);
  bool Finished() const { return points_.size() == frequencies_.size(); }
  const std::vector<double>& Frequencies() const { return frequencies_; }
  const std::vector<SweepPoint>& Points() const { return points_; }
  const Drive& Parameters() const { return drive_; }
  // The finished sweep's line of the experiment log.
  SweepSummary Summary() const;

 private:
  Drive drive_;
  std::vector<double> frequencies_;
  std::vector<SweepPoint> points_;
  std::unique_ptr<FrequencyRun> run_;
};

}  // namespace sim
