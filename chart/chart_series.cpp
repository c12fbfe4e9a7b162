#include "chart/chart_series.h"

#include "chart/axis_panel.h"

namespace chart {

TChartSeries::~TChartSeries() {
  if (parentChart_ != nullptr) {
    parentChart_->RemoveSeries(this);
    parentChart_->Invalidate();
  }
}

void TChartSeries::SetActive(bool active) {
  if (active != active_) {
    active_ = active;
    if (parentChart_ != nullptr) {
      parentChart_->Invalidate();
    }
  }
}

void TChartSeries::SetHorizAxis(THorizAxis axis) {
  if (axis != horizAxis_) {
    horizAxis_ = axis;
    ResolveAxes();
    RepaintChart();
  }
}

void TChartSeries::SetVertAxis(TVertAxis axis) {
  if (axis != vertAxis_) {
    vertAxis_ = axis;
    ResolveAxes();
    RepaintChart();
  }
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
    JoinedChart();
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

void TChartSeries::RepaintChart() {
  if (parentChart_ != nullptr) {
    parentChart_->Invalidate();
  }
}

}  // namespace chart
