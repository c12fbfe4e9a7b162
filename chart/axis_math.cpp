// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/axis_math.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace chart {

namespace {

constexpr double MinIncrement = 1e-12;
constexpr double PixelLimit = 2147483647.0;
// A range of this many label steps or more gets no labels.
constexpr double MaxLabelCount = 10000;

// Adds one in the last place of a string of decimal digits; returns whether it carried
// out of the first digit.
bool IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it == '9') {
      *it = '0';
    } else {
      ++*it;
      return false;
    }
  }
  return true;
}

}  // namespace

std::int64_t RoundHalfEven(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

double NextNiceStep(double x) {
  if (x >= 10) {
    return 10 * NextNiceStep(0.1 * x);
  }
  if (x < 1) {
    return 0.1 * NextNiceStep(10 * x);
  }
  if (x < 2) {
    return 2;
  }
  if (x < 5) {
    return 5;
  }
  return 10;
}

double LabelIncrement(double rangeSize, int axisLength, int labelSize, int labelsSeparation, double increment) {
  double s = labelSize;
  std::int64_t maxLabels = 1;
  if (s >= 1) {
    if (labelsSeparation > 0) {
      s += static_cast<double>(RoundHalfEven(labelsSeparation * 0.01 * s));
    }
    maxLabels = RoundHalfEven(axisLength / s);
  }
  // An infinite range has no step to find: the walk below would never end.
  if (maxLabels < 1 || !std::isfinite(rangeSize)) {
    return MinIncrement;
  }
  double inc = increment > 0 ? increment : (std::fabs(rangeSize) >= 1 ? 1.0 : MinIncrement);
  if (labelsSeparation > 0) {
    std::int64_t n = maxLabels + 1;
    do {
      const double t = rangeSize / inc;
      if (std::fabs(t) >= PixelLimit) {
        inc = NextNiceStep(inc);
      } else {
        n = RoundHalfEven(t);
        if (n > maxLabels) {
          inc = NextNiceStep(inc);
        }
      }
    } while (n > maxLabels);
  }
  return std::max(inc, MinIncrement);
}

QString FormatAxisValue(double v, const QString& decimalSeparator, const QString& groupSeparator) {
  if (!std::isfinite(v)) {
    return {};
  }
  // The digits as an 18-digit decimal, then rounded at the third decimal by hand, so that
  // a 5 there always rounds up and the locale never touches the conversion.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v), std::chars_format::scientific, 17);
  const std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);  // 18 significant digits
  const int exponent = std::stoi(text.substr(e + 1));

  // Integer digits and the first three decimals, as one string of digits with the point
  // `pointAt` digits from its left; the digit after them decides the rounding.
  int pointAt = exponent + 1;
  if (pointAt < 0) {
    // |v| < 0.1: the leading decimal zeros go in front.
    digits.insert(0, static_cast<std::size_t>(-pointAt), '0');
    pointAt = 0;
  }
  const std::size_t roundIndex = static_cast<std::size_t>(pointAt) + 3;
  if (roundIndex >= digits.size()) {
    digits.append(roundIndex - digits.size() + 1, '0');
  }
  std::string kept = digits.substr(0, roundIndex);
  if (digits[roundIndex] >= '5' && IncrementDigits(kept)) {
    kept.insert(0, 1, '1');
    ++pointAt;
  }
  std::string integer = kept.substr(0, static_cast<std::size_t>(pointAt));
  std::string decimals = kept.substr(static_cast<std::size_t>(pointAt));
  while (!decimals.empty() && decimals.back() == '0') {
    decimals.pop_back();
  }
  const std::size_t firstNonZero = integer.find_first_not_of('0');
  integer = firstNonZero == std::string::npos ? "0" : integer.substr(firstNonZero);

  const bool zero = integer == "0" && decimals.empty();
  QString out;
  if (v < 0 && !zero) {
    out += u'-';
  }
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) {
      out += groupSeparator;
    }
    out += QChar(integer[i]);
  }
  if (!decimals.empty()) {
    out += decimalSeparator;
    out += QString::fromLatin1(decimals.c_str());
  }
  return out;
}

std::vector<double> AxisLabelValues(double rangeMin, double rangeMax, double inc, bool roundFirstLabel) {
  std::vector<double> values;
  if (!(inc > 0) || !(std::fabs((rangeMax - rangeMin) / inc) < MaxLabelCount)) {
    return values;
  }
  // One value has one label, however small the step.
  if (rangeMin == rangeMax) {
    values.push_back(rangeMax);
    return values;
  }
  double v = rangeMax;
  if (roundFirstLabel) {
    // Trunc of the quotient; a quotient beyond 64 bits is cut toward zero as a double.
    v = std::trunc(rangeMax / inc) * inc;
  }
  while (v > rangeMax) {
    // A step lost in v's precision would never bring it down.
    v = v - inc < v ? v - inc : rangeMax;
  }
  const double first = v;
  // Just above rangeMin - 1e-12, so a label that lands a rounding error below the range
  // is still drawn, and -120 is not on a -120..120 axis stepped by 20. The drawing keeps
  // labels within the axis ends, which this bound alone does not in a deep zoom.
  const double low = (rangeMin - 1e-12) / 1.000000000001;
  while (v >= low && values.size() < MaxLabelCount) {
    values.push_back(v);
    if (!(v - inc < v)) {
      // The step no longer changes the value: close with the lower end and stop.
      if (rangeMin < v) {
        values.push_back(rangeMin);
      }
      break;
    }
    v -= inc;
  }
  // A range narrower than the bound's slack, or than one step, still gets a label.
  if (values.empty() && std::isfinite(rangeMax - rangeMin)) {
    values.push_back(std::clamp(first, rangeMin, rangeMax));
  }
  return values;
}

std::vector<int> MinorTickPositions(std::span<const int> ticks, int minorTickCount) {
  std::vector<int> positions;
  const std::size_t n = ticks.size();
  const int c = minorTickCount;
  if (n > 1 && c > 0) {
    const double d = (ticks[1] - ticks[0]) / static_cast<double>(c + 1);
    for (int i = 1; i <= c; ++i) {
      positions.push_back(ticks[0] - static_cast<int>(RoundHalfEven(i * d)));
      positions.push_back(ticks[n - 1] + static_cast<int>(RoundHalfEven(i * d)));
    }
  }
  for (std::size_t t = 1; t < n && c > 0; ++t) {
    const double d = (ticks[t] - ticks[t - 1]) / static_cast<double>(c + 1);
    for (int i = 1; i <= c; ++i) {
      positions.push_back(ticks[t] - static_cast<int>(RoundHalfEven(i * d)));
    }
  }
  return positions;
}

}  // namespace chart
