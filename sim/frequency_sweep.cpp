#include "sim/frequency_sweep.h"

#include <cmath>

#include "sim/checked_float.h"
#include "sim/cycle.h"
#include "sim/measurements.h"
#include "sim/stability.h"

namespace sim {

namespace {

class HarmonicObserver final : public StepObserver {
 public:
  explicit HarmonicObserver(HarmonicMeasurement& m) : m_(m) {}
  void StepDone(const Drive& d, std::int32_t step) override { m_.Observe(d, step); }

 private:
  HarmonicMeasurement& m_;
};

// Periods allowed beyond the transient before a run that will not settle to one figure
// (an unstable loop between its stops) is given up.
constexpr long double MaxPeriods = 40;

}  // namespace

std::vector<double> LogSpacedFrequencies(double from, double to, int count) {
  std::vector<double> frequencies;
  if (!(from > 0 && to > 0) || count < 1) {
    return frequencies;  // no logarithm to space them by
  }
  const long double first = std::log(static_cast<long double>(from));
  const long double span = std::log(static_cast<long double>(to)) - first;
  for (int i = 0; i < count; ++i) {
    frequencies.push_back(i == 0           ? from
                          : i == count - 1 ? to
                                           : static_cast<double>(std::exp(first + span * i / (count - 1))));
  }
  return frequencies;
}

HarmonicFigures MeasureAtFrequency(const Drive& drive, double frequency) {
  Drive d = drive;
  d.DriveState = {0, 0, 0};
  d.Command = 0;
  d.SimTime = 0;
  const StabilityFigures stability = AssessStability(d);
  HarmonicMeasurement measurement;
  measurement.Begin(d, frequency, stability);
  if (!measurement.Active()) {
    return measurement.Figures();  // no sine to measure
  }
  HarmonicObserver observer(measurement);

  const long double transient =
      stability.slowestTimeConstant ? TransientTimeConstants * static_cast<long double>(*stability.slowestTimeConstant)
                                    : 0;
  const long double limit = transient + MaxPeriods * 6.283185307179586477L / frequency;
  const Ext tick = Ext(d.StepsPerTick) * d.StepH;
  while (!measurement.Figures().steady && d.SimTime < limit) {
    // Steps 1, 3 and 4 of the cycle, with a frequency that need not be whole.
    d.SimTime = Store(tick + d.SimTime);
    d.Command = Store(Sin(Ext(frequency) * d.SimTime) * (Ext(d.Amplitude) * d.Kfb));
    d.MarkerX = RoundToInt32(Ext(d.Command) / d.Kfb + MarkerCentre);
    IntegrateTick(d, &observer);
  }
  return measurement.Figures();
}

}  // namespace sim
