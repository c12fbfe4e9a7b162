// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The layout and drawing half of an axis: the room it takes from the plotting rectangle,
// and its title, labels, line, ticks and grid.
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

#include "chart/axis_math.h"
#include "chart/axis_panel.h"
#include "chart/chart_axis.h"

namespace chart {

namespace {

// At most this many ticks are recorded in one drawing.
constexpr std::size_t TickCapacity = 2000;

void Record(std::vector<int>& ticks, int p) {
  if (ticks.size() < TickCapacity) {
    ticks.push_back(p);
  }
}

QStringList TextLines(const QString& text) {
  // Every line break starts a line; a break at the very end adds none.
  QStringList lines = text.split(u'\r');
  if (!lines.isEmpty() && lines.back().isEmpty()) {
    lines.removeLast();
  }
  return lines;
}

}  // namespace

int TCustomChartAxis::TickBand() const {
  int band = (axis_.Visible() ? axis_.Width() : 0) + (ticks_.Visible() ? tickLength_ : 0);
  if (minorTicks_.Visible()) {
    band = std::max(band, minorTickLength_);
  }
  return band;
}

int TCustomChartAxis::WidestValueLabel() {
  if (ResolvedLabelStyle() != talValue) {
    return 0;
  }
  const double inc = CurrentIncrement();
  double lo = RangeMin;
  double hi = RangeMax;
  if (roundFirstLabel_ && !logarithmic_) {
    lo = std::trunc(RangeMin / inc) * inc;
    hi = std::trunc(RangeMax / inc) * inc;
  }
  TChartCanvas3D& canvas = chart_->Canvas();
  auto widest = [&](double v) {
    int w = 0;
    for (const QString& line : TextLines(FormatLabel(v))) {
      w = std::max(w, canvas.MeasureTextWidth(line));
    }
    return w;
  };
  // Measured as the default format writes them, whatever a label hook would make of them.
  chart_->SuspendAxisLabelHook(true);
  const int w = std::max(widest(hi), widest(lo));
  chart_->SuspendAxisLabelHook(false);
  return w + canvas.MeasureTextWidth(QStringLiteral(" "));
}

int TCustomChartAxis::TextBand(const TChartFont& font, int angle, int fixedSize, const QString& text) {
  if (fixedSize != 0) {
    return fixedSize;
  }
  TChartCanvas3D& canvas = chart_->Canvas();
  canvas.UseFont(font);
  const bool across = IsHorizontal() ? (angle == 0 || angle == 180) : (angle == 90 || angle == 270);
  if (across) {
    return canvas.TextLineHeight();
  }
  return text.isEmpty() ? WidestValueLabel() : canvas.MeasureTextWidth(text);
}

int TCustomChartAxis::EdgeOf(const TRect& rect) const {
  switch (side_) {
    case Side::Left:
      return rect.Left;
    case Side::Top:
      return rect.Top;
    case Side::Bottom:
      return rect.Bottom;
    case Side::Right:
    case Side::Depth:
      return rect.Right;
  }
  return rect.Right;
}

void TCustomChartAxis::MoveEdgeInward(TRect& rect, int amount) const {
  switch (side_) {
    case Side::Left:
      rect.Left += amount;
      break;
    case Side::Top:
      rect.Top += amount;
      break;
    case Side::Bottom:
      rect.Bottom -= amount;
      break;
    case Side::Right:
    case Side::Depth:
      rect.Right -= amount;
      break;
  }
}

int TCustomChartAxis::ShiftedByPosition(int pos, const TRect& rect) const {
  if (positionPercent_ == 0) {
    return pos;
  }
  const int extent = IsHorizontal() ? rect.Height() : rect.Width();
  const int shift = static_cast<int>(RoundHalfEven(0.01 * positionPercent_ * extent));
  const bool inwardIsPositive = side_ == Side::Left || side_ == Side::Top;
  return inwardIsPositive ? pos + shift : pos - shift;
}

void TCustomChartAxis::ReserveSpace(TRect& rect, bool inflate) {
  const int tickBand = TickBand();
  if (!inflate) {
    // Extra axes take no room: they stand on the edge and put their text outside it.
    const int outward = side_ == Side::Left || side_ == Side::Top ? -1 : 1;
    AxisPos = ShiftedByPosition(EdgeOf(rect), rect);
    LabelsPos = AxisPos + outward * tickBand;
    const int labelsBand = labels_ ? TextBand(labelsFont_, labelsAngle_, labelsSize_, QString()) : 0;
    TitlePos = LabelsPos + outward * labelsBand;
    return;
  }
  if (!title_.Caption().isEmpty()) {
    MoveEdgeInward(rect, TextBand(title_.Font(), title_.Angle(), titleSize_, title_.Caption()));
    TitlePos = IsDepthAxis() ? rect.Right : EdgeOf(rect);
  }
  if (labels_) {
    MoveEdgeInward(rect, TextBand(labelsFont_, labelsAngle_, labelsSize_, QString()));
    LabelsPos = EdgeOf(rect);
  }
  const int t = tickBand;  // no walls take room in 2D
  if (t > 0) {
    MoveEdgeInward(rect, t);
  }
  TitlePos = ShiftedByPosition(TitlePos, rect);
  LabelsPos = ShiftedByPosition(LabelsPos, rect);
}

void TCustomChartAxis::ApplyMargins(const TSeriesMargins& margins) {
  const int a = IsHorizontal() ? margins.Left : margins.Top;
  const int b = IsHorizontal() ? margins.Right : margins.Bottom;
  const int oldStart = StartPixel;
  const int oldEnd = EndPixel;
  StartPixel += a;
  EndPixel -= b;
  AxisLength = EndPixel - StartPixel;
  const double lo = PixelToValue(oldStart);
  const double hi = PixelToValue(oldEnd);
  ComputePositions();
  RangeMin = std::min(lo, hi);
  RangeMax = std::max(lo, hi);
  RangeSize = RangeMax - RangeMin;
}

void TCustomChartAxis::DrawAxis(bool computePosition) {
  TChartCanvas3D& canvas = chart_->Canvas();
  canvas.UseFont(labelsFont_);
  const double inc = CurrentIncrement();
  if (computePosition) {
    AxisPos = ShiftedByPosition(EdgeOf(chart_->ChartRect()), chart_->ChartRect());
  }
  if (!title_.Caption().isEmpty()) {
    DrawTitle();
  }
  std::vector<int> ticks;
  ticks.reserve(64);
  if (inc > 0 && RangeMin <= RangeMax && ResolvedLabelStyle() == talValue) {
    bool defaultLabels = true;
    if (chart_->OnGetNextAxisLabel) {
      // The caller's values, until it stops or strays outside the range; a stop at the
      // very first call leaves the labels to the default loop.
      for (int index = 0; index < static_cast<int>(TickCapacity); ++index) {
        double value = 0;
        bool stop = false;
        chart_->OnGetNextAxisLabel(static_cast<const TChartAxis*>(this), index, value, stop);
        if (stop) {
          break;
        }
        defaultLabels = false;
        if (value < RangeMin - 1e-7 || value > RangeMax + 1e-7) {
          break;
        }
        DrawLabelAt(value, ticks);
      }
    }
    if (defaultLabels) {
      for (const double v : logarithmic_ ? LogLabels() : AxisLabelValues(RangeMin, RangeMax, inc, roundFirstLabel_)) {
        DrawLabelAt(v, ticks);
      }
    }
  }
  DrawLinesTicksAndGrid(ticks);
}

void TCustomChartAxis::DrawTitle() {
  TChartCanvas3D& canvas = chart_->Canvas();
  canvas.UseFont(title_.Font());
  canvas.SetBrushColor(chart_->Color());
  canvas.SetBrushStyle(bsClear);
  if (IsHorizontal()) {
    DrawAxisText(CenterPixel, TitlePos, title_.Angle(), title_.Caption());
  } else {
    DrawAxisText(TitlePos, CenterPixel, title_.Angle(), title_.Caption());
  }
}

void TCustomChartAxis::DrawLabelAt(double value, std::vector<int>& ticks) {
  const int p = ValueToPixel(value);
  // Labels, and the ticks and grid lines they bring, stay between the axis ends: on
  // them only while LabelsOnAxis.
  const int first = std::min(StartPixel, EndPixel);
  const int last = std::max(StartPixel, EndPixel);
  if (labelsOnAxis_ ? !(first <= p && p <= last) : !(first < p && p < last)) {
    return;
  }
  if (!tickOnLabelsOnly_) {
    Record(ticks, p);
  }
  if (!labels_) {
    return;
  }
  const QString text = FormatLabel(value);
  if (tickOnLabelsOnly_) {
    Record(ticks, p);
  }
  TChartCanvas3D& canvas = chart_->Canvas();
  canvas.UseFont(labelsFont_);
  canvas.SetBrushColor(chart_->Color());
  canvas.SetBrushStyle(bsClear);
  if (IsHorizontal()) {
    DrawAxisText(p, LabelsPos, labelsAngle_, text);
  } else {
    DrawAxisText(LabelsPos, p, labelsAngle_, text);
  }
}

void TCustomChartAxis::DrawTick(int p, int length, bool inner) {
  TChartCanvas3D& canvas = chart_->Canvas();
  // Outer ticks start one pixel outside the axis line, inner ones one pixel inside.
  const int outward = side_ == Side::Left || side_ == Side::Top ? -1 : 1;
  const int dir = inner ? -outward : outward;
  const int from = AxisPos + dir;
  const int to = from + dir * length;
  if (IsHorizontal()) {
    canvas.LineBetween(p, from, p, to);
  } else {
    canvas.LineBetween(from, p, to, p);
  }
}

void TCustomChartAxis::DrawGridLine(int p) {
  TChartCanvas3D& canvas = chart_->Canvas();
  const TRect& r = chart_->ChartRect();
  if (IsHorizontal()) {
    canvas.DrawVerticalLine(p, r.Top, r.Bottom);
  } else {
    canvas.DrawHorizontalLine(r.Left, r.Right, p);
  }
}

void TCustomChartAxis::DrawLinesTicksAndGrid(const std::vector<int>& ticks) {
  TChartCanvas3D& canvas = chart_->Canvas();
  if (axis_.Visible()) {
    canvas.UseChartPen(axis_);
    if (IsHorizontal()) {
      canvas.DrawHorizontalLine3D(StartPixel, EndPixel, AxisPos, 0);
    } else {
      canvas.DrawVerticalLine3D(AxisPos, StartPixel, EndPixel, 0);
    }
  }
  if (ticks_.Visible()) {
    canvas.UseChartPen(ticks_);
    for (const int p : ticks) {
      DrawTick(p, tickLength_, false);
    }
  }
  auto drawGrid = [&](TChartPen& pen, const std::vector<int>& positions, bool centred) {
    canvas.SetBrushStyle(bsClear);
    canvas.SetBackgroundMode(cbmTransparent);
    canvas.UseChartPen(pen);
    if (pen.Color() == platform::clDefault) {
      canvas.SetPenColor(platform::clGray);
    }
    for (std::size_t i = 0; i < positions.size(); ++i) {
      if (!centred) {
        DrawGridLine(positions[i]);
      } else if (i >= 1) {
        DrawGridLine(static_cast<int>(RoundHalfEven((positions[i] + positions[i - 1]) * 0.5)));
      }
    }
    canvas.SetBackgroundMode(cbmOpaque);
  };
  if (grid_.Visible()) {
    drawGrid(grid_, ticks, gridCentered_);
  }
  if (ticksInner_.Visible()) {
    canvas.UseChartPen(ticksInner_);
    for (const int p : ticks) {
      DrawTick(p, tickInnerLength_, true);
    }
  }
  if (ticks.empty() && !logarithmic_) {
    return;
  }
  std::vector<int> minor;
  for (const int q : logarithmic_ ? LogMinorTicks() : MinorTickPositions(ticks, minorTickCount_)) {
    if (StartPixel < q && q < EndPixel) {
      minor.push_back(q);
    }
  }
  if (minorTicks_.Visible()) {
    canvas.UseChartPen(minorTicks_);
    for (const int q : minor) {
      DrawTick(q, minorTickLength_, false);
    }
  }
  if (minorGrid_.Visible()) {
    drawGrid(minorGrid_, minor, false);
  }
}

bool TCustomChartAxis::Clicked(int x, int y) const {
  const int along = IsHorizontal() ? x : y;
  const int across = IsHorizontal() ? y : x;
  if (along < StartPixel || along > EndPixel) {
    return false;
  }
  // Labels lie outside the line; the band reaches 3 pixels past the line into the plot.
  const bool labelsBefore = side_ == Side::Left || side_ == Side::Top;
  return labelsBefore ? across >= LabelsPos && across <= AxisPos + 3 : across >= AxisPos - 3 && across <= LabelsPos;
}

void TCustomChartAxis::DrawAxisText(int x, int y, int angle, const QString& text) {
  // Labels have one line: no list to build for them.
  QVarLengthArray<QString, 1> lines;
  if (text.contains(u'\r')) {
    for (const QString& line : TextLines(text)) {
      lines.append(line);
    }
  } else if (!text.isEmpty()) {
    lines.append(text);
  }
  const int n = static_cast<int>(lines.size());
  if (n == 0) {
    return;
  }
  TChartCanvas3D& canvas = chart_->Canvas();
  const int h = canvas.TextLineHeight();
  const int half = h / 2;
  const bool vertical = !IsHorizontal();
  if (angle == 0 || angle == 180) {
    int flags = TA_CENTER | TA_TOP;
    int firstY = y;
    if (side_ == Side::Top) {
      flags = TA_CENTER | TA_BOTTOM;
      firstY = y - (n - 1) * h;
    } else if (vertical) {
      flags = (side_ == Side::Left ? TA_RIGHT : TA_LEFT) | TA_TOP;
      firstY = y - half - static_cast<int>(RoundHalfEven(h * (n + 1) / 2.0)) + h;
    }
    canvas.SetTextAlignment(flags);
    for (int k = 0; k < n; ++k) {
      canvas.DrawText3D(x, firstY + k * h, 0, lines[k]);
    }
  } else {
    // Rotated: on the left the text's bottom faces the plot, elsewhere its top does.
    const bool bottomFacesPlot = side_ == Side::Left;
    canvas.SetTextAlignment(TA_CENTER | (bottomFacesPlot ? TA_BOTTOM : TA_TOP));
    for (int k = 0; k < n; ++k) {
      const int offset = bottomFacesPlot ? -(n - 1 - k) * h : k * h;
      if (vertical) {
        canvas.DrawRotatedText3D(x + offset, y, 0, lines[k], angle);
      } else {
        canvas.DrawRotatedText3D(x, y + offset, 0, lines[k], angle);
      }
    }
  }
  canvas.SetTextAlignment(TA_LEFT | TA_TOP);
}

}  // namespace chart
