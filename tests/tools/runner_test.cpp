// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tools/runner.h"

#include "drivelab/version.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tests/tools/run_main.h"

namespace runner {
namespace {

// The program's exit status and what it wrote where the redirection sends it.
std::pair<int, std::string> RunProgram(const std::string& args, const char* redirect) {
  FILE* pipe = popen((DRIVELAB_SIM_PATH " " + args + " " + redirect).c_str(), "r");
  std::string out;
  for (int c; pipe != nullptr && (c = fgetc(pipe)) != EOF;) out.push_back(static_cast<char>(c));
  const int status = pipe == nullptr ? -1 : pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

const std::string Header =
    "cycle,SimTime,Command,x2,x1,x,CarriageX,ScrewPhase,TraceTime392,TracePreset392,TraceActual392,TraceError392\n";

TEST(RunnerOptions, BoundsAcceptedAndBadOptionsNamedWithTheFormTheyExpect) {
  const std::pair<std::vector<std::string_view>, const char*> rows[] = {  // "": accepted
      {{"--offset", "-68"}, ""},
      {{"--offset=69", "--cycles", "0", "--every", "1"}, ""},
      {{"--offset", "70"}, "--offset expects an integer from -68 to 69"},
      {{"--offset", "-69"}, "--offset expects an integer from -68 to 69"},
      {{"--mode=accuracy", "--amplitude=+50", "--frequency", "1000"}, ""},
      {{"--mode=accuracy", "--amplitude=51"}, "--amplitude expects an integer from 0 to 50"},
      {{"--mode=accuracy", "--frequency=1001"}, "--frequency expects an integer from 0 to 1000"},
      {{"--every", "0"}, "--every expects a whole number, 1 or more, not '0'"},
      {{"--cycles", "-1"}, "--cycles expects a whole number of cycles, 0 or more"},
      {{"--mode", "sideways"}, "--mode expects stability or accuracy"},
      {{"--tamp", "0,003"}, "--tamp expects a real number such as 0.003, not '0,003'"},
      {{"--tmotor"}, "--tmotor expects a real number such as 0.02, and has no value"},
      {{"--mode", "accuracy", "--offset", "10"}, "--offset sets the marker of --mode stability"},
      {{"--frequency", "10"}, "--amplitude and --frequency set the harmonic input of --mode accuracy"},
      {{"--sweep", "1000:1000:1"}, ""},
      {{"--sweep", "0.5:1000:1000"}, ""},
      {{"--sweep", "0.1:0.1:1"}, ""},
      {{"--sweep", "1:500"}, "--sweep expects FROM:TO:COUNT, 0.1 <= FROM <= TO <= 1000 rad/s and COUNT from 1 to 1000"},
      {{"--sweep", "0.099:10:5"}, "not '0.099:10:5'"}, {{"--sweep", "1e-300:1e-300:1"}, "not '1e-300:1e-300:1'"},
      {{"--sweep", "0:10:5"}, "not '0:10:5'"},   {{"--sweep", "10:1:5"}, "not '10:1:5'"},
      {{"--sweep", "1:1001:5"}, "not '1:1001:5'"}, {{"--sweep", "1:10:0"}, "not '1:10:0'"},
      {{"--sweep", "1:10:1001"}, "not '1:10:1001'"}, {{"--sweep", "1:10:1"}, "not '1:10:1'"},
      {{"--sweep", "1:10:2.5"}, "not '1:10:2.5'"}, {{"--sweep", "1,5:10:5"}, "not '1,5:10:5'"},
      {{"--sweep"}, "has no value"},
      {{"--sweep", "1:10:5", "--cycles", "3"}, "--cycles does not apply"},
      {{"--sweep", "1:10:5", "--measure"}, "--measure does not apply"},
      {{"--frequency", "5", "--sweep", "1:10:5"}, "--frequency does not apply"},
      {{"--mode", "stability", "--sweep", "1:10:5"}, "--sweep is accuracy research; it cannot run with --mode stability"},
      {{"--poles", "--kamp", "2000", "--mode", "accuracy"}, ""},
      {{"--locus", "0:0:1"}, ""},
      {{"--locus", "0:1e4:100000"}, ""},
      {{"--locus", "0:10:100001"}, "--locus expects FROM:TO:COUNT, 0 <= FROM <= TO and COUNT from 1 to 100000"},
      {{"--locus", "-1:10:5"}, "not '-1:10:5'"}, {{"--locus", "10:1:5"}, "not '10:1:5'"},
      {{"--locus", "1:10:1"}, "not '1:10:1'"},
      {{"--poles", "--locus", "0:1:2"}, "--poles gives the poles at one gain and --locus at many; choose one"},
      {{"--poles", "--cycles", "3"}, "--poles prints the loop's poles, not a run; --cycles does not apply"},
      {{"--locus", "0:1:2", "--sweep", "1:10:5"}, "--sweep does not apply"},
      {{"--locus", "0:1:2", "--kamp", "5"}, "--locus sets the gain itself; --kamp does not apply"},
  };
  for (const auto& [args, error] : rows) {
    const ParseResult parsed = ParseOptions(args);
    EXPECT_EQ(parsed.options.has_value(), *error == '\0') << args.front() << " " << parsed.error;
    EXPECT_NE(parsed.error.find(error), std::string::npos) << parsed.error;
  }
  EXPECT_EQ(RunMain({"--speed", "3"}), Outcome(2, "", "drivelab-sim: unknown option '--speed'; see --help\n"));
}

TEST(RunnerOptions, HelpAndVersionAnswerAtOnceAndRunNothing) {
  const std::string version = std::string("drivelab-sim ") + drivelab::Version + "\n";
  const std::pair<std::vector<std::string_view>, std::string> rows[] = {
      {{"--version"}, version}, {{"--cycles", "5", "--version"}, version},
      {{"--version", "--help"}, version}, {{"--help", "--version"}, Usage()}, {{"-h"}, Usage()}};
  for (const auto& [args, expected] : rows) EXPECT_EQ(RunMain(args), Outcome(0, expected, "")) << args.front();
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
  for (const auto& [text, value] : {std::pair{"1.3", 1.3L}, {"0.65", 0.65L}, {"3.7", 3.7L}}) {
    const auto options = ParseOptions({"--mode", "accuracy", "--kmotor", text}).options;
    ASSERT_TRUE(options.has_value()) << text;
    sim::Drive d;
    ReadParameters(*options, d);
    EXPECT_EQ(d.Kmotor, static_cast<double>(1 / value)) << text;  // the reciprocal of the value as read
  }
  const auto [status, out, err] = RunMain({"--mode=accuracy", "--amplitude", "+50", "--frequency=20"});
  ASSERT_EQ(status, 0) << err;
  double peak = 0;  // of the command, over 500 cycles of a 20 rad/s sine
  for (const auto& line : Split(out.substr(Header.size()))) peak = std::max(peak, std::stod(Split(line, ',')[2]));
  EXPECT_NEAR(peak, 51 * 0.2, 0.01);
}

TEST(Runner, FloatingPointErrorsKeepTheRowsPrintedSoFar) {
  // The reciprocal of a zero motor box divides by zero before any cycle; Kfb 0 fails the first.
  EXPECT_EQ(RunMain({"--mode", "accuracy", "--kmotor", "0"}), Outcome(1, Header, "Floating point division by zero\n"));
  EXPECT_EQ(RunMain({"--kfb", "0", "--cycles", "5"}), Outcome(1, Header, "Invalid floating point operation\n"));
}

TEST(RunnerProgram, ExitStatusesAndOutput) {
  EXPECT_EQ(RunProgram("--cycles three", "2>/dev/null"), std::pair(2, std::string()));
  EXPECT_EQ(RunProgram("--kfb 0", "2>/dev/null"), std::pair(1, Header));
  // Lost output is a failure with one line on stderr naming why, whether the rows were lost
  // on the way (a write fails) or the help at the end (the flush fails).
  const std::string lost = "drivelab-sim: the output could not be written: No space left on device\n";
  EXPECT_EQ(RunProgram("--cycles 200", "2>&1 >/dev/full"), std::pair(1, lost));
  EXPECT_EQ(RunProgram("--help", "2>&1 >/dev/full"), std::pair(1, lost));
  EXPECT_EQ(RunProgram("--cycles 200", "2>&1 >/dev/null"), std::pair(0, std::string()));
}

// The name,value,unit rows after the blank line: each "name,unit" in order, and the values by name.
std::pair<std::string, std::map<std::string, std::string>> Figures(const std::string& out) {
  std::pair<std::string, std::map<std::string, std::string>> figures;
  const auto blank = out.find("\n\nname,value,unit\n");
  for (const auto& line : blank == std::string::npos ? std::vector<std::string>() : Split(out.substr(blank + 18))) {
    const auto f = Split(line + ",", ',');
    figures.first += f.at(0) + "," + f.at(2) + " ";
    figures.second[f[0]] = f[1];
  }
  return figures;
}

TEST(RunnerMeasure, FiguresOfBothResearchesFollowTheRows) {
  const auto [status, out, err] = RunMain({"--measure", "--every", "100"});
  ASSERT_EQ(status, 0) << err;
  EXPECT_EQ(Split(out).size(), 1u + 5u + 1u + 1u + 14u) << "rows, blank line, header, figures";
  auto [units, f] = Figures(out);
  EXPECT_EQ(units, "step,mm command_ramp,s rise_time,s peak_time,s peak,mm overshoot,% predicted_overshoot,% settling_time_5,s settling_time_2,s "
                   "steady_state_error,mm verdict, stable, critical_Kamp, critical_frequency,rad/s ");
  EXPECT_EQ(std::tie(f["step"], f["rise_time"], f["settling_time_2"], f["verdict"]),
            std::tuple("50", "0.0758", "0.18625", "settled"));
  EXPECT_NEAR(std::stod(f["overshoot"]), 2.533, 0.001);
  EXPECT_NEAR(std::stod(f["predicted_overshoot"]), 2.5568, 0.0001);
  EXPECT_NEAR(std::stod(f["critical_Kamp"]), 2007.13, 0.01);

  std::tie(units, f) =
      Figures(std::get<1>(RunMain({"--mode", "accuracy", "--amplitude", "9", "--frequency", "20", "--cycles", "1000", "--measure"})));
  EXPECT_EQ(units, "amplitude,mm frequency,rad/s periods_measured, carriage_amplitude,mm amplitude_ratio, phase_lag,deg "
                   "error_amplitude,mm steady, stable, critical_Kamp, critical_frequency,rad/s ");
  EXPECT_EQ(std::tie(f["amplitude"], f["frequency"], f["steady"]), std::tuple("10", "20", "yes"));
  EXPECT_NEAR(std::stod(f["phase_lag"]), 37.1, 0.05);
  EXPECT_EQ(Figures(std::get<1>(RunMain({"--cycles", "5"}))).first, "") << "nothing follows the rows without --measure";
}

// The poles against Vieta's formulas for s^3 + A1*s^2 + A2*s + A3: their sum is -A1, their
// product -A3; the locus's rows, the last at the critical gain.
TEST(RunnerMeasure, PolesAndTheLocusOfTheClosedLoop) {
  const auto [status, out, err] = RunMain({"--poles"});
  ASSERT_EQ(status, 0) << err;
  const auto lines = Split(out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "pole,real (1/s),imaginary (rad/s)");
  std::complex<double> sum = 0, product = 1;
  for (int i = 1; i <= 3; ++i) {
    const auto f = Split(lines[i], ',');
    EXPECT_EQ(f[0], std::to_string(i));
    const std::complex<double> pole(std::stod(f[1]), std::stod(f[2]));
    sum += pole;
    product *= pole;
  }
  const double a1 = 1 / 0.003 + 1 / 0.02, a3 = 100 * 0.75 * 8 * 0.2 / (2 * M_PI * 0.003 * 0.02);
  EXPECT_NEAR(sum.real(), -a1, 1e-9 * a1);
  EXPECT_NEAR(product.real(), -a3, 1e-9 * a3);
  EXPECT_NEAR(product.imag(), 0, 1e-6);

  const auto [locusStatus, locus, locusErr] = RunMain({"--locus", "1000:2007.1297:3"});
  ASSERT_EQ(locusStatus, 0) << locusErr;
  const auto rows = Split(locus);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "Kamp,pole 1 real,pole 1 imaginary,pole 2 real,pole 2 imaginary,pole 3 real,pole 3 imaginary");
  EXPECT_EQ(std::tuple(Split(rows[1], ',')[0], Split(rows[2], ',')[0], Split(rows[3], ',')[0]),
            std::tuple(std::string("1000"), std::string("1503.56485"), std::string("2007.1297")));
  EXPECT_NEAR(std::stod(Split(rows[3], ',')[6]), 129.0994, 1e-3) << "on the imaginary axis at the critical gain";
}

TEST(RunnerMeasure, SweepPrintsOneRowPerFrequency) {
  const auto [status, out, err] = RunMain({"--sweep", "1:100:3", "--amplitude", "4"});
  ASSERT_EQ(status, 0) << err;
  const auto lines = Split(out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "frequency (rad/s),amplitude ratio,phase lag (deg),error amplitude (mm),steady,end stop");
  // |H|, -arg H and 5|1 - H| of the held closed loop H(jw) sinc(wT/2) e^(jwT/2), worked out
  // beside the program for the default drive's "Process" reading.
  const std::tuple<std::string, double, double, double> want[] = {
      {"1", 1.000243, 1.631, 0.1423}, {"10", 1.02337, 16.86, 1.488}, {"100", 0.16941, 162.74, 5.814}};
  for (int i = 0; i < 3; ++i) {
    const auto f = Split(lines[i + 1], ',');
    ASSERT_EQ(f.size(), 6u) << lines[i + 1];
    EXPECT_EQ(std::tie(f[0], f[4], f[5]), std::tie(std::get<0>(want[i]), "yes", "no"));
    EXPECT_NEAR(std::stod(f[1]), std::get<1>(want[i]), 0.005 * std::get<1>(want[i])) << f[0];
    EXPECT_NEAR(std::stod(f[2]), std::get<2>(want[i]), 0.5) << f[0];
    EXPECT_NEAR(std::stod(f[3]), std::get<3>(want[i]), 0.01 * std::get<3>(want[i])) << f[0];
  }
  const auto wide = Split(std::get<1>(RunMain({"--sweep", "1:500:40"})));
  ASSERT_EQ(wide.size(), 41u);
  EXPECT_EQ(wide[40].substr(0, 4), "500,");
  for (const auto& line : wide) EXPECT_EQ(line.substr(line.size() - 7) == ",yes,no", &line != &wide[0]) << line;
}

TEST(RunnerMeasure, SweepOfALoopThatIsNotStableIsRefusedWithTheReason) {
  const auto refused = [](const std::string& why) {
    return Outcome(2, "", "drivelab-sim: the loop is unstable: " + why + " has no frequency response\n");
  };
  const std::string swings = "; it swings out to the end stops and", runs = "; it runs out to an end stop and";
  const std::pair<std::vector<std::string_view>, Outcome> rows[] = {
      // 1129.01 = 2 pi (Tamp + Tmotor) / (Tamp Tmotor Kmotor Pitch Kfb) with the motor box's reciprocal.
      {{"--sweep", "1:500:10", "--kamp", "5000"}, refused("Kamp 5000 is above the critical 1129.01" + swings)},
      {{"--sweep", "5:5:1", "--kamp", "-5000", "--kfb", "-0.2"},
       refused("Kamp -5000 is below the critical -1129.01" + swings)},
      {{"--sweep", "5:5:1", "--kfb", "0"},
       refused("Kfb 0 makes A3 0, so nothing draws the carriage back to the command; it")},
      {{"--sweep", "5:5:1", "--kamp", "-100"},
       refused("Kamp*Kmotor*Pitch*Kfb is below zero, so the feedback pushes the carriage away from the command" + runs)},
      {{"--sweep", "5:5:1", "--tamp", "-0.003", "--tmotor", "-0.02"},
       refused("a time constant below zero (Tamp -0.003 and Tmotor -0.02) gives the loop a growing mode" + runs)},
      // The reading fails before there is a loop to judge.
      {{"--sweep", "5:5:1", "--kmotor", "0"}, {1, "", "Floating point division by zero\n"}},
  };
  for (const auto& [args, outcome] : rows) EXPECT_EQ(RunMain(args), outcome) << args.back();
}

TEST(RunnerMeasure, SweepMarksTheEndStopsAndLeavesFiguresNeverMeasuredEmpty) {
  // 51 mm at Kamp 1050, near the critical 1129: at 100 rad/s the held |H| is 2.68, which asks
  // for 137 mm, past the 110 mm stops; the other points ask for 54 mm at most.
  const auto [status, out, err] = RunMain({"--sweep", "10:1000:5", "--amplitude", "50", "--kamp", "1050"});
  ASSERT_EQ(status, 0) << err;
  std::vector<std::string> rows;  // frequency, steady, end stop
  for (const auto& line : Split(out)) {
    const auto f = Split(line, ',');
    rows.push_back(f.size() == 6 ? f[0] + "," + f[4] + "," + f[5] : line);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"frequency (rad/s),steady,end stop", "10,yes,no",
                                            "31.622776601683793,yes,no", "100,yes,yes", "316.22776601683796,no,no",
                                            "1000,no,no"}));
  // Kamp 1e-6 leaves a mode far slower than the 300 s a point may run: cut there, no whole
  // period was measured.
  EXPECT_EQ(Split(std::get<1>(RunMain({"--kamp", "1e-6", "--sweep", "1:1:1"}))),
            (std::vector<std::string>{Split(out).at(0), "1,,,,no,no"}));
}

}  // namespace
}  // namespace runner
