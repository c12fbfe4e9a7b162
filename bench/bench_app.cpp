// The running program's tick on the real main window: the cycle, the marker following the
// sine, the screw and the carriage, the three series refilled; and with the paint of the
// oscilloscope that follows it.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

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

}  // namespace
