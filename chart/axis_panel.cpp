// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/axis_panel.h"

#include <QLocale>
#include <algorithm>

namespace chart {

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent)
    : TCustomChartPanelExtended(parent),
      bottomAxis_(std::make_unique<TChartAxis>(this, TCustomChartAxis::Side::Bottom)),
      topAxis_(std::make_unique<TChartAxis>(this, TCustomChartAxis::Side::Top)),
      leftAxis_(std::make_unique<TChartAxis>(this, TCustomChartAxis::Side::Left)),
      rightAxis_(std::make_unique<TChartAxis>(this, TCustomChartAxis::Side::Right)),
      depthAxis_(std::make_unique<TChartDepthAxis>(this)),
      axes_{bottomAxis_.get(), topAxis_.get(), leftAxis_.get(), rightAxis_.get(), depthAxis_.get()} {
  const QLocale locale = QLocale::system();
  decimalSeparator_ = locale.decimalPoint();
  groupSeparator_ = locale.groupSeparator();
}

TCustomAxisPanel::~TCustomAxisPanel() {
  // Series outlive nothing of the chart: let them forget it.
  for (TChartSeries* series : std::vector<TChartSeries*>(seriesList_)) {
    series->SetParentChart(nullptr);
  }
}

void TCustomAxisPanel::SetAxisVisible(bool visible) { SetAndInvalidate(axisVisible_, visible); }
void TCustomAxisPanel::SetClipPoints(bool clip) { SetAndInvalidate(clipPoints_, clip); }
void TCustomAxisPanel::SetView3DWalls(bool walls) { SetAndInvalidate(view3DWalls_, walls); }
void TCustomAxisPanel::SetMaxPointsPerPage(int points) { SetAndInvalidate(maxPointsPerPage_, points); }
void TCustomAxisPanel::SetPage(int page) { SetAndInvalidate(page_, page); }
void TCustomAxisPanel::SetScaleLastPage(bool scale) { SetAndInvalidate(scaleLastPage_, scale); }

void TCustomAxisPanel::SetLabelSeparators(const QString& decimal, const QString& group) {
  if (decimal != decimalSeparator_ || group != groupSeparator_) {
    decimalSeparator_ = decimal;
    groupSeparator_ = group;
    Invalidate();
  }
}

void TCustomAxisPanel::AddSeries(TChartSeries* series) {
  if (std::find(seriesList_.begin(), seriesList_.end(), series) == seriesList_.end()) {
    seriesList_.push_back(series);
  }
}

void TCustomAxisPanel::RemoveSeries(TChartSeries* series) { std::erase(seriesList_, series); }

void TCustomAxisPanel::MoveSeries(TChartSeries* series, std::size_t position) {
  const auto at = std::find(seriesList_.begin(), seriesList_.end(), series);
  if (at == seriesList_.end()) {
    return;
  }
  seriesList_.erase(at);
  seriesList_.insert(seriesList_.begin() + static_cast<std::ptrdiff_t>(std::min(position, seriesList_.size())),
                     series);
  Invalidate();
}

double TCustomAxisPanel::SeriesExtreme(const TCustomChartAxis& axis, bool wantMinimum, bool alongX) const {
  const bool anyActiveUses = std::any_of(seriesList_.begin(), seriesList_.end(), [&](const TChartSeries* s) {
    return s->Active() && s->AssociatedToAxis(axis);
  });
  const auto bound = [&](const TChartSeries* s) {
    return alongX ? (s->GetHorizAxis() == &axis || s->HorizAxis() == aBothHorizAxis)
                  : (s->GetVertAxis() == &axis || s->VertAxis() == aBothVertAxis);
  };
  const auto counted = [&](const TChartSeries* s) {
    return (s->Active() || !anyActiveUses) && s->Count() > 0 && bound(s);
  };
  // Series that leave the axes alone still give them a range while no other series has a point.
  const bool othersHavePoints = std::any_of(seriesList_.begin(), seriesList_.end(), [&](const TChartSeries* s) {
    return s->ScalesAxes && counted(s);
  });
  double result = 0;
  bool taken = false;
  for (const TChartSeries* s : seriesList_) {
    if (!counted(s) || (!s->ScalesAxes && othersHavePoints)) {
      continue;
    }
    const double v = alongX ? (wantMinimum ? s->MinXValue() : s->MaxXValue())
                            : (wantMinimum ? s->MinYValue() : s->MaxYValue());
    if (!taken || (wantMinimum ? v < result : v > result)) {
      result = v;
      taken = true;
    }
  }
  return result;
}

