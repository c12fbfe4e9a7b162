// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The root locus against values worked out here by hand from the default parameters.
#include "sim/root_locus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {
namespace {

const Parameters Defaults{100, 0.003, 0.75, 0.02, 8, 0.2};
// A1 = 1/Tamp + 1/Tmotor, A2 = 1/(Tamp*Tmotor), gain per unit Kamp Kmotor*Pitch*Kfb/(2*pi*Tamp*Tmotor).
constexpr double A1 = 1 / 0.003 + 1 / 0.02, A2 = 1 / (0.003 * 0.02);
const double PerGain = 0.75 * 8 * 0.2 / (2 * std::numbers::pi * 0.003 * 0.02);

std::vector<std::complex<double>> Sorted(const Poles& poles) {
  std::vector<std::complex<double>> v(poles.begin(), poles.end());
  std::sort(v.begin(), v.end(), [](auto a, auto b) { return std::pair(a.real(), a.imag()) < std::pair(b.real(), b.imag()); });
  return v;
}

TEST(RootLocus, FromTheOpenLoopPolesToAPairOnTheImaginaryAxisAtTheCriticalGain) {
  const auto open = Sorted(PolesAt(Defaults, 0));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(open[i].real(), (std::array{-1 / 0.003, -1 / 0.02, 0.0})[i], 1e-9) << i;
  const double critical = A1 * A2 / PerGain;
  EXPECT_NEAR(critical, 2007.13, 0.005);
  const auto crossing = Sorted(PolesAt(Defaults, critical));
  EXPECT_NEAR(crossing[0].real(), -A1, 1e-6) << "(s + A1)(s^2 + A2)";
  for (int i : {1, 2}) EXPECT_NEAR(crossing[i].real(), 0, 1e-6);
  EXPECT_NEAR(crossing[1].imag(), -129.099, 0.001);
  EXPECT_NEAR(crossing[2].imag(), 129.099, 0.001);
  EXPECT_GT(Sorted(PolesAt(Defaults, critical * 1.01))[2].real(), 0) << "past it, to the right";
  EXPECT_LT(Sorted(PolesAt(Defaults, critical * 0.99))[2].real(), 0);
}

TEST(RootLocus, TheTwoSlowPolesMeetOnTheRealAxisAtTheBreakAwayGain) {
  // Where 3s^2 + 2*A1*s + A2 = 0, nearer 0: s = (-A1 + sqrt(A1^2 - 3*A2))/3.
  const double s = (-A1 + std::sqrt(A1 * A1 - 3 * A2)) / 3;
  const double gain = -((s + A1) * s + A2) * s / PerGain;
  const auto breakAway = BreakAwayGain(Defaults);
  ASSERT_TRUE(breakAway.has_value());
  EXPECT_NEAR(*breakAway, gain, gain * 1e-9);
  EXPECT_NEAR(s, -23.9914, 0.0001);
  const auto below = Sorted(PolesAt(Defaults, gain * 0.99)), above = Sorted(PolesAt(Defaults, gain * 1.01));
  EXPECT_EQ(std::pair(below[1].imag(), below[2].imag()), std::pair(0.0, 0.0)) << "still real";
  EXPECT_LT(below[1].real(), s);
  EXPECT_GT(below[2].real(), s);
  EXPECT_NEAR(above[1].real(), above[2].real(), 1e-9) << "a pair";
  EXPECT_GT(above[2].imag(), 0);
  EXPECT_NEAR(above[2].real(), s, 0.5);
}

// Each branch keeps its place from gain to gain, from the open loop's 0, -1/Tamp and -1/Tmotor
// in some order; which one starts where decides the rest.
TEST(RootLocus, EvenGainsWithFinerOnesWhereThePolesTurnAndEachBranchInItsPlace) {
  const double critical = A1 * A2 / PerGain;
  const auto locus = RootLocus(Defaults, 3 * critical, 500);
  ASSERT_GE(locus.size(), 500u);
  EXPECT_TRUE(std::is_sorted(locus.begin(), locus.end(), [](auto& a, auto& b) { return a.gain < b.gain; }));
  EXPECT_EQ(std::pair(locus.front().gain, locus.back().gain), std::pair(0.0, 3 * critical));
  const auto at = std::find_if(locus.begin(), locus.end(), [&](auto& p) { return std::abs(p.gain - critical) < 1e-6; });
  ASSERT_NE(at, locus.end()) << "the crossing itself";
  EXPECT_NEAR(Sorted(at->poles)[2].real(), 0, 1e-6);
  const double spacing = 3 * critical / 499;
  const auto near = std::count_if(locus.begin(), locus.end(), [&](auto& p) { return std::abs(p.gain - critical) < spacing; });
  EXPECT_GE(near, 19) << "tenths of the even step either side";

  const int far = std::find_if(locus.front().poles.begin(), locus.front().poles.end(),
                               [](auto p) { return std::abs(p + 1 / 0.003) < 1e-9; }) - locus.front().poles.begin();
  ASSERT_LT(far, 3);
  const int up = (far + 1) % 3, down = (far + 2) % 3;
  const double breakAway = *BreakAwayGain(Defaults);
  for (std::size_t k = 1; k < locus.size(); ++k) {
    const Poles& p = locus[k].poles;
    EXPECT_EQ(p[far].imag(), 0) << k;
    EXPECT_LT(p[far].real(), locus[k - 1].poles[far].real()) << "ever further left, " << k;
    if (locus[k].gain > breakAway * 1.001) {
      EXPECT_NEAR(p[up].imag(), -p[down].imag(), 1e-9) << k;
      // Neither pole of the pair jumps to the other half-plane once it has left the axis.
      EXPECT_EQ(p[up].imag() > 0, locus.back().poles[up].imag() > 0) << k;
    }
  }
}

TEST(RootLocus, AClickFindsTheNearestPieceOfABranchAndItsGain) {
  // Two gains, the branches 0 -> 2i, -1 -> -1 + 2i (moved in 0..10) and -5 staying put.
  const std::vector<LocusPoint> locus = {{0, {std::complex<double>(0), {-1, 0}, {-5, 0}}},
                                         {10, {std::complex<double>(0, 2), {-1, 2}, {-5, 0}}}};
  auto hit = NearestOnLocus(locus, {0.1, 0.5});
  ASSERT_TRUE(hit.has_value());
  EXPECT_NEAR(hit->gain, 2.5, 1e-12) << "a quarter of the way up";
  EXPECT_NEAR(hit->distance, 0.1, 1e-12);
  EXPECT_NEAR(hit->pole.imag(), 0.5, 1e-12);
  hit = NearestOnLocus(locus, {-1.2, 3});
  EXPECT_NEAR(hit->gain, 10, 1e-12) << "beyond the end: the end";
  EXPECT_NEAR(hit->distance, std::hypot(0.2, 1.0), 1e-12);
  EXPECT_EQ(NearestOnLocus(locus, {-4.9, 0})->pole, std::complex<double>(-5, 0));
  EXPECT_FALSE(NearestOnLocus({}, {0, 0}).has_value());
  EXPECT_EQ(NearestOnLocus({locus[1]}, {-0.9, 1.8})->pole, std::complex<double>(-1, 2)) << "one gain: its poles";
  // On the real locus, at one of its gains exactly.
  const auto real = RootLocus(Defaults, 6000, 500);
  const LocusPoint& at = real[321];
  hit = NearestOnLocus(real, at.poles[1]);
  EXPECT_NEAR(hit->gain, at.gain, 1e-9);
  EXPECT_EQ(hit->distance, 0);
}

TEST(RootLocus, TheDominantPairAndTheOvershootASecondOrderLoopWouldHave) {
  const auto pair = Dominant({std::complex<double>(-10), {-3, -4}, {-3, 4}});
  ASSERT_TRUE(pair.has_value());
  EXPECT_NEAR(pair->damping, 0.6, 1e-15);
  EXPECT_NEAR(pair->naturalFrequency, 5, 1e-15);
  EXPECT_FALSE(Dominant({std::complex<double>(-1), -2, -3}).has_value());
  // exp(-pi*0.5/sqrt(0.75)) = 16.303 %; no damping, the whole step again; critical damping, none.
  EXPECT_NEAR(*SecondOrderOvershoot(0.5), 16.3034, 1e-4);
  EXPECT_NEAR(*SecondOrderOvershoot(0), 100, 1e-12);
  EXPECT_FALSE(SecondOrderOvershoot(1).has_value());
  EXPECT_FALSE(SecondOrderOvershoot(-0.1).has_value());
  // The defaults: -23.3505 +- 20.0081i, damping 0.75936 (the run itself overshoots 2.53 %).
  EXPECT_NEAR(*PredictedOvershoot(Defaults), 2.55680, 1e-5);
  Parameters p = Defaults;
  p.Kamp = *BreakAwayGain(Defaults) * 0.9;
  EXPECT_EQ(PredictedOvershoot(p), 0.0) << "three real poles";
  p.Kamp = A1 * A2 / PerGain * 1.01;
  EXPECT_FALSE(PredictedOvershoot(p).has_value()) << "swinging out";
  p.Kamp = 0;
  EXPECT_FALSE(PredictedOvershoot(p).has_value()) << "a pole at 0 never settles";
}

}  // namespace
}  // namespace sim
