#include "sim/experiment_log.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "sim/cycle.h"
#include "sim/drive_model.h"
#include "sim/measurements.h"
#include "tests/sim/default_drive.h"
#include "tests/sim/no_window.h"

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

TEST(ExperimentLog, ASettledStepAndAHarmonicRunUnderADecimalCommaLocale) {
  Measurements m;
  Drive d = DefaultDrive();
  ComputeCoefficients(d);
  d.MarkerX = MarkerCentre + 50;
  NoWindow window;
  m.BeginStep(d, 50);
  for (int tick = 0; tick < 300; ++tick) Timer1Timer(d, window, &m);
  ASSERT_EQ(m.Log().Records().size(), 1u) << "the settled step";
  // A release before the next step settles: that one goes in unsettled when the third starts.
  d.MarkerX = MarkerCentre - 20;
  m.BeginStep(d, -20);
  for (int tick = 0; tick < 20; ++tick) Timer1Timer(d, window, &m);
  ASSERT_EQ(m.Log().Records().size(), 1u);
  d.Kmotor = 1 / 0.75;
  ComputeCoefficients(d);
  std::tie(d.Amplitude, d.Frequency) = std::pair(5, 50);
  window.accuracy = true;
  m.BeginHarmonic(d);
  ASSERT_EQ(m.Log().Records().size(), 2u);
  for (int tick = 0; tick < 300; ++tick) Timer1Timer(d, window, &m);
  ASSERT_EQ(m.Log().Records().size(), 3u);

  std::ostringstream out;
  out.imbue(std::locale(std::locale::classic(), new CommaDecimal));
  m.Log().WriteCsv(out);
  const auto lines = Split(out.str(), "\r\n");
  ASSERT_EQ(lines.size(), 4u);
  const auto header = Split(lines[0], ",");  // no field of these needs quotes
  ASSERT_EQ(header.size(), 35u);
  EXPECT_EQ(std::vector(header.begin(), header.begin() + 8),
            (std::vector<std::string>{"mode", "Kamp", "Tamp (s)", "Kmotor", "Tmotor (s)", "Pitch (mm)", "Kfb (V/mm)",
                                      "step (mm)"}));
  const auto settled = Split(lines[1], ","), unsettled = Split(lines[2], ","), harmonic = Split(lines[3], ",");
  for (const auto* row : {&settled, &unsettled, &harmonic}) ASSERT_EQ(row->size(), header.size());
  const auto column = [&](const std::vector<std::string>& row, const std::string& name) {
    return row[std::find(header.begin(), header.end(), name) - header.begin()];
  };
  EXPECT_EQ(std::tuple(column(settled, "mode"), column(settled, "Tamp (s)"), column(settled, "step (mm)"),
                       column(settled, "verdict"), column(settled, "stable")),
            std::tuple("stability", "0.003", "50", "settled", "yes"));
  EXPECT_EQ(column(settled, "rise time 10-90 % (s)"), "0.0758");
  EXPECT_EQ(column(settled, "overshoot (%)").substr(0, 5), "2.533");
  EXPECT_NEAR(std::stod(column(unsettled, "step (mm)")), -70, 1e-3) << "from where the first stood";
  EXPECT_EQ(std::pair(column(unsettled, "verdict"), column(unsettled, "settling time 2 % (s)")),
            std::pair(std::string("settling"), std::string()));
  EXPECT_EQ(std::tuple(column(harmonic, "mode"), column(harmonic, "amplitude (mm)"),
                       column(harmonic, "frequency (rad/s)"), column(harmonic, "verdict")),
            std::tuple("accuracy", "5", "50", ""));
  EXPECT_NEAR(std::stod(column(harmonic, "phase lag (deg)")), 116.3, 0.5);
  EXPECT_NEAR(std::stod(column(harmonic, "critical Kamp")), 1129.01, 0.01);
}

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
  LogRecord sweep;
  sweep.parameters = {1, 2, 3, 4, 5, 6};
  sweep.stability = {true, 7.5, 8.5, 0.125};
  sweep.sweep = SweepSummary{31, 32, 33, 34, 35, 36, 37};
  LogRecord failed = step;
  failed.step = StepFigures{};
  std::tie(failed.step->start, failed.step->target, failed.step->verdict) = std::tuple(0, 50, StepVerdict::Stopped);
  failed.error = "Floating point overflow";
  ExperimentLog log;
  for (const LogRecord& r : {step, harmonic, sweep, failed}) log.Add(r);
  std::ostringstream out;
  log.WriteCsv(out);
  EXPECT_EQ(Split(out.str(), "\r\n"),
            (std::vector<std::string>{
                "mode,Kamp,Tamp (s),Kmotor,Tmotor (s),Pitch (mm),Kfb (V/mm),step (mm),command ramp (s),amplitude (mm),"
                "frequency (rad/s),rise time 10-90 % (s),peak time (s),peak (mm),overshoot (%),settling time 5 % (s),"
                "settling time 2 % (s),steady-state error (mm),verdict,periods measured,carriage amplitude (mm),"
                "amplitude ratio,phase lag (deg),error amplitude (mm),steady,stable,critical Kamp,"
                "critical frequency (rad/s),sweep from (rad/s),sweep to (rad/s),sweep points,"
                "measured resonance peak (dB),measured resonance frequency (rad/s),measured bandwidth -3 dB (rad/s),"
                "error",
                "stability,1,2,3,4,5,6,-100,0.25,,,0.011,0.012,-95,5.5,0.013,0.014,0.015,settled,,,,,,,yes,7.5,8.5,,,,,,,",
                "accuracy,11,12,13,14,15,16,,,21,22,,,,,,,,,3,23,24,25,26,yes,no,,,,,,,,,",
                "frequency response,1,2,3,4,5,6,,,31,,,,,,,,,,,,,,,,yes,7.5,8.5,32,33,34,35,36,37,",
                "stability,1,2,3,4,5,6,50,0,,,,,,,,,,stopped by an error,,,,,,,yes,7.5,8.5,,,,,,,Floating point overflow",
            }));
}

TEST(ExperimentLog, RowsBecomeFinalOnceAndEveryChangeThatMattersCounts) {
  ExperimentLog log;
  const auto counts = [&] { return std::pair(log.Revision(), log.Generation()); };
  const auto start = counts();
  const std::size_t open = log.Add(LogRecord{}, false);
  EXPECT_EQ(counts(), start) << "a row still following its run is nothing to keep yet";
  EXPECT_FALSE(log.Final(open));
  log.Replace(open, LogRecord{});
  EXPECT_EQ(counts(), start);
  log.MakeFinal(open);
  log.MakeFinal(open);
  EXPECT_TRUE(log.Final(open));
  EXPECT_EQ(counts(), std::pair(start.first + 1, start.second)) << "final once";
  log.Add(LogRecord{});
  EXPECT_EQ(counts(), std::pair(start.first + 2, start.second));
  log.Assign({LogRecord{}, LogRecord{}, LogRecord{}});
  EXPECT_EQ(counts(), std::pair(start.first + 3, start.second + 1));
  EXPECT_TRUE(log.Final(2));
  log.Clear();
  EXPECT_EQ(counts(), std::pair(start.first + 4, start.second + 2));
  EXPECT_TRUE(log.Records().empty());
}

}  // namespace
}  // namespace sim
