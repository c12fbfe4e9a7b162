// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Stability of the closed loop from its coefficients, as a student finds it on paper.
//
// The loop x''' + A1*x'' + A2*x' + A3*x = B0*u is stable exactly when A1, A2, A3 > 0 and
// A1*A2 > A3 (the Hurwitz conditions of a cubic). Only A3 holds the amplifier gain,
// A3 = Kamp*g with g = Kmotor*Pitch*Kfb/(2*pi*Tamp*Tmotor), so with the other parameters
// held the loop turns critical at Kamp = A1*A2/g. There the cubic factors as
// (s + A1)(s^2 + A2): the carriage swings undamped at sqrt(A2) rad/s.

#include <array>
#include <complex>
#include <optional>

#include "sim/drive.h"

namespace sim {

struct StabilityFigures {
  bool stable = false;
  std::optional<double> criticalKamp;       // none when no gain can make the loop critical
  std::optional<double> criticalFrequency;  // rad/s, sqrt(A2), with criticalKamp
  // s, 1/(smallest decay rate) of the closed loop's modes; none when the loop is unstable.
  std::optional<double> slowestTimeConstant;
};

// From the drive's coefficients (and, for the critical gain, its parameters), as they
// stand after ComputeCoefficients.
StabilityFigures AssessStability(const Drive& d);

// The three roots of s^3 + a1*s^2 + a2*s + a3, the real one first.
std::array<std::complex<long double>, 3> ClosedLoopPoles(long double a1, long double a2, long double a3);

}  // namespace sim
