#include "sim/cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "sim/checked_float.h"
#include "sim/drive_model.h"
#include "tests/sim/default_drive.h"

namespace sim {
namespace {

// Records each call of the cycle with the drive values the window would draw from.
class RecordingHost final : public CycleHost {
 public:
  struct Call {
    std::string name;
    std::int32_t markerX, carriageX, screwPhase;
    double newestActual;
  };

  explicit RecordingHost(const Drive& d, bool accuracy = false) : drive_(d), accuracy_(accuracy) {}

  bool StabilitySelected() const override { return !accuracy_; }
  bool AccuracySelected() const override { return accuracy_; }
  void DrawMarker() override { Record("DrawMarker"); }
  void DrawMachine() override { Record("DrawMachine"); }
  void DrawScrewAndCarriage() override { Record("DrawScrewAndCarriage"); }
  TraceSeries& FirstSeries() override { return series[0]; }
  TraceSeries& SecondSeries() override { return series[1]; }
  TraceSeries& ThirdSeries() override { return series[2]; }
  void SetTimerEnabled(bool enabled) override { Record(enabled ? "TimerOn" : "TimerOff"); }

  // A series that logs its clearing among the host's calls and keeps its points; every
  // point also goes into one shared log of which series it went to, in order.
  struct Point {
    double x, y;
    std::string label;
    std::uint32_t colour;
  };
  class Series final : public TraceSeries {
   public:
    Series(RecordingHost& host, int number) : host_(host), number_(number) {}
    void Clear() override {
      host_.Record(("Clear" + std::to_string(number_)).c_str());
      points.clear();
    }
    int AddXY(double x, double y, std::string_view label, std::uint32_t colour) override {
      points.push_back({x, y, std::string(label), colour});
      host_.pointOrder.push_back(number_);
      return static_cast<int>(points.size()) - 1;
    }
    std::vector<Point> points;

   private:
    RecordingHost& host_;
    int number_;
  };
  Series series[3] = {{*this, 1}, {*this, 2}, {*this, 3}};
  std::vector<int> pointOrder;

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& c : calls) {
      names.push_back(c.name);
    }
    return names;
  }

  std::vector<Call> calls;

 private:
  void Record(const char* name) {
    calls.push_back({name, drive_.MarkerX, drive_.CarriageX, drive_.ScrewPhase, drive_.TraceActual[TraceNewest]});
  }

  const Drive& drive_;
  bool accuracy_;
};

using Names = std::vector<std::string>;

// The window at creation with the default texts, read and the coefficients computed.
Drive CreatedDrive(double kmotor = 0.75) {
  Drive d = DefaultDrive(kmotor);
  ComputeCoefficients(d);
  return d;
}

TEST(TraceWindow, TimeAxisSpansTheLast784MillisecondsAndAdvancesInPlace) {
  Drive d = CreatedDrive();
  EXPECT_DOUBLE_EQ(d.TraceTime[0], -0.784);
  EXPECT_DOUBLE_EQ(d.TraceTime[391], -0.002);
  EXPECT_EQ(d.TraceTime[TraceNewest], 0.0);

  RecordingHost host(d);
  d.MarkerX = 158;
  Timer1Timer(d, host);
  EXPECT_DOUBLE_EQ(d.TraceTime[TraceNewest], 0.002);
  EXPECT_DOUBLE_EQ(d.TraceTime[0], -0.782);
  for (int k = 1; k < TraceLength; ++k) {
    EXPECT_NEAR(d.TraceTime[k] - d.TraceTime[k - 1], 0.002, 1e-15);
  }
  // Values shift toward index 0; the newest place keeps its value until the next cycle.
  EXPECT_EQ(d.TracePreset[391], 49);
  EXPECT_EQ(d.TracePreset[TraceNewest], 49);
  EXPECT_EQ(d.TracePreset[390], 0);
}

