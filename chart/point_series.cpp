// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/point_series.h"

#include "chart/axis_panel.h"

namespace chart {

TPointSeries::TPointSeries() {
  DrawLine = false;
  Pointer().Visible = true;
}

void TPointSeries::DrawPoint(int index) {
  constexpr int PixelWindow = 32767;
  const int x = PointX(index);
  const int y = PointY(index);
  const TColor c = PointColor(index);
  if (!Pointer().Visible || c == platform::clNone || !(-PixelWindow < x && x < PixelWindow) ||
      !(-PixelWindow < y && y < PixelWindow)) {
    return;
  }
  TChartCanvas3D& canvas = ParentChart()->Canvas();
  canvas.UseChartPen(Pointer().Pen);
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(c);
  const int h = Pointer().HorizSize;
  const int v = Pointer().VertSize;
  canvas.DrawRectangle(x - h, y - v, x + h + 1, y + v + 1);
}

void TPointSeries::DrawAllPoints() { TChartSeries::DrawAllPoints(); }

}  // namespace chart
