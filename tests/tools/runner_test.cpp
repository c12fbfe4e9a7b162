#include "tools/runner.h"

#include "drivelab/version.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/tools/run_main.h"

namespace runner {
namespace {

const std::string Header =
    "cycle,SimTime,Command,x2,x1,x,CarriageX,ScrewPhase,TraceTime392,TracePreset392,TraceActual392,TraceError392\n";

TEST(RunnerOptions, BadOptionsNameTheOptionAndTheFormAndPrintNothing) {
  const std::pair<std::vector<std::string_view>, const char*> rows[] = {
      {{"--mode", "sideways"}, "--mode expects stability or accuracy"},
      {{"--offset", "70"}, "--offset expects an integer from -68 to 69"},
      {{"--mode=accuracy", "--amplitude=51"}, "--amplitude expects an integer from 0 to 50"},
      {{"--tamp", "0,003"}, "'0,003'"},
      {{"--tmotor"}, "--tmotor expects a real number such as 0.02, and has no value"},
      {{"--speed", "3"}, "unknown option '--speed'"},
      {{"--mode", "accuracy", "--offset", "10"}, "--offset sets the marker of --mode stability"},
  };
  for (const auto& [args, mention] : rows) {
    const auto [status, out, err] = RunMain(args);
    EXPECT_EQ(std::pair(status, out), std::pair(2, std::string())) << mention;
    EXPECT_NE(err.find(mention), std::string::npos) << err;
    EXPECT_EQ(Split(err).size(), 1u) << err;
  }
}

TEST(RunnerOptions, HelpAndVersionAnswerAtOnceAndRunNothing) {
  const std::string version = std::string("drivelab-sim ") + drivelab::Version + "\n";
  const std::pair<std::vector<std::string_view>, std::string> rows[] = {
      {{"--version"}, version},
      {{"--cycles", "5", "--version"}, version},
      {{"--version", "--help"}, version},
      {{"--help", "--version"}, Usage()},
  };
  for (const auto& [args, expected] : rows) {
    EXPECT_EQ(RunMain(args), Outcome(0, expected, "")) << args.front();
  }
}

TEST(Runner, DefaultScenarioPeaksAndSettlesUnderTheMarker) {
  const auto [status, out, err] = RunMain({"--cycles", "1000", "--every", "40"});
  ASSERT_EQ(status, 0) << err;
  const auto lines = Split(out);
  ASSERT_EQ(lines.size(), 1u + 25u);
  const auto peak = Split(lines[2], ',');
  EXPECT_EQ(std::tuple(peak[0], peak[2], peak[5].substr(0, 5), peak[6]), std::tuple("80", "10", "51.26", "51"));
  const auto last = Split(lines[25], ',');
  ASSERT_EQ(last.size(), 12u);
  EXPECT_EQ(last[1], "2.0000000000000013") << "17 significant digits with a point";
  // CarriageX, TracePreset392, TraceActual392, TraceError392.
  EXPECT_EQ(std::tuple(last[0], last[6], last[9], last[10], last[11]), std::tuple("1000", "50", "49", "49", "0"));
}

TEST(Runner, AccuracyReadsTheMotorBoxAsItsReciprocalAndTheAmplitudePlusOne) {
  const auto [status, out, err] = RunMain({"--mode=accuracy", "--amplitude", "+50", "--frequency=20"});
  ASSERT_EQ(status, 0) << err;
  double peak = 0;  // of the command, over 500 cycles of a 20 rad/s sine
  for (const auto& line : Split(out.substr(Header.size()))) peak = std::max(peak, std::stod(Split(line, ',')[2]));
  EXPECT_NEAR(peak, 51 * 0.2, 0.01);
}

TEST(Runner, AccuracyTakesTheReciprocalOfTheMotorValueAsRead) {
  for (const auto& [text, value] : {std::pair{"1.3", 1.3L}, {"0.65", 0.65L}, {"3.7", 3.7L}}) {
    const auto options = ParseOptions({"--mode", "accuracy", "--kmotor", text}).options;
    ASSERT_TRUE(options.has_value()) << text;
    sim::Drive d;
    ReadParameters(*options, d);
    EXPECT_EQ(d.Kmotor, static_cast<double>(1 / value)) << text;
  }
}

TEST(Runner, FloatingPointErrorsKeepTheRowsPrintedSoFar) {
  // The reciprocal of a zero motor box divides by zero before any cycle; Kfb 0 fails the first.
  EXPECT_EQ(RunMain({"--mode", "accuracy", "--kmotor", "0"}), Outcome(1, Header, "Floating point division by zero\n"));
  EXPECT_EQ(RunMain({"--kfb", "0", "--cycles", "5"}), Outcome(1, Header, "Invalid floating point operation\n"));
}

// The program's exit status and the lines it wrote where redirect sends them.
std::pair<int, std::size_t> RunProgram(const std::string& args, const char* redirect = "2>/dev/null") {
  FILE* pipe = popen((DRIVELAB_SIM_PATH " " + args + " " + redirect).c_str(), "r");
  std::string out;
  for (int c; pipe != nullptr && (c = fgetc(pipe)) != EOF;) out.push_back(static_cast<char>(c));
  const int status = pipe == nullptr ? -1 : pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Split(out).size()};
}

TEST(RunnerProgram, ExitStatusesAndOutputLines) {
  EXPECT_EQ(RunProgram("--cycles three"), std::pair(2, std::size_t{0}));
  EXPECT_EQ(RunProgram("--kfb 0"), std::pair(1, std::size_t{1}));
  // Lost output is a failure with one line on stderr, whether the rows or the help were lost.
  EXPECT_EQ(RunProgram("--cycles 200", "2>&1 >/dev/full"), std::pair(1, std::size_t{1}));
  EXPECT_EQ(RunProgram("--help", "2>&1 >/dev/full"), std::pair(1, std::size_t{1}));
  EXPECT_EQ(RunProgram("--cycles 200", "2>&1 >/dev/null"), std::pair(0, std::size_t{0}));
}

}  // namespace
}  // namespace runner
