#pragma once
// The headless runner: the drive simulation driven from the command line, one CSV row
// per cycle. The window's defaults are its defaults, and the parameters are read the way
// the window reads them: the motor box as typed in stability research, its reciprocal in
// accuracy research ("Process"), the amplitude as the spin edit's value plus one.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/cycle.h"

namespace runner {

enum class Mode { Stability, Accuracy };

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
  double kmotor = 0.75;  // the number typed in the motor box
  double tmotor = 0.02;
  double pitch = 8;
  double kfb = 0.2;
  std::int64_t cycles = 500;
  std::int64_t every = 1;
};

struct ParseResult {
  std::optional<Options> options;  // set when the run can go ahead
  bool help = false;               // --help: print Usage() and succeed
  bool version = false;            // --version: print the name and version and succeed
  std::string error;               // one line naming the option and the form it expects
};

ParseResult ParseOptions(const std::vector<std::string_view>& args);

std::string Usage();

// Runs the scenario, writing CSV to out and a floating-point error's message to err.
// Returns the exit status: 0, or 1 when a cycle (or the reading) failed; the rows
// printed before the failure stay.
int Run(const Options& options, std::ostream& out, std::ostream& err);

// The whole command line: 0 success, 1 simulation error, 2 bad options.
int Main(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err);

}  // namespace runner
