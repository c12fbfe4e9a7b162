#include "chart/axis_panel.h"

namespace chart {

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent) : TCustomChartPanelExtended(parent) {}

void TCustomAxisPanel::SetAxisVisible(bool visible) { SetAndInvalidate(axisVisible_, visible); }
void TCustomAxisPanel::SetClipPoints(bool clip) { SetAndInvalidate(clipPoints_, clip); }
void TCustomAxisPanel::SetView3DWalls(bool walls) { SetAndInvalidate(view3DWalls_, walls); }
void TCustomAxisPanel::SetMaxPointsPerPage(int points) { SetAndInvalidate(maxPointsPerPage_, points); }
void TCustomAxisPanel::SetPage(int page) { SetAndInvalidate(page_, page); }
void TCustomAxisPanel::SetScaleLastPage(bool scale) { SetAndInvalidate(scaleLastPage_, scale); }

void TCustomAxisPanel::DrawAxes() {
  if (OnBeforeDrawAxes) {
    OnBeforeDrawAxes();
  }
}

void TCustomAxisPanel::DrawContents(const TRect& bounds) {
  PaintPanel(bounds);
  // A line series has no step before the chart, and in 2D every series has depth 0.
  DrawTitlesAndLegend();
  LayOutAxes();
  ApplySeriesMargins();
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
  DrawZoomRectangle();
  Canvas().ResetDrawingState();
  if (OnAfterDraw) {
    OnAfterDraw();
  }
}

}  // namespace chart
