// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// TCustomSeries draws its points as a chain of straight segments; TLineSeries is the one
// the oscilloscope uses: segments only, no point markers.
//
// Each segment is drawn in the colour of the point it ends at, so the colour given with
// each AddXY is the trace's colour. Consecutive points on one pixel add no segment; a
// clNone point leaves a gap on both sides; a point more than 32767 pixels out is skipped.

#include <QPoint>
#include <vector>

#include "chart/chart_pen.h"
#include "chart/chart_series.h"

namespace chart {

enum TSeriesPointerStyle { psRectangle, psCircle, psTriangle, psDownTriangle, psCross, psDiagCross, psStar };

// A marker at each point; hidden on line series here.
struct TSeriesPointer {
  int HorizSize = 4;
  int VertSize = 4;
  TSeriesPointerStyle Style = psRectangle;
  bool InflateMargins = true;
  bool Visible = true;
  bool Draw3D = true;
  bool Dark3D = true;
  TChartPen Pen;
  TChartBrush Brush;
};

class TCustomSeries : public TChartSeries {
 public:
  TCustomSeries();

  TChartPen& LinePen() { return linePen_; }
  TSeriesPointer& Pointer() { return pointer_; }
  bool Stairs = false;
  bool InvertedStairs = false;
  int LineHeight = 0;
  TBrushStyle LineBrush = bsSolid;
  bool Dark3D = true;
  bool DrawArea = false;
  bool DrawLine = true;

  void DrawPoint(int index) override;
  // The pixels and the surface's state that DrawPoint leaves point by point, with a solid
  // one-pixel pen in one pass: each point mapped and each segment drawn straight into the
  // frame, the pen and brush set once at the end as the last point left them.
  void DrawAllPoints() override;
  // A segment within 3 pixels of (x, y) gives the index of the point it ends at.
  int Clicked(int x, int y) const override;
  // A visible pointer with InflateMargins keeps its size + 1 clear; stairs the pen width.
  TSeriesMargins Margins() const override;

 protected:
  // The segment from the previous point to (x, y) in colour c.
  void DrawSegment(int x, int y, TColor c);

 private:
  TChartPen linePen_;
  TSeriesPointer pointer_;
  // Where the next segment starts; kept from one paint to the next.
  int previousX_ = 0;
  int previousY_ = 0;
  TColor previousColor_ = 0;
  // DrawAllPoints' pixels and segments, kept to spare allocations in every paint.
  std::vector<int> mappedX_;
  std::vector<int> mappedY_;
  std::vector<platform::RasterCanvas::SolidSegment> segments_;
};

class TLineSeries : public TCustomSeries {
 public:
  TLineSeries();
};

}  // namespace chart
