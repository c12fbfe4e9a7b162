// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/root_locus.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// `next` in the order that moves each pole of `previous` least, in sum.
Poles Following(const Poles& previous, const Poles& next) {
  std::array<int, 3> order{0, 1, 2}, best = order;
  double least = std::numeric_limits<double>::infinity();
  do {
    double moved = 0;
    for (int i = 0; i < 3; ++i) {
      moved += std::abs(next[order[i]] - previous[i]);
    }
    if (moved < least) {
      least = moved;
      best = order;
    }
  } while (std::next_permutation(order.begin(), order.end()));
  return {next[best[0]], next[best[1]], next[best[2]]};
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
    const Poles poles = PolesAt(p, g);
    locus.push_back({g, locus.empty() ? poles : Following(locus.back().poles, poles)});
  }
  return locus;
}

std::optional<LocusHit> NearestOnLocus(const std::vector<LocusPoint>& locus, std::complex<double> s) {
  std::optional<LocusHit> nearest;
  const auto consider = [&](double gain, std::complex<double> pole) {
    const double distance = std::abs(s - pole);
    if (!nearest || distance < nearest->distance) {
      nearest = LocusHit{gain, pole, distance};
    }
  };
  if (locus.size() == 1) {
    for (const auto& pole : locus[0].poles) {
      consider(locus[0].gain, pole);
    }
  }
  for (std::size_t k = 1; k < locus.size(); ++k) {
    for (int branch = 0; branch < 3; ++branch) {
      const std::complex<double> a = locus[k - 1].poles[branch], b = locus[k].poles[branch];
      const double length = std::norm(b - a);
      // Where along a..b the foot of the perpendicular from s falls, held to the piece.
      const double t =
          length > 0 ? std::clamp(((s - a) * std::conj(b - a)).real() / length, 0.0, 1.0) : 0.0;
      consider(locus[k - 1].gain + t * (locus[k].gain - locus[k - 1].gain), a + t * (b - a));
    }
  }
  return nearest;
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

std::optional<double> PredictedOvershoot(const Parameters& p) {
  const Poles poles = PolesAt(p, p.Kamp);
  if (std::any_of(poles.begin(), poles.end(), [](const auto& pole) { return !(pole.real() < 0); })) {
    return std::nullopt;
  }
  const std::optional<DominantPair> pair = Dominant(poles);
  return pair ? SecondOrderOvershoot(pair->damping) : 0.0;
}

}  // namespace sim
