// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A drive set up as the window leaves it at creation, with the default texts read.

#include "sim/cycle.h"
#include "sim/drive.h"

namespace sim {

// kmotor: 0.75 as typed (marker release) or 1/0.75 (the "Process" reading).
inline Drive DefaultDrive(double kmotor = 0.75) {
  Drive d;
  d.MarkerX = MarkerCentre;
  SetUpTimeBase(d);
  d.Kamp = 100;
  d.Tamp = 0.003;
  d.Kmotor = kmotor;
  d.Tmotor = 0.02;
  d.Pitch = 8;
  d.Kfb = 0.2;
  return d;
}

}  // namespace sim
