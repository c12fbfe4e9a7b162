// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// TCustomChart: the titles, the walls and the legend on top of the axis panel.
// TChart: the control the main window holds.

#include <memory>
#include <vector>

#include "chart/axis_panel.h"
#include "chart/chart_parts.h"
#include "chart/zoom_scroll.h"

namespace chart {

class TCustomChart : public TCustomAxisPanel {
  Q_OBJECT

 public:
  explicit TCustomChart(QWidget* parent = nullptr);

  TChartTitle& Title() { return title_; }
  TChartTitle& Foot() { return foot_; }
  TChartWall& BackWall() { return backWall_; }
  TChartWall& LeftWall() { return leftWall_; }
  TChartWall& BottomWall() { return bottomWall_; }
  TChartLegend& Legend() { return legend_; }

  // Stands for the back wall's colour. Set on a chart already in a window and not being
  // loaded, it also makes the back wall's brush solid, so the plotting area takes it.
  TColor BackColor() const { return backWall_.Color(); }
  void SetBackColor(TColor color);
  // Nor the back colour.
  bool IsFreeSeriesColor(TColor color) const override;

  // Stands for the back wall's pen.
  TChartPen& Frame() { return backWall_.Pen(); }

  // Where the legend lies over the plot, as the plot was last laid out; empty while it is
  // hidden or lists nothing.
  TRect LegendRect();

  // --- the mouse ---
  // Zooms the four side axes to the rubber band's rectangle.
  virtual void ZoomToRectangle();
  // Gives back the axes as they were before the first zoom or scroll.
  virtual void UndoZoom();
  bool Zoomed() const { return zoomScroll_->Zoomed(); }
  TChartZoomScroll& ZoomScroll() { return *zoomScroll_; }

  // Set before a click handler runs; a handler that leaves it set claims the press, and
  // no zoom or scroll starts.
  bool CancelMouse = false;
  std::function<void(TChartSeries&, int, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnClickSeries;
  std::function<void(TCustomChartAxis&, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnClickAxis;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnClickBackground;
  std::function<void()> OnZoom;
  std::function<void()> OnUndoZoom;
  std::function<void()> OnScroll;
  // May change or veto an axis' new range while scrolling: (axis, minimum, maximum, allow).
  std::function<void(TCustomChartAxis&, double&, double&, bool&)> OnAllowScroll;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // While a zoom is being dragged every paint ends with its rubber band.
  void DrawZoomRectangle() override;
  void DrawTitlesAndLegend() override;
  void DrawLegend() override;
  // The active series with a title and ShowInLegend, in list order; none while it is hidden.
  std::vector<const TChartSeries*> LegendSeries() const;
  // A title at the top of ChartRect or the foot at its bottom; ChartRect gives up its room.
  void DrawTitle(TChartTitle& title, bool atTop);
  void DrawWalls() override;
  void PrepareWall(TChartWall& wall);

 private:
  TChartTitle title_;
  TChartTitle foot_;
  TChartWall backWall_;
  TChartWall leftWall_{0x80FFFF};
  TChartWall bottomWall_{platform::clWhite};
  TChartLegend legend_;
  std::unique_ptr<TChartZoomScroll> zoomScroll_;
  int wheelDelta_ = 0;  // eighths of a degree not yet making a notch
};

class TChart : public TCustomChart {
  Q_OBJECT

 public:
  explicit TChart(QWidget* parent = nullptr);
};

}  // namespace chart
