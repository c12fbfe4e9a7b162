// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/frequency_sweep.h"

#include <algorithm>
#include <cmath>

#include "sim/checked_float.h"
#include "sim/cycle.h"
#include "sim/drive_model.h"
#include "sim/measurements.h"
#include "sim/stability.h"

namespace sim {

namespace {

// Periods allowed beyond the transient before a run that will not settle to one figure
// (an unstable loop between its stops) is given up.
constexpr long double MaxPeriods = 40;

}  // namespace

std::vector<double> LogSpacedFrequencies(double from, double to, int count) {
  std::vector<double> frequencies;
  if (!(from > 0 && to > 0) || count < 1) {
    return frequencies;  // no logarithm to space them by
  }
  const long double first = std::log(static_cast<long double>(from));
  const long double span = std::log(static_cast<long double>(to)) - first;
  for (int i = 0; i < count; ++i) {
    frequencies.push_back(i == 0           ? from
                          : i == count - 1 ? to
                                           : static_cast<double>(std::exp(first + span * i / (count - 1))));
  }
  return frequencies;
}

HarmonicFigures MeasureAtFrequency(const Drive& drive, double frequency) {
  FrequencyRun run(drive, frequency);
  while (!run.Advance(INT64_MAX)) {
  }
  return run.Figures();
}

FrequencyRun::FrequencyRun(const Drive& drive, double frequency) : d_(drive) {
  d_.DriveState = {0, 0, 0};
  d_.Command = 0;
  d_.SimTime = 0;
  const StabilityFigures stability = AssessStability(d_);
  measurement_.Begin(d_, frequency, stability);
  finished_ = !measurement_.Active();  // no sine to measure
  const long double transient =
      stability.slowestTimeConstant ? TransientTimeConstants * static_cast<long double>(*stability.slowestTimeConstant)
                                    : 0;
  limit_ = std::min<long double>(transient + MaxPeriods * 6.283185307179586477L / frequency, MaxPointTime);
}

void FrequencyRun::StepDone(const Drive& d, std::int32_t step) {
  measurement_.Observe(d, step);
  if (std::fabs(d.DriveState[2]) >= EndStop) {
    stopReached_ = true;
  }
}

bool FrequencyRun::Advance(std::int64_t ticks) {
  const double frequency = measurement_.Figures().frequency;
  const Ext tick = Ext(d_.StepsPerTick) * d_.StepH;
  for (std::int64_t k = 0; k < ticks && !finished_; ++k) {
    if (measurement_.Figures().steady || !(d_.SimTime < limit_)) {
      finished_ = true;
      break;
    }
    // Steps 1, 3 and 4 of the cycle, with a frequency that need not be whole.
    d_.SimTime = Store(tick + d_.SimTime);
    d_.Command = Store(Sin(Ext(frequency) * d_.SimTime) * (Ext(d_.Amplitude) * d_.Kfb));
    d_.MarkerX = RoundToInt32(Ext(d_.Command) / d_.Kfb + MarkerCentre);
    IntegrateTick(d_, this);
  }
  if (!finished_ && (measurement_.Figures().steady || !(d_.SimTime < limit_))) {
    finished_ = true;
  }
  return finished_;
}

std::complex<double> HeldClosedLoopResponse(const Drive& d, double w) {
  const std::complex<long double> s(0, w);
  const long double half = static_cast<long double>(w) * d.StepsPerTick * d.StepH / 2;
  const long double sinc = half == 0 ? 1 : std::sin(half) / half;
  const std::complex<long double> h =
      static_cast<long double>(d.A3) / (s * s * s + static_cast<long double>(d.A1) * s * s +
                                        static_cast<long double>(d.A2) * s + static_cast<long double>(d.A3));
  const std::complex<long double> held = h * sinc * std::exp(std::complex<long double>(0, half));
  return {static_cast<double>(held.real()), static_cast<double>(held.imag())};
}

FrequencySweep::FrequencySweep(const Drive& drive, double from, double to, int count)
    : drive_(drive), frequencies_(LogSpacedFrequencies(from, to, count)) {}

bool FrequencySweep::Advance(std::int64_t ticks) {
  while (ticks > 0 && !Finished()) {
    if (!run_) {
      run_ = std::make_unique<FrequencyRun>(drive_, frequencies_[points_.size()]);
    }
    std::int64_t used = 0;
    for (; used < ticks && !run_->Finished(); ++used) {
      run_->Advance(1);
    }
    ticks -= used;
    if (run_->Finished()) {
      points_.push_back({run_->Figures(), run_->StopReached()});
      run_.reset();
    }
  }
  return Finished();
}

SweepSummary FrequencySweep::Summary() const {
  SweepSummary summary;
  summary.amplitude = drive_.Amplitude;
  summary.from = frequencies_.empty() ? 0 : frequencies_.front();
  summary.to = frequencies_.empty() ? 0 : frequencies_.back();
  summary.count = static_cast<int>(frequencies_.size());
  bool havePrevious = false;
  double previousW = 0, previousDb = 0;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const HarmonicFigures& f = points_[i].figures;
    if (points_[i].stopReached || f.periods == 0 || !(f.ratio > 0)) {
      havePrevious = false;  // no crossing is read across a point the sweep cannot stand behind
      continue;
    }
    const double w = frequencies_[i];
    const double db = 20 * std::log10(f.ratio);
    if (!summary.peakDb || db > *summary.peakDb) {
      summary.peakDb = db;
      summary.peakFrequency = w;
    }
    if (!summary.bandwidth && havePrevious && db < -3 && previousDb >= -3) {
      const double t = (-3 - previousDb) / (db - previousDb);
      summary.bandwidth = previousW * std::pow(w / previousW, t);
    }
    havePrevious = true;
    previousW = w;
    previousDb = db;
  }
  return summary;
}

}  // namespace sim