TEST(Cycle, StabilityRunTowardMarker158PeaksThenSettlesBelow50) {
  Drive d = CreatedDrive();
  RecordingHost host(d);
  d.MarkerX = 158;

  double peak = 0;
  int peakCycle = 0;
  std::int32_t peakCarriageX = 0;
  for (int cycle = 1; cycle <= 1000; ++cycle) {
    Timer1Timer(d, host);
    EXPECT_EQ(d.TraceError[TraceNewest], d.TracePreset[TraceNewest] - d.TraceActual[TraceNewest]);
    if (d.DriveState[2] > peak) {
      peak = d.DriveState[2];
      peakCycle = cycle;
      peakCarriageX = d.CarriageX;
    }
  }
  EXPECT_EQ(d.Command, 10.0);
  EXPECT_NEAR(peak, 51.27, 0.005);
  EXPECT_EQ(peakCycle, 80);
  EXPECT_EQ(peakCarriageX, 51);
  EXPECT_LT(d.DriveState[2], 50.0);
  EXPECT_EQ(d.CarriageX, 50);
  EXPECT_EQ(d.ScrewPhase, 10);
  EXPECT_EQ(d.TraceActual[TraceNewest], 49);
  EXPECT_EQ(d.TracePreset[TraceNewest], 49);
  EXPECT_NEAR(d.SimTime, 2.0, 1e-12);
}

TEST(Cycle, MarkerOffsetGivesThePresetTruncatedFromTheExtendedQuotient) {
  // With Kfb 0.2 the command stored as a double is offset*0.2 rounded, and the quotient
  // by 0.2 taken in extended precision falls just short for these offsets.
  const struct {
    int offset;
    double preset;
  } rows[] = {{1, 1},     {2, 2},     {3, 3},     {4, 4},     {-1, -1},   {-4, -4},   {5, 4},
              {-5, -4},   {9, 8},     {-9, -8},   {10, 9},    {-10, -9},  {15, 14},   {-15, -14},
              {20, 19},   {-20, -19}, {25, 24},   {-25, -24}, {30, 29},   {-30, -29}, {50, 49}};
  for (const auto& r : rows) {
    Drive d = CreatedDrive();
    RecordingHost host(d);
    d.MarkerX = MarkerCentre + r.offset;
    Timer1Timer(d, host);
    EXPECT_EQ(d.TracePreset[TraceNewest], r.preset) << "offset " << r.offset;
  }
}

TEST(Cycle, ScrewPhaseIsTheRemainderWithTheDividendsSign) {
  const struct {
    std::int32_t carriageX, phase;
  } rows[] = {{-7, -14}, {-1, -2}, {7, 14}, {8, 1}, {-8, -1}, {15, 0}, {110, 10}, {-110, -10}, {0, 0}};
  for (const auto& r : rows) {
    EXPECT_EQ(ScrewPhaseFor(r.carriageX), r.phase) << r.carriageX;
  }
  for (std::int32_t x = -120; x <= 120; ++x) {
    EXPECT_LE(std::abs(ScrewPhaseFor(x)), 14) << x;
  }
}

TEST(Cycle, CallsTheWindowAtItsFixedPointsWithTheValuesStoredSoFar) {
  Drive d = CreatedDrive();
  d.MarkerX = 158;
  d.DriveState[2] = 7.4;  // so that the carriage has moved before the picture is drawn
  RecordingHost stability(d);
  Timer1Timer(d, stability);
  EXPECT_EQ(stability.Names(), (Names{"DrawScrewAndCarriage", "Clear1", "Clear2", "Clear3"}));
  EXPECT_EQ(stability.calls[0].carriageX, d.CarriageX);
  EXPECT_EQ(stability.calls[0].screwPhase, ScrewPhaseFor(d.CarriageX));
  EXPECT_NE(stability.calls[0].carriageX, 0);
  EXPECT_EQ(stability.calls[0].newestActual, 0) << "traces are written after the drawing";
  EXPECT_EQ(stability.calls[1].newestActual, d.TraceActual[TraceNewest]) << "plotted after the traces";

  Drive a = CreatedDrive(1 / 0.75);
  a.Amplitude = 51;
  a.Frequency = 20;
  RecordingHost accuracy(a, true);
  Timer1Timer(a, accuracy);
  EXPECT_EQ(accuracy.Names(), (Names{"DrawMarker", "DrawScrewAndCarriage", "Clear1", "Clear2", "Clear3"}));
  EXPECT_NE(accuracy.calls[0].markerX, MarkerCentre) << "the marker moves before it is drawn";
}

TEST(Cycle, AccuracyMarkerFollowsTheSineUnclamped) {
  Drive d = CreatedDrive(1 / 0.75);
  d.Amplitude = 51;  // spin value 50
  d.Frequency = 20;
  RecordingHost host(d, true);
  std::int32_t lowest = MarkerCentre;
  std::int32_t highest = MarkerCentre;
  for (int cycle = 0; cycle < 400; ++cycle) {  // 0.8 s, more than two periods of 20 rad/s
    Timer1Timer(d, host);
    lowest = std::min(lowest, d.MarkerX);
    highest = std::max(highest, d.MarkerX);
  }
  EXPECT_EQ(highest, MarkerCentre + 51);
  EXPECT_EQ(lowest, MarkerCentre - 51);

  // An amplitude beyond the strip's drag limits of 40..177 is followed all the same.
  d.Amplitude = 100;
  for (int cycle = 0; cycle < 400; ++cycle) {
    Timer1Timer(d, host);
    highest = std::max(highest, d.MarkerX);
  }
  EXPECT_EQ(highest, MarkerCentre + 100);
}

