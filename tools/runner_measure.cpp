// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The runner's measurement options: --measure after a run, --sweep instead of one.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <system_error>

#include "sim/checked_float.h"
#include "sim/experiment_log.h"
#include "sim/frequency_sweep.h"
#include "tools/runner.h"

namespace runner {

namespace {

bool Named(const std::vector<std::string_view>& named, std::string_view option) {
  return std::find(named.begin(), named.end(), option) != named.end();
}

void Row(std::ostream& out, std::string_view name, const std::string& value, std::string_view unit) {
  out << name << ',' << sim::CsvField(value) << ',' << unit << '\n';
}

// Why a loop that is not stable has no frequency response, from which Hurwitz condition
// fails: A1 > 0 and A2 > 0 hold exactly when both time constants are positive, A3 has the
// sign of Kamp*Kmotor*Pitch*Kfb, and past that only the gain can break A1*A2 > A3.
std::string Instability(const sim::Drive& d, const sim::StabilityFigures& s) {
  if (!(d.A1 > 0 && d.A2 > 0)) {
    std::string lags;
    for (const auto& [name, value] : {std::pair{"Tamp", d.Tamp}, {"Tmotor", d.Tmotor}}) {
      if (!(value > 0)) {
        lags += (lags.empty() ? "" : " and ") + std::string(name) + " " + ShortNumber(value);
      }
    }
    return "a time constant below zero (" + lags +
           ") gives the loop a growing mode; it runs out to an end stop and has no frequency response";
  }
  if (d.A3 == 0) {
    for (const auto& [name, value] :
         {std::pair{"Kamp", d.Kamp}, {"Kmotor", d.Kmotor}, {"Pitch", d.Pitch}, {"Kfb", d.Kfb}}) {
      if (value == 0) {
        return std::string(name) + " 0 makes A3 0, so nothing draws the carriage back to the command; it has no "
               "frequency response";
      }
    }
    return "A3 is 0, so nothing draws the carriage back to the command; it has no frequency response";
  }
  if (d.A3 < 0) {
    return "Kamp*Kmotor*Pitch*Kfb is below zero, so the feedback pushes the carriage away from the command; it runs "
           "out to an end stop and has no frequency response";
  }
  const std::string gain = s.criticalKamp ? "Kamp " + ShortNumber(d.Kamp) + " is " +
                                                (*s.criticalKamp > 0 ? "above" : "below") + " the critical " +
                                                ShortNumber(*s.criticalKamp)
                                          : "Kamp " + ShortNumber(d.Kamp) + " is too high for the time constants";
  return gain + "; it swings out to the end stops and has no frequency response";
}

}  // namespace

std::optional<Range> ReadRange(std::string_view text, double low, double high, int maxCount) {
  const auto bound = [&](std::string_view part) -> std::optional<double> {
    double value = 0;
    const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (ec != std::errc() || end != part.data() + part.size() || part.empty() || !(value >= low && value <= high)) {
      return std::nullopt;
    }
    return value;
  };
  const auto first = text.find(':');
  const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
  if (second == std::string_view::npos) {
    return std::nullopt;
  }
  const auto from = bound(text.substr(0, first));
  const auto to = bound(text.substr(first + 1, second - first - 1));
  const std::string_view countText = text.substr(second + 1);
  int count = 0;
  const auto [end, ec] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
  if (!from || !to || *from > *to || ec != std::errc() || end != countText.data() + countText.size() ||
      countText.empty() || count < 1 || count > maxCount || (count == 1 && *from != *to)) {
    return std::nullopt;
  }
  return Range{*from, *to, count};
}

std::string MeasureConflict(const Options& options, const std::vector<std::string_view>& named) {
  if (!options.sweep) {
    return {};
  }
  if (options.mode == Mode::Stability && Named(named, "--mode")) {
    return "--sweep is accuracy research; it cannot run with --mode stability";
  }
  for (std::string_view option : {"--offset", "--frequency", "--cycles", "--every", "--measure"}) {
    if (Named(named, option)) {
      return "--sweep sets the frequencies and runs each until it is steady; " + std::string(option) +
             " does not apply";
    }
  }
  return {};
}

void WriteMeasurements(std::ostream& out, const sim::Measurements& m) {
  using sim::CsvNumber;
  out << "\nname,value,unit\n";
  if (m.Measuring() == sim::Measurements::Kind::Step) {
    const sim::StepFigures& f = m.Step().Figures();
    Row(out, "step", m.Step().Begun() ? CsvNumber(f.target - f.start) : "", "mm");
    Row(out, "command_ramp", m.Step().Begun() ? CsvNumber(f.ramp) : "", "s");
    Row(out, "rise_time", CsvNumber(f.riseTime), "s");
    Row(out, "peak_time", CsvNumber(f.peakTime), "s");
    Row(out, "peak", CsvNumber(f.peakValue), "mm");
    Row(out, "overshoot", CsvNumber(f.overshoot), "%");
    Row(out, "predicted_overshoot", CsvNumber(m.PredictedOvershoot()), "%");
    Row(out, "settling_time_5", CsvNumber(f.settling5), "s");
    Row(out, "settling_time_2", CsvNumber(f.settling2), "s");
    Row(out, "steady_state_error", CsvNumber(f.steadyStateError), "mm");
    // Nothing is judged before a cycle has carried the step.
    Row(out, "verdict", m.Step().Active() && m.Started() ? sim::StepVerdictText(f.verdict) : "", "");
  } else if (m.Measuring() == sim::Measurements::Kind::Harmonic) {
    const sim::HarmonicFigures& f = m.Harmonic().Figures();
    const auto figure = [&](double v) { return f.periods > 0 ? CsvNumber(v) : std::string(); };
    Row(out, "amplitude", CsvNumber(f.amplitude), "mm");
    Row(out, "frequency", CsvNumber(f.frequency), "rad/s");
    Row(out, "periods_measured", std::to_string(f.periods), "");
    Row(out, "carriage_amplitude", figure(f.carriageAmplitude), "mm");
    Row(out, "amplitude_ratio", figure(f.ratio), "");
    Row(out, "phase_lag", figure(f.phaseLag), "deg");
    Row(out, "error_amplitude", figure(f.errorAmplitude), "mm");
    Row(out, "steady", f.steady ? "yes" : "no", "");
  }
  const sim::StabilityFigures& s = m.Stability();
  Row(out, "stable", s.stable ? "yes" : "no", "");
  Row(out, "critical_Kamp", CsvNumber(s.criticalKamp), "");
  Row(out, "critical_frequency", CsvNumber(s.criticalFrequency), "rad/s");
}

int RunSweep(const Options& options, std::ostream& out, std::ostream& err) {
  sim::Drive d;
  d.MarkerX = sim::MarkerCentre;
  sim::SetUpTimeBase(d);
  return ReportingFloatErrors(out, err, [&] {
    ReadParameters(options, d);
    // As the window: an unstable loop is held by its stops whatever the command, so its
    // rows would be of the stops, not of the loop.
    if (const sim::StabilityFigures s = sim::AssessStability(d); !s.stable) {
      err << "drivelab-sim: the loop is unstable: " << Instability(d, s) << '\n';
      return 2;
    }
    out << "frequency (rad/s),amplitude ratio,phase lag (deg),error amplitude (mm),steady,end stop\n";
    for (double frequency : sim::LogSpacedFrequencies(options.sweep->from, options.sweep->to, options.sweep->count)) {
      sim::FrequencyRun run(d, frequency);
      while (!run.Advance(INT64_MAX)) {
      }
      const sim::HarmonicFigures& f = run.Figures();
      // Before a whole period there is nothing to print; a 0 would read as a measured figure.
      const auto figure = [&](double v) { return f.periods > 0 ? sim::CsvNumber(v) : std::string(); };
      out << sim::CsvNumber(frequency) << ',' << figure(f.ratio) << ',' << figure(f.phaseLag) << ','
          << figure(f.errorAmplitude) << ',' << (f.steady ? "yes" : "no") << ',' << (run.StopReached() ? "yes" : "no")
          << '\n';
      if (!out) {
        return 1;  // the output is lost: Main says so
      }
    }
    return 0;
  });
}

}  // namespace runner
