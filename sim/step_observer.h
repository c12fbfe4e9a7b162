// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// What watches the drive between integration steps: the measurements read the position at
// every 50 us step rather than at every tick. An observer only reads; the drive's results
// are the same with or without one.

#include <cstdint>

#include "sim/drive.h"

namespace sim {

class StepObserver {
 public:
  virtual ~StepObserver() = default;

  // After step `step` (1 .. StepsPerTick) of a cycle whose SimTime has already advanced:
  // the step ends at model time SimTime - (StepsPerTick - step)*StepH.
  virtual void StepDone(const Drive& d, std::int32_t step) = 0;
};

}  // namespace sim
