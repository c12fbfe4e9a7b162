// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/measurements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string_view>
#include <tuple>
#include <vector>

#include "sim/cycle.h"
#include "sim/drive_model.h"
#include "sim/frequency_sweep.h"
#include "sim/stability.h"
#include "tests/sim/default_drive.h"
#include "tests/sim/no_window.h"

namespace sim {
namespace {

// The stability reading of the default texts with Kamp changed, the marker released at offset.
Drive ReleasedDrive(double kamp, int offset, double start = 0) {
  Drive d = DefaultDrive();
  d.Kamp = kamp;
  ComputeCoefficients(d);
  d.DriveState = {0, 0, start};
  d.MarkerX = MarkerCentre + offset;
  return d;
}

TEST(StepMeasurement, FiguresAgreeWithTheExactSolution) {
  // Worked out beside the program from x''' = B0*u - A1*x'' - A2*x' - A3*x with the drive's
  // coefficients, by classic Runge-Kutta at 1 us: rise 10-90 %, settling into 5 % and 2 %, the
  // first peak's time and value (the sluggish gain has none). The drive measures at its 50 us steps.
  struct Row {
    double kamp, start;
    int offset;
    double rise, settling5, settling2, peakTime, peak;
  };
  const Row rows[] = {
      {100, 0, 50, 0.07575, 0.10625, 0.18645, 0.16020, 51.27256},    // the default step
      {100, 20, -30, 0.07575, 0.10625, 0.18645, 0.16020, -31.27256},  // the same shape, down
      {300, 0, 20, 0.02776, 0.14924, 0.16227, 0.06753, 25.35550},
      {200, -10, 25, 0.03840, 0.12523, 0.18873, 0.08710, 30.57723},
      {40, 0, 60, 0.23652, 0.33880, 0.43243, NAN, NAN},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << "Kamp " << r.kamp << ", " << r.start << " -> " << r.offset);
    Drive d = ReleasedDrive(r.kamp, r.offset, r.start);
    Measurements m;
    m.BeginStep(d, r.offset);
    NoWindow window;
    for (int tick = 1; tick <= 800; ++tick) Timer1Timer(d, window, &m);
    const StepFigures& f = m.Step().Figures();
    EXPECT_EQ(f.verdict, StepVerdict::Settled);
    ASSERT_TRUE(f.riseTime && f.settling5 && f.settling2 && f.overshoot && f.steadyStateError);
    EXPECT_NEAR(*f.riseTime, r.rise, 0.002);
    EXPECT_NEAR(*f.settling5, r.settling5, 0.002);
    EXPECT_NEAR(*f.settling2, r.settling2, 0.002);
    EXPECT_NEAR(*f.steadyStateError, r.offset - d.DriveState[2], 1e-12) << "the target less the position";
    EXPECT_NEAR(*f.steadyStateError, 0, 1e-4);
    if (std::isnan(r.peak)) {
      EXPECT_FALSE(f.peakTime);
      EXPECT_EQ(*f.overshoot, 0);
      continue;
    }
    ASSERT_TRUE(f.peakTime && f.peakValue);
    EXPECT_NEAR(*f.peakTime, r.peakTime, 0.002);
    EXPECT_NEAR(*f.peakValue, r.peak, 0.001 * std::fabs(r.offset - r.start));
    EXPECT_NEAR(*f.overshoot, (r.peak - r.offset) / (r.offset - r.start) * 100, 0.1);
  }
}

TEST(Stability, VerdictCriticalGainAndSlowestModeFromTheCoefficients) {
  struct Row {
    double a1, a2, a3;
    bool stable;
  };
  const Row rows[] = {
      {383.333, 16666.7, 318310, true},  {10, 10, 99.9, true},  {10, 10, 100, false},  // A1*A2 = A3 is critical
      {10, 10, 0, false},              {10, 10, -1, false},   {-10, -10, 50, false}, {10, -10, 5, false},
  };
  for (const auto& [a1, a2, a3, stable] : rows) {
    Drive d;
    std::tie(d.A1, d.A2, d.A3) = std::tuple(a1, a2, a3);
    const StabilityFigures s = AssessStability(d);
    EXPECT_EQ(s.stable, stable) << a1 << " " << a2 << " " << a3;
    EXPECT_EQ(s.slowestTimeConstant.has_value(), stable) << a1 << " " << a2 << " " << a3;
  }
  // The critical gain, by hand: Kamp = 2*pi*(Tamp + Tmotor)/(Tamp*Tmotor*Kmotor*Pitch*Kfb), at sqrt(A2) =
  // 129.1 rad/s, with the motor box as the marker release reads it and as "Process" does, its reciprocal;
  // runs either side of it are in the verdict table below.
  for (const auto& [kmotor, critical] : {std::pair(0.75, 2007.13), {1 / 0.75, 1129.01}}) {
    Drive d = DefaultDrive(kmotor);
    ComputeCoefficients(d);
    const StabilityFigures s = AssessStability(d);
    ASSERT_TRUE(s.stable && s.criticalKamp && s.criticalFrequency);
    EXPECT_NEAR(*s.criticalKamp, critical, 0.01);
    EXPECT_NEAR(*s.criticalFrequency, 129.099, 0.001);
    if (kmotor == 0.75) {  // the slowest mode of the default loop: the pair -23.35 +- 20.01j, 1/23.35 s
      EXPECT_NEAR(*s.slowestTimeConstant, 1 / 23.3505, 1e-5);
    }
    d.Kfb = 0;  // no gain makes a loop without feedback critical
    EXPECT_FALSE(AssessStability(d).criticalKamp);
  }
}

TEST(StepMeasurement, Verdicts) {
  struct Row {
    double kamp;
    int offset;
    int ticks;
    StepVerdict verdict;
  };
  const Row rows[] = {
      {100, 50, 50, StepVerdict::Settling},      // 0.1 s: still on its way
      {100, 50, 300, StepVerdict::Settled},      // in the 2 % band since 0.186 s
      {5000, 50, 500, StepVerdict::HeldAtStop},  // unstable, swinging between the stops
      {100, 150, 500, StepVerdict::HeldAtStop},  // a target beyond the stop
      {100, 0, 10, StepVerdict::Settling},       // no step, nothing measured
      {100, 1, 300, StepVerdict::Settled},       // the smallest step the keys make
      // Either side of the critical gain, 2007.13, over 3 s of a 5 mm step clear of the stops.
      {1985, 5, 1500, StepVerdict::Settling},
      {2030, 5, 1500, StepVerdict::Oscillating},
  };
  for (const auto& [kamp, offset, ticks, verdict] : rows) {
    Drive d = ReleasedDrive(kamp, offset);
    Measurements m;
    m.BeginStep(d, offset);
    NoWindow window;
    for (int tick = 0; tick < ticks; ++tick) Timer1Timer(d, window, &m);
    const StepFigures& f = m.Step().Figures();
    EXPECT_EQ(StepVerdictText(f.verdict), std::string_view(StepVerdictText(verdict))) << kamp << ", " << offset;
    EXPECT_EQ(f.steadyStateError.has_value(), verdict == StepVerdict::Settled) << kamp << ", " << offset;
    EXPECT_EQ(m.Step().Active(), offset != 0);
    if (m.Step().Active()) {
      EXPECT_DOUBLE_EQ(f.elapsed, ticks * 0.002) << kamp << ", " << offset;
    }
  }
}

TEST(FrequencySweep, SlicesOfAnySizeMeasureAsOneRunAndTheSummaryLeavesTheStopsOut) {
  // 51 mm near the critical gain: the resonance swings into the stops, the ends do not.
  Drive d = DefaultDrive(1 / 0.75);
  d.Kamp = 1000;
  ComputeCoefficients(d);
  d.Amplitude = 51;
  FrequencySweep near(d, 10, 500, 3);
  for (int slices = 0; !near.Advance(7); ++slices) ASSERT_LT(slices, 1000000);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(near.Points()[i].figures.ratio, MeasureAtFrequency(d, near.Frequencies()[i]).ratio) << i;
    EXPECT_EQ(near.Points()[i].stopReached, i == 1) << i;
  }
  const SweepSummary summary = near.Summary();
  EXPECT_EQ(std::tuple(summary.amplitude, summary.from, summary.to, summary.count), std::tuple(51.0, 10.0, 500.0, 3));
  EXPECT_EQ(summary.peakFrequency, 10.0) << "the point at the stops does not count";
  EXPECT_FALSE(summary.bandwidth.has_value()) << "no crossing between measured neighbours";
}

