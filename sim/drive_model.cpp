// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/drive_model.h"

#include <tuple>

#include "sim/checked_float.h"

namespace sim {

namespace {

constexpr long double TwoPi = 6.283185307179586477L;

// The evaluation and the step below multiply and add finite doubles only and never
// divide by a variable: a product of two doubles and a sum of four such products stay far
// inside the extended range and cannot be NaN, so only the rounding to double can fail,
// and Store checks it. Checking each x87 operation as well would double the cost of the
// hot loop without ever firing.
using Long = long double;

// Inlined into the integrator: a call would spill the x87 register stack in 80-bit stores
// and loads twelve times a step.
[[gnu::always_inline]] inline double Evaluate(Drive& d) {
  auto& s = d.DriveState;
  const double x3 = Store(Long(d.B0) * d.Command - Long(d.A1) * s[0] - Long(d.A2) * s[1] - Long(d.A3) * s[2]);
  d.DriveDeriv[0] = x3;
  d.DriveDeriv[1] = s[0];
  d.DriveDeriv[2] = s[1];
  if (s[2] > EndStop) {
    s[2] = EndStop;
  }
  if (!(s[2] >= -EndStop)) {
    s[2] = -EndStop;
  }
  return x3;
}

// Component i of a fresh evaluation.
[[gnu::always_inline]] inline double Derivative(Drive& d, int i) {
  const double x3 = Evaluate(d);
  return i == 0 ? x3 : d.DriveDeriv[i];
}

// k/2 is taken as k*0.5: an exact halving either way, and no x87 division.
[[gnu::always_inline]] inline void AdvanceComponent(Drive& d, int i) {
  auto& s = d.DriveState;
  const Long h = d.StepH;
  const double saved = s[i];
  const double k1 = Store(Derivative(d, i) * h);
  s[i] = Store(Long(k1) * 0.5L + saved);
  const double k2 = Store(Derivative(d, i) * h);
  s[i] = Store(Long(k2) * 0.5L + saved);
  const double k3 = Store(Derivative(d, i) * h);
  s[i] = Store(Long(saved) + k3);
  const double k4 = Store(Derivative(d, i) * h);
  s[i] = Store(((Long(k2) + k3) * 2 + k1 + k4) / 6 + saved);
}

}  // namespace

void ComputeCoefficients(Drive& d) {
  d.B0 = Store(Ext(d.Kamp) * d.Kmotor * d.Pitch / (Ext(TwoPi) * d.Tamp * d.Tmotor));
  d.A1 = Store((Ext(d.Tamp) + d.Tmotor) / (Ext(d.Tamp) * d.Tmotor));
  d.A2 = Store(Ext(1) / (Ext(d.Tamp) * d.Tmotor));
  d.A3 = Store(Ext(d.Kamp) * d.Kmotor * d.Pitch * d.Kfb / (Ext(TwoPi) * d.Tamp * d.Tmotor));
}

Parameters ParametersOf(const Drive& d) { return {d.Kamp, d.Tamp, d.Kmotor, d.Tmotor, d.Pitch, d.Kfb}; }

void ApplyParameters(Drive& d, const Parameters& p) {
  const auto store = [&p](Drive& into) {
    std::tie(into.Kamp, into.Tamp, into.Kmotor, into.Tmotor, into.Pitch, into.Kfb) =
        std::tie(p.Kamp, p.Tamp, p.Kmotor, p.Tmotor, p.Pitch, p.Kfb);
  };
  Drive trial;
  store(trial);
  ComputeCoefficients(trial);
  store(d);
  std::tie(d.B0, d.A1, d.A2, d.A3) = std::tie(trial.B0, trial.A1, trial.A2, trial.A3);
}

void ComputeDerivatives(Drive& d) { Evaluate(d); }

void IntegrateStep(Drive& d) {
  AdvanceComponent(d, 0);
  AdvanceComponent(d, 1);
  AdvanceComponent(d, 2);
}

}  // namespace sim
