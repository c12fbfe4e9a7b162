// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The arithmetic of an axis, free of any widget: label steps, the label number format,
// the label values of a range and the minor tick positions. The axis object and its
// drawing are thin layers on these.

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace chart {

// To the nearest integer, a half to the even neighbour.
std::int64_t RoundHalfEven(double v);

// The label step after x in the sequence ..., 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, ...
double NextNiceStep(double x);

// The label step for a range drawn over axisLength pixels whose widest end label takes
// labelSize pixels: the smallest step of the 1-2-5 sequence, starting from `increment`
// (or 1, or 1e-12 for a range under 1), that keeps the labels labelsSeparation percent
// of their size apart. Never below 1e-12.
double LabelIncrement(double rangeSize, int axisLength, int labelSize, int labelsSeparation, double increment);

// v in the pattern "#,##0.###": at least one integer digit, the group separator every
// three integer digits, up to three decimals rounded half up in magnitude at the third,
// no trailing decimal zeros and no bare separator; a value that rounds to zero prints
// "0" without a sign.
QString FormatAxisValue(double v, const QString& decimalSeparator, const QString& groupSeparator);

// The values that get labels, from the top of the range downwards: the first on a whole
// multiple of inc when roundFirstLabel, then one inc lower each, down to just above
// rangeMin - 1e-12. None when the range holds 10000 increments or more.
std::vector<double> AxisLabelValues(double rangeMin, double rangeMax, double inc, bool roundFirstLabel);

// Minor tick positions from the recorded ticks: beyond both end ticks first (c each,
// spaced as the first pair), then between every pair of neighbours.
std::vector<int> MinorTickPositions(std::span<const int> ticks, int minorTickCount);

}  // namespace chart