bool TCustomAxisPanel::AxisShown(const TCustomChartAxis& axis) const {
  if (!axisVisible_ || !axis.Visible()) {
    return false;
  }
  if (axis.IsDepthAxis()) {
    return View3D();
  }
  bool anyDrawsAgainstAxes = false;
  for (const TChartSeries* s : seriesList_) {
    if (s->Active() && s->UseAxis()) {
      if (s->AssociatedToAxis(axis)) {
        return true;
      }
      anyDrawsAgainstAxes = true;
    }
  }
  return !anyDrawsAgainstAxes;
}

void TCustomAxisPanel::LayOutAxes() {
  for (TCustomChartAxis* axis : axes_) {
    axis->ComputeRange();
  }
  RecalcChartRect();
  TRect r = ChartRect();
  for (std::size_t i = 0; i < axes_.size(); ++i) {
    if (!AxisShown(*axes_[i])) {
      continue;
    }
    TRect r2 = r;
    axes_[i]->ReserveSpace(r2, i < 5);
    // An axis whose room would leave nothing is ignored.
    const TRect both{std::max(r.Left, r2.Left), std::max(r.Top, r2.Top), std::min(r.Right, r2.Right),
                     std::min(r.Bottom, r2.Bottom)};
    if (both.Left < both.Right && both.Top < both.Bottom) {
      r = both;
    }
  }
  SetChartRect(r);
  RecalcChartRect();
  for (TCustomChartAxis* axis : axes_) {
    axis->ComputePositions();
  }
}

void TCustomAxisPanel::ApplySeriesMargins() {
  for (TChartAxis* axis : {topAxis_.get(), leftAxis_.get(), rightAxis_.get(), bottomAxis_.get()}) {
    TSeriesMargins m;
    for (const TChartSeries* s : seriesList_) {
      if (!s->Active() || !s->AssociatedToAxis(*axis)) {
        continue;
      }
      const TSeriesMargins wanted = s->Margins();
      if (axis->IsHorizontal()) {
        if (axis->AutomaticMinimum()) m.Left = std::max(m.Left, wanted.Left);
        if (axis->AutomaticMaximum()) m.Right = std::max(m.Right, wanted.Right);
      } else {
        if (axis->AutomaticMaximum()) m.Top = std::max(m.Top, wanted.Top);
        if (axis->AutomaticMinimum()) m.Bottom = std::max(m.Bottom, wanted.Bottom);
      }
    }
    axis->ApplyMargins(m);
  }
}

bool TCustomAxisPanel::IsFreeSeriesColor(TColor color) const {
  return color != Color() && std::none_of(seriesList_.begin(), seriesList_.end(), [color](const TChartSeries* s) {
           return s->SeriesColor() == color;
         });
}

void TCustomAxisPanel::DrawSeries() {
  TChartCanvas3D& canvas = Canvas();
  for (TChartSeries* series : seriesList_) {
    if (!series->Active()) {
      continue;
    }
    series->FindVisibleRange();
    if (series->FirstVisible == -1) {
      continue;
    }
    if (series->BeforeDrawValues) {
      series->BeforeDrawValues(*series);
    }
    if (clipPoints_) {
      canvas.ClipToCube(ChartRect(), 0, 0);
    }
    series->DrawAllPoints();
    canvas.RemoveClip();
    // Marks are never shown on this chart.
    if (series->AfterDrawValues) {
      series->AfterDrawValues(*series);
    }
  }
}

