// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// What a student reads off the traces, computed from the full-precision position at every
// integration step (50 us) instead of the oscilloscope's whole millimetres.
//
// StepMeasurement follows the run that a marker release starts; HarmonicMeasurement an
// accuracy run; Measurements holds both, is the cycle's step observer, and keeps the
// experiment log. The window and the headless runner use the same objects:
//
//   at a release:  m.BeginStep(drive, offset, running)  after the parameters are read
//   at "Process":  m.BeginHarmonic(drive)               likewise
//   every tick:    RunTimerTick(drive, host, &m);       then read m.Step(), m.Harmonic(), m.Log()
//   a failed tick: m.Fail(message)

#include <cstdint>
#include <optional>
#include <string>

#include "sim/drive.h"
#include "sim/experiment_log.h"
#include "sim/figures.h"
#include "sim/stability.h"
#include "sim/step_observer.h"

namespace sim {

// The start of a harmonic run excites the loop's own modes as well as the forced sine.
// They die away with the slowest mode's time constant; after five of them less than 1 %
// of that transient is left (e^-5 = 0.7 %), and the periods measured from then on show
// the steady response. A fixed number of periods would not do: at 1 rad/s the first
// period alone outlasts the transient many times over, at 500 rad/s forty do not. A step
// counts as settled only after the same time in its 2 % band.
inline constexpr double TransientTimeConstants = 5;

class StepMeasurement {
 public:
  // A step from `start` to `target`, mm; its time counts from the next integration step. The
  // stability figures decide whether the loop can settle at all and how long it must stay in
  // the band to count as settled.
  void Begin(const Drive& d, double start, double target, const StabilityFigures& stability);
  // The command changed again on the tick now starting: the target is new, the ramp lasts
  // until here, and the rise, the peak and the bands are looked for afresh from here on.
  void Retarget(double target);
  // The parameters were read again under the same command: a new loop to settle.
  void SetStability(const StabilityFigures& stability);

  // After every integration step.
  void Observe(const Drive& d);

  // False before the first Begin and for a step of zero.
  bool Active() const { return begun_ && step_ != 0; }
  bool Begun() const { return begun_; }
  const StepFigures& Figures() const { return figures_; }

 private:
  struct Band {
    double fraction;
    std::optional<long double> entry;  // time of the first sample of the present stay inside
  };

  // What the figures are looked for with, against one target: all of it starts afresh when
  // the command changes.
  struct Search {
    std::optional<long double> tenPercent;
    bool firstSample = true;  // the next sample is the first since the command last changed
    bool noRise = false;      // past 90 % when the command stopped changing: it rose with the ramp
    long double previous = 0;  // the last sample's share of the step
    int direction = 0;         // +1 toward the target, -1 back, 0 not yet moved
    // Deviations from the target at the last three turning points, newest last.
    long double turns[3] = {0, 0, 0};
    int turnCount = 0;
    Band bands[2] = {{0.05, {}}, {0.02, {}}};
  };

  // The target, the step to it and the search for its figures; the time and the start stay.
  void Aim(double target);
  void Judge(long double deviation);

  bool begun_ = false;
  StepFigures figures_;
  long double step_ = 0;    // target - start
  long double h_ = 0;       // StepH
  std::int64_t samples_ = 0;
  long double rampEnd_ = 0;  // time at which the command stopped changing
  long double lastX_ = 0;    // the position at the last sample
  std::optional<long double> hold_;  // how long the ±2 % band must hold for "settled"
  bool stopReached_ = false;
  Search search_;
};

class HarmonicMeasurement {
 public:
  // An accuracy run at the drive's Amplitude and `frequency` rad/s (the drive's Frequency
  // when the window runs it), from the present model time.
  void Begin(const Drive& d, double frequency, const StabilityFigures& stability);

  void Observe(const Drive& d, std::int32_t step);

  bool Active() const { return active_; }
  const HarmonicFigures& Figures() const { return figures_; }

 private:
  void ClosePeriod();

