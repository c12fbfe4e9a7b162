// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/cycle.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "sim/checked_float.h"
#include "sim/drive_model.h"
#include "tests/sim/default_drive.h"

namespace sim {
namespace {

using Names = std::vector<std::string>;

// Records the window's calls with the values it would draw from, and keeps what is plotted.
struct Host final : CycleHost {
  struct Series final : TraceSeries {
    Series(Host& host, int number) : host(host), number(number) {}
    void Clear() override {
      host.Record("Clear" + std::to_string(number));
      points.clear();
    }
    int AddXY(double x, double y, std::string_view, std::uint32_t colour) override {
      points.push_back({x, y, static_cast<double>(colour)});
      host.plotOrder.push_back(number);
      return static_cast<int>(points.size()) - 1;
    }
    Host& host;
    int number;
    std::vector<std::array<double, 3>> points;  // x, y, colour
  };

  explicit Host(const Drive& d, bool accuracy = false) : drive(d), accuracy(accuracy) {}
  bool StabilitySelected() const override { return !accuracy; }
  bool AccuracySelected() const override { return accuracy; }
  void DrawMarker() override { Record("DrawMarker"); }
  void DrawMachine() override { Record("DrawMachine"); }
  void DrawScrewAndCarriage() override { Record("DrawScrewAndCarriage"); }
  TraceSeries& FirstSeries() override { return series[0]; }
  TraceSeries& SecondSeries() override { return series[1]; }
  TraceSeries& ThirdSeries() override { return series[2]; }
  void SetTimerEnabled(bool on) override { Record(on ? "TimerOn" : "TimerOff"); }
  void Record(const std::string& name) {
    calls.push_back(name);
    seen.push_back({drive.MarkerX, drive.CarriageX, drive.TraceActual[TraceNewest]});
  }

