#pragma once
// TCustomAxisPanel: the chart layer that owns the series and the axes and fixes the order
// in which a paint draws everything.

#include <functional>

#include "chart/chart_panel.h"

namespace chart {

class TCustomAxisPanel : public TCustomChartPanelExtended {
  Q_OBJECT

 public:
  explicit TCustomAxisPanel(QWidget* parent = nullptr);

  bool AxisVisible() const { return axisVisible_; }
  void SetAxisVisible(bool visible);
  bool ClipPoints() const { return clipPoints_; }
  void SetClipPoints(bool clip);
  bool View3DWalls() const { return view3DWalls_; }
  void SetView3DWalls(bool walls);
  int MaxPointsPerPage() const { return maxPointsPerPage_; }
  void SetMaxPointsPerPage(int points);
  int Page() const { return page_; }
  void SetPage(int page);
  bool ScaleLastPage() const { return scaleLastPage_; }
  void SetScaleLastPage(bool scale);

  // Axes are drawn before the series, so traces lie over grid lines and axis lines.
  static constexpr bool AxesBehindSeries = true;

  std::function<void()> OnBeforeDrawAxes;
  std::function<void()> OnBeforeDrawSeries;
  std::function<void()> OnAfterDraw;

 protected:
  // The fixed drawing order of one paint.
  void DrawContents(const TRect& bounds) override;

  virtual void DrawTitlesAndLegend() = 0;
  virtual void DrawWalls() = 0;
  // Each axis takes its room from ChartRect and fixes its pixel positions.
  virtual void LayOutAxes() {}
  // The series' margins widen the automatic ends of the axes they use.
  virtual void ApplySeriesMargins() {}
  virtual void DrawAxes();
  // Each active series in list order, clipped to ChartRect.
  virtual void DrawSeries() {}
  // The rectangle of a mouse zoom being dragged.
  virtual void DrawZoomRectangle() {}

 private:
  bool axisVisible_ = true;
  bool clipPoints_ = true;
  bool view3DWalls_ = true;
  int maxPointsPerPage_ = 0;
  int page_ = 1;
  bool scaleLastPage_ = true;
};

}  // namespace chart
