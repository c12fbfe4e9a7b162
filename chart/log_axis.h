// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The arithmetic of a logarithmic axis, free of any widget: whole decades, the decades that
// get labels and the minor tick values between them. The axis maps a value v to
// log(v / RangeMin) / log(RangeMax / RangeMin) of its length, so equal ratios take equal
// pixels and every decade (one power of the base) is as long as the next.

#include <utility>
#include <vector>

namespace chart {

// The power of base at or below v (v > 0, base >= 2), and the one at or above it: exact
// for the powers a double holds exactly, however the logarithm rounds.
double LogDecadeBelow(double v, int base);
double LogDecadeAbove(double v, int base);

// An automatic range rounded out to whole decades; a range within one decade spans it, a
// single power p spans p..p*base. Data at or below 0 have no place on the axis: with a
// positive maximum the range starts one decade below the maximum's, with none it is 1..base.
std::pair<double, double> LogRoundedRange(double min, double max, int base);

// The decades within rangeMin..rangeMax (both > 0), ascending, every `every`th of them
// counted from base^0, so that labels that skip decades stay on the same ones while the
// range moves. None for an empty or non-positive range.
std::vector<double> LogLabelValues(double rangeMin, double rangeMax, int base, int every);

// 2..base-1 times each decade, strictly inside the range, ascending.
std::vector<double> LogMinorTickValues(double rangeMin, double rangeMax, int base);

// How many decades from one label to the next, so that labels labelSize pixels wide keep
// labelsSeparation percent of their size apart over an axis of axisLength pixels spanning
// `decades` decades: 1 while they fit.
int LogLabelStep(double decades, int axisLength, int labelSize, int labelsSeparation);

}  // namespace chart
