#pragma once
// TCustomChart: the titles, the walls and the legend on top of the axis panel.
// TChart: the control the main window holds.

#include "chart/axis_panel.h"
#include "chart/chart_parts.h"

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

 protected:
  void DrawTitlesAndLegend() override;
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
};

class TChart : public TCustomChart {
  Q_OBJECT

 public:
  explicit TChart(QWidget* parent = nullptr);
};

}  // namespace chart
