// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_series.h"

#include "chart/axis_panel.h"

namespace chart {

TChartSeries::TChartSeries() {
  const auto repaint = [this] { RepaintChart(); };
  XValues.OnMultiplierChanged = repaint;
  YValues.OnMultiplierChanged = repaint;
}

TChartSeries::~TChartSeries() { SetParentChart(nullptr); }

void TChartSeries::SetActive(bool active) {
  if (StoreIfChanged(active_, active)) {
    RepaintChart();
  }
}

void TChartSeries::SetSeriesColor(TColor color) {
  if (StoreIfChanged(seriesColor_, color)) {
    RepaintChart();
  }
}

void TChartSeries::SetColorEachPoint(bool each) {
  if (StoreIfChanged(colorEachPoint_, each)) {
    RepaintChart();
  }
}

void TChartSeries::SetHorizAxis(THorizAxis axis) {
  if (StoreIfChanged(horizAxis_, axis)) {
    ResolveAxes();
    RepaintChart();
  }
}

void TChartSeries::SetVertAxis(TVertAxis axis) {
  if (StoreIfChanged(vertAxis_, axis)) {
    ResolveAxes();
    RepaintChart();
  }
}

TColor TChartSeries::FreeSeriesColor() const {
  for (const TColor color : SeriesPalette) {
    if (parentChart_->IsFreeSeriesColor(color)) {
      return color;
    }
  }
  return SeriesPalette[0];
}

void TChartSeries::SetParentChart(TCustomAxisPanel* chart) {
  if (chart == parentChart_) {
    return;
  }
  if (parentChart_ != nullptr) {
    parentChart_->RemoveSeries(this);
    parentChart_->Invalidate();
  }
  parentChart_ = chart;
  if (parentChart_ != nullptr) {
    if (seriesColor_ == platform::clDefault) {
      seriesColor_ = FreeSeriesColor();
    }
    parentChart_->AddSeries(this);
  }
  ResolveAxes();
  RepaintChart();
}

void TChartSeries::ResolveAxes() {
  if (parentChart_ == nullptr) {
    horizAxisObject_ = nullptr;
    vertAxisObject_ = nullptr;
    return;
  }
  horizAxisObject_ = horizAxis_ == aTopAxis ? &parentChart_->TopAxis() : &parentChart_->BottomAxis();
  vertAxisObject_ = vertAxis_ == aRightAxis ? &parentChart_->RightAxis() : &parentChart_->LeftAxis();
}

bool TChartSeries::AssociatedToAxis(const TCustomChartAxis& axis) const {
  return UseAxis() && (horizAxisObject_ == &axis || vertAxisObject_ == &axis ||
                       (horizAxis_ == aBothHorizAxis && axis.IsHorizontal()) ||
                       (vertAxis_ == aBothVertAxis && !axis.IsHorizontal() && !axis.IsDepthAxis()));
}

int TChartSeries::AddXY(double x, double y, const QString& label, TColor color) {
  return AddPoint(x, y, color, label.isEmpty() ? nullptr : &label);
}

int TChartSeries::AddXY(double x, double y, TColor color) { return AddPoint(x, y, color, nullptr); }

int TChartSeries::AddPoint(double x, double y, TColor color, const QString* label) {
  XValues.TempValue = x;
  YValues.TempValue = y;
  if (OnBeforeAdd && !OnBeforeAdd(*this)) {
    return -1;
  }
  const int i = XValues.AddValue(XValues.TempValue);
  YValues.InsertValue(i, YValues.TempValue);
  colors_.Emplace(i, color);
  if (label == nullptr) {
    labels_.Emplace(i);
  } else {
    labels_.Emplace(i, *label);
  }
  if (OnAfterAdd) {
    OnAfterAdd(*this, i);
  }
  if (active_) {
    RepaintValues();
  }
  return i;
}

void TChartSeries::Clear() {
  // Nothing of the last paint's range is left to draw or to hit.
  FirstVisible = -1;
  LastVisible = -1;
  XValues.ClearValues();
  YValues.ClearValues();
  colors_.Clear();
  labels_.Clear();
  if (OnClearValues) {
    OnClearValues(*this);
  }
  if (active_) {
    RepaintValues();
  }
}

QString TChartSeries::PointLabel(int index) const {
  if (index < 0 || index >= labels_.Count()) {
    return {};
  }
  return labels_[index].value_or(QString());
}

int TChartSeries::PointX(int index) const { return horizAxisObject_->ValueToPixel(XValues.ValueAt(index)); }

int TChartSeries::PointY(int index) const { return vertAxisObject_->ValueToPixel(YValues.ValueAt(index)); }

void TChartSeries::FindVisibleRange() {
  FirstVisible = -1;
  LastVisible = -1;
  const int count = Count();
  if (count == 0) {
    return;
  }
  if (!CalcVisiblePoints || XValues.Order == loNone || horizAxisObject_ == nullptr) {
    FirstVisible = 0;
    LastVisible = count - 1;
    return;
  }
  const TRect& r = parentChart_->ChartRect();
  const bool inverted = horizAxisObject_->Inverted();
  const double low = horizAxisObject_->PixelToValue(inverted ? r.Right : r.Left);
  int i = 0;
  while (i < count && XValues.ValueAt(i) < low) {
    ++i;
  }
  if (i == count) {
    return;
  }
  FirstVisible = i;
  const double high = horizAxisObject_->PixelToValue(inverted ? r.Left : r.Right);
  if (XValues.ValueAt(count - 1) <= high) {
    LastVisible = count - 1;
    return;
  }
  // The first point beyond the edge is kept: the segment leaving the rectangle is drawn
  // and then clipped.
  int j = FirstVisible;
  while (j < count - 1 && XValues.ValueAt(j) < high) {
    ++j;
  }
  LastVisible = j;
}

int TChartSeries::Clicked(int /*x*/, int /*y*/) const { return -1; }

void TChartSeries::DrawAllPoints() {
  for (int i = FirstVisible; i <= LastVisible && i >= 0; ++i) {
    DrawPoint(i);
  }
}

void TChartSeries::RepaintChart() {
  if (parentChart_ != nullptr) {
    parentChart_->Invalidate();
  }
}

void TChartSeries::RepaintValues() {
  if (parentChart_ != nullptr) {
    parentChart_->InvalidateData();
  }
}

}  // namespace chart
