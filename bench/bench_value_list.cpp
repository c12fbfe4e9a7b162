// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The value lists' share of a timer tick: each of the three traces is emptied and refilled
// with 393 points in ascending x, then the automatic bottom axis asks for the x range.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "chart/value_list.h"

namespace {

using chart::TChartValueList;

constexpr int Points = 393;

struct Trace {
  TChartValueList x{"X", chart::loAscending};
  TChartValueList y{"Y", chart::loNone};
};

void BM_ValueListTick(benchmark::State& state) {
  // A trace window's worth of times (2 ms apart) and a settling response.
  std::vector<double> times(Points);
  std::vector<double> response(Points);
  for (int i = 0; i < Points; ++i) {
    times[i] = 0.002 * i;
    response[i] = 50.0 * (1.0 - std::exp(-times[i] / 0.1) * std::cos(times[i] * 40.0));
  }
  std::array<Trace, 3> traces;
  for (auto _ : state) {
    for (Trace& trace : traces) {
      trace.x.ClearValues();
      trace.y.ClearValues();
      for (int i = 0; i < Points; ++i) {
        trace.y.InsertValue(trace.x.AddValue(times[i]), response[i]);
      }
    }
    double low = traces[0].x.MinValue();
    double high = traces[0].x.MaxValue();
    for (const Trace& trace : traces) {
      low = std::min(low, trace.x.MinValue());
      high = std::max(high, trace.x.MaxValue());
    }
    benchmark::DoNotOptimize(low);
    benchmark::DoNotOptimize(high);
  }
  state.SetItemsProcessed(state.iterations() * 3 * Points);
}
BENCHMARK(BM_ValueListTick);

}  // namespace

BENCHMARK_MAIN();