  const Drive& drive;
  bool accuracy;
  Series series[3] = {{*this, 1}, {*this, 2}, {*this, 3}};
  Names calls;
  std::vector<std::tuple<std::int32_t, std::int32_t, double>> seen;  // MarkerX, CarriageX, newest actual
  std::vector<int> plotOrder;
};

// The window at creation, the default texts read: the marker released at 158, or "Process" at 50 and 20.
Drive CreatedDrive(bool accuracy = false) {
  Drive d = DefaultDrive(accuracy ? 1 / 0.75 : 0.75);
  ComputeCoefficients(d);
  d.MarkerX = accuracy ? MarkerCentre : 158;
  std::tie(d.Amplitude, d.Frequency) = accuracy ? std::pair(51, 20) : std::pair(0, 0);
  return d;
}

TEST(Cycle, MarkerOffsetGivesThePresetTruncatedFromTheExtendedQuotient) {
  // Offsets ±1..±4 give themselves; from ±5 on the quotient by 0.2 falls just short.
  const std::pair<int, double> rows[] = {{1, 1},   {4, 4},    {-1, -1}, {-4, -4},   {5, 4},   {-5, -4},
                                         {10, 9}, {-10, -9}, {15, 14}, {-15, -14}, {50, 49}, {9, 8}};
  for (const auto& [offset, preset] : rows) {
    Drive d = CreatedDrive();
    d.MarkerX = MarkerCentre + offset;
    Host host(d);
    Timer1Timer(d, host);
    EXPECT_EQ(d.TracePreset[TraceNewest], preset) << "offset " << offset;
  }
}

TEST(Cycle, ScrewPhaseIsTheRemainderWithTheDividendsSign) {
  const std::pair<std::int32_t, std::int32_t> rows[] = {{-7, -14}, {-1, -2}, {7, 14}, {8, 1}, {15, 0}, {110, 10}};
  for (const auto& [carriageX, phase] : rows) EXPECT_EQ(ScrewPhaseFor(carriageX), phase) << carriageX;
}

TEST(Cycle, OneCycleCallsTheWindowInOrderThenAdvancesAndShiftsTheTraceWindow) {
  Drive d = CreatedDrive();
  EXPECT_EQ(std::pair(d.TraceTime[0], d.TraceTime[TraceNewest]), std::pair(-0.784, 0.0));
  d.DriveState[2] = 7.4;  // so that the carriage has moved before the picture is drawn
  Host host(d);
  Timer1Timer(d, host);
  EXPECT_EQ(host.calls, (Names{"DrawScrewAndCarriage", "Clear1", "Clear2", "Clear3"}));
  EXPECT_EQ(host.seen[0], std::tuple(158, 7, 0.0)) << "traces are written after the drawing";
  EXPECT_EQ(std::get<2>(host.seen[1]), 7) << "and before the plotting";
  EXPECT_EQ(std::pair(d.TraceTime[0], d.TraceTime[TraceNewest]), std::pair(-0.782, 0.002));
  // Plotted, then moved one place toward 0; the newest place keeps its value.
  EXPECT_EQ(std::pair(host.series[1].points[391][1], host.series[1].points[392][1]), std::pair(0.0, 49.0));
  EXPECT_EQ(std::tuple(d.TracePreset[390], d.TracePreset[391], d.TracePreset[TraceNewest]), std::tuple(0, 49, 49));
}

TEST(Cycle, ZeroFeedbackFailsAtTheTraceStepKeepingWhatWasStoredAndStopsTheTimer) {
  Drive d = CreatedDrive();
  d.Kfb = 0;
  ComputeCoefficients(d);
  d.DriveState = {0, 0, 30.6};
  std::tie(d.TracePreset[391], d.TracePreset[TraceNewest]) = std::pair(5, 7);
  const Drive before = d;
  Host host(d);
  try {
    RunTimerTick(d, host);
    ADD_FAILURE() << "no error";
  } catch (const FloatError& e) {
    EXPECT_STREQ(e.what(), "Invalid floating point operation");
  }
  EXPECT_DOUBLE_EQ(d.SimTime, before.SimTime + 0.002);
  EXPECT_EQ(std::tuple(d.Command, d.CarriageX, d.ScrewPhase, d.TraceActual[TraceNewest]),
            std::tuple(0.0, 31, ScrewPhaseFor(31), 30.0)) << "stored before the failing quotient";
  EXPECT_EQ(std::pair(d.TracePreset[391], d.TracePreset[TraceNewest]), std::pair(5.0, 7.0)) << "no store, no shift";
  EXPECT_EQ(d.TraceTime, before.TraceTime) << "the time axis does not advance";
  EXPECT_EQ(host.calls, (Names{"DrawScrewAndCarriage", "TimerOff"})) << "the timer stops before the error goes on";
}

TEST(Cycle, ResetReturnsTheDriveToRestAndTheNextCycleShowsOneSimulatedPoint) {
  Drive d = CreatedDrive(true);
  d.Amplitude = 100;  // beyond the strip's drag limits of 40..177
  d.Dragging = true;
  Host running(d, true);
  for (int cycle = 0; cycle < 40; ++cycle) Timer1Timer(d, running);
  EXPECT_EQ(d.MarkerX, 208) << "108 + 100 sin(20 x 0.08 s), unclamped";
  const Drive before = d;
  Host host(d, true);
  ResetDrive(d, host);
  EXPECT_EQ(host.calls,
            (Names{"TimerOff", "DrawMachine", "DrawScrewAndCarriage", "DrawMarker", "Clear1", "Clear2", "Clear3"}));
  EXPECT_EQ(std::pair(std::get<1>(host.seen[1]), std::get<0>(host.seen[3])), std::pair(0, MarkerCentre)) << "at rest";
  EXPECT_EQ(std::tuple(d.Command, d.MarkerX, d.CarriageX, d.ScrewPhase), std::tuple(0.0, MarkerCentre, 0, 0));
  EXPECT_EQ(d.DriveState, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(d.TraceTime, CreatedDrive().TraceTime);
  for (const auto* t : {&d.TraceActual, &d.TracePreset, &d.TraceError}) EXPECT_EQ(*t, decltype(d.TraceActual){});
  // What the student set stays, and the sine's phase runs on.
  EXPECT_EQ(std::tuple(d.SimTime, d.B0, d.Kfb, d.Amplitude, d.Frequency, d.Dragging),
            std::tuple(before.SimTime, before.B0, before.Kfb, 100, 20, true));

  Timer1Timer(d, host);
  const auto& preset = host.series[1].points;
  ASSERT_EQ(preset.size(), 393u);
  for (int i = 0; i < 392; ++i) ASSERT_EQ(preset[i][1], 0) << i;
  EXPECT_NE(preset[392][1], 0);
}

TEST(TracePlotting, EachModeRefillsItsSeriesInterleavedInTheirColours) {
  for (const bool accuracy : {false, true}) {
    Drive d = CreatedDrive(accuracy);
    Host host(d, accuracy);
    Timer1Timer(d, host);
    host.plotOrder.clear();
    Timer1Timer(d, host);  // a refill, not an addition
    EXPECT_EQ(host.series[2].points.size(), accuracy ? 393u : 0u) << accuracy;
    const std::vector<int> interleaved = accuracy ? std::vector{1, 2, 3, 1, 2, 3} : std::vector{1, 2, 1, 2, 1, 2};
    EXPECT_EQ(std::vector(host.plotOrder.begin(), host.plotOrder.begin() + 6), interleaved) << accuracy;
    const double colours[3] = {0xFFFF00, 0x00FF80, 0x0080FF};
    for (int s = 0; s < (accuracy ? 3 : 2); ++s) {
      ASSERT_EQ(host.series[s].points.size(), 393u) << "series " << s + 1;
      for (int i = 0; i < TraceLength; ++i) {
        const auto& [x, y, colour] = host.series[s].points[i];
        ASSERT_EQ(std::pair(x, colour), std::pair(d.TraceTime[i], colours[s])) << "series " << s + 1 << ", " << i;
      }
    }
  }
}

}  // namespace
}  // namespace sim
