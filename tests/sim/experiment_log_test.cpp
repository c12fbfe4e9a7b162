#include "sim/experiment_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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
  ASSERT_EQ(header.size(), 30u);
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

TEST(ExperimentLog, SavingReplacesTheFileWholeOrLeavesNothing) {
  ExperimentLog log;
  log.Add(LogRecord{});
  const auto dir = std::filesystem::temp_directory_path() / ("drivelab-log-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "log.csv").string();
  std::ofstream(path) << "an older log";
  log.SaveCsv(path);
  std::ostringstream expected;
  log.WriteCsv(expected);
  std::ifstream saved(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), expected.str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << "nothing left beside it";
  const std::string nowhere = (dir / "missing" / "log.csv").string();
  EXPECT_THROW(log.SaveCsv(nowhere), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace sim