TEST(Cycle, AccuracyWithTheDefaultAmplitudeOrZeroFrequencyKeepsThePresetFlat) {
  const struct {
    std::int32_t frequency;
  } rows[] = {{0}, {20}, {1000}};
  for (const auto& r : rows) {
    Drive d = CreatedDrive(1 / 0.75);
    d.Amplitude = 1;
    d.Frequency = r.frequency;
    RecordingHost host(d, true);
    for (int cycle = 0; cycle < 1000; ++cycle) {
      Timer1Timer(d, host);
      ASSERT_EQ(d.TracePreset[TraceNewest], 0) << "frequency " << r.frequency << ", cycle " << cycle;
      if (r.frequency == 0) {
        ASSERT_EQ(d.Command, 0.0);
        ASSERT_EQ(d.MarkerX, MarkerCentre);
      }
    }
  }
}

TEST(Cycle, ZeroFeedbackFailsAtTheTraceStepKeepingWhatWasStored) {
  Drive d = CreatedDrive();
  d.Kfb = 0;
  ComputeCoefficients(d);
  d.MarkerX = 158;
  d.DriveState = {0, 0, 30.6};
  d.TracePreset[TraceNewest] = 7;
  d.TracePreset[391] = 5;
  const double simTime = d.SimTime;
  const auto traceTime = d.TraceTime;
  RecordingHost host(d);

  try {
    Timer1Timer(d, host);
    FAIL() << "no error";
  } catch (const FloatError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid floating point operation");
  }
  EXPECT_GT(d.SimTime, simTime);
  EXPECT_EQ(d.Command, 0.0);
  EXPECT_EQ(d.CarriageX, 31);
  EXPECT_EQ(d.ScrewPhase, ScrewPhaseFor(31));
  EXPECT_EQ(d.TraceActual[TraceNewest], 30) << "stored before the failing quotient";
  EXPECT_EQ(d.TracePreset[TraceNewest], 7) << "the failing value is not stored";
  EXPECT_EQ(d.TracePreset[391], 5) << "no shift";
  EXPECT_EQ(d.TraceTime, traceTime) << "the time axis does not advance";
  EXPECT_EQ(host.Names(), (Names{"DrawScrewAndCarriage"}));
}

TEST(Cycle, AFailingTickStopsTheTimerBeforeTheErrorGoesOn) {
  const struct {
    bool accuracy;
    Names calls;
  } rows[] = {
      {false, {"DrawScrewAndCarriage", "TimerOff"}},
      {true, {"TimerOff"}},  // 0/0 already when the marker follows the command
  };
  for (const auto& r : rows) {
    Drive d = CreatedDrive();
    d.Kfb = 0;
    ComputeCoefficients(d);
    d.Amplitude = 1;
    RecordingHost host(d, r.accuracy);
    EXPECT_THROW(RunTimerTick(d, host), FloatError);
    EXPECT_EQ(host.Names(), r.calls);
  }

  Drive d = CreatedDrive();
  RecordingHost host(d);
  RunTimerTick(d, host);
  EXPECT_EQ(host.Names(), (Names{"DrawScrewAndCarriage", "Clear1", "Clear2", "Clear3"}))
      << "a good tick leaves the timer";
}

