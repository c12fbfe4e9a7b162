// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The machine picture's share of a timer tick.
#include <benchmark/benchmark.h>

#include "animation/machine_picture.h"

namespace {

// One tick's redraw on the picture as the window holds it, the carriage moving between
// positions of different phase so that no call finds the previous one's pixels in place.
template <class Draw>
void RedrawScrewAndCarriage(benchmark::State& state, Draw draw) {
  platform::RasterCanvas canvas(animation::PictureWidth, animation::PictureHeight);
  animation::DrawMachine(canvas);
  constexpr int positions[] = {-110, 37, 0, 110, -53, 8};
  std::size_t next = 0;
  for (auto _ : state) {
    const int carriageX = positions[next];
    next = (next + 1) % std::size(positions);
    draw(canvas, carriageX, (2 * carriageX) % 15);
    benchmark::DoNotOptimize(canvas.Image().constBits());
    benchmark::ClobberMemory();
  }
}

// As the window's tick draws it: the phase's kept rows, then the carriage and what lies over it.
void BM_DrawScrewAndCarriage(benchmark::State& state) {
  animation::ScrewAndCarriagePainter painter;
  RedrawScrewAndCarriage(state, [&painter](platform::RasterCanvas& canvas, int carriageX, int screwPhase) {
    painter.Draw(canvas, carriageX, screwPhase);
  });
}
BENCHMARK(BM_DrawScrewAndCarriage)->Unit(benchmark::kMicrosecond);

// Every step drawn afresh.
void BM_DrawScrewAndCarriagePlain(benchmark::State& state) {
  RedrawScrewAndCarriage(state, animation::DrawScrewAndCarriage);
}
BENCHMARK(BM_DrawScrewAndCarriagePlain)->Unit(benchmark::kMicrosecond);

// Start-up, Reset and a change of mode: the whole picture.
void BM_DrawWholePicture(benchmark::State& state) {
  platform::RasterCanvas canvas(animation::PictureWidth, animation::PictureHeight);
  for (auto _ : state) {
    animation::DrawMachine(canvas);
    animation::DrawScrewAndCarriage(canvas, 0, 0);
    benchmark::DoNotOptimize(canvas.Image().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawWholePicture)->Unit(benchmark::kMicrosecond);

}  // namespace
