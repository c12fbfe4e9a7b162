// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/checked_float.h"

namespace sim {

const char* FloatFaultMessage(FloatFault fault) noexcept {
  switch (fault) {
    case FloatFault::DivisionByZero:
      return "Floating point division by zero";
    case FloatFault::InvalidOperation:
      return "Invalid floating point operation";
    case FloatFault::Overflow:
      return "Floating point overflow";
  }
  return "Invalid floating point operation";
}

FloatError::FloatError(FloatFault fault) : std::runtime_error(FloatFaultMessage(fault)), fault_(fault) {}

void RaiseFloatError(FloatFault fault) { throw FloatError(fault); }

Ext Sin(Ext angle) {
  const long double s = std::sin(angle.value());
  if (std::isnan(s)) {
    RaiseFloatError(FloatFault::InvalidOperation);
  }
  return s;
}

namespace {

// -2^n and 2^n as exact long doubles; the valid integers lie in [-2^n, 2^n).
constexpr long double kTwo31 = 2147483648.0L;
constexpr long double kTwo63 = 9223372036854775808.0L;

}  // namespace

std::int32_t RoundToInt32(Ext e) {
  // The default rounding mode rounds halves to even.
  const long double r = std::nearbyint(e.value());
  if (!(r >= -kTwo31 && r < kTwo31)) {
    RaiseFloatError(FloatFault::InvalidOperation);
  }
  return static_cast<std::int32_t>(r);
}

std::int64_t TruncToInt64(Ext e) {
  const long double r = std::trunc(e.value());
  if (!(r >= -kTwo63 && r < kTwo63)) {
    RaiseFloatError(FloatFault::InvalidOperation);
  }
  return static_cast<std::int64_t>(r);
}

}  // namespace sim
