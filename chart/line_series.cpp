// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/line_series.h"

#include <algorithm>
#include <span>

#include "chart/axis_panel.h"

namespace chart {

namespace {

// Pixels the surface is given: beyond this a point is skipped.
constexpr int PixelWindow = 32767;

bool InPixelWindow(int v) {
  // -PixelWindow < v < PixelWindow, in one comparison.
  return static_cast<unsigned>(v) + (PixelWindow - 1) < 2u * PixelWindow - 1;
}

}  // namespace

TCustomSeries::TCustomSeries() {
  linePen_.OnChange = [this] { RepaintChart(); };
}

TSeriesMargins TCustomSeries::Margins() const {
  TSeriesMargins m;
  if (pointer_.Visible && pointer_.InflateMargins) {
    m.Left = m.Right = pointer_.HorizSize + 1;
    m.Top = m.Bottom = pointer_.VertSize + 1;
  }
  if (Stairs) {
    m.Left = std::max(m.Left, linePen_.Width());
    m.Right = std::max(m.Right, linePen_.Width());
    m.Top = std::max(m.Top, linePen_.Width());
    m.Bottom = std::max(m.Bottom, linePen_.Width());
  }
  return m;
}

void TCustomSeries::DrawSegment(int x, int y, TColor c) {
  if ((x == previousX_ && y == previousY_) || c == platform::clNone || !DrawLine) {
    return;
  }
  TChartCanvas3D& canvas = ParentChart()->Canvas();
  canvas.UseChartPen(linePen_);
  canvas.SetBrushStyle(bsClear);
  canvas.SetPenColor(c);
  canvas.LineBetween(previousX_, previousY_, x, y);
}

void TCustomSeries::DrawPoint(int index) {
  const TColor c = PointColor(index);
  const int x = PointX(index);
  const int y = PointY(index);
  if (InPixelWindow(x) && InPixelWindow(y)) {
    TChartCanvas3D& canvas = ParentChart()->Canvas();
    canvas.SetPenColor(platform::clBlack);
    canvas.SetBrushColor(c);
    if (previousColor_ == platform::clNone) {
      previousX_ = x;
      previousY_ = y;
    }
    if (index == FirstVisible) {
      if (index > 0) {
        // The piece from the left edge, where the line from the point before crosses it.
        TChartAxis& horiz = *GetHorizAxis();
        TChartAxis& vert = *GetVertAxis();
        const TRect& r = ParentChart()->ChartRect();
        const int edgeX = horiz.Inverted() ? r.Right : r.Left;
        const double x0 = XValues.ValueAt(index - 1);
        const double x1 = XValues.ValueAt(index);
        const double y0 = YValues.ValueAt(index - 1);
        const double y1 = YValues.ValueAt(index);
        double edgeY = y1;
        if (x1 != x0) {
          edgeY = y0 + (horiz.PixelToValue(edgeX) - x0) * (y1 - y0) / (x1 - x0);
        }
        previousX_ = edgeX;
        previousY_ = vert.ValueToPixel(edgeY);
        if (PointColor(index - 1) != platform::clNone) {
          DrawSegment(x, y, c);
        }
      }
    } else {
      DrawSegment(x, y, c);
    }
    previousX_ = x;
    previousY_ = y;
  }
  previousColor_ = c;
}

void TCustomSeries::DrawAllPoints() {
  TChartCanvas3D& canvas = ParentChart()->Canvas();
  platform::RasterCanvas* target = canvas.Target();
  const bool thinSolid = DrawLine && linePen_.Visible() && linePen_.Style() == psSolid && linePen_.Width() <= 1 &&
                         !linePen_.SmallDots();
  // Logarithmic axes map each value the plain way.
  const bool linear = !GetHorizAxis()->Logarithmic() && !GetVertAxis()->Logarithmic();
  if (canvas.PlainDrawing() || target == nullptr || !thinSolid || !linear || FirstVisible < 0 ||
      LastVisible < FirstVisible) {
    TChartSeries::DrawAllPoints();
    return;
  }
  // The first point may start from the chart's edge: that piece goes the plain way.
  DrawPoint(FirstVisible);
  const double* xs = XValues.RawValues();
  const double* ys = YValues.RawValues();
  const double xMultiplier = XValues.Multiplier();
  const double yMultiplier = YValues.Multiplier();
  // All points mapped first, one axis at a time: their divisions and roundings overlap
  // instead of each waiting for the segment before it to be drawn.
  const int first = FirstVisible + 1;
  const int count = LastVisible - FirstVisible;
  mappedX_.resize(static_cast<std::size_t>(count));
  mappedY_.resize(static_cast<std::size_t>(count));
  GetHorizAxis()->MapValues(xs + first, count, xMultiplier, mappedX_.data());
  GetVertAxis()->MapValues(ys + first, count, yMultiplier, mappedY_.data());
  int previousX = previousX_;
  int previousY = previousY_;
  TColor previousColor = previousColor_;
  TColor pixelColor = platform::clNone;  // the colour `pixel` was made from
  std::uint32_t pixel = 0;
  // PointColor's choices made once for the series, not at every point.
  const TColor* stored = StoredColorCount() > LastVisible ? StoredColors() + first : nullptr;
  const bool eachPoint = ColorEachPoint();
  const TColor seriesColor = SeriesColor();
  const auto colorAt = [&](int k) {
    if (stored == nullptr) {
      return PointColor(first + k);
    }
    const TColor c = stored[k];
    if (c != platform::clDefault) {
      return c;
    }
    return eachPoint ? SeriesPalette[static_cast<std::size_t>(first + k) % SeriesPalette.size()] : seriesColor;
  };
  // The loop keeps only what the next point needs; what the last point leaves behind is
  // worked out once afterwards, so that the loop's state stays in registers.
  int lastShown = -1;  // the last point inside the pixel window
  bool lastDrawn = false;  // whether it ended a segment
  segments_.resize(static_cast<std::size_t>(count));
  platform::RasterCanvas::SolidSegment* const segments = segments_.data();
  platform::RasterCanvas::SolidSegment* next = segments;
  const int* px = mappedX_.data();
  const int* py = mappedY_.data();
  for (int k = 0; k < count; ++k) {
    const TColor c = colorAt(k);
    const int x = px[k];
    const int y = py[k];
    if (InPixelWindow(x) && InPixelWindow(y)) {
      if (previousColor == platform::clNone) {
        previousX = x;
        previousY = y;
      }
      lastShown = k;
      lastDrawn = (x != previousX || y != previousY) && c != platform::clNone;
      if (lastDrawn) {
        if (c != pixelColor) {
          pixelColor = c;
          pixel = platform::RasterCanvas::PixelOf(c);
        }
        *next++ = {QPoint(previousX, previousY), QPoint(x, y), pixel};
      }
      previousX = x;
      previousY = y;
    }
    previousColor = c;
  }
  target->SolidLines(std::span(segments, next));
  previousX_ = previousX;
  previousY_ = previousY;
  previousColor_ = previousColor;
  if (lastShown >= 0) {
    if (next != segments) {
      // The current position stays where the last segment ended.
      target->MoveTo(next[-1].to.x(), next[-1].to.y());
      canvas.UseChartPen(linePen_);
      canvas.SetBrushStyle(bsClear);
    }
    const TColor lastColor = colorAt(lastShown);
    canvas.SetPenColor(lastDrawn ? lastColor : platform::clBlack);
    canvas.SetBrushColor(lastColor);
  }
}

int TCustomSeries::Clicked(int x, int y) const {
  if (ParentChart() == nullptr || GetHorizAxis() == nullptr) {
    return -1;
  }
  constexpr double Tolerance = 3;
  for (int i = std::max(FirstVisible, 0) + 1; i <= LastVisible; ++i) {
    const double x0 = PointX(i - 1), y0 = PointY(i - 1), x1 = PointX(i), y1 = PointY(i);
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / length2, 0.0, 1.0) : 0.0;
    const double ex = x0 + t * dx - x, ey = y0 + t * dy - y;
    if (ex * ex + ey * ey <= Tolerance * Tolerance && PointColor(i) != platform::clNone) {
      return i;
    }
  }
  return -1;
}

TLineSeries::TLineSeries() { Pointer().Visible = false; }

}  // namespace chart
