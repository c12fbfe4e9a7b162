// One whole tick of the running program without the chart: the cycle, the marker following
// the sine, the screw and the carriage, on the real main window.
#include <benchmark/benchmark.h>


#include "app/Unit1.h"

namespace {

void BM_AccuracyTick(benchmark::State& state) {
  TForm1 form(u',');
  form.RadioButton2->setChecked(true);
  form.SpinEdit1->setText(QStringLiteral("50"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  form.Button5Click();
  form.Timer1->stop();  // ticks are called here, not by the clock
  for (auto _ : state) {
    form.Timer1Timer();
  }
  benchmark::DoNotOptimize(form.Drive().CarriageX);
}
BENCHMARK(BM_AccuracyTick)->Unit(benchmark::kMicrosecond);

}  // namespace
