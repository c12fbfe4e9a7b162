// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// TPointSeries: a marker at each point and no line between them, for measured values that
// stand beside a computed curve.

#include "chart/line_series.h"

namespace chart {

class TPointSeries : public TCustomSeries {
 public:
  TPointSeries();

  // The pointer's shape in the box HorizSize and VertSize pixels each side of the point: a
  // rectangle or a circle outlined in the pointer's pen and filled with the point's colour
  // (nothing with a clear pointer brush), or an upright cross in the point's colour. Other
  // styles draw a rectangle. A point more than 32767 pixels out (a value a logarithmic
  // axis cannot show among them) is left out.
  void DrawPoint(int index) override;
  void DrawAllPoints() override;
};

}  // namespace chart
