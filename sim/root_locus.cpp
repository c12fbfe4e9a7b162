// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/root_locus.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/drive.h"
#include "sim/stability.h"

namespace sim {

namespace {

Drive WithGain(const Parameters& p, double gain) {
  Parameters q = p;
  q.Kamp = gain;
  Drive d;
  ApplyParameters(d, q);
  return d;
}

}  // namespace

Poles PolesAt(const Parameters& p, double gain) {
  const Drive d = WithGain(p, gain);
  const auto roots = ClosedLoopPoles(d.A1, d.A2, d.A3);
  Poles poles;
  std::transform(roots.begin(), roots.end(), poles.begin(), [](const std::complex<long double>& r) {
    return std::complex<double>(static_cast<double>(r.real()), static_cast<double>(r.imag()));
  });
  return poles;
}

std::optional<double> BreakAwayGain(const Parameters& p) {
  const Drive d = WithGain(p, 1);
  const long double a1 = d.A1, a2 = d.A2, perGain = d.A3;
  // 3s^2 + 2*A1*s + A2 = 0: the root nearer 0 lies between 0 and the nearer open-loop pole.
  const long double disc = a1 * a1 - 3 * a2;
  if (!(a1 > 0 && a2 > 0 && disc >= 0 && perGain > 0)) {
    return std::nullopt;
  }
  const long double s = (-a1 + std::sqrt(disc)) / 3;
  const long double a3 = -((s + a1) * s + a2) * s;
  return static_cast<double>(a3 / perGain);
}

std::vector<LocusPoint> RootLocus(const Parameters& p, double maxGain, int count) {
  std::vector<double> gains;
  for (int i = 0; i < count; ++i) {
    gains.push_back(count > 1 ? maxGain * i / (count - 1) : 0);
  }
  Drive d = WithGain(p, 1);
  StabilityFigures stability = AssessStability(d);
  // Around each point where the poles turn, a hundredth of the range either side in steps
  // of a tenth of the even spacing.
  for (const std::optional<double> turn : {BreakAwayGain(p), stability.criticalKamp}) {
    if (!turn || !(*turn > 0 && *turn < maxGain) || count < 2) {
      continue;
    }
    const double step = maxGain / (count - 1) / 10;
    for (int k = -10; k <= 10; ++k) {
      const double g = *turn + k * step;
      if (g > 0 && g < maxGain) {
        gains.push_back(g);
      }
    }
  }
  std::sort(gains.begin(), gains.end());
  gains.erase(std::unique(gains.begin(), gains.end()), gains.end());
  std::vector<LocusPoint> locus;
  locus.reserve(gains.size());
  for (double g : gains) {
    locus.push_back({g, PolesAt(p, g)});
  }
  return locus;
}

std::optional<DominantPair> Dominant(const Poles& poles) {
  std::optional<std::complex<double>> pair;
  for (const auto& pole : poles) {
    if (pole.imag() > 0 && (!pair || pole.real() > pair->real())) {
      pair = pole;
    }
  }
  if (!pair) {
    return std::nullopt;
  }
  const double magnitude = std::abs(*pair);
  return DominantPair{-pair->real() / magnitude, magnitude};
}

std::optional<double> SecondOrderOvershoot(double damping) {
  if (!(damping >= 0 && damping < 1)) {
    return std::nullopt;
  }
  return 100 * std::exp(-std::numbers::pi * damping / std::sqrt(1 - damping * damping));
}

}  // namespace sim
