// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/experiment_log.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace sim {
namespace {

// A regional setting with a decimal comma, made here so that no installed locale is needed.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// Lines end in CRLF, the last one too; a line without one ends in "<no CRLF>".
std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(separator, at)) != std::string::npos; at = end + separator.size()) {
    parts.push_back(text.substr(at, end - at));
  }
  if (separator == ",") parts.push_back(text.substr(at));
  else if (at < text.size()) parts.push_back(text.substr(at) + "<no CRLF>");
  return parts;
}

TEST(ExperimentLog, FieldsAreQuotedOnlyWhenTheyMustBe) {
  const std::pair<std::string, std::string> rows[] = {
      {"settled", "settled"},           {"a,b", "\"a,b\""},   {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""}, {"cr\r", "\"cr\r\""}, {"", ""},
  };
  for (const auto& [text, field] : rows) EXPECT_EQ(CsvField(text), field);
  const std::pair<double, const char*> numbers[] = {{0.0758, "0.0758"}, {-2.5e-9, "-2.5e-09"}, {50, "50"}};
  for (const auto& [value, text] : numbers) EXPECT_EQ(CsvNumber(value), text);
  EXPECT_EQ(CsvNumber(std::optional<double>()), "");
}

// Rows of each kind, lines ended by CRLF, the last one too.
TEST(ExperimentLog, EveryColumnInItsPlace) {
  // Every field a different number, so that a column written in another's place shows.
  LogRecord step;
  step.parameters = {1, 2, 3, 4, 5, 6};
  step.stability = {true, 7.5, 8.5, 0.125};
  StepFigures s;
  std::tie(s.start, s.target, s.ramp, s.elapsed) = std::tuple(10, -90, 0.25, 3);
  std::tie(s.riseTime, s.peakTime, s.peakValue, s.overshoot) = std::tuple(0.011, 0.012, -95, 5.5);
  std::tie(s.settling5, s.settling2, s.steadyStateError) = std::tuple(0.013, 0.014, 0.015);
  s.verdict = StepVerdict::Settled;
  step.step = s;
  LogRecord harmonic;
  harmonic.parameters = {11, 12, 13, 14, 15, 16};
  harmonic.harmonic = HarmonicFigures{21, 22, 3, 23, 24, 25, 26, true};
  harmonic.note = "lag grows, \"see\" sheet 2";
  LogRecord sweep{step.parameters, step.stability, {}, {}, SweepSummary{31, 32, 33, 34, 35, 36, 37}, "", ""};
  LogRecord failed{step.parameters, step.stability, StepFigures{}, {}, {}, "Floating point overflow", "Kfb 0"};
  std::tie(failed.step->target, failed.step->verdict) = std::tuple(50, StepVerdict::Stopped);
  ExperimentLog log;
  for (const LogRecord& r : {step, harmonic, sweep, failed}) log.Add(r);
  std::ostringstream out;
  out.imbue(std::locale(std::locale::classic(), new CommaDecimal));  // '.' whatever the locale
  log.WriteCsv(out);
  EXPECT_EQ(Split(out.str(), "\r\n"),
            (std::vector<std::string>{
                "mode,Kamp,Tamp (s),Kmotor,Tmotor (s),Pitch (mm),Kfb (V/mm),step (mm),command ramp (s),amplitude (mm),"
                "frequency (rad/s),rise time 10-90 % (s),peak time (s),peak (mm),overshoot (%),settling time 5 % (s),"
                "settling time 2 % (s),steady-state error (mm),verdict,periods measured,carriage amplitude (mm),"
                "amplitude ratio,phase lag (deg),error amplitude (mm),steady,stable,critical Kamp,"
                "critical frequency (rad/s),sweep from (rad/s),sweep to (rad/s),sweep points,"
                "measured resonance peak (dB),measured resonance frequency (rad/s),measured bandwidth -3 dB (rad/s),"
                "error,note",
                "stability,1,2,3,4,5,6,-100,0.25,,,0.011,0.012,-95,5.5,0.013,0.014,0.015,settled,,,,,,,yes,7.5,8.5,,,,,,,,",
                "accuracy,11,12,13,14,15,16,,,21,22,,,,,,,,,3,23,24,25,26,yes,no,,,,,,,,,,\"lag grows, \"\"see\"\" sheet 2\"",
                "frequency response,1,2,3,4,5,6,,,31,,,,,,,,,,,,,,,,yes,7.5,8.5,32,33,34,35,36,37,,",
                "stability,1,2,3,4,5,6,50,0,,,,,,,,,,stopped by an error,,,,,,,yes,7.5,8.5,,,,,,,Floating point overflow,Kfb 0",
            }));
}

}  // namespace
}  // namespace sim
