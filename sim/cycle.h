// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The timer-driven simulation cycle, the trace window and the reset.
//
// The cycle needs no window: it reaches the main window (or a test's fake, or the
// headless runner) only through CycleHost, at the fixed points where the window draws
// or plots.

#include "sim/drive.h"
#include "sim/step_observer.h"
#include "sim/trace_plotting.h"

namespace sim {

// What the cycle and the reset need from the window around them.
class CycleHost {
 public:
  virtual ~CycleHost() = default;

  // The research-mode radio buttons; exactly one of them is selected.
  virtual bool StabilitySelected() const = 0;  // RadioButton1, "Stability research"
  virtual bool AccuracySelected() const = 0;   // RadioButton2, "Accuracy research"

  virtual void DrawMarker() = 0;            // the marker strip at MarkerX
  virtual void DrawMachine() = 0;           // the fixed machine picture
  virtual void DrawScrewAndCarriage() = 0;  // the screw at ScrewPhase, carriage at CarriageX

  // The oscilloscope's three series: actual, preset, error.
  virtual TraceSeries& FirstSeries() = 0;
  virtual TraceSeries& SecondSeries() = 0;
  virtual TraceSeries& ThirdSeries() = 0;

  virtual void SetTimerEnabled(bool enabled) = 0;  // Timer1
};

// The window's creation: StepH 5e-5 s, StepsPerTick 40, and the trace time axis laid out.
void SetUpTimeBase(Drive& d);

// TraceTime[k] = (k - 392)*StepsPerTick*StepH: the window spans -0.784 s to 0 s.
void LayOutTraceTime(Drive& d);

// Remainder of 2*carriageX by 15 with the dividend's sign, -14..14: the thread's phase
// in pixels for a carriage carriageX pixels from the centre.
std::int32_t ScrewPhaseFor(std::int32_t carriageX);

// One tick of Timer1, in this order:
//   1. SimTime += StepsPerTick*StepH (never reset: the sine's phase runs on).
//   2. Stability: Command = (MarkerX - 108)*Kfb.
//   3. Accuracy:  Command = sin(Frequency*SimTime)*(Amplitude*Kfb); the marker follows,
//      MarkerX = round(Command/Kfb + 108), unclamped, and is redrawn.
//   4. IntegrateStep, StepsPerTick times.
//   5-7. CarriageX = round(x) (halves to even), ScrewPhase, screw and carriage redrawn.
//   8. Newest trace values at 392: actual = trunc(x); preset = trunc(Command/Kfb), the
//      quotient in extended precision (10.0/0.2 is 49.99999999999999722, so 49);
//      error = preset - actual.
//   9. Every TraceTime advances by StepsPerTick*StepH.
//   10. The mode's plotting refills the three series from the whole window.
//   11. The value arrays shift one place toward 0; index 392 keeps its value.
// A floating-point error ends the cycle where it occurs; what was stored stays.
// The cycle never touches the timer. An observer, when given, sees every step of 4.
void Timer1Timer(Drive& d, CycleHost& host, StepObserver* observer = nullptr);

// Timer1Timer for the window's timer: a cycle that fails stops the timer (the run pauses
// where it stood) before its error goes on to be shown, so that a cycle failing on every
// tick (Kfb 0) reports once instead of raising box after box.
void RunTimerTick(Drive& d, CycleHost& host, StepObserver* observer = nullptr);

// Step 4 of the cycle: IntegrateStep StepsPerTick times, the observer told after each.
void IntegrateTick(Drive& d, StepObserver* observer);

// Stops the timer and returns the drive, the pictures, the chart (its three series
// emptied) and the trace window to rest. SimTime, the parameters, the coefficients, Amplitude, Frequency and Dragging stay.
void ResetDrive(Drive& d, CycleHost& host);

}  // namespace sim