TEST(HarmonicMeasurement, TheWindowsCycleMeasuresAsTheSweepDoesFromAnyModelTime) {
  // "Process" at 20 rad/s and 10 mm, some way into the program's model time.
  Drive d = DefaultDrive(1 / 0.75);
  ComputeCoefficients(d);
  std::tie(d.Amplitude, d.Frequency, d.SimTime) = std::tuple(10, 20, 3.7);
  Measurements m;
  m.BeginHarmonic(d);
  NoWindow window(true);
  for (int tick = 0; tick < 1500; ++tick) Timer1Timer(d, window, &m);
  const HarmonicFigures& f = m.Harmonic().Figures();
  ASSERT_GE(f.periods, 3);
  const std::complex<double> h = HeldClosedLoopResponse(d, 20);
  EXPECT_NEAR(f.carriageAmplitude, 10 * std::abs(h), 0.05);
  EXPECT_NEAR(f.phaseLag, -std::arg(h) * 180 / M_PI, 0.5);
  ASSERT_EQ(m.Log().Records().size(), 1u) << "one row a run";
  EXPECT_EQ(m.Log().Records()[0].harmonic->periods, f.periods) << "following its periods";
}

// Feeds the measurements and keeps every position they were given.
struct Positions final : StepObserver {
  explicit Positions(Measurements& m) : m(m) {}
  void StepDone(const Drive& d, std::int32_t step) override {
    m.StepDone(d, step);
    x.push_back(d.DriveState[2]);
  }
  Measurements& m;
  std::vector<double> x;
};

