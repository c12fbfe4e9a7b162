#pragma once
// TChartSeries: what the chart and its axes know of a series. A series joins a chart,
// says which axes it uses and reports its value ranges, its point labels and the pixel
// margins it wants kept; storing and drawing its points belong to the series kinds.

#include <QString>

#include "chart/chart_types.h"

namespace chart {

class TChartAxis;
class TCustomChartAxis;
class TCustomAxisPanel;

enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };

// Pixel margins a series asks its axes to keep around its points.
struct TSeriesMargins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

class TChartSeries {
 public:
  TChartSeries() = default;
  TChartSeries(const TChartSeries&) = delete;
  TChartSeries& operator=(const TChartSeries&) = delete;
  virtual ~TChartSeries();

  bool Active() const { return active_; }
  void SetActive(bool active);

  THorizAxis HorizAxis() const { return horizAxis_; }
  void SetHorizAxis(THorizAxis axis);
  TVertAxis VertAxis() const { return vertAxis_; }
  void SetVertAxis(TVertAxis axis);

  // Joining a chart appends the series to its list (once) and resolves its axes; leaving
  // removes it. Either repaints the chart.
  TCustomAxisPanel* ParentChart() const { return parentChart_; }
  void SetParentChart(TCustomAxisPanel* chart);

  // The axis objects in use: the top axis for aTopAxis and the bottom one otherwise; the
  // right axis for aRightAxis and the left one otherwise. None without a chart.
  TChartAxis* GetHorizAxis() const { return horizAxisObject_; }
  TChartAxis* GetVertAxis() const { return vertAxisObject_; }

  // Whether the series draws against axes at all, and against this one.
  virtual bool UseAxis() const { return true; }
  bool AssociatedToAxis(const TCustomChartAxis& axis) const;

  virtual int Count() const = 0;
  virtual double MinXValue() const = 0;
  virtual double MaxXValue() const = 0;
  virtual double MinYValue() const = 0;
  virtual double MaxYValue() const = 0;
  // The y values are the mandatory ones (a horizontal series has mandatory x).
  virtual bool YMandatory() const { return true; }
  // The text of point i, empty when it has none.
  virtual QString PointLabel(int index) const = 0;
  virtual TSeriesMargins Margins() const { return {}; }

  // Asks the parent chart, if any, to repaint.
  void RepaintChart();

 protected:
  // A series joining a chart without a colour takes one; the series kinds decide.
  virtual void JoinedChart() {}

 private:
  void ResolveAxes();

  bool active_ = true;
  THorizAxis horizAxis_ = aBottomAxis;
  TVertAxis vertAxis_ = aLeftAxis;
  TCustomAxisPanel* parentChart_ = nullptr;
  TChartAxis* horizAxisObject_ = nullptr;
  TChartAxis* vertAxisObject_ = nullptr;
};

}  // namespace chart
