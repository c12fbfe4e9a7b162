// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// TCustomAxisPanel: the chart layer that owns the series list and the axes, lays the axes
// out and draws them, and fixes the order in which a paint draws everything.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "chart/chart_axis.h"
#include "chart/chart_panel.h"
#include "chart/chart_series.h"

namespace chart {

class TCustomAxisPanel : public TCustomChartPanelExtended {
  Q_OBJECT

 public:
  explicit TCustomAxisPanel(QWidget* parent = nullptr);
  ~TCustomAxisPanel() override;

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

  // The five axes, and all of them in creation order: bottom, top, left, right, depth.
  TChartAxis& BottomAxis() { return *bottomAxis_; }
  TChartAxis& TopAxis() { return *topAxis_; }
  TChartAxis& LeftAxis() { return *leftAxis_; }
  TChartAxis& RightAxis() { return *rightAxis_; }
  TChartDepthAxis& DepthAxis() { return *depthAxis_; }
  const std::vector<TCustomChartAxis*>& Axes() const { return axes_; }

  // The series in the order they joined; later ones are drawn over earlier ones.
  const std::vector<TChartSeries*>& SeriesList() const { return seriesList_; }
  void AddSeries(TChartSeries* series);
  void RemoveSeries(TChartSeries* series);
  // Moves a series of the chart to `position` in the list (to the end when beyond it), and
  // so under or over the others.
  void MoveSeries(TChartSeries* series, std::size_t position);

  // The smallest or largest value along x or y of the series bound to the axis; 0 when
  // none has a point.
  double SeriesExtreme(const TCustomChartAxis& axis, bool wantMinimum, bool alongX) const;
  // Hidden with the axes switched off; the depth axis in 3D only; a side axis when some
  // series draws against it, or when no series draws against any axis.
  bool AxisShown(const TCustomChartAxis& axis) const;

  // A colour a series joining the chart may take: used by no series and not the chart's.
  virtual bool IsFreeSeriesColor(TColor color) const;

  // The separators of the value labels; the regional ones unless set.
  const QString& LabelDecimalSeparator() const { return decimalSeparator_; }
  const QString& LabelGroupSeparator() const { return groupSeparator_; }
  void SetLabelSeparators(const QString& decimal, const QString& group);

  // Axes are drawn before the series, so traces lie over grid lines and axis lines.
  static constexpr bool AxesBehindSeries = true;

  std::function<void()> OnBeforeDrawAxes;
  std::function<void()> OnBeforeDrawSeries;
  std::function<void()> OnAfterDraw;
  // May rewrite a label: (axis, series or null, point index or -1, text).
  std::function<void(const TChartAxis*, const TChartSeries*, int, QString&)> OnGetAxisLabel;
  // Replaces the label loop: (axis, label index, value, stop).
  std::function<void(const TChartAxis*, int, double&, bool&)> OnGetNextAxisLabel;
  // The widest label is measured without the label hook.
  void SuspendAxisLabelHook(bool suspended) { labelHookSuspended_ = suspended; }
  bool AxisLabelHookSuspended() const { return labelHookSuspended_; }

 protected:
  // The fixed drawing order of one paint.
  void DrawContents(const TRect& bounds) override;

  virtual void DrawTitlesAndLegend() = 0;
  virtual void DrawWalls() = 0;
  // Each shown axis takes its room from ChartRect, then fixes its pixel positions.
  virtual void LayOutAxes();
  // The series' margins widen the automatic ends of the axes they use.
  virtual void ApplySeriesMargins();
  virtual void DrawAxes();
  // Each active series in list order, clipped to ChartRect, later ones over earlier ones.
  virtual void DrawSeries();
  // Over the series: the legend, when one is shown.
  virtual void DrawLegend() {}
  // The rectangle of a mouse zoom being dragged.
  virtual void DrawZoomRectangle() {}
  // New values move the series, and the grid and labels of the axes whose range they
  // move: the plot, and below (above) it the band of a bottom (top) axis that moved. None
  // when a side axis moved, the plot's rectangle changed, or a hook may draw anything.
  std::optional<TRect> ChangedArea() override;
  TRect DataArea() const override;

 private:
  // What places every pixel outside the plot: the rectangle the titles leave, the plot's,
  // and each axis' range and pixels, as the last frame laid them out.
  struct AxisPlace {
    bool shown = false;
    double rangeMin = 0, rangeMax = 0;
    int startPixel = 0, endPixel = 0, labelsPos = 0, titlePos = 0;
    friend bool operator==(const AxisPlace&, const AxisPlace&) = default;
  };
  struct Layout {
    TRect afterTitles, chart;
    std::vector<AxisPlace> axes;
  };
  Layout CurrentLayout(const TRect& afterTitles) const;
  // The plot, widened to the chart's edges below it for the bottom axis and above it for the top.
  TRect PlotWithBands(const TRect& chart, bool bottom, bool top) const;
  std::optional<Layout> layout_;
  std::optional<Layout> laidOut_;  // by ChangedArea, for the frame it starts

  bool axisVisible_ = true;
  bool clipPoints_ = true;
  bool view3DWalls_ = true;
  int maxPointsPerPage_ = 0;
  int page_ = 1;
  bool scaleLastPage_ = true;
  std::vector<TChartSeries*> seriesList_;
  std::unique_ptr<TChartAxis> bottomAxis_;
  std::unique_ptr<TChartAxis> topAxis_;
  std::unique_ptr<TChartAxis> leftAxis_;
  std::unique_ptr<TChartAxis> rightAxis_;
  std::unique_ptr<TChartDepthAxis> depthAxis_;
  std::vector<TCustomChartAxis*> axes_;
  QString decimalSeparator_;
  QString groupSeparator_;
  bool labelHookSuspended_ = false;
};

}  // namespace chart
