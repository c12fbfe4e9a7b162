// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The oscilloscope's share of a timer tick.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QString>
#include <cmath>
#include <vector>

#include "app/Unit1.h"
#include "bench/support/accuracy_run.h"
#include "chart/chart_canvas.h"
#include "sim/trace_plotting.h"

namespace {

using chart::TChartCanvas3D;
using chart::TRect;

// --- the drawing surface on its own -------------------------------------------------
// Chart1's size and the calls its paint makes, without the chart objects around them.

constexpr TRect ChartBounds{0, 0, 489, 225};
constexpr TRect PlotRect{48, 23, 440, 196};

const chart::TChartFont& LabelsFont() {
  static const chart::TChartFont font(QStringLiteral("Arial"), 11, platform::clBlack);
  return font;
}

// One axis label as the axis draws it: font, clear brush, alignment, text, alignment back.
void DrawLabel(TChartCanvas3D& canvas, int x, int y, int flags, const QString& text) {
  canvas.UseFont(LabelsFont());
  canvas.SetBrushColor(platform::clMenu);
  canvas.SetBrushStyle(chart::bsClear);
  canvas.SetTextAlignment(flags);
  canvas.DrawText3D(x, y, 0, text);
  canvas.SetTextAlignment(chart::TA_LEFT | chart::TA_TOP);
}

// Gradient, bevel, one title and the back wall, presented to a window-sized image.
void BM_SurfacePanel(benchmark::State& state) {
  TChartCanvas3D canvas;
  QImage window(ChartBounds.Width(), ChartBounds.Height(), QImage::Format_RGB32);
  const chart::TChartFont titleFont(QStringLiteral("Tahoma"), 13, platform::clBlue, true);
  const QString title = QStringLiteral("Oscilloscope");
  chart::TChartPen wallPen;
  for (auto _ : state) {
    QPainter painter(&window);
    const TRect bounds = canvas.PrepareFrame(&painter, nullptr, platform::clMenu, false, ChartBounds);
    canvas.FillGradient(bounds, platform::clWhite, platform::clSilver, chart::gdTopBottom);
    canvas.SetPenStyle(chart::psSolid);
    canvas.SetBrushStyle(chart::bsClear);
    canvas.SetPenColor(platform::clBtnHighlight);
    canvas.LineBetween(0, bounds.Bottom - 1, 0, 0);
    canvas.LineBetween(0, 0, bounds.Right - 1, 0);
    canvas.SetPenColor(platform::clBtnShadow);
    canvas.LineBetween(bounds.Right - 1, 0, bounds.Right - 1, bounds.Bottom - 1);
    canvas.LineBetween(bounds.Right - 1, bounds.Bottom - 1, -1, bounds.Bottom - 1);
    canvas.UseFont(titleFont);
    canvas.SetBackgroundMode(chart::cbmTransparent);
    canvas.DrawText(244 - canvas.MeasureTextWidth(title) / 2, 5, title);
    canvas.UseChartPen(wallPen);
    canvas.SetBrushColor(platform::clBlack);
    canvas.SetBrushStyle(chart::bsSolid);
    canvas.DrawRectangle(PlotRect.Left, PlotRect.Top, PlotRect.Right + 1, PlotRect.Bottom + 1);
    canvas.ResetDrawingState();
    canvas.PresentFrame(&painter, ChartBounds);
    benchmark::DoNotOptimize(window.constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SurfacePanel)->Unit(benchmark::kMicrosecond);

// The texts of three axes: 19 value labels and three titles, two of them turned upwards.
// The label texts repeat from tick to tick, as they do while the trace window slides.
void DrawAxisTexts(TChartCanvas3D& canvas, const std::vector<QString>& timeLabels) {
  using chart::TA_BOTTOM, chart::TA_CENTER, chart::TA_LEFT, chart::TA_RIGHT, chart::TA_TOP;
  const QString values[] = {QStringLiteral("100"), QStringLiteral("50"), QStringLiteral("0"), QStringLiteral("-50"),
                            QStringLiteral("-100")};
  for (std::size_t i = 0; i < timeLabels.size(); ++i) {
    DrawLabel(canvas, 440 - static_cast<int>(i) * 49, 203, TA_CENTER | TA_TOP, timeLabels[i]);
  }
  for (int i = 0; i < 5; ++i) {
    const int y = 30 + 40 * i - 6;
    DrawLabel(canvas, 45, y, TA_RIGHT | TA_TOP, values[i]);
    DrawLabel(canvas, 443, y, TA_LEFT | TA_TOP, values[i]);
  }
  canvas.UseFont(LabelsFont());
  canvas.SetTextAlignment(TA_CENTER | TA_TOP);
  canvas.DrawText3D(244, 212, 0, QStringLiteral("Time, s"));
  canvas.SetTextAlignment(TA_CENTER | TA_BOTTOM);
  canvas.DrawRotatedText3D(18, 110, 0, QStringLiteral("Support moving, mm"), 90);
  canvas.SetTextAlignment(TA_CENTER | TA_TOP);
  canvas.DrawRotatedText3D(471, 110, 0, QStringLiteral("Preset moving, mm"), 90);
  canvas.SetTextAlignment(TA_LEFT | TA_TOP);
}

void BM_SurfaceAxisTexts(benchmark::State& state) {
  TChartCanvas3D canvas;
  const std::vector<QString> timeLabels = {QStringLiteral("0"),    QStringLiteral("-0.1"), QStringLiteral("-0.2"),
                                           QStringLiteral("-0.3"), QStringLiteral("-0.4"), QStringLiteral("-0.5"),
                                           QStringLiteral("-0.6"), QStringLiteral("-0.7"), QStringLiteral("-0.8")};
  canvas.PrepareFrame(nullptr, nullptr, platform::clMenu, false, ChartBounds);
  for (auto _ : state) {
    DrawAxisTexts(canvas, timeLabels);
    benchmark::DoNotOptimize(canvas.Buffer()->Image().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SurfaceAxisTexts)->Unit(benchmark::kMicrosecond);

// The worst case for the kept text runs: every time label new on every frame.
void BM_SurfaceAxisTextsAllNew(benchmark::State& state) {
  TChartCanvas3D canvas;
  canvas.PrepareFrame(nullptr, nullptr, platform::clMenu, false, ChartBounds);
  std::vector<QString> timeLabels(9);
  long frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < timeLabels.size(); ++i) {
      timeLabels[i] = QString::number(-0.001 * static_cast<double>(frame * 9 + static_cast<long>(i)));
    }
    ++frame;
    state.ResumeTiming();
    DrawAxisTexts(canvas, timeLabels);
    benchmark::DoNotOptimize(canvas.Buffer()->Image().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SurfaceAxisTextsAllNew)->Unit(benchmark::kMicrosecond);

// Axis lines (2 px), ticks and minor ticks, and the dotted grid of three axes.
void BM_SurfaceAxisLines(benchmark::State& state) {
  TChartCanvas3D canvas;
  canvas.PrepareFrame(nullptr, nullptr, platform::clMenu, false, ChartBounds);
  const chart::TChartAxisPen axisPen;
  const chart::TDarkGrayPen tickPen;
  const chart::TDottedGrayPen gridPen;
  for (auto _ : state) {
    canvas.UseChartPen(axisPen);
    canvas.DrawHorizontalLine3D(PlotRect.Left, PlotRect.Right, PlotRect.Bottom, 0);
    canvas.DrawVerticalLine3D(PlotRect.Left, PlotRect.Top, PlotRect.Bottom, 0);
    canvas.DrawVerticalLine3D(PlotRect.Right, PlotRect.Top, PlotRect.Bottom, 0);
    canvas.UseChartPen(tickPen);
    for (int p = PlotRect.Left; p <= PlotRect.Right; p += 12) {
      canvas.LineBetween(p, PlotRect.Bottom + 1, p, PlotRect.Bottom + 5);
    }
    for (int p = PlotRect.Top; p <= PlotRect.Bottom; p += 10) {
      canvas.LineBetween(PlotRect.Left - 1, p, PlotRect.Left - 5, p);
      canvas.LineBetween(PlotRect.Right + 1, p, PlotRect.Right + 5, p);
    }
    canvas.SetBrushStyle(chart::bsClear);
    canvas.SetBackgroundMode(chart::cbmTransparent);
    canvas.UseChartPen(gridPen);
    for (int p = PlotRect.Left; p <= PlotRect.Right; p += 49) {
      canvas.DrawVerticalLine(p, PlotRect.Top, PlotRect.Bottom);
    }
    for (int p = PlotRect.Top; p <= PlotRect.Bottom; p += 40) {
      canvas.DrawHorizontalLine(PlotRect.Left, PlotRect.Right, p);
      canvas.DrawHorizontalLine(PlotRect.Left, PlotRect.Right, p);  // the right axis' grid
    }
    canvas.SetBackgroundMode(chart::cbmOpaque);
    benchmark::DoNotOptimize(canvas.Buffer()->Image().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SurfaceAxisLines)->Unit(benchmark::kMicrosecond);

// Three series of 393 points, segment by segment as a line series draws them, clipped to
// the plotting rectangle; the error trace overshoots it.
void BM_SurfaceSeriesLines(benchmark::State& state) {
  TChartCanvas3D canvas;
  canvas.PrepareFrame(nullptr, nullptr, platform::clMenu, false, ChartBounds);
  constexpr int Points = 393;
  const platform::TColor colours[] = {0xFFFF00, 0x00FF80, 0x0080FF};
  std::vector<QPoint> series[3];
  for (int s = 0; s < 3; ++s) {
    for (int i = 0; i < Points; ++i) {
      const double t = i / static_cast<double>(Points - 1);
      const double amplitude = s == 2 ? 120.0 : 70.0;
      series[s].emplace_back(PlotRect.Left + static_cast<int>(t * PlotRect.Width()),
                             110 - static_cast<int>(amplitude * std::sin(6.0 * t + s)));
    }
  }
  const chart::TChartPen linePen;
  for (auto _ : state) {
    for (int s = 0; s < 3; ++s) {
      canvas.ClipToCube(PlotRect, 0, 0);
      for (int i = 1; i < Points; ++i) {
        const QPoint from = series[s][i - 1];
        const QPoint to = series[s][i];
        canvas.SetPenColor(platform::clBlack);
        canvas.SetBrushColor(colours[s]);
        if (to == from) {
          continue;
        }
        canvas.UseChartPen(linePen);
        canvas.SetBrushStyle(chart::bsClear);
        canvas.SetPenColor(colours[s]);
        canvas.LineBetween(from.x(), from.y(), to.x(), to.y());
      }
      canvas.RemoveClip();
    }
    benchmark::DoNotOptimize(canvas.Buffer()->Image().constBits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SurfaceSeriesLines)->Unit(benchmark::kMicrosecond);

// --- the oscilloscope itself --------------------------------------------------------

// Refilling the three series as a tick does: 3 Clear and 1179 AddXY, each asking the
// chart for a repaint.
void BM_RefillSeries(benchmark::State& state) {
  TForm1 form(u',');
  StartAccuracy(form, 300);
  for (auto _ : state) {
    sim::PlotAccuracyTraces(form.Drive(), form.FirstSeries(), form.SecondSeries(), form.ThirdSeries());
  }
}
BENCHMARK(BM_RefillSeries)->Unit(benchmark::kMicrosecond);

// One full paint of the main window's Chart1 into its buffer, presented to a window-sized
// image: panel, gradient, bevel, title, axes, walls and the three traces.
void BM_PaintOscilloscope(benchmark::State& state) {
  TForm1 form(u',');
  StartAccuracy(form, 300);
  chart::TChart& chart = *form.Chart1;
  QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&window);
  const TRect rect{0, 0, chart.width(), chart.height()};
  for (auto _ : state) {
    chart.Canvas().MarkStale();
    chart.DrawChart(&painter, rect);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintOscilloscope)->Unit(benchmark::kMicrosecond);

// The oscilloscope's part of a tick as the window has it: the traces refilled with the time
// window a tick away from the last frame's (on and back, so that the kept runs stay in view),
// and the frame drawn; plain, and with four runs kept as
// references under the live ones.
void OscilloscopeTick(benchmark::State& state, bool references) {
  TForm1 form(u',');
  StartAccuracy(form, 300);
  if (references) {
    KeepFourReferences(form);
  }
  sim::Drive drive = form.Drive();
  double tick = drive.StepsPerTick * drive.StepH;
  chart::TChart& chart = *form.Chart1;
  QImage window(chart.width(), chart.height(), QImage::Format_RGB32);
  QPainter painter(&window);
  const TRect rect{0, 0, chart.width(), chart.height()};
  for (auto _ : state) {
    tick = -tick;
    for (double& t : drive.TraceTime) {
      t += tick;
    }
    sim::PlotAccuracyTraces(drive, form.FirstSeries(), form.SecondSeries(), form.ThirdSeries());
    chart.DrawChart(&painter, rect);
    benchmark::ClobberMemory();
  }
  state.counters["references"] = static_cast<double>(form.References().size());
}
void BM_OscilloscopeTick(benchmark::State& state) { OscilloscopeTick(state, false); }
void BM_OscilloscopeTickFourReferences(benchmark::State& state) { OscilloscopeTick(state, true); }
BENCHMARK(BM_OscilloscopeTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OscilloscopeTickFourReferences)->Unit(benchmark::kMicrosecond);

}  // namespace
