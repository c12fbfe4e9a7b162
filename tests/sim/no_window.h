// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// A window for the cycle that draws and plots nothing, in the research mode chosen.

#include "sim/cycle.h"

namespace sim {

struct NoWindow final : CycleHost {
  struct NoSeries final : TraceSeries {
    void Clear() override {}
    int AddXY(double, double, std::string_view, std::uint32_t) override { return 0; }
  };
  explicit NoWindow(bool accuracy = false) : accuracy(accuracy) {}
  bool StabilitySelected() const override { return !accuracy; }
  bool AccuracySelected() const override { return accuracy; }
  void DrawMarker() override {}
  void DrawMachine() override {}
  void DrawScrewAndCarriage() override {}
  TraceSeries& FirstSeries() override { return series; }
  TraceSeries& SecondSeries() override { return series; }
  TraceSeries& ThirdSeries() override { return series; }
  void SetTimerEnabled(bool) override {}
  bool accuracy;
  NoSeries series;
};

}  // namespace sim