void TCustomAxisPanel::DrawAxes() {
  if (OnBeforeDrawAxes) {
    OnBeforeDrawAxes();
  }
  for (TCustomChartAxis* axis : axes_) {
    if (AxisShown(*axis)) {
      axis->DrawAxis(true);
    }
  }
}

TCustomAxisPanel::Layout TCustomAxisPanel::CurrentLayout(const TRect& afterTitles) const {
  Layout layout{afterTitles, ChartRect(), {}};
  for (const TCustomChartAxis* axis : axes_) {
    layout.axes.push_back(AxisPlace{AxisShown(*axis), axis->RangeMin, axis->RangeMax, axis->StartPixel,
                                    axis->EndPixel, axis->LabelsPos, axis->TitlePos});
  }
  return layout;
}

TRect TCustomAxisPanel::PlotWithBands(const TRect& chart, bool bottom, bool top) const {
  const TRect& bounds = ChartBounds();
  if (!bottom && !top) {
    return chart;
  }
  return TRect{bounds.Left, top ? bounds.Top : chart.Top, bounds.Right, bottom ? bounds.Bottom : chart.Bottom};
}

std::optional<TRect> TCustomAxisPanel::ChangedArea() {
  const bool hooked = OnBeforeDrawAxes || OnBeforeDrawSeries || OnAfterDraw || OnGetNextAxisLabel ||
                      std::any_of(seriesList_.begin(), seriesList_.end(), [](const TChartSeries* s) {
                        return s->BeforeDrawValues || s->AfterDrawValues;
                      });
  if (!layout_ || !clipPoints_ || hooked) {
    return std::nullopt;
  }
  // The titles take the same room as last time: only values changed.
  SetChartRect(layout_->afterTitles);
  LayOutAxes();
  ApplySeriesMargins();
  const Layout now = CurrentLayout(layout_->afterTitles);
  laidOut_ = now;
  if (now.chart != layout_->chart) {
    return std::nullopt;
  }
  bool bottom = false;
  bool top = false;
  for (std::size_t i = 0; i < axes_.size(); ++i) {
    if (now.axes[i] == layout_->axes[i]) {
      continue;
    }
    const TCustomChartAxis::Side side = axes_[i]->AxisSide();
    if (side == TCustomChartAxis::Side::Bottom) {
      bottom = true;
    } else if (side == TCustomChartAxis::Side::Top) {
      top = true;
    } else {
      return std::nullopt;
    }
  }
  return PlotWithBands(now.chart, bottom, top);
}

TRect TCustomAxisPanel::DataArea() const {
  if (!layout_) {
    return TCustomChartPanelExtended::DataArea();
  }
  return PlotWithBands(layout_->chart, AxisShown(*bottomAxis_), AxisShown(*topAxis_));
}

void TCustomAxisPanel::DrawContents(const TRect& bounds) {
  PaintPanel(bounds);
  // A line series has no step before the chart, and in 2D every series has depth 0.
  DrawTitlesAndLegend();
  const TRect afterTitles = ChartRect();
  // ChangedArea laid the axes out from the same room already: the axes still hold it.
  if (laidOut_ && laidOut_->afterTitles == afterTitles) {
    SetChartRect(laidOut_->chart);
    RecalcChartRect();
  } else {
    LayOutAxes();
    ApplySeriesMargins();
  }
  laidOut_.reset();
  layout_ = CurrentLayout(afterTitles);
  // The projection is the identity in 2D.
  DrawWalls();
  if (axisVisible_ && AxesBehindSeries) {
    DrawAxes();
  }
  if (OnBeforeDrawSeries) {
    OnBeforeDrawSeries();
  }
  DrawSeries();
  if (axisVisible_ && !AxesBehindSeries) {
    DrawAxes();
  }
  DrawLegend();
  DrawZoomRectangle();
  Canvas().ResetDrawingState();
  if (OnAfterDraw) {
    OnAfterDraw();
  }
}

}  // namespace chart
