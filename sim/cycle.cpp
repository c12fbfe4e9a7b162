// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/cycle.h"

#include "sim/checked_float.h"
#include "sim/drive_model.h"

namespace sim {

namespace {

// Model time of one tick, StepsPerTick*StepH in extended precision.
Ext TickTime(const Drive& d) { return Ext(d.StepsPerTick) * d.StepH; }

}  // namespace

void SetUpTimeBase(Drive& d) {
  d.StepH = DefaultStepH;
  d.StepsPerTick = DefaultStepsPerTick;
  LayOutTraceTime(d);
}

void LayOutTraceTime(Drive& d) {
  for (int k = 0; k < TraceLength; ++k) {
    d.TraceTime[k] = Store(Ext((k - TraceNewest) * d.StepsPerTick) * d.StepH);
  }
}

std::int32_t ScrewPhaseFor(std::int32_t carriageX) {
  // C++'s remainder already takes the dividend's sign; 64 bits keep 2*carriageX exact.
  return static_cast<std::int32_t>((2 * static_cast<std::int64_t>(carriageX)) % 15);
}

void IntegrateTick(Drive& d, StepObserver* observer) {
  // Two loops, so that a cycle nobody observes runs exactly as it did before observers.
  if (observer == nullptr) {
    for (std::int32_t step = 0; step < d.StepsPerTick; ++step) {
      IntegrateStep(d);
    }
    return;
  }
  for (std::int32_t step = 1; step <= d.StepsPerTick; ++step) {
    IntegrateStep(d);
    observer->StepDone(d, step);
  }
}

void Timer1Timer(Drive& d, CycleHost& host, StepObserver* observer) {
  d.SimTime = Store(TickTime(d) + d.SimTime);

  if (host.StabilitySelected()) {
    d.Command = Store(Ext(d.MarkerX - MarkerCentre) * d.Kfb);
  }
  if (host.AccuracySelected()) {
    d.Command = Store(Sin(Ext(d.Frequency) * d.SimTime) * (Ext(d.Amplitude) * d.Kfb));
    d.MarkerX = RoundToInt32(Ext(d.Command) / d.Kfb + MarkerCentre);
    host.DrawMarker();
  }

  IntegrateTick(d, observer);

  d.CarriageX = RoundToInt32(d.DriveState[2]);
  d.ScrewPhase = ScrewPhaseFor(d.CarriageX);
  host.DrawScrewAndCarriage();

  d.TraceActual[TraceNewest] = static_cast<double>(TruncToInt64(d.DriveState[2]));
  d.TracePreset[TraceNewest] = static_cast<double>(TruncToInt64(Ext(d.Command) / d.Kfb));
  d.TraceError[TraceNewest] = Store(Ext(d.TracePreset[TraceNewest]) - d.TraceActual[TraceNewest]);

  const Ext tick = TickTime(d);
  for (double& t : d.TraceTime) {
    t = Store(tick + t);
  }

  if (host.StabilitySelected()) {
    PlotStabilityTraces(d, host.FirstSeries(), host.SecondSeries(), host.ThirdSeries());
  }
  if (host.AccuracySelected()) {
    PlotAccuracyTraces(d, host.FirstSeries(), host.SecondSeries(), host.ThirdSeries());
  }

  for (int k = 1; k < TraceLength; ++k) {
    d.TracePreset[k - 1] = d.TracePreset[k];
    d.TraceActual[k - 1] = d.TraceActual[k];
    d.TraceError[k - 1] = d.TraceError[k];
  }
}

void RunTimerTick(Drive& d, CycleHost& host, StepObserver* observer) {
  try {
    Timer1Timer(d, host, observer);
  } catch (...) {
    host.SetTimerEnabled(false);
    throw;
  }
}

void ResetDrive(Drive& d, CycleHost& host) {
  d.Command = 0;
  d.MarkerX = MarkerCentre;
  host.SetTimerEnabled(false);
  d.DriveState = {0, 0, 0};
  d.ScrewPhase = 0;
  d.CarriageX = 0;
  host.DrawMachine();
  host.DrawScrewAndCarriage();
  host.DrawMarker();
  host.FirstSeries().Clear();
  host.SecondSeries().Clear();
  host.ThirdSeries().Clear();
  LayOutTraceTime(d);
  d.TraceActual.fill(0);
  d.TracePreset.fill(0);
  d.TraceError.fill(0);
}

}  // namespace sim
