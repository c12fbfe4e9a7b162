// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/checked_float.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <tuple>

namespace sim {
namespace {

TEST(CheckedFloat, FaultsRaiseTheirOwnMessages) {
  const std::tuple<const char*, std::function<void()>, const char*> cases[] = {
      {"1/0", [] { (void)(Ext(1) / 0.0); }, "Floating point division by zero"},
      {"0/0", [] { (void)(Ext(0) / 0.0); }, "Invalid floating point operation"},
      {"beyond extended", [] { (void)(Ext(1e4000L) * 1e4000L); }, "Floating point overflow"},
      {"fits extended, not double", [] { (void)Store(Ext(1e308) * 10); }, "Floating point overflow"},
      {"round beyond 32 bits", [] { (void)RoundToInt32(2147483647.5L); }, "Invalid floating point operation"},
      {"trunc beyond 64 bits", [] { (void)TruncToInt64(1e19L); }, "Invalid floating point operation"},
  };
  for (const auto& [what, compute, message] : cases) {
    try {
      compute();
      ADD_FAILURE() << what << ": no error";
    } catch (const FloatError& e) {
      EXPECT_EQ(std::string(e.what()), message) << what;
    }
  }
}

TEST(CheckedFloat, UnderflowAndInexactAreSilent) {
  EXPECT_EQ(Store(Ext(1e-300) * 1e-300), 0.0);
  const double denormal = Store(Ext(1e-300) * 1e-10);
  EXPECT_TRUE(denormal > 0 && denormal < std::numeric_limits<double>::min()) << denormal;
  EXPECT_EQ(Store(Ext(1) / 3), 1.0 / 3.0);
}

TEST(CheckedFloat, RoundingHalvesToEvenAndTruncatingTowardZero) {
  // In, rounded to 32 bits, truncated toward zero into 64.
  const std::tuple<long double, std::int32_t, std::int64_t> rows[] = {
      {0.5L, 0, 0},   {1.5L, 2, 1},     {2.5L, 2, 2},         {-1.5L, -2, -1},
      {-2.5L, -2, -2}, {-49.9L, -50, -49}, {49.999999999998977L, 50, 49},
      {2147483647.4L, 2147483647, 2147483647}, {-2147483648.4L, -2147483648, -2147483648}};
  for (const auto& [in, rounded, truncated] : rows) {
    EXPECT_EQ(std::pair(RoundToInt32(in), TruncToInt64(in)), std::pair(rounded, truncated)) << double(in);
  }
}

}  // namespace
}  // namespace sim
