// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The chart's short ways of drawing against the plain one, frame by frame: two charts fed
// the same points, one of them drawing every segment through the surface's operations and
// every frame whole, must show the same picture after every paint.
#include <gtest/gtest.h>

#include <QApplication>
#include <cmath>
#include <functional>
#include <vector>

#include "chart/chart.h"
#include "chart/line_series.h"

namespace chart {
namespace {

using platform::clDefault, platform::clNone;

constexpr int Points = 393;
constexpr TColor Colours[] = {0xFFFF00, 0x00FF80, 0x0080FF};

struct Scope {
  explicit Scope(bool plain) {
    chart.resize(489, 225);
    chart.SetView3D(false);
    chart.Gradient().SetEndColor(platform::clSilver);
    chart.Gradient().SetVisible(true);
    chart.BackWall().Brush().SetColor(platform::clWhite);  // a solid wall, as on the main window
    chart.SetBackColor(platform::clBlack);
    chart.Title().SetText({QStringLiteral("Oscilloscope")});
    for (TChartAxis* axis : {&chart.LeftAxis(), &chart.RightAxis()}) axis->SetRange(-120, 120);
    series[1].SetVertAxis(aRightAxis);
    for (TLineSeries& s : series) s.SetParentChart(&chart);
    chart.Canvas().SetPlainDrawing(plain);
  }
  // Frame f of a trace window sliding one point per frame: a wave that leaves the plot at
  // both edges, a flat line, and their difference further out; every 37th point null, every
  // 50th in the series colour, every 61st a billion pixels out.
  void Fill(int f) {
    for (TLineSeries& s : series) s.Clear();
    for (int i = 0; i < Points; ++i) {
      const double x = (f + i) * 0.002;
      const double wave = 150 * std::sin(7 * x) * std::cos(1.3 * x);
      const double ys[] = {wave, 49, wave - 49};
      for (int k = 0; k < 3; ++k) {
        const TColor c = i % 37 == 5 ? clNone : i % 50 == 7 ? clDefault : Colours[k];
        series[k].AddXY(x, i % 61 == 11 && k == 2 ? 1e9 : ys[k], QString(), c);
      }
    }
  }
  // The plain chart draws every frame whole; the other only where its values moved things.
  const QImage& Paint() {
    if (chart.Canvas().PlainDrawing()) chart.Canvas().MarkStale();
    chart.DrawChart(nullptr, TRect{0, 0, chart.width(), chart.height()});
    return chart.Canvas().Buffer()->Image();
  }
  TChart chart;
  TLineSeries series[3];
};

int CountOf(const QImage& image, TColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == platform::ToQColor(colour).rgb();
  }
  return n;
}

TEST(DrawingPaths, TheShortWaysPaintWhatThePlainOnePaints) {
  Scope fast(false), plain(true);
  // Each phase sets both charts' axes the same way before the frame is filled and drawn.
  const std::pair<const char*, std::function<void(TChart&, int)>> phases[] = {
      {"whole window", [](TChart&, int) {}},
      {"zoomed into the middle",
       [](TChart& c, int f) {
         c.BottomAxis().SetRange((f + 100) * 0.002, (f + 300) * 0.002);
         c.LeftAxis().SetRange(-60, 60);
       }},
      {"scrolled step by step", [](TChart& c, int f) { c.BottomAxis().SetRange(0.1 + 0.003 * f, 0.5 + 0.005 * f); }},
      {"inverted", [](TChart& c, int f) {
         c.BottomAxis().SetInverted(true);
         c.BottomAxis().SetRange((f + 50) * 0.002, (f + 250) * 0.002);
       }},
      {"labels that widen and narrow the plot from frame to frame",
       [](TChart& c, int f) {
         const double m = f % 3 == 0 ? 1e12 : 120;
         c.LeftAxis().SetRange(-m, m);
       }},
      {"a pen that is not thin and solid", [](TChart& c, int f) {
         c.BottomAxis().SetInverted(false);
         c.BottomAxis().SetAutomatic(true);
         c.LeftAxis().SetRange(-120, 120);
         dynamic_cast<TLineSeries&>(*c.SeriesList()[0]).LinePen().SetWidth(1 + f % 3);
       }},
  };
  int frame = 0;
  for (const auto& [what, setAxes] : phases) {
    for (int i = 0; i < 12; ++i, ++frame) {
      for (Scope* s : {&fast, &plain}) {
        setAxes(s->chart, frame);
        s->Fill(frame);
      }
      const QImage& expected = plain.Paint();
      ASSERT_TRUE(fast.Paint() == expected) << what << ", frame " << frame;
      ASSERT_EQ(fast.chart.Canvas().Target(), nullptr);
    }
    const QImage& last = plain.Paint();
    EXPECT_GT(CountOf(last, Colours[0]) + CountOf(last, Colours[2]), 100) << what << ": traces drawn";
  }
}

// The one-multiply mapping of the series' drawing against the axis' own, over ranges like
// the oscilloscope's and odd ones, with values that land exactly half-way between pixels,
// next to it, beyond the 32-bit limit and at the extremes of a double.
TEST(DrawingPaths, TheQuickMappingGivesTheAxisPixels) {
  const TAxisMapping mappings[] = {
      {-120, 240, 173, 173 / 240.0, 100, 196, -1},
      {-0.782, 0.784, 392, 392 / 0.784, 244, 48, 1},
      {0, 10, 5, 0.5, 7, 3, 1},  // every odd value lands on a half
      {1e-300, 3e-300, 400, 400 / 3e-300, 9, 20, -1},
      {-1e12, 3, 1000, 1000 / 3.0, 0, 0, 1},
  };
  std::vector<double> values = {0, -0.0, 1, 3, 5, 7, 2.5, 1e300, -1e300, 1e-320, 5e-324, 1e295, 3e-300, -120, 120,
                                0.002, -0.782, 0.002 * 196, 1e12, -1e12 + 3, std::nan(""), HUGE_VAL, -HUGE_VAL};
  for (int i = -2000; i <= 2000; ++i) {
    values.push_back(i * 0.0625);  // many exact halves after the multiply by 0.5 or 8
    values.push_back(i * 0.002 - 0.782);
    values.push_back(i * 0.12 + std::nextafter(0.0, 1.0) * i);
    values.push_back(std::nextafter(i * 1.0, HUGE_VAL));
  }
  for (const TAxisMapping& m : mappings) {
    std::vector<int> all(values.size());
    m.MapAll(values.data(), static_cast<int>(values.size()), 1.0, all.data());
    for (std::size_t i = 0; i < values.size(); ++i) {
      const double v = values[i];
      ASSERT_EQ(m.Map(v), m.Exact(v)) << v << " on " << m.rangeMin << ".." << m.rangeMin + m.rangeSize;
      ASSERT_EQ(all[i], m.Exact(v)) << v << " on " << m.rangeMin << ".." << m.rangeMin + m.rangeSize << ", all at once";
    }
  }
}

}  // namespace
}  // namespace chart
