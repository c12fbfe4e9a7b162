// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/stability.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sim {

namespace {

constexpr long double TwoPi = 6.283185307179586477L;

bool Finite(long double v) { return std::fabs(v) <= std::numeric_limits<long double>::max(); }

// A figure is shown only when it is a number a double can hold.
std::optional<double> Figure(long double v) {
  if (!Finite(v) || std::fabs(v) > std::numeric_limits<double>::max()) {
    return std::nullopt;
  }
  return static_cast<double>(v);
}

}  // namespace

std::array<std::complex<long double>, 3> ClosedLoopPoles(long double a1, long double a2, long double a3) {
  using C = std::complex<long double>;
  const auto f = [&](long double s) { return ((s + a1) * s + a2) * s + a3; };
  // Every root lies within the Cauchy bound, and the cubic changes sign across it: bisect
  // for the real root. Seventy-odd halvings exhaust the 64-bit significand; the cap only
  // guards against a bracket that stops shrinking.
  const long double bound = 1 + std::max({std::fabs(a1), std::fabs(a2), std::fabs(a3)});
  long double lo = -bound;
  long double hi = bound;
  for (int i = 0; i < 200 && lo < hi; ++i) {
    const long double mid = lo + (hi - lo) / 2;
    if (mid <= lo || mid >= hi) {
      break;
    }
    (f(mid) < 0 ? lo : hi) = mid;
  }
  const long double r = lo + (hi - lo) / 2;
  // What is left is s^2 + q1*s + q0.
  const long double q1 = a1 + r;
  const long double q0 = a2 + r * q1;
  const long double disc = q1 * q1 - 4 * q0;
  if (disc >= 0) {
    const long double root = std::sqrt(disc);
    return {C(r), C((-q1 - root) / 2), C((-q1 + root) / 2)};
  }
  const long double im = std::sqrt(-disc) / 2;
  return {C(r), C(-q1 / 2, -im), C(-q1 / 2, im)};
}

StabilityFigures AssessStability(const Drive& d) {
  StabilityFigures s;
  const long double a1 = d.A1;
  const long double a2 = d.A2;
  const long double a3 = d.A3;
  s.stable = a1 > 0 && a2 > 0 && a3 > 0 && a1 * a2 > a3;

  // Gain enters A3 alone; without positive A1 and A2 no gain balances A1*A2 = A3.
  const long double perGain = static_cast<long double>(d.Kmotor) * d.Pitch * d.Kfb;
  const long double lags = TwoPi * d.Tamp * d.Tmotor;
  if (a1 > 0 && a2 > 0 && perGain != 0 && lags != 0) {
    s.criticalKamp = Figure(a1 * a2 * lags / perGain);
    if (s.criticalKamp) {
      s.criticalFrequency = Figure(std::sqrt(a2));
    }
  }

  if (s.stable) {
    long double slowestRate = std::numeric_limits<long double>::infinity();
    for (const auto& pole : ClosedLoopPoles(a1, a2, a3)) {
      slowestRate = std::min(slowestRate, -pole.real());
    }
    if (slowestRate > 0) {
      s.slowestTimeConstant = Figure(1 / slowestRate);
    }
  }
  return s;
}

}  // namespace sim
