#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/tools/run_main.h"
#include "tools/runner.h"

namespace runner {
namespace {

// The name,value,unit rows after the blank line, by name: value and unit.
std::map<std::string, std::pair<std::string, std::string>> Figures(const std::string& out) {
  const auto blank = out.find("\n\nname,value,unit\n");
  std::map<std::string, std::pair<std::string, std::string>> rows;
  if (blank == std::string::npos) return rows;
  for (const auto& line : Split(out.substr(blank + 18))) {
    const auto f = Split(line + ",", ',');
    rows[f.at(0)] = {f.at(1), f.size() > 2 ? f[2] : ""};
  }
  return rows;
}

TEST(RunnerMeasure, FiguresOfBothResearchesFollowTheRows) {
  const auto [status, out, err] = RunMain({"--measure", "--every", "100"});
  ASSERT_EQ(status, 0) << err;
  EXPECT_EQ(Split(out).size(), 1u + 5u + 1u + 1u + 12u) << "rows, blank line, header, figures";
  auto f = Figures(out);
  EXPECT_EQ(f["verdict"], std::pair(std::string("settled"), std::string()));
  EXPECT_EQ(f["rise_time"], std::pair(std::string("0.0758"), std::string("s")));
  EXPECT_EQ(f["settling_time_2"].first, "0.18625");
  EXPECT_NEAR(std::stod(f["overshoot"].first), 2.533, 0.001);
  EXPECT_EQ(f["overshoot"].second, "%");
  EXPECT_NEAR(std::stod(f["critical_Kamp"].first), 2007.13, 0.01);

  const auto [status2, out2, err2] =
      RunMain({"--mode", "accuracy", "--amplitude", "9", "--frequency", "20", "--cycles", "1000", "--measure"});
  ASSERT_EQ(status2, 0) << err2;
  f = Figures(out2);
  EXPECT_EQ(f["amplitude"].first, "10");
  EXPECT_NEAR(std::stod(f["phase_lag"].first), 37.1, 0.05);
  EXPECT_EQ(f["phase_lag"].second, "deg");
  EXPECT_EQ(f["steady"].first, "yes");
  // Without --measure nothing follows the rows.
  EXPECT_EQ(Figures(std::get<1>(RunMain({"--cycles", "5"}))).size(), 0u);
}

TEST(RunnerMeasure, SweepPrintsOneRowPerFrequency) {
  const auto [status, out, err] = RunMain({"--sweep", "1:100:3", "--amplitude", "4"});
  ASSERT_EQ(status, 0) << err;
  const auto lines = Split(out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "frequency (rad/s),amplitude ratio,phase lag (deg),error amplitude (mm),steady");
  // |H|, -arg H and 5|1 - H| of the held closed loop H(jw) sinc(wT/2) e^(jwT/2), worked out
  // beside the program for the default drive's "Process" reading.
  const std::tuple<std::string, double, double, double> want[] = {
      {"1", 1.000243, 1.631, 0.1423}, {"10", 1.02337, 16.86, 1.488}, {"100", 0.16941, 162.74, 5.814}};
  for (int i = 0; i < 3; ++i) {
    const auto f = Split(lines[i + 1], ',');
    ASSERT_EQ(f.size(), 5u) << lines[i + 1];
    EXPECT_EQ(std::tie(f[0], f[4]), std::tie(std::get<0>(want[i]), "yes"));
    EXPECT_NEAR(std::stod(f[1]), std::get<1>(want[i]), 0.005 * std::get<1>(want[i])) << f[0];
    EXPECT_NEAR(std::stod(f[2]), std::get<2>(want[i]), 0.5) << f[0];
    EXPECT_NEAR(std::stod(f[3]), std::get<3>(want[i]), 0.01 * std::get<3>(want[i])) << f[0];
  }
  EXPECT_EQ(RunMain({"--sweep", "5:5:1", "--kfb", "0"}),
            Outcome(1, lines[0] + "\n", "Invalid floating point operation\n"));
}

TEST(RunnerMeasure, BadValuesExitWithOneLine) {
  const std::pair<std::vector<std::string_view>, const char*> rows[] = {
      {{"--sweep", "1:500"}, "--sweep expects FROM:TO:COUNT"},
      {{"--sweep", "0:10:5"}, "not '0:10:5'"},
      {{"--sweep", "10:1:5"}, "not '10:1:5'"},
      {{"--sweep", "1:2000:5"}, "not '1:2000:5'"},
      {{"--sweep", "1:10:0"}, "not '1:10:0'"},
      {{"--sweep", "1:10:1"}, "not '1:10:1'"},
      {{"--sweep", "1:10:2.5"}, "not '1:10:2.5'"},
      {{"--sweep", "1,5:10:5"}, "not '1,5:10:5'"},
      {{"--sweep"}, "has no value"},
      {{"--sweep", "1:10:5", "--cycles", "3"}, "--cycles does not apply"},
      {{"--sweep", "1:10:5", "--measure"}, "--measure does not apply"},
      {{"--frequency", "5", "--sweep", "1:10:5"}, "--frequency does not apply"},
      {{"--mode", "stability", "--sweep", "1:10:5"}, "cannot run with --mode stability"},
  };
  for (const auto& [args, mention] : rows) {
    const auto [status, out, err] = RunMain(args);
    EXPECT_EQ(std::pair(status, out), std::pair(2, std::string())) << mention;
    EXPECT_NE(err.find(mention), std::string::npos) << err;
    EXPECT_EQ(Split(err).size(), 1u) << err;
  }
}

TEST(RunnerMeasure, TheProgramSweepsTheDefaultDrive) {
  FILE* pipe = popen(DRIVELAB_SIM_PATH " --sweep 1:500:40 2>&1", "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  for (int c; (c = fgetc(pipe)) != EOF;) out.push_back(static_cast<char>(c));
  const int status = pclose(pipe);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  const auto lines = Split(out);
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[40].substr(0, 4), "500,");
  for (const auto& line : lines) EXPECT_EQ(line.substr(line.size() - 3) == "yes", &line != &lines[0]) << line;
}

}  // namespace
}  // namespace runner
