// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Checked extended-precision arithmetic.
//
// The drive's formulas are evaluated in long double (the x87 80-bit format, 64-bit
// significand) and each result is rounded to double when it is stored. Nothing may turn
// silently into an infinity or a NaN: a zero divisor, an invalid operation and an overflow
// are errors, raised as FloatError with the program's three messages. Underflow and
// inexact results are silent.
//
// Every stored value is finite (every store is checked), so an operation on two finite
// operands is checked by its result alone: NaN means an invalid operation, an infinity
// means overflow.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace sim {

enum class FloatFault { DivisionByZero, InvalidOperation, Overflow };

class FloatError : public std::runtime_error {
 public:
  explicit FloatError(FloatFault fault);

  FloatFault fault() const noexcept { return fault_; }

 private:
  FloatFault fault_;
};

// "Floating point division by zero", "Invalid floating point operation", "Floating point overflow".
const char* FloatFaultMessage(FloatFault fault) noexcept;

[[noreturn]] void RaiseFloatError(FloatFault fault);

// A long double whose arithmetic is checked operation by operation.
class Ext {
 public:
  constexpr Ext(long double value) : value_(value) {}  // NOLINT: implicit on purpose

  constexpr long double value() const { return value_; }

  friend Ext operator+(Ext a, Ext b) { return Checked(a.value_ + b.value_); }
  friend Ext operator-(Ext a, Ext b) { return Checked(a.value_ - b.value_); }
  friend Ext operator*(Ext a, Ext b) { return Checked(a.value_ * b.value_); }
  friend Ext operator/(Ext a, Ext b) {
    if (b.value_ == 0.0L) {
      RaiseFloatError(a.value_ == 0.0L || std::isnan(a.value_) ? FloatFault::InvalidOperation
                                                               : FloatFault::DivisionByZero);
    }
    return Checked(a.value_ / b.value_);
  }

 private:
  static Ext Checked(long double r) {
    // One compare on the hot path: false for NaN and for both infinities.
    if (!(std::fabs(r) <= std::numeric_limits<long double>::max())) [[unlikely]] {
      RaiseFloatError(std::isnan(r) ? FloatFault::InvalidOperation : FloatFault::Overflow);
    }
    return Ext(r);
  }

  long double value_;
};

// Rounds to double for storing; a value beyond the double range overflows.
inline double Store(long double v) {
  const double d = static_cast<double>(v);
  // An all-ones exponent is an infinity or a NaN. The bits are tested in an integer
  // register, off the x87 path along which the value goes on into the next formula.
  if ((std::bit_cast<std::uint64_t>(d) & 0x7FF0000000000000u) == 0x7FF0000000000000u) [[unlikely]] {
    RaiseFloatError(std::isnan(d) ? FloatFault::InvalidOperation : FloatFault::Overflow);
  }
  return d;
}

inline double Store(Ext e) { return Store(e.value()); }

// sin in extended precision.
Ext Sin(Ext angle);

// To the nearest integer, a half to the even neighbour. A value beyond the 32-bit range
// is an invalid operation (as the x87 integer store reports it) rather than a wrapped
// screen position.
std::int32_t RoundToInt32(Ext e);

// Toward zero, into 64 bits; out of range is an invalid operation.
std::int64_t TruncToInt64(Ext e);

}  // namespace sim
