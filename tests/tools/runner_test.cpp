#include "tools/runner.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace runner {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome RunMain(const std::vector<std::string_view>& args) {
  std::ostringstream out, err;
  const int status = Main(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, ',');) {
    fields.push_back(field);
  }
  return fields;
}

constexpr const char* Header =
    "cycle,SimTime,Command,x2,x1,x,CarriageX,ScrewPhase,TraceTime392,TracePreset392,TraceActual392,TraceError392";

TEST(RunnerOptions, BadOptionsNameTheOptionAndTheFormAndPrintNothing) {
  const struct {
    std::vector<std::string_view> args;
    const char* mention;
  } rows[] = {
      {{"--mode", "sideways"}, "--mode expects stability or accuracy"},
      {{"--offset", "70"}, "--offset expects an integer from -68 to 69"},
      {{"--offset", "5.5"}, "'5.5'"},
      {{"--amplitude", "51", "--mode", "accuracy"}, "--amplitude expects an integer from 0 to 50"},
      {{"--mode=accuracy", "--frequency=1001"}, "--frequency expects"},
      {{"--kamp", "1e400"}, "--kamp expects a real number"},
      {{"--tamp", "0,003"}, "'0,003'"},
      {{"--pitch", "8mm"}, "--pitch expects"},
      {{"--every", "0"}, "--every expects"},
      {{"--tmotor"}, "--tmotor expects a real number such as 0.02, and has no value"},
      {{"--speed", "3"}, "unknown option '--speed'"},
      {{"--mode", "accuracy", "--offset", "10"}, "--offset sets the marker of --mode stability"},
  };
  for (const auto& r : rows) {
    const Outcome o = RunMain(r.args);
    EXPECT_EQ(o.status, 2) << r.mention;
    EXPECT_EQ(o.out, "") << r.mention;
    EXPECT_NE(o.err.find(r.mention), std::string::npos) << o.err;
    EXPECT_EQ(Lines(o.err).size(), 1u) << o.err;
  }
}

TEST(RunnerOptions, ValuesAreReadInBothForms) {
  const ParseResult given =
      ParseOptions({"--mode=accuracy", "--amplitude", "7", "--frequency=20", "--kmotor", "+1.5e0", "--every", "10"});
  ASSERT_TRUE(given.options) << given.error;
  EXPECT_EQ(given.options->mode, Mode::Accuracy);
  EXPECT_EQ(given.options->amplitude, 7);
  EXPECT_EQ(given.options->frequency, 20);
  EXPECT_EQ(given.options->kmotor, 1.5);
  EXPECT_EQ(given.options->every, 10);

  const Outcome help = RunMain({"--kamp", "3", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: drivelab-sim"), std::string::npos);
}

TEST(Runner, DefaultScenarioSettlesAtTheMarker) {
  const Outcome o = RunMain({"--every", "80"});
  ASSERT_EQ(o.status, 0) << o.err;
  const auto lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 1u + 6u);  // cycles 80, 160, ... 480
  EXPECT_EQ(lines[0], Header);
  const auto peak = Fields(lines[1]);
  EXPECT_EQ(peak[0], "80");
  EXPECT_EQ(peak[2], "10");
  EXPECT_EQ(peak[5].substr(0, 5), "51.26");
  EXPECT_EQ(peak[6], "51");

  const auto settled = Lines(RunMain({"--cycles", "1000", "--every", "1000"}).out);
  ASSERT_EQ(settled.size(), 2u);
  const auto last = Fields(settled[1]);
  ASSERT_EQ(last.size(), 12u);
  EXPECT_EQ(last[0], "1000");
  EXPECT_EQ(last[1], "2.0000000000000013") << "17 significant digits with a point";
  EXPECT_EQ(last[6], "50");  // CarriageX
  EXPECT_EQ(last[9], "49");  // TracePreset392
  EXPECT_EQ(last[10], "49");  // TraceActual392
  EXPECT_EQ(last[11], "0");
}

TEST(Runner, AccuracyReadsTheMotorBoxAsItsReciprocalAndTheAmplitudePlusOne) {
  const Outcome o = RunMain({"--mode", "accuracy", "--amplitude", "50", "--frequency", "20", "--cycles", "400"});
  ASSERT_EQ(o.status, 0) << o.err;
  const auto lines = Lines(o.out);
  ASSERT_EQ(lines.size(), 401u);
  double peakCommand = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    peakCommand = std::max(peakCommand, std::stod(Fields(lines[i])[2]));
  }
  EXPECT_NEAR(peakCommand, 51 * 0.2, 0.01);

  // The reciprocal of a zero motor box divides by zero before any cycle.
  const Outcome zero = RunMain({"--mode", "accuracy", "--kmotor", "0"});
  EXPECT_EQ(zero.status, 1);
  EXPECT_EQ(zero.err, "Floating point division by zero\n");
  EXPECT_EQ(Lines(zero.out), std::vector<std::string>{Header});
}

TEST(Runner, FloatingPointErrorKeepsTheRowsPrintedSoFar) {
  const Outcome tamp = RunMain({"--tamp", "0"});
  EXPECT_EQ(tamp.status, 1);
  EXPECT_EQ(tamp.err, "Floating point division by zero\n");

  const Outcome kfb = RunMain({"--kfb", "0", "--cycles", "5"});
  EXPECT_EQ(kfb.status, 1);
  EXPECT_EQ(kfb.err, "Invalid floating point operation\n");
  EXPECT_EQ(Lines(kfb.out), std::vector<std::string>{Header}) << "the first cycle fails";
}

// The built program: exit status and the split between stdout and stderr.
Outcome RunProgram(const std::string& args) {
  const std::string command = std::string(DRIVELAB_SIM_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return {-1, "", ""};
  }
  std::string out;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
    out.append(buffer.data(), n);
  }
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ""};
}

TEST(RunnerProgram, ExitStatusesAndOutput) {
  const Outcome good = RunProgram("--cycles 3");
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(Lines(good.out).size(), 4u);

  const Outcome bad = RunProgram("--cycles three");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");

  const Outcome failing = RunProgram("--kfb 0");
  EXPECT_EQ(failing.status, 1);
  EXPECT_EQ(Lines(failing.out).size(), 1u);
}

}  // namespace
}  // namespace runner
