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
  const int h = Pointer().HorizSize;
  const int v = Pointer().VertSize;
  if (Pointer().Style == psCross) {
    // Strokes of the pointer pen's width in the point's colour: a mark, not a box. A
    // 1-pixel line leaves its end pixel out, a wider one covers it.
    canvas.UseChartPen(Pointer().Pen);
    canvas.SetPenColor(c);
    const int end = Pointer().Pen.Width() > 1 ? 0 : 1;
    canvas.LineBetween(x - h, y, x + h + end, y);
    canvas.LineBetween(x, y - v, x, y + v + end);
    return;
  }
  canvas.UseChartPen(Pointer().Pen);
  canvas.SetBrushStyle(Pointer().Brush.Style() == bsClear ? bsClear : bsSolid);
  canvas.SetBrushColor(c);
  if (Pointer().Style == psCircle) {
    canvas.DrawEllipse(x - h, y - v, x + h + 1, y + v + 1);
  } else {
    canvas.DrawRectangle(x - h, y - v, x + h + 1, y + v + 1);
  }
}

void TPointSeries::DrawAllPoints() { TChartSeries::DrawAllPoints(); }

}  // namespace chart
