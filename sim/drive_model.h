// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The feed drive's closed position loop as one third-order equation:
//
//   x''' = B0*u - A1*x'' - A2*x' - A3*x          x in mm, u = Command in V, t in s
//
// with A3 = B0*Kfb, so the right-hand side is B0*(u - Kfb*x) - A1*x'' - A2*x': the
// feedback voltage is subtracted from the command and a constant command settles, when
// the loop is stable, at x = u/Kfb. End stops hold the carriage within [-110, 110] mm.
//
// Every formula is evaluated in long double and rounded to double when stored; a floating
// point error stops the computation where it occurs, keeping what was stored before it.

#include "sim/drive.h"

namespace sim {

// Integration step and steps per timer tick: 40 x 5e-5 s = 0.002 s of model time a tick.
inline constexpr double DefaultStepH = 5e-5;
inline constexpr std::int32_t DefaultStepsPerTick = 40;

// Carriage travel limit either side of the centre, mm.
inline constexpr double EndStop = 110.0;

// The six drive parameters as the drive holds them after a reading (in accuracy research
// the motor value is the reciprocal of the number typed, as "Process" reads it).
struct Parameters {
  double Kamp = 0;
  double Tamp = 0;
  double Kmotor = 0;
  double Tmotor = 0;
  double Pitch = 0;
  double Kfb = 0;

  friend bool operator==(const Parameters&, const Parameters&) = default;
};

Parameters ParametersOf(const Drive& d);

// Computes the coefficients of p first and stores p and its coefficients only when that
// succeeds: a failing computation leaves d as it was, so a running drive never goes on
// with new parameters and old coefficients.
void ApplyParameters(Drive& d, const Parameters& p);

// Writes, each as soon as it is computed, in this order:
//   B0 = Kamp*Kmotor*Pitch / (2*pi*Tamp*Tmotor)
//   A1 = (Tamp + Tmotor) / (Tamp*Tmotor)
//   A2 = 1 / (Tamp*Tmotor)
//   A3 = Kamp*Kmotor*Pitch*Kfb / (2*pi*Tamp*Tmotor)
// Products run left to right; the denominator is (2*pi*Tamp)*Tmotor with 2*pi in
// extended precision. Tamp*Tmotor = 0 fails at B0, leaving all four as they were.
void ComputeCoefficients(Drive& d);

// DriveDeriv = (x''', x'', x') from the current DriveState and Command, with
// x''' = B0*Command - A1*x'' - A2*x' - A3*x subtracted left to right. Afterwards the
// end stops clamp the position only: the equation has already used it as it stood, and
// the velocity and acceleration are left alone.
void ComputeDerivatives(Drive& d);

// One Runge-Kutta step of StepH applied to one component at a time (i = 0, 1, 2):
//   saved = x_i
//   k1 = f_i(x)*h;   x_i = k1/2 + saved
//   k2 = f_i(x)*h;   x_i = k2/2 + saved
//   k3 = f_i(x)*h;   x_i = saved + k3
//   k4 = f_i(x)*h;   x_i = ((k2 + k3)*2 + k1 + k4)/6 + saved
// Each f is a whole ComputeDerivatives (end stops included) of which component i is kept;
// components below i already hold their new values. Twelve evaluations a step. The last
// update of the position is not followed by an evaluation, so the position may stand
// beyond a stop by one step's travel until the next step clamps it.
void IntegrateStep(Drive& d);

}  // namespace sim
