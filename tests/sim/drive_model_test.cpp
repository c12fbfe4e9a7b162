#include "sim/drive_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sim/checked_float.h"
#include "tests/sim/default_drive.h"

namespace sim {
namespace {

void ExpectRelativelyNear(double actual, double expected, double relative) {
  EXPECT_NEAR(actual, expected, std::abs(expected) * relative) << "expected about " << expected;
}

TEST(Coefficients, DefaultTextsForBothReadingsOfTheMotorBox) {
  const struct {
    const char* reading;
    double kmotor;
    double b0, a3;
  } rows[] = {
      {"as typed (marker release)", 0.75, 1.59155e6, 318310},
      {"reciprocal (Process)", 1 / 0.75, 2.82942e6, 565884},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.reading);
    Drive d = DefaultDrive(r.kmotor);
    ComputeCoefficients(d);
    ExpectRelativelyNear(d.B0, r.b0, 5e-6);
    ExpectRelativelyNear(d.A1, 383.333, 5e-6);
    ExpectRelativelyNear(d.A2, 16666.7, 5e-6);
    ExpectRelativelyNear(d.A3, r.a3, 5e-6);
    EXPECT_DOUBLE_EQ(d.A3, d.B0 * d.Kfb);
  }
}

TEST(Coefficients, FailureKeepsWhatWasStoredBeforeIt) {
  Drive old = DefaultDrive();
  old.B0 = 1;
  old.A1 = 2;
  old.A2 = 3;
  old.A3 = 4;

  const struct {
    const char* what;
    void (*change)(Drive&);
    FloatFault fault;
    bool b0a1a2New;
  } rows[] = {
      {"Tamp 0", [](Drive& d) { d.Tamp = 0; }, FloatFault::DivisionByZero, false},
      {"Tmotor 0", [](Drive& d) { d.Tmotor = 0; }, FloatFault::DivisionByZero, false},
      {"Tamp 0, Kamp 0", [](Drive& d) { d.Tamp = d.Kamp = 0; }, FloatFault::InvalidOperation, false},
      {"Kamp 1e305", [](Drive& d) { d.Kamp = 1e305; }, FloatFault::Overflow, false},
      // Kfb only enters A3: the first three are stored before it overflows.
      {"Kfb 1e303", [](Drive& d) { d.Kfb = 1e303; }, FloatFault::Overflow, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    Drive d = old;
    r.change(d);
    try {
      ComputeCoefficients(d);
      ADD_FAILURE() << "no error";
    } catch (const FloatError& e) {
      EXPECT_EQ(e.fault(), r.fault);
    }
    EXPECT_EQ(d.B0 != old.B0, r.b0a1a2New);
    EXPECT_EQ(d.A1 != old.A1, r.b0a1a2New);
    EXPECT_EQ(d.A2 != old.A2, r.b0a1a2New);
    EXPECT_EQ(d.A3, old.A3);
  }
}

TEST(Integrator, ZeroStateWithZeroCommandStaysExactlyZero) {
  Drive d = DefaultDrive();
  ComputeCoefficients(d);
  for (int i = 0; i < 4000; ++i) {
    IntegrateStep(d);
  }
  EXPECT_EQ(d.DriveState[0], 0.0);
  EXPECT_EQ(d.DriveState[1], 0.0);
  EXPECT_EQ(d.DriveState[2], 0.0);
}

TEST(Integrator, ConstantTenVoltsFromRest) {
  Drive d = DefaultDrive();
  ComputeCoefficients(d);
  d.Command = 10;
  const struct {
    int steps;
    double position, tolerance;
  } checkpoints[] = {{40, 0.0189, 0.00005}, {400, 5.35, 0.005}, {4000, 50.77, 0.005}};
  int done = 0;
  double peak = 0;
  for (const auto& c : checkpoints) {
    for (; done < c.steps; ++done) {
      IntegrateStep(d);
      peak = std::max(peak, d.DriveState[2]);
    }
    EXPECT_NEAR(d.DriveState[2], c.position, c.tolerance) << "after " << c.steps << " steps";
  }
  for (; done < 60000; ++done) {
    IntegrateStep(d);
  }
  EXPECT_NEAR(d.DriveState[2], 50.0, 1e-9) << "settles at Command/Kfb";
  EXPECT_GT(peak, 51.0) << "after a small overshoot";
  EXPECT_LT(peak, 52.0);
}

TEST(Integrator, ComponentsAdvanceOneAtATimeUsingTheNewLowerOnes) {
  // x''' = -100 x'': the acceleration decays within the step, and the velocity and the
  // position must take the values their lower component has just received.
  Drive d;
  d.A1 = 100;
  d.StepH = DefaultStepH;
  d.DriveState = {1.0, 0.0, 0.0};
  IntegrateStep(d);
  const double x2 = d.DriveState[0];
  EXPECT_NEAR(x2, std::exp(-100 * DefaultStepH), 1e-12);
  EXPECT_LT(x2, 1.0);
  const double x1 = Store(Ext(Store(Ext(x2) * DefaultStepH)) + 0.0);
  EXPECT_EQ(d.DriveState[1], x1);
  EXPECT_EQ(d.DriveState[2], Store(Ext(Store(Ext(x1) * DefaultStepH)) + 0.0));
}

// The step written out literally, every value through the checked type: the integrator's
// hand-tuned form must give the same bits.
void ReferenceStep(Drive& d) {
  auto evaluate = [&d] {
    auto& s = d.DriveState;
    d.DriveDeriv[0] = Store(Ext(d.B0) * d.Command - Ext(d.A1) * s[0] - Ext(d.A2) * s[1] - Ext(d.A3) * s[2]);
    d.DriveDeriv[1] = s[0];
    d.DriveDeriv[2] = s[1];
    if (s[2] > 110) s[2] = 110;
    if (!(s[2] >= -110)) s[2] = -110;
  };
  for (int i = 0; i < 3; ++i) {
    double& x = d.DriveState[i];
    const double saved = x;
    double k[4];
    for (int stage = 0; stage < 4; ++stage) {
      evaluate();
      k[stage] = Store(Ext(d.DriveDeriv[i]) * d.StepH);
      if (stage < 2) x = Store(Ext(k[stage]) / 2 + saved);
      if (stage == 2) x = Store(Ext(saved) + k[stage]);
    }
    x = Store(((Ext(k[1]) + k[2]) * 2 + k[0] + k[3]) / 6 + saved);
  }
}

TEST(Integrator, MatchesTheLiteralStepBitForBit) {
  const struct {
    const char* what;
    double kamp;
  } rows[] = {{"settling transient", 100}, {"unstable, at the stops", 5000}};
  for (const auto& r : rows) {
    Drive fast = DefaultDrive();
    fast.Kamp = r.kamp;
    ComputeCoefficients(fast);
    fast.Command = 10;
    Drive reference = fast;
    for (int step = 0; step < 16000; ++step) {
      IntegrateStep(fast);
      ReferenceStep(reference);
      ASSERT_EQ(fast.DriveState, reference.DriveState) << r.what << ", step " << step;
      ASSERT_EQ(fast.DriveDeriv, reference.DriveDeriv) << r.what << ", step " << step;
    }
  }
}

TEST(EndStops, ActOnThePositionAfterTheEquationHasUsedIt) {
  const struct {
    double position, clamped;
  } rows[] = {{110.4, 110}, {110, 110}, {109.9, 109.9}, {-110.4, -110}, {-110, -110}, {0, 0}};
  for (const auto& r : rows) {
    Drive d;
    d.A3 = 1;  // x''' = -x reads the position
    d.DriveState = {5, 7, r.position};
    ComputeDerivatives(d);
    EXPECT_EQ(d.DriveDeriv[0], -r.position) << r.position;
    EXPECT_EQ(d.DriveState[2], r.clamped) << r.position;
    EXPECT_EQ(d.DriveState[0], 5) << "acceleration left alone";
    EXPECT_EQ(d.DriveState[1], 7) << "velocity left alone";
    EXPECT_EQ(d.DriveDeriv[1], 5);
    EXPECT_EQ(d.DriveDeriv[2], 7);
  }
}

TEST(EndStops, HoldAnUnstableLoopWithBoundedVelocityAndAcceleration) {
  Drive d = DefaultDrive();
  d.Kamp = 5000;
  ComputeCoefficients(d);
  d.Command = 10;

  double maxSpeed[2] = {0, 0};  // over the first and the second half, once at the stop
  double maxAccel[2] = {0, 0};
  bool reachedStop = false;
  const int steps = 80000;
  for (int i = 0; i < steps; ++i) {
    IntegrateStep(d);
    const double x = d.DriveState[2];
    const double speed = std::abs(d.DriveState[1]);
    // Beyond a stop by at most one step's travel, until the next evaluation clamps it.
    ASSERT_LE(std::abs(x), EndStop + d.StepH * speed + 1e-9) << "step " << i;
    reachedStop |= x >= EndStop;
    if (reachedStop) {
      const int half = i < steps / 2 ? 0 : 1;
      maxSpeed[half] = std::max(maxSpeed[half], speed);
      maxAccel[half] = std::max(maxAccel[half], std::abs(d.DriveState[0]));
    }
  }
  ASSERT_TRUE(reachedStop);
  EXPECT_GT(maxSpeed[0], 1000.0) << "still swinging";
  EXPECT_LT(maxSpeed[1], maxSpeed[0] * 1.01);
  EXPECT_LT(maxAccel[1], maxAccel[0] * 1.01);
}

}  // namespace
}  // namespace sim
