// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The root locus: where the closed loop's three poles go as the amplifier gain grows, the
// other five parameters held. The gain enters only A3, so the poles are those of
// s^3 + A1*s^2 + A2*s + Kamp*g, starting at Kamp = 0 from the open loop's poles 0, -1/Tamp
// and -1/Tmotor. The two slowest meet on the real axis at the break-away gain, leave it as
// a pair, and cross the imaginary axis at the critical gain.

#include <array>
#include <complex>
#include <optional>
#include <vector>

#include "sim/drive_model.h"

namespace sim {

using Poles = std::array<std::complex<double>, 3>;  // the real one first

// The poles with the parameters' Kamp replaced by `gain`, through the drive's own
// coefficients. Throws like ComputeCoefficients.
Poles PolesAt(const Parameters& p, double gain);

// The gain at which the two slowest poles meet on the real axis, where the derivative of
// the characteristic cubic vanishes between 0 and the nearer open-loop pole; none when the
// coefficients give no such point.
std::optional<double> BreakAwayGain(const Parameters& p);

struct LocusPoint {
  double gain = 0;
  Poles poles;
};

// The locus from gain 0 to maxGain: `count` gains evenly spaced, and finer ones around the
// break-away and critical gains where the poles move fastest, in ascending gain. Each
// point's poles follow the order of the point before, so that poles[i] is one branch
// throughout, from the open-loop pole it starts at.
std::vector<LocusPoint> RootLocus(const Parameters& p, double maxGain, int count);

// The point of the locus nearest s, on the straight pieces between neighbouring gains of one
// branch, with its gain interpolated between theirs; none for an empty locus.
struct LocusHit {
  double gain = 0;
  std::complex<double> pole;
  double distance = 0;
};
std::optional<LocusHit> NearestOnLocus(const std::vector<LocusPoint>& locus, std::complex<double> s);

// The complex pair nearest the imaginary axis, as a second-order loop would have it:
// damping ratio -Re/|p| and natural frequency |p|. None when all three poles are real.
struct DominantPair {
  double damping = 0;
  double naturalFrequency = 0;  // rad/s
};
std::optional<DominantPair> Dominant(const Poles& poles);

// The overshoot, %, of a pure second-order step response with this damping ratio:
// 100*exp(-pi*zeta/sqrt(1 - zeta^2)); none at a damping of 1 or more (no overshoot) or
// below 0 (no settling at all).
std::optional<double> SecondOrderOvershoot(double damping);

// What the poles at the parameters' own gain promise a step: the overshoot of a second-order
// loop with the dominant pair's damping, 0 when all three poles are real; none when a pole
// lies on or right of the imaginary axis and the loop does not settle.
std::optional<double> PredictedOvershoot(const Parameters& p);

}  // namespace sim
