// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/drive_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "sim/checked_float.h"
#include "tests/sim/default_drive.h"

namespace sim {
namespace {

TEST(Coefficients, DefaultTextsForBothReadingsOfTheMotorBox) {
  // Kmotor as typed (marker release) and its reciprocal ("Process").
  const std::tuple<double, double, double> rows[] = {{0.75, 1.59155e6, 318310}, {1 / 0.75, 2.82942e6, 565884}};
  for (const auto& [kmotor, b0, a3] : rows) {
    Drive d = DefaultDrive(kmotor);
    ComputeCoefficients(d);
    const double got[] = {d.B0, d.A1, d.A2, d.A3}, want[] = {b0, 383.333, 16666.7, a3};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[k], want[k], want[k] * 5e-6) << kmotor << ", coefficient " << k;
  }
}

TEST(Coefficients, FailureKeepsWhatWasStoredBeforeIt) {
  Drive old = DefaultDrive();
  std::tie(old.B0, old.A1, old.A2, old.A3) = std::tuple(1, 2, 3, 4);
  const std::tuple<void (*)(Drive&), const char*, bool> rows[] = {
      {[](Drive& d) { d.Tamp = 0; }, "Floating point division by zero", false},
      {[](Drive& d) { d.Kamp = 1e305; }, "Floating point overflow", false},
      {[](Drive& d) { d.Kfb = 1e303; }, "Floating point overflow", true},  // only A3 holds Kfb
  };
  for (const auto& [change, message, firstThreeNew] : rows) {
    Drive d = old;
    change(d);
    try {
      ComputeCoefficients(d);
      ADD_FAILURE() << "no error";
    } catch (const FloatError& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(d.B0 != old.B0 && d.A1 != old.A1 && d.A2 != old.A2, firstThreeNew) << message;
    EXPECT_EQ(d.A3, old.A3) << message;
  }
}

TEST(Integrator, ConstantTenVoltsFromRestOvershootsAndSettlesAtCommandOverKfb) {
  Drive d = DefaultDrive();
  ComputeCoefficients(d);
  d.Command = 10;
  const std::tuple<int, double, double> checkpoints[] = {{40, 0.0189, 5e-5}, {400, 5.35, 5e-3}, {4000, 50.77, 5e-3},
                                                         {60000, 50.0, 1e-9}};
  // The peak itself is measured against the exact solution in measurements_test.cpp.
  int done = 0;
  for (const auto& [steps, position, tolerance] : checkpoints) {
    for (; done < steps; ++done) IntegrateStep(d);
    EXPECT_NEAR(d.DriveState[2], position, tolerance) << "after " << steps << " steps";
  }
}

// IntegrateStep as its comment writes it, every value checked: the fast form must give the same bits.
void ReferenceStep(Drive& d) {
  auto& s = d.DriveState;
  auto evaluate = [&d, &s] {
    d.DriveDeriv = {Store(Ext(d.B0) * d.Command - Ext(d.A1) * s[0] - Ext(d.A2) * s[1] - Ext(d.A3) * s[2]), s[0], s[1]};
    s[2] = std::clamp(s[2], -110.0, 110.0);
  };
  for (int i = 0; i < 3; ++i) {
    const double saved = s[i];
    double k[4];
    for (int stage = 0; stage < 4; ++stage) {
      evaluate();
      k[stage] = Store(Ext(d.DriveDeriv[i]) * d.StepH);
      if (stage < 3) s[i] = Store(stage < 2 ? Ext(k[stage]) / 2 + saved : Ext(saved) + k[stage]);
    }
    s[i] = Store(((Ext(k[1]) + k[2]) * 2 + k[0] + k[3]) / 6 + saved);
  }
}

// The unstable rows pin the end stops, in both directions, through the literal's clamp.
TEST(Integrator, MatchesTheLiteralStepBitForBit) {
  // A settling transient; unstable loops held at the upper stop and at the lower one.
  for (const auto& [kamp, command] : {std::pair(100.0, 10.0), {5000.0, 10.0}, {5000.0, -10.0}}) {
    Drive fast = DefaultDrive();
    fast.Kamp = kamp;
    ComputeCoefficients(fast);
    fast.Command = command;
    Drive reference = fast;
    for (int step = 0; step < 16000; ++step) {
      IntegrateStep(fast);
      ReferenceStep(reference);
      ASSERT_TRUE(fast.DriveState == reference.DriveState && fast.DriveDeriv == reference.DriveDeriv)
          << "Kamp " << kamp << ", command " << command << ", step " << step;
    }
  }
}

}  // namespace
}  // namespace sim