TEST(StepMeasurement, ARampIsTimedFromItsStartAndItsRiseAndPeakFromItsEnd) {
  Drive d = ReleasedDrive(100, 50);
  Measurements m;
  m.BeginStep(d, 50);
  NoWindow window;
  for (int tick = 0; tick < 400; ++tick) Timer1Timer(d, window, &m);
  // While the drive runs the marker walks down 2 mm a tick, fifty ticks, and is released
  // before the tick that takes its last place.
  Positions seen(m);
  for (int tick = 1; tick <= 50; ++tick) {
    d.MarkerX = MarkerCentre + 50 - 2 * tick;
    if (tick == 50) m.BeginStep(d, -50, true);
    Timer1Timer(d, window, &seen);
  }
  for (int tick = 0; tick < 500; ++tick) Timer1Timer(d, window, &seen);
  const StepFigures& f = m.Step().Figures();
  EXPECT_EQ(std::tuple(f.start, f.target, f.verdict), std::tuple(50.0, -50.0, StepVerdict::Settled));
  const double h = 5e-5, rampEnd = 49 * 40 * h;  // from the first tick of the change to its fiftieth
  EXPECT_NEAR(f.ramp, rampEnd, 1e-15);

  // The same figures read off the positions, from the ramp's end on.
  const std::size_t end = 49 * 40;
  const auto share = [&](std::size_t i) { return (seen.x[i] - 50) / -100; };
  std::size_t ten = end, ninety = end, peak = end;
  while (share(ten) < 0.1) ++ten;
  while (share(ninety) < 0.9) ++ninety;
  while (seen.x[peak + 1] <= seen.x[peak]) ++peak;  // downwards until the first turn back
  EXPECT_EQ(ten, end) << "past 10 % at the ramp's end: the rise counts from there";
  EXPECT_NEAR(*f.riseTime, (ninety - ten) * h, 1e-12);
  EXPECT_NEAR(*f.peakTime, (peak + 1) * h - rampEnd, 1e-12);
  EXPECT_EQ(*f.peakValue, seen.x[peak]);
  EXPECT_NEAR(*f.overshoot, (share(peak) - 1) * 100, 1e-9);
  // Settling: the first sample of the last stay in the 2 % band, timed from the ramp's start.
  std::size_t outside = seen.x.size() - 1;
  while (std::fabs(seen.x[outside] + 50) <= 2) --outside;
  EXPECT_NEAR(*f.settling2, (outside + 2) * h, 1e-12);
}

}  // namespace
}  // namespace sim
