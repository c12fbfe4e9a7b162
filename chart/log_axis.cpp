// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Logarithmic axes: the arithmetic, and the axis' mapping, labels and minor ticks when its
// Logarithmic is set. The linear axis keeps its own quick paths; these go the plain way, a
// logarithm per value.
#include "chart/log_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart/axis_math.h"
#include "chart/axis_panel.h"
#include "chart/chart_axis.h"

namespace chart {

namespace {

// Labels and ticks this close to a range end, relative to the value, count as on it: the
// ends are often decades computed the same way.
constexpr double EndSlack = 1e-9;
// No axis draws more decades than this; a wider range has no labels or minor ticks.
constexpr int MaxDecades = 600;

double Power(int base, int k) { return std::pow(static_cast<double>(base), k); }

// The exponent of the power at or below v; 0 for a v without one (0, a NaN, infinity).
int ExponentBelow(double v, int base) {
  if (!(v > 0) || !std::isfinite(v)) {
    return 0;
  }
  int k = static_cast<int>(std::floor(std::log(v) / std::log(static_cast<double>(base))));
  // The quotient of two logarithms may land either side of a whole number.
  while (Power(base, k) > v) {
    --k;
  }
  while (Power(base, k + 1) <= v) {
    ++k;
  }
  return k;
}

bool Inside(double v, double lo, double hi) { return v >= lo * (1 - EndSlack) && v <= hi * (1 + EndSlack); }

}  // namespace

double LogDecadeBelow(double v, int base) { return Power(base, ExponentBelow(v, base)); }

double LogDecadeAbove(double v, int base) {
  const int k = ExponentBelow(v, base);
  return Power(base, Power(base, k) == v ? k : k + 1);
}

std::pair<double, double> LogRoundedRange(double min, double max, int base) {
  if (!(max > 0) || !std::isfinite(max)) {
    return {1, static_cast<double>(base)};
  }
  const double hi = LogDecadeAbove(max, base);
  double lo = min > 0 ? LogDecadeBelow(min, base) : LogDecadeBelow(max, base) / base;
  if (lo >= hi) {
    lo = hi / base;
  }
  return {lo, hi};
}

std::vector<double> LogLabelValues(double rangeMin, double rangeMax, int base, int every) {
  std::vector<double> values;
  if (!(rangeMin > 0) || !(rangeMax >= rangeMin) || !std::isfinite(rangeMax) || base < 2 || every < 1) {
    return values;
  }
  const int first = ExponentBelow(rangeMin, base);
  const int last = ExponentBelow(rangeMax * (1 + EndSlack), base);
  if (last - first > MaxDecades) {
    return values;
  }
  for (int k = first; k <= last; ++k) {
    const double v = Power(base, k);
    if (k % every == 0 && Inside(v, rangeMin, rangeMax)) {
      values.push_back(v);
    }
  }
  return values;
}

std::vector<double> LogMinorTickValues(double rangeMin, double rangeMax, int base) {
  std::vector<double> values;
  if (!(rangeMin > 0) || !(rangeMax > rangeMin) || !std::isfinite(rangeMax) || base < 3) {
    return values;
  }
  const int first = ExponentBelow(rangeMin, base);
  const int last = ExponentBelow(rangeMax, base);
  if (last - first > MaxDecades) {
    return values;
  }
  for (int k = first; k <= last; ++k) {
    const double decade = Power(base, k);
    for (int m = 2; m < base; ++m) {
      const double v = m * decade;
      if (v > rangeMin * (1 + EndSlack) && v < rangeMax * (1 - EndSlack)) {
        values.push_back(v);
      }
    }
  }
  return values;
}

int LogLabelStep(double decades, int axisLength, int labelSize, int labelsSeparation) {
  if (!(decades > 0) || axisLength < 1 || labelSize < 1) {
    return 1;
  }
  const double size = labelSize + std::max(0, labelsSeparation) * 0.01 * labelSize;
  const double perDecade = axisLength / decades;
  const double step = std::ceil(size / perDecade);
  return step < 1 ? 1 : static_cast<int>(std::min(step, static_cast<double>(MaxDecades)));
}

// --- the axis ---

void TCustomChartAxis::SetLogarithmic(bool logarithmic) {
  if (logarithmic && !automaticMinimum_ && !automatic_ && minimum_ <= 0) {
    throw AxisException("Logarithmic axis Minimum Value must be > 0");
  }
  Set(logarithmic_, logarithmic);
}

void TCustomChartAxis::SetLogarithmicBase(int base) {
  if (base < 2) {
    throw AxisException("Logarithmic Base must be >= 2");
  }
  Set(logarithmicBase_, base);
}

void TCustomChartAxis::RoundLogRange() {
  if (automatic_ || automaticMinimum_ || automaticMaximum_) {
    const auto [lo, hi] = LogRoundedRange(minimum_, maximum_, logarithmicBase_);
    if (automatic_ || automaticMinimum_) {
      minimum_ = lo;
    }
    if (automatic_ || automaticMaximum_) {
      maximum_ = std::max(hi, minimum_);
    }
  }
}

// A range with no logarithm (an end at or below 0, or none at all) maps every value to
// CenterPixel, as an empty linear range does; a value at or below 0 lies infinitely far
// toward the low end, beyond any pixel a series draws.
int TCustomChartAxis::LogValueToPixel(double value) const {
  if (!(RangeMin > 0) || !(RangeMax > RangeMin)) {
    return CenterPixel;
  }
  const bool fromStart = IsHorizontal() != inverted_;
  const int origin = fromStart ? StartPixel : EndPixel;
  const int direction = fromStart ? 1 : -1;
  if (!(value > 0)) {
    return direction > 0 ? INT32_MIN : INT32_MAX;
  }
  const double t = std::log(value / RangeMin) * AxisLength / std::log(RangeMax / RangeMin);
  if (!(t < TAxisMapping::PixelLimit && t > -TAxisMapping::PixelLimit)) {
    return t > 0 ? (direction > 0 ? INT32_MAX : INT32_MIN) : (direction > 0 ? INT32_MIN : INT32_MAX);
  }
  const std::int64_t p = origin + direction * RoundHalfEven(t);
  return static_cast<int>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX));
}

