// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The headless runner: the drive simulation driven from the command line, one CSV row
// per cycle. The window's defaults are its defaults, and the parameters are read the way
// the window reads them: the motor box as typed in stability research, its reciprocal in
// accuracy research ("Process"), the amplitude as the spin edit's value plus one.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/cycle.h"
#include "sim/measurements.h"

namespace runner {

enum class Mode { Stability, Accuracy };

// FROM:TO:COUNT: COUNT values from FROM to TO, for --sweep angular frequencies (log-spaced)
// and for --locus gains (evenly spaced).
struct Range {
  double from = 0;
  double to = 0;
  int count = 0;
};
using SweepRange = Range;
using LocusRange = Range;
inline constexpr int MaxLocusGains = 100000;

// The window's stand-in: the mode the run was started in; numbers need no drawing or
// plotting, and the run's length, not a timer, decides how many cycles run.
class HeadlessHost final : public sim::CycleHost {
 public:
  explicit HeadlessHost(Mode mode) : mode_(mode) {}

  bool StabilitySelected() const override { return mode_ == Mode::Stability; }
  bool AccuracySelected() const override { return mode_ == Mode::Accuracy; }
  void DrawMarker() override {}
  void DrawMachine() override {}
  void DrawScrewAndCarriage() override {}
  sim::TraceSeries& FirstSeries() override { return noChart_; }
  sim::TraceSeries& SecondSeries() override { return noChart_; }
  sim::TraceSeries& ThirdSeries() override { return noChart_; }
  void SetTimerEnabled(bool) override {}

 private:
  // The traces go nowhere: the rows printed carry the newest values.
  class NoSeries final : public sim::TraceSeries {
   public:
    void Clear() override {}
    int AddXY(double, double, std::string_view, std::uint32_t) override { return 0; }
  };

  Mode mode_;
  NoSeries noChart_;
};

struct Options {
  Mode mode = Mode::Stability;
  std::int32_t offset = 50;    // marker offset from the centre, mm (stability)
  std::int32_t amplitude = 0;  // SpinEdit1's value (accuracy); the amplitude used is one more
  std::int32_t frequency = 0;  // SpinEdit2's value, rad/s (accuracy)
  double kamp = 100;
  double tamp = 0.003;
  long double kmotor = 0.75L;  // the number typed in the motor box, as read
  double tmotor = 0.02;
  double pitch = 8;
  double kfb = 0.2;
  std::int64_t cycles = 500;
  std::int64_t every = 1;
  bool measure = false;              // --measure: the run's figures after its rows
  std::optional<SweepRange> sweep;  // --sweep: a frequency sweep instead of a run
  bool poles = false;               // --poles: the closed loop's poles instead of a run
  std::optional<LocusRange> locus;  // --locus: the poles at each of these gains
};

struct ParseResult {
  std::optional<Options> options;  // set when the run can go ahead
  bool help = false;               // --help: print Usage() and succeed
  bool version = false;            // --version: print the name and version and succeed
  std::string error;               // one line naming the option and the form it expects
};

ParseResult ParseOptions(const std::vector<std::string_view>& args);

std::string Usage();

// Six significant digits with '.', as the window shows a gain: 1129.01.
std::string ShortNumber(double v);

// The window's reading of the parameters for the options' mode, and the coefficients.
void ReadParameters(const Options& options, sim::Drive& d);

// Runs a run's body and returns its status; a floating-point error ends it with its
// message on err and status 1, the rows printed before it kept.
int ReportingFloatErrors(std::ostream& out, std::ostream& err, const std::function<int()>& body);

// Runs the scenario, writing CSV to out and a floating-point error's message to err.
// Returns the exit status: 0, or 1 when a cycle (or the reading) failed; the rows
// printed before the failure stay.
int Run(const Options& options, std::ostream& out, std::ostream& err);

// --sweep's value, or nothing when it is not FROM:TO:COUNT with 0.1 <= FROM <= TO <= 1000
// and COUNT from 1 to 1000 (FROM = TO when COUNT is 1): sim's bounds of a sweep.
// FROM:TO:COUNT with low <= FROM <= TO <= high, COUNT from 1 to maxCount, and FROM = TO
// when COUNT is 1; none for any other text.
std::optional<Range> ReadRange(std::string_view text, double low, double high, int maxCount);

// What --measure and --sweep forbid alongside them, given the options named on the command
// line; empty when the combination is fine.
std::string MeasureConflict(const Options& options, const std::vector<std::string_view>& named);

// --measure: the figures of the run as name,value,unit rows, after a blank line and a
// header row.
void WriteMeasurements(std::ostream& out, const sim::Measurements& m);

// --sweep: one row per frequency (frequency, amplitude ratio, phase lag, error amplitude,
// whether the measurement became steady, whether the carriage met an end stop). Exit
// status as Run's, or 2 with nothing on out when the loop read is not stable.
int RunSweep(const Options& options, std::ostream& out, std::ostream& err);

// The pole options (runner_poles.cpp): what they cannot run with (an empty text when all is
// well), and their rows.
std::string PolesConflict(const Options& options, const std::vector<std::string_view>& named);
int RunPoles(const Options& options, std::ostream& out, std::ostream& err);

// The whole command line: 0 success, 1 simulation error or lost output, 2 bad options or
// a sweep of a loop that is not stable.
int Main(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err);

}  // namespace runner
