// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A seeded random source for long randomized tests. mt19937_64 is the same sequence
// everywhere; the reductions are ours, so a replay does not depend on the standard
// library's distributions.

#include <cstdint>
#include <random>
#include <vector>

class Random {
 public:
  explicit Random(std::uint64_t seed) : seed_(seed), engine_(seed) {}
  std::uint64_t Seed() const { return seed_; }
  std::uint64_t Bits() { return engine_(); }
  // 0 .. n-1
  int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool OneIn(int n) { return Below(n) == 0; }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t seed_;
  std::mt19937_64 engine_;
};