double TCustomChartAxis::LogPixelToValue(int pixel) const {
  if (!(RangeMin > 0) || !(RangeMax > RangeMin)) {
    return RangeMin;
  }
  const double d = inverted_ ? EndPixel - pixel : pixel - StartPixel;
  const double t = d / AxisLength;
  // From the low end horizontally, from the high end vertically, as the linear axis.
  return IsHorizontal() ? RangeMin * std::pow(RangeMax / RangeMin, t) : RangeMax * std::pow(RangeMin / RangeMax, t);
}

std::vector<double> TCustomChartAxis::LogLabels() const {
  if (!(RangeMin > 0) || !(RangeMax > RangeMin) || !std::isfinite(RangeMax)) {
    return {};
  }
  const TChartCanvas3D& canvas = chart_->Canvas();
  int size = canvas.TextLineHeight();
  const bool alongText = IsHorizontal() ? !(labelsAngle_ == 90 || labelsAngle_ == 270)
                                        : !(labelsAngle_ == 0 || labelsAngle_ == 180);
  if (alongText) {
    size = std::max(canvas.MeasureTextWidth(FormatLabel(LogDecadeBelow(RangeMin, logarithmicBase_))),
                    canvas.MeasureTextWidth(FormatLabel(LogDecadeBelow(RangeMax, logarithmicBase_))));
  }
  const double decades = std::log(RangeMax / RangeMin) / std::log(static_cast<double>(logarithmicBase_));
  return LogLabelValues(RangeMin, RangeMax, logarithmicBase_,
                        LogLabelStep(decades, std::abs(AxisLength), size, labelsSeparation_));
}

std::vector<int> TCustomChartAxis::LogMinorTicks() const {
  std::vector<int> pixels;
  for (const double v : LogMinorTickValues(RangeMin, RangeMax, logarithmicBase_)) {
    pixels.push_back(LogValueToPixel(v));
  }
  return pixels;
}

}  // namespace chart