  bool active_ = false;
  HarmonicFigures figures_;
  long double omega_ = 0;
  long double period_ = 0;
  long double windowStart_ = 0;  // model time at which the first measured period opens
  long double windowEnd_ = 0;    // and at which the present one closes
  // The sine's phase at the last sample, and the turn of one step.
  long double sin_ = 0, cos_ = 1, turnSin_ = 0, turnCos_ = 1, turnStep_ = 0;
  std::int32_t lastStep_ = -1;
  double lastTickTime_ = 0;
  // Least-squares sums for x = a*sin + b*cos + c over the present period.
  long double n_ = 0, s_ = 0, c_ = 0, ss_ = 0, sc_ = 0, cc_ = 0, x_ = 0, xs_ = 0, xc_ = 0;
};

class Measurements final : public StepObserver {
 public:
  enum class Kind { None, Step, Harmonic };

  // A release toward the marker, `offset` mm from the centre, after the parameters were read.
  // From rest (`running` false) the step runs from the carriage's position, from the next
  // tick on. While the drive runs, every tick has already taken the marker as its command:
  // the step runs from the command before the marker first moved to `offset`, and its time
  // from the first tick that carried the change.
  void BeginStep(const Drive& d, double offset, bool running = false);
  // "Process": the harmonic run at the drive's Amplitude and Frequency.
  void BeginHarmonic(const Drive& d);
  // The same at any angular frequency, for a frequency sweep.
  void BeginHarmonic(const Drive& d, double frequency);
  // A cycle failed: the run ends here. Its row names the error and the parameters the run
  // used, and holds no figure: what the drive did on its way to the error is no measurement.
  void Fail(const std::string& message);
  // The present run's row is final; nothing more is measured of it. The next Begin, Reset
  // and the program's end call it.
  void Finish();
  // Reset: Finish, and nothing is measured until the next Begin; the log stays.
  void Stop();
  // The log is `rows` from now on (none for a cleared log). The present run, if it already
  // has a row, does not come back: a student who clears the table wants the next runs, not
  // the one that just filled it.
  void ReplaceLog(std::vector<LogRecord> rows);

  void StepDone(const Drive& d, std::int32_t step) override;

  Kind Measuring() const { return kind_; }
  // The present run, once a tick has carried it: before that there is nothing to show.
  bool Started() const { return started_; }
  // The error that stopped the present run; empty while none has.
  const std::string& Failure() const { return failure_; }
  const StepMeasurement& Step() const { return step_; }
  const HarmonicMeasurement& Harmonic() const { return harmonic_; }
  const StabilityFigures& Stability() const { return stability_; }
  const Parameters& RunParameters() const { return parameters_; }
  // What the run's poles predict (PredictedOvershoot), worked out once as the run begins.
  const std::optional<double>& PredictedOvershoot() const { return predictedOvershoot_; }
  const ExperimentLog& Log() const { return log_; }
  ExperimentLog& Log() { return log_; }
  // The log row that still follows the present run; none before it has one or once it is final.
  std::optional<std::size_t> Row() const {
    return record_ && *record_ != Done ? record_ : std::nullopt;
  }

 private:
  void Start(const Drive& d, Kind kind);
  // The theory of the run's parameters.
  void Assess(const Drive& d);
  // Stability research while the drive runs: a tick whose command differs from the target.
  void WatchCommand(const Drive& d);
  LogRecord Record() const;

  Kind kind_ = Kind::None;
  bool started_ = false;
  std::string failure_;
  // A ramp the ticks have seen that no release has ended yet: not a run until one does.
  bool provisional_ = false;
  // The marker at the release, which the tick after it may still have to reach.
  std::optional<double> releaseTarget_;
  StepMeasurement step_;
  HarmonicMeasurement harmonic_;
  StabilityFigures stability_;
  Parameters parameters_;
  std::optional<double> predictedOvershoot_;
  ExperimentLog log_;
  std::optional<std::size_t> record_;  // the log row of the present run, once it has one
  static constexpr std::size_t Done = static_cast<std::size_t>(-1);  // no more rows of this run
};

}  // namespace sim
