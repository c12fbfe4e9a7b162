// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The simulation's share of a timer tick.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "sim/cycle.h"
#include "sim/drive_model.h"
#include "sim/frequency_sweep.h"
#include "sim/root_locus.h"
#include "tools/runner.h"

namespace {

sim::Drive MidTransient() {
  sim::Drive d;
  d.MarkerX = sim::MarkerCentre;
  sim::SetUpTimeBase(d);
  d.Kamp = 100;
  d.Tamp = 0.003;
  d.Kmotor = 0.75;
  d.Tmotor = 0.02;
  d.Pitch = 8;
  d.Kfb = 0.2;
  sim::ComputeCoefficients(d);
  d.Command = 10;
  // 20 ticks into a step toward 50 mm: the state is moving, far from denormal values.
  for (int i = 0; i < 20 * sim::DefaultStepsPerTick; ++i) {
    sim::IntegrateStep(d);
  }
  return d;
}

// The model work of one tick: 40 integration steps, 480 derivative evaluations.
void BM_TickModelWork(benchmark::State& state) {
  const sim::Drive start = MidTransient();
  sim::Drive d = start;
  for (auto _ : state) {
    d.DriveState = start.DriveState;
    for (int i = 0; i < d.StepsPerTick; ++i) {
      sim::IntegrateStep(d);
    }
    benchmark::DoNotOptimize(d.DriveState);
  }
  state.SetItemsProcessed(state.iterations() * d.StepsPerTick * 12);
}
BENCHMARK(BM_TickModelWork)->Unit(benchmark::kMicrosecond);

// The whole cycle without a window: model work, carriage and screw, the trace window.
void BM_Cycle(benchmark::State& state) {
  const sim::Drive start = MidTransient();
  sim::Drive d = start;
  d.MarkerX = 158;
  runner::HeadlessHost host(runner::Mode::Stability);
  for (auto _ : state) {
    d.DriveState = start.DriveState;
    sim::Timer1Timer(d, host);
    benchmark::DoNotOptimize(d.TraceActual);
  }
}
BENCHMARK(BM_Cycle)->Unit(benchmark::kMicrosecond);

// The Frequency response window's default sweep, 1..500 rad/s in 40 points, of the default
// drive as "Process" reads it with 10 mm, in the window's slices of 1000 ticks: the whole
// sweep's time, and the longest slice, the longest the window leaves its events waiting.
void BM_DefaultSweep(benchmark::State& state) {
  sim::Drive d = MidTransient();
  d.Kmotor = 1 / 0.75;
  sim::ComputeCoefficients(d);
  d.Amplitude = 10;
  double longest = 0;
  std::int64_t slices = 0;
  for (auto _ : state) {
    sim::FrequencySweep sweep(d, 1, 500, 40);
    bool finished = false;
    while (!finished) {
      const auto start = std::chrono::steady_clock::now();
      finished = sweep.Advance(1000);
      longest = std::max(longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      ++slices;
    }
    benchmark::DoNotOptimize(sweep.Points().data());
  }
  state.counters["longest_slice_ms"] = longest;
  state.counters["slices"] = static_cast<double>(slices) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DefaultSweep)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The Root locus window's locus of the default drive: 600 gains up to three times the
// critical one, and the finer ones where the poles turn.
void BM_RootLocus(benchmark::State& state) {
  const sim::Parameters p{100, 0.003, 0.75, 0.02, 8, 0.2};
  std::size_t gains = 0;
  for (auto _ : state) {
    const auto locus = sim::RootLocus(p, 3 * 2007.13, 600);
    gains = locus.size();
    benchmark::DoNotOptimize(locus.data());
  }
  state.counters["gains"] = static_cast<double>(gains);
}
BENCHMARK(BM_RootLocus)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
