#pragma once
// Accuracy research over a range of frequencies: the table of amplitude ratio and lag
// against frequency that a student would otherwise build run by run.

#include <vector>

#include "sim/drive.h"
#include "sim/figures.h"

namespace sim {

// count frequencies from `from` to `to`, rad/s, equally spaced on a logarithmic scale; the
// first is `from` and, for two or more, the last is `to`. None unless both are positive.
std::vector<double> LogSpacedFrequencies(double from, double to, int count);

// Accuracy research with the drive's parameters, coefficients and Amplitude at `frequency`
// rad/s, from rest and model time 0, cycle by cycle as the window runs it (the command
// held over each tick at its value at the tick's end; the marker follows the command),
// until the harmonic measurement is steady or, failing that, the transient's time and
// forty periods have passed. The drive's Frequency is an integer; the sweep's need not be.
// A floating-point error of the cycle is raised as the cycle raises it.
HarmonicFigures MeasureAtFrequency(const Drive& drive, double frequency);

}  // namespace sim
