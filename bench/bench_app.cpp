// The running program's tick on the real main window: the cycle, the marker following the
// sine, the screw and the carriage, the three series refilled; and with the paint of the
// oscilloscope that follows it.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <chrono>
#include <thread>

#include "app/Unit1.h"
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

void BM_WholeTick(benchmark::State& state) {
  TForm1 form(u',');
  StartAccuracy(form);
  chart::TChart& chart = *form.Chart1;
  QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&window);
  const chart::TRect rect{0, 0, chart.width(), chart.height()};
  for (auto _ : state) {
    form.Timer1Timer();
    chart.DrawChart(&painter, rect);
  }
  benchmark::DoNotOptimize(form.Drive().CarriageX);
}
BENCHMARK(BM_WholeTick)->Unit(benchmark::kMicrosecond);

// The same tick as the window's timer runs it, one every 10 ms: between ticks the caches
// and the core go to other work or cool down. Only the tick itself is timed.
void BM_WholeTickPaced(benchmark::State& state) {
  TForm1 form(u',');
  StartAccuracy(form);
  chart::TChart& chart = *form.Chart1;
  QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&window);
  const chart::TRect rect{0, 0, chart.width(), chart.height()};
  auto next = std::chrono::steady_clock::now();
  for (auto _ : state) {
    next += std::chrono::milliseconds(10);
    std::this_thread::sleep_until(next);
    const auto start = std::chrono::steady_clock::now();
    form.Timer1Timer();
    chart.DrawChart(&painter, rect);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  benchmark::DoNotOptimize(form.Drive().CarriageX);
}
BENCHMARK(BM_WholeTickPaced)->UseManualTime()->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace
