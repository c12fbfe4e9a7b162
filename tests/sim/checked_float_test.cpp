#include "sim/checked_float.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace sim {
namespace {

struct FaultCase {
  const char* what;
  std::function<void()> compute;
  FloatFault fault;
  const char* message;
};

TEST(CheckedFloat, FaultsRaiseTheirOwnMessages) {
  const FaultCase cases[] = {
      {"1/0", [] { (void)(Ext(1) / 0.0); }, FloatFault::DivisionByZero, "Floating point division by zero"},
      {"0/0", [] { (void)(Ext(0) / 0.0); }, FloatFault::InvalidOperation, "Invalid floating point operation"},
      {"product beyond extended range", [] { (void)(Ext(1e4000L) * 1e4000L); }, FloatFault::Overflow,
       "Floating point overflow"},
      {"fits extended, not double", [] { (void)Store(Ext(1e308) * 10); }, FloatFault::Overflow,
       "Floating point overflow"},
      {"round beyond 32 bits", [] { (void)RoundToInt32(2147483647.5L); }, FloatFault::InvalidOperation,
       "Invalid floating point operation"},
      {"trunc beyond 64 bits", [] { (void)TruncToInt64(1e19L); }, FloatFault::InvalidOperation,
       "Invalid floating point operation"},
  };
  for (const auto& c : cases) {
    try {
      c.compute();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const FloatError& e) {
      EXPECT_EQ(e.fault(), c.fault) << c.what;
      EXPECT_EQ(std::string(e.what()), c.message) << c.what;
    }
  }
}

TEST(CheckedFloat, UnderflowAndInexactAreSilent) {
  EXPECT_EQ(Store(Ext(1e-300) * 1e-300), 0.0);
  const double denormal = Store(Ext(1e-300) * 1e-10);
  EXPECT_GT(denormal, 0.0);
  EXPECT_LT(denormal, std::numeric_limits<double>::min());
  EXPECT_EQ(Store(Ext(1) / 3), 1.0 / 3.0);
}

TEST(CheckedFloat, RoundingHalvesToEvenAndTruncatingTowardZero) {
  const struct {
    long double in;
    std::int32_t rounded;
    std::int64_t truncated;
  } rows[] = {
      {0.5L, 0, 0},       {1.5L, 2, 1},       {2.5L, 2, 2},      {-0.5L, 0, 0},
      {-1.5L, -2, -1},    {-2.5L, -2, -2},    {51.27L, 51, 51},  {49.999999999998977L, 50, 49},
      {-49.9L, -50, -49}, {2147483647.4L, 2147483647, 2147483647},
      {-2147483648.4L, -2147483648, -2147483648},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(RoundToInt32(r.in), r.rounded) << static_cast<double>(r.in);
    EXPECT_EQ(TruncToInt64(r.in), r.truncated) << static_cast<double>(r.in);
  }
}

}  // namespace
}  // namespace sim
