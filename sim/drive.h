// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The drive state: every value the simulation reads or writes, in one plain struct.
// The main window owns the one instance of a run; tests and the headless runner make
// their own. Real values are doubles, screen positions 32-bit integers; all start at 0
// (the window's creation sets StepH, StepsPerTick, MarkerX and the time axis).

#include <array>
#include <cstdint>

namespace sim {

// Points in the oscilloscope's trace window; index TraceLength - 1 is the newest.
inline constexpr int TraceLength = 393;
inline constexpr int TraceNewest = TraceLength - 1;

// Marker column that stands for carriage position 0 (one pixel per millimetre).
inline constexpr std::int32_t MarkerCentre = 108;

struct Drive {
  // Drive parameters, read from the window's six edit boxes.
  double Kamp = 0;    // converter-amplifier gain
  double Tamp = 0;    // converter-amplifier time constant, s
  double Kmotor = 0;  // motor constant as typed (stability) or its reciprocal (accuracy)
  double Tmotor = 0;  // motor time constant, s
  double Pitch = 0;   // lead-screw pitch, mm
  double Kfb = 0;     // feedback coefficient, V/mm

  // Coefficients of x''' = B0*u - A1*x'' - A2*x' - A3*x.
  double B0 = 0;
  double A1 = 0;
  double A2 = 0;
  double A3 = 0;

  double Command = 0;                  // command voltage u, V
  std::array<double, 3> DriveState{};  // x'' (mm/s^2), x' (mm/s), x (mm)
  std::array<double, 3> DriveDeriv{};  // x''', x'', x' as last evaluated

  double StepH = 0;               // integration step, s
  std::int32_t StepsPerTick = 0;  // integration steps per timer tick

  double SimTime = 0;             // model time, s; never reset
  std::int32_t MarkerX = 0;       // target marker column in the strip
  std::int32_t CarriageX = 0;     // carriage position in whole mm = pixels of travel
  std::int32_t ScrewPhase = 0;    // thread phase of the lead screw, pixels, -14..14
  std::int32_t Amplitude = 0;     // harmonic amplitude, mm
  std::int32_t Frequency = 0;     // harmonic angular frequency, rad/s

  // The sliding trace window the oscilloscope shows.
  std::array<double, TraceLength> TraceTime{};    // s
  std::array<double, TraceLength> TraceActual{};  // whole mm
  std::array<double, TraceLength> TracePreset{};  // whole mm
  std::array<double, TraceLength> TraceError{};   // preset - actual, mm

  bool Dragging = false;  // the target marker is being dragged
};

}  // namespace sim
