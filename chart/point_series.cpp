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
  switch (Pointer().Style) {
    case psCross:
    case psDiagCross:
      // Strokes of the pointer pen's width in the point's colour: a mark, not a box. A
      // 1-pixel line leaves its end pixel out, hence one more.
      canvas.UseChartPen(Pointer().Pen);
      canvas.SetPenColor(c);
      if (Pointer().Style == psCross) {
        canvas.LineBetween(x - h, y, x + h + 1, y);
        canvas.LineBetween(x, y - v, x, y + v + 1);
      } else {
        canvas.LineBetween(x - h, y - v, x + h + 1, y + v + 1);
        canvas.LineBetween(x - h, y + v, x + h + 1, y - v - 1);
      }
      return;
    default:
      break;
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
