// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The running program's tick on the real main window: the cycle, the marker following the
// sine, the screw and the carriage, the three series refilled; and with the paint of the
// oscilloscope that follows it.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "app/Unit1.h"
#include "app/root_locus_window.h"
#include "bench/support/accuracy_run.h"

namespace {

void BM_AccuracyTick(benchmark::State& state) {
  TForm1 form(u',');
  StartAccuracy(form);
  for (auto _ : state) {
    form.Timer1Timer();
  }
  benchmark::DoNotOptimize(form.Drive().CarriageX);
}
BENCHMARK(BM_AccuracyTick)->Unit(benchmark::kMicrosecond);

// The tick and the oscilloscope's paint; with references, four earlier runs kept as such.
void WholeTick(benchmark::State& state, bool references) {
  TForm1 form(u',');
  StartAccuracy(form);
  if (references) {
    KeepFourReferences(form);
  }
  chart::TChart& chart = *form.Chart1;
  QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&window);
  const chart::TRect rect{0, 0, chart.width(), chart.height()};
  for (auto _ : state) {
    form.Timer1Timer();
    chart.DrawChart(&painter, rect);
  }
  state.counters["references"] = static_cast<double>(form.References().size());
  benchmark::DoNotOptimize(form.Drive().CarriageX);
}
void BM_WholeTick(benchmark::State& state) { WholeTick(state, false); }
void BM_WholeTickFourReferences(benchmark::State& state) { WholeTick(state, true); }
BENCHMARK(BM_WholeTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeTickFourReferences)->Unit(benchmark::kMicrosecond);

// The Root locus window's chart painted whole, as after a resize or a pointer moving along a
// branch; and with a new parameter, the locus computed again first.
void RootLocusPaint(benchmark::State& state, bool rebuild) {
  RootLocusWindow window(u',');
  window.resize(640, 640);
  sim::Parameters p{100, 0.003, 0.75, 0.02, 8, 0.2};
  window.SetParameters(p);
  window.show();
  window.Picture();  // laid out and fitted
  chart::TChart& chart = *window.Chart;
  QImage image(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&image);
  const chart::TRect rect{0, 0, chart.width(), chart.height()};
  for (auto _ : state) {
    if (rebuild) {
      p.Tamp = p.Tamp == 0.003 ? 0.004 : 0.003;
      window.SetParameters(p);
    }
    chart.DrawChart(&painter, rect);
  }
  state.counters["gains"] = static_cast<double>(window.Locus().size());
}
void BM_RootLocusPaint(benchmark::State& state) { RootLocusPaint(state, false); }
void BM_RootLocusNewParameters(benchmark::State& state) { RootLocusPaint(state, true); }
BENCHMARK(BM_RootLocusPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RootLocusNewParameters)->Unit(benchmark::kMicrosecond);

// The same tick as the window's timer runs it, one every 10 ms: between ticks the caches
// and the core go to other work or cool down. Only the tick itself is timed.
void BM_WholeTickPaced(benchmark::State& state) {
  TForm1 form(u',');
  StartAccuracy(form);
  chart::TChart& chart = *form.Chart1;
  QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&window);
  const chart::TRect rect{0, 0, chart.width(), chart.height()};
  std::vector<double> ticks;  // microseconds
  ticks.reserve(static_cast<std::size_t>(state.max_iterations));
  auto next = std::chrono::steady_clock::now();
  for (auto _ : state) {
    next += std::chrono::milliseconds(10);
    std::this_thread::sleep_until(next);
    const auto start = std::chrono::steady_clock::now();
    form.Timer1Timer();
    chart.DrawChart(&painter, rect);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    ticks.push_back(took.count() * 1e6);
  }
  benchmark::DoNotOptimize(form.Drive().CarriageX);
  // The reported time is the mean of the ticks, which a preempted tick pulls up; the median
  // tick is what one tick usually costs.
  std::sort(ticks.begin(), ticks.end());
  state.counters["tick_median_us"] = ticks[ticks.size() / 2];
  state.counters["tick_p95_us"] = ticks[ticks.size() * 95 / 100];
}
BENCHMARK(BM_WholeTickPaced)->UseManualTime()->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace
