// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/measurements.h"

#include <algorithm>
#include <cmath>

#include "sim/drive_model.h"
#include "sim/root_locus.h"

namespace sim {

namespace {

constexpr long double Pi = 3.141592653589793238L;

// Turning points closer to the target than this share of the step are the last bits of a
// settled position wobbling, not an oscillation.
constexpr long double TurnFloor = 1e-6L;

// Two periods agree when the carriage amplitude differs by no more than this share and the
// lag by no more than this many degrees: far finer than the half per cent and half degree
// a student can read, and far coarser than what the tick's staircase leaves in a period.
constexpr long double SteadyShare = 1e-4L;
constexpr long double SteadyDegrees = 0.01L;

// A period with fewer samples than this cannot tell a sine from its neighbours.
constexpr long double MinSamples = 8;

}  // namespace

const char* StepVerdictText(StepVerdict verdict) {
  switch (verdict) {
    case StepVerdict::Settling:
      return "settling";
    case StepVerdict::Settled:
      return "settled";
    case StepVerdict::Oscillating:
      return "oscillating";
    case StepVerdict::HeldAtStop:
      return "held at an end stop";
    case StepVerdict::Stopped:
      return "stopped by an error";
  }
  return "";
}

void StepMeasurement::Begin(const Drive& d, double start, double target, const StabilityFigures& stability) {
  *this = StepMeasurement();
  begun_ = d.StepH > 0;
  h_ = d.StepH;
  lastX_ = d.DriveState[2];
  figures_.start = start;
  Aim(target);
  SetStability(stability);
}

void StepMeasurement::Aim(double target) {
  const StepFigures kept = figures_;
  figures_ = StepFigures();
  figures_.start = kept.start;
  figures_.target = target;
  figures_.ramp = static_cast<double>(rampEnd_);
  figures_.elapsed = kept.elapsed;
  step_ = static_cast<long double>(target) - kept.start;
  search_ = Search();
  search_.previous = step_ != 0 ? (lastX_ - kept.start) / step_ : 0;
}

void StepMeasurement::SetStability(const StabilityFigures& stability) {
  // Entering the 2 % band proves nothing while a slow mode may still carry the carriage
  // out again: it must stay there as long as it took to get there, and for five time
  // constants of the slowest mode. An unstable loop never settles.
  hold_.reset();
  if (stability.stable && stability.slowestTimeConstant) {
    hold_ = TransientTimeConstants * *stability.slowestTimeConstant;
  }
}

void StepMeasurement::Retarget(double target) {
  // What happened while the command moved belongs to the student's hand, not to the loop:
  // turns, crossings and band entries are looked for again against the new target.
  rampEnd_ = samples_ * h_;
  Aim(target);
}

void StepMeasurement::Observe(const Drive& d) {
  if (!begun_) {
    return;
  }
  ++samples_;
  const long double t = samples_ * h_;
  const long double x = d.DriveState[2];
  lastX_ = x;
  figures_.elapsed = static_cast<double>(t);
  if (std::fabs(x) >= EndStop) {
    stopReached_ = true;
  }
  if (step_ == 0) {
    return;  // no step, no figures
  }
  const long double share = (x - figures_.start) / step_;  // 0 at the start, 1 at the target
  const long double deviation = x - figures_.target;

  if (search_.firstSample) {
    search_.firstSample = false;
    search_.noRise = share >= 0.9L;
  }
  if (!search_.tenPercent && share >= 0.1L) {
    search_.tenPercent = t;
  }
  if (search_.tenPercent && !figures_.riseTime && !search_.noRise && share >= 0.9L) {
    figures_.riseTime = static_cast<double>(t - *search_.tenPercent);
  }

  // A change of direction makes the previous sample a turning point.
  const int direction = share > search_.previous ? 1 : share < search_.previous ? -1 : 0;
  if (direction != 0) {
    const long double turnDeviation = (search_.previous - 1) * step_;
    if (search_.direction != 0 && direction != search_.direction &&
        std::fabs(turnDeviation) > TurnFloor * std::fabs(step_)) {
      if (search_.direction > 0 && !figures_.peakTime) {
        figures_.peakTime = static_cast<double>(t - h_ - rampEnd_);
        figures_.peakValue = static_cast<double>(figures_.start + search_.previous * step_);
        figures_.overshoot = static_cast<double>(std::max(0.0L, (search_.previous - 1) * 100));
      }
      std::shift_left(std::begin(search_.turns), std::end(search_.turns), 1);
      search_.turns[2] = turnDeviation;
      search_.turnCount = std::min(search_.turnCount + 1, 3);
    }
    search_.direction = direction;
  }
  search_.previous = share;

  for (Band& band : search_.bands) {
    if (std::fabs(deviation) <= band.fraction * std::fabs(step_)) {
      if (!band.entry) {
        band.entry = t;
      }
    } else {
      band.entry.reset();
    }
  }
  const auto seconds = [](const std::optional<long double>& v) {
    return v ? std::optional<double>(static_cast<double>(*v)) : std::nullopt;
  };
  figures_.settling5 = seconds(search_.bands[0].entry);
  figures_.settling2 = seconds(search_.bands[1].entry);
  Judge(deviation);
}

void StepMeasurement::Judge(long double deviation) {
  const auto& entry = search_.bands[1].entry;
  const long double t = samples_ * h_;
  const bool settled = hold_ && entry && t - *entry >= std::max(*hold_, *entry);
  // Two turns on the same side, the newer no nearer the target: the swing does not decay.
  const bool swinging = search_.turnCount == 3 && std::fabs(search_.turns[2]) >= std::fabs(search_.turns[0]);
  if (settled) {
    figures_.verdict = StepVerdict::Settled;
    figures_.steadyStateError = static_cast<double>(-deviation);
    if (!figures_.overshoot) {
      figures_.overshoot = 0.0;  // settled without ever turning back
    }
  } else {
    figures_.verdict = stopReached_ ? StepVerdict::HeldAtStop
                       : swinging   ? StepVerdict::Oscillating
                                    : StepVerdict::Settling;
    figures_.steadyStateError.reset();
  }
}

void HarmonicMeasurement::Begin(const Drive& d, double frequency, const StabilityFigures& stability) {
  *this = HarmonicMeasurement();
  figures_.amplitude = d.Amplitude;
  figures_.frequency = frequency;
  active_ = frequency > 0 && d.Amplitude != 0 && d.StepH > 0;
  if (!active_) {
    return;
  }
  omega_ = frequency;
  period_ = 2 * Pi / omega_;
  // An unstable loop has no transient that ends: its periods are measured from the start
  // and will not agree.
  const long double transient =
      stability.slowestTimeConstant ? TransientTimeConstants * *stability.slowestTimeConstant : 0;
  windowStart_ = d.SimTime + transient;
  windowEnd_ = windowStart_ + period_;
}

void HarmonicMeasurement::Observe(const Drive& d, std::int32_t step) {
  if (!active_) {
    return;
  }
  const long double t = d.SimTime - static_cast<long double>(d.StepsPerTick - step) * d.StepH;
  if (t < windowStart_) {
    return;
  }
  while (t >= windowEnd_) {
    ClosePeriod();
    windowEnd_ += period_;
  }
  // sin and cos once a tick; the tick's other steps turn the pair on by w*StepH, which
  // costs a tenth as much and drifts by a few units in the last place over forty steps.
  if (step == lastStep_ + 1 && d.SimTime == lastTickTime_) {
    const long double s = sin_ * turnCos_ + cos_ * turnSin_;
    cos_ = cos_ * turnCos_ - sin_ * turnSin_;
    sin_ = s;
  } else {
    sin_ = std::sin(omega_ * t);
    cos_ = std::cos(omega_ * t);
    if (turnStep_ != d.StepH) {
      turnStep_ = d.StepH;
      turnSin_ = std::sin(omega_ * turnStep_);
      turnCos_ = std::cos(omega_ * turnStep_);
    }
  }
  lastStep_ = step;
  lastTickTime_ = d.SimTime;
  const long double s = sin_;
  const long double c = cos_;
  const long double x = d.DriveState[2];
  n_ += 1;
  s_ += s;
  c_ += c;
  ss_ += s * s;
  sc_ += s * c;
  cc_ += c * c;
  x_ += x;
  xs_ += x * s;
  xc_ += x * c;
}

void HarmonicMeasurement::ClosePeriod() {
  // x = a*sin(wt) + b*cos(wt) + m by least squares over the period's samples: exact for a
  // sine however the 50 us samples fall on the period, and blind to what is left of a
  // slow drift. The carriage then moves as X*sin(wt - lag) with X = |(a, b)|.
  const long double det = ss_ * (cc_ * n_ - c_ * c_) - sc_ * (sc_ * n_ - c_ * s_) + s_ * (sc_ * c_ - cc_ * s_);
  const bool solvable = n_ >= MinSamples && det > 0;
  if (solvable) {
    const long double a = (xs_ * (cc_ * n_ - c_ * c_) - sc_ * (xc_ * n_ - c_ * x_) + s_ * (xc_ * c_ - cc_ * x_)) / det;
    const long double b = (ss_ * (xc_ * n_ - c_ * x_) - xs_ * (sc_ * n_ - c_ * s_) + s_ * (sc_ * x_ - xc_ * s_)) / det;
    const long double amplitude = figures_.amplitude;
    const long double carriage = std::hypot(a, b);
    long double lag = std::atan2(-b, a) * 180 / Pi;
    if (lag < -90) {
      lag += 360;  // a third-order loop lags by up to 270 degrees
    }
    if (figures_.periods > 0) {
      long double turn = std::fabs(lag - figures_.phaseLag);
      turn = std::min(turn, 360 - turn);
      figures_.steady = std::fabs(carriage - figures_.carriageAmplitude) <= SteadyShare * carriage &&
                        turn <= SteadyDegrees;
    }
    figures_.carriageAmplitude = static_cast<double>(carriage);
    figures_.ratio = static_cast<double>(carriage / amplitude);
    figures_.phaseLag = static_cast<double>(lag);
    figures_.errorAmplitude = static_cast<double>(std::hypot(amplitude - a, b));
    ++figures_.periods;
  }
  n_ = s_ = c_ = ss_ = sc_ = cc_ = x_ = xs_ = xc_ = 0;
}

void Measurements::Finish() {
  if (kind_ == Kind::None || provisional_ || record_ == Done) {
    return;  // nothing measured, a ramp never released, or a row already final
  }
  if (record_) {
    log_.Replace(*record_, Record());
    log_.MakeFinal(*record_);
  } else if (kind_ == Kind::Step && step_.Active() && step_.Figures().elapsed > 0) {
    // A step that never settled still belongs in a table against the gain: it goes in
    // as it stands.
    log_.Add(Record());
  }
  record_ = Done;
}

void Measurements::Start(const Drive& d, Kind kind) {
  Finish();
  kind_ = kind;
  started_ = false;
  failure_.clear();
  provisional_ = false;
  releaseTarget_.reset();
  Assess(d);
  record_.reset();
}

void Measurements::Assess(const Drive& d) {
  stability_ = AssessStability(d);
  parameters_ = ParametersOf(d);
  predictedOvershoot_ = sim::PredictedOvershoot(parameters_);
}

void Measurements::BeginStep(const Drive& d, double offset, bool running) {
  if (running && kind_ == Kind::Step && provisional_ && failure_.empty()) {
    // The ramp the ticks have followed becomes the run, under the parameters just read.
    provisional_ = false;
    releaseTarget_ = offset;
    Assess(d);
    step_.SetStability(stability_);
    return;
  }
  // From rest the step starts where the carriage stands; while running, where the ticks
  // have been commanding it.
  const bool commanded = running && kind_ == Kind::Step && step_.Begun() && failure_.empty();
  const double from = commanded ? step_.Figures().target : d.DriveState[2];
  if (commanded && offset == from && ParametersOf(d) == parameters_) {
    return;  // the same command to the same loop: the run goes on
  }
  Start(d, Kind::Step);  // a ramp never released is no run: Finish leaves it out
  step_.Begin(d, from, offset, stability_);
  releaseTarget_ = offset;
}

void Measurements::BeginHarmonic(const Drive& d) { BeginHarmonic(d, d.Frequency); }

void Measurements::BeginHarmonic(const Drive& d, double frequency) {
  Start(d, Kind::Harmonic);
  harmonic_.Begin(d, frequency, stability_);
}

void Measurements::Fail(const std::string& message) {
  if (kind_ == Kind::None || !failure_.empty()) {
    return;
  }
  failure_ = message;
  provisional_ = false;  // what ran, failed: that is worth its row
  if (record_ == Done) {
    return;
  }
  if (record_) {
    log_.Replace(*record_, Record());
    log_.MakeFinal(*record_);
  } else {
    log_.Add(Record());
  }
  record_ = Done;
}

void Measurements::Stop() {
  Finish();
  kind_ = Kind::None;
  started_ = false;
  failure_.clear();
  provisional_ = false;
  releaseTarget_.reset();
  record_.reset();
}

void Measurements::ReplaceLog(std::vector<LogRecord> rows) {
  log_.Assign(std::move(rows));
  if (record_) {
    record_ = Done;
  }
}

void Measurements::WatchCommand(const Drive& d) {
  const double commanded = d.MarkerX - MarkerCentre;
  if (!step_.Begun() || commanded == step_.Figures().target) {
    return;
  }
  if (provisional_ || (releaseTarget_ && commanded == *releaseTarget_)) {
    step_.Retarget(commanded);  // the ramp goes on, or reaches the marker of the release
    return;
  }
  // The marker moved while the drive runs: the present run is over, and from the command it
  // held a ramp begins on this tick. It is a run once a release ends it.
  const double from = step_.Figures().target;
  Start(d, Kind::Step);
  provisional_ = true;
  step_.Begin(d, from, commanded, stability_);
}

void Measurements::StepDone(const Drive& d, std::int32_t step) {
  if (!failure_.empty()) {
    return;
  }
  if (kind_ == Kind::Step) {
    if (step == 1) {
      WatchCommand(d);
    }
    step_.Observe(d);
    if (!record_ && !provisional_ && step_.Figures().verdict == StepVerdict::Settled) {
      record_ = log_.Add(Record(), false);
    }
  } else if (kind_ == Kind::Harmonic) {
    const int before = harmonic_.Figures().periods;
    harmonic_.Observe(d, step);
    // One row per run: the first measured period makes it, later ones refine it.
    if (!record_ && harmonic_.Figures().periods != before) {
      record_ = log_.Add(Record(), false);
    }
  } else {
    return;
  }
  started_ = true;
  // The row follows the figures the window shows until the run is over.
  if (record_ && *record_ != Done && step == d.StepsPerTick) {
    log_.Replace(*record_, Record());
  }
}

LogRecord Measurements::Record() const {
  LogRecord r;
  r.parameters = parameters_;
  r.stability = stability_;
  r.error = failure_;
  if (kind_ == Kind::Step) {
    r.step = step_.Figures();
    if (!failure_.empty()) {
      // The command is the student's; every figure after it came from a state the error spoilt.
      StepFigures commanded;
      commanded.start = r.step->start;
      commanded.target = r.step->target;
      commanded.ramp = r.step->ramp;
      commanded.verdict = StepVerdict::Stopped;
      r.step = commanded;
    }
  } else if (kind_ == Kind::Harmonic) {
    r.harmonic = harmonic_.Figures();
    if (!failure_.empty()) {
      HarmonicFigures commanded;
      commanded.amplitude = r.harmonic->amplitude;
      commanded.frequency = r.harmonic->frequency;
      r.harmonic = commanded;
    }
  }
  return r;
}

}  // namespace sim