TEST(Reset, ReturnsTheDriveToRestAndLeavesTheSettings) {
  Drive d = CreatedDrive(1 / 0.75);
  d.Amplitude = 8;
  d.Frequency = 20;
  d.Dragging = true;
  RecordingHost running(d, true);
  for (int cycle = 0; cycle < 100; ++cycle) {
    Timer1Timer(d, running);
  }
  const Drive before = d;
  ASSERT_NE(before.DriveState[2], 0.0);

  RecordingHost host(d, true);
  ResetDrive(d, host);
  EXPECT_EQ(host.Names(),
            (Names{"TimerOff", "DrawMachine", "DrawScrewAndCarriage", "DrawMarker", "Clear1", "Clear2", "Clear3"}));
  EXPECT_EQ(host.calls[1].carriageX, 0) << "the picture is drawn at rest";
  EXPECT_EQ(host.calls[3].markerX, MarkerCentre);

  EXPECT_EQ(d.Command, 0.0);
  EXPECT_EQ(d.MarkerX, MarkerCentre);
  EXPECT_EQ(d.DriveState, (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(d.CarriageX, 0);
  EXPECT_EQ(d.ScrewPhase, 0);
  EXPECT_DOUBLE_EQ(d.TraceTime[0], -0.784);
  EXPECT_EQ(d.TraceTime[TraceNewest], 0.0);
  for (int k = 0; k < TraceLength; ++k) {
    ASSERT_EQ(d.TraceActual[k], 0);
    ASSERT_EQ(d.TracePreset[k], 0);
    ASSERT_EQ(d.TraceError[k], 0);
  }

  EXPECT_EQ(d.SimTime, before.SimTime);
  EXPECT_EQ(d.Amplitude, 8);
  EXPECT_EQ(d.Frequency, 20);
  EXPECT_TRUE(d.Dragging);
  EXPECT_EQ(d.B0, before.B0);

  // The first cycle afterwards: 392 zeros laid down by the reset, one simulated value,
  // and the sine's phase running on from where it stood.
  Timer1Timer(d, host);
  EXPECT_DOUBLE_EQ(d.TraceTime[TraceNewest], 0.002);
  EXPECT_DOUBLE_EQ(d.TraceTime[0], -0.782);
  EXPECT_DOUBLE_EQ(d.SimTime, before.SimTime + 0.002);
  EXPECT_NE(d.TracePreset[TraceNewest], 0);
  for (int k = 0; k < 391; ++k) {
    ASSERT_EQ(d.TracePreset[k], 0) << k;
  }
}

TEST(TracePlotting, EachModeRefillsItsSeriesInterleavedInTheirColours) {
  const struct {
    bool accuracy;
    std::size_t third;
    std::vector<int> firstPoints;
  } rows[] = {{false, 0, {1, 2, 1, 2, 1, 2}}, {true, 393, {1, 2, 3, 1, 2, 3}}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.accuracy ? "accuracy" : "stability");
    Drive d = CreatedDrive(r.accuracy ? 1 / 0.75 : 0.75);
    d.MarkerX = 158;
    d.Amplitude = 51;
    d.Frequency = 20;
    RecordingHost host(d, r.accuracy);
    for (int cycle = 0; cycle < 3; ++cycle) {
      host.pointOrder.clear();
      Timer1Timer(d, host);
    }
    EXPECT_EQ(host.series[0].points.size(), 393u);
    EXPECT_EQ(host.series[1].points.size(), 393u);
    EXPECT_EQ(host.series[2].points.size(), r.third);
    EXPECT_EQ(std::vector<int>(host.pointOrder.begin(), host.pointOrder.begin() + 6), r.firstPoints);
    const std::uint32_t colours[3] = {0xFFFF00, 0x00FF80, 0x0080FF};
    for (int s = 0; s < 3; ++s) {
      const auto& points = host.series[s].points;
      for (std::size_t i = 0; i < points.size(); ++i) {
        ASSERT_EQ(points[i].colour, colours[s]) << "series " << s + 1;
        ASSERT_TRUE(points[i].label.empty());
        ASSERT_EQ(points[i].x, host.series[0].points[i].x) << "the same x in every series";
        ASSERT_EQ(points[i].x, d.TraceTime[i]);
      }
    }
    // The window before its shift: the newest point carries this cycle's values.
    EXPECT_EQ(host.series[0].points.back().y, d.TraceActual[TraceNewest]);
    EXPECT_EQ(host.series[1].points.back().y, d.TracePreset[TraceNewest]);
  }
}

TEST(TracePlotting, FirstCycleAfterAResetShowsOneSimulatedPoint) {
  Drive d = CreatedDrive();
  RecordingHost host(d);
  ResetDrive(d, host);
  d.MarkerX = 300;  // beyond the strip on purpose: a large step shows at once
  Timer1Timer(d, host);
  const auto& preset = host.series[1].points;
  ASSERT_EQ(preset.size(), 393u);
  for (int i = 0; i < 392; ++i) {
    ASSERT_EQ(preset[i].y, 0) << i;
  }
  EXPECT_NE(preset[392].y, 0);
  EXPECT_NEAR(preset.front().x, -0.782, 1e-12);
  EXPECT_NEAR(preset.back().x, 0.002, 1e-12);
}

}  // namespace
}  // namespace sim
