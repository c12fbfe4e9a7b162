// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// TChartSeries: a chart's series of points. It keeps one value list per dimension (x
// ascending, y as added), a colour and an optional label per point, joins a chart, says
// which axes it draws against, and reports its ranges and the pixel margins it wants.
// Every change only asks the chart to repaint; the series kinds draw.

#include <QString>
#include <Qt>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "chart/chart_types.h"
#include "chart/value_list.h"

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

// The colours a series takes by index when it has none of its own.
inline constexpr std::array<TColor, 16> SeriesPalette = {
    0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0xFFFFFF, 0x808080, 0xFF00FF, 0x808000,
    0x800000, 0x000080, 0x00FF00, 0x008080, 0x800080, 0xC0C0C0, 0xFFFF00, 0x000000};

// Per-point texts; never drawn on this chart.
struct TSeriesMarks {
  int ArrowLength = 8;
  bool Visible = false;
};

class TChartSeries {
 public:
  TChartSeries();
  TChartSeries(const TChartSeries&) = delete;
  TChartSeries& operator=(const TChartSeries&) = delete;
  virtual ~TChartSeries();

  bool Active() const { return active_; }
  void SetActive(bool active);
  TColor SeriesColor() const { return seriesColor_; }
  void SetSeriesColor(TColor color);
  // Points stored with clDefault take the palette colour of their index.
  bool ColorEachPoint() const { return colorEachPoint_; }
  void SetColorEachPoint(bool each);
  TSeriesMarks& Marks() { return marks_; }
  // Shown while the pointer is over the series.
  Qt::CursorShape Cursor = Qt::ArrowCursor;
  QString Title;
  bool ShowInLegend = true;
  // False: the automatic axes follow the other series, and this one is drawn wherever they
  // put it (a kept trace beside the live ones); only while none of them has a point, this one
  // gives the range.
  bool ScalesAxes = true;

  THorizAxis HorizAxis() const { return horizAxis_; }
  void SetHorizAxis(THorizAxis axis);
  TVertAxis VertAxis() const { return vertAxis_; }
  void SetVertAxis(TVertAxis axis);

  // Joining a chart appends the series to its list (once), gives a series without a
  // colour the first palette colour nobody on the chart uses, and resolves its axes;
  // leaving removes it. Either repaints the chart.
  TCustomAxisPanel* ParentChart() const { return parentChart_; }
  void SetParentChart(TCustomAxisPanel* chart);

  // The axis objects in use: the top axis for aTopAxis and the bottom one otherwise; the
  // right axis for aRightAxis and the left one otherwise. None without a chart.
  TChartAxis* GetHorizAxis() const { return horizAxisObject_; }
  TChartAxis* GetVertAxis() const { return vertAxisObject_; }
  // Whether the series draws against axes at all, and against this one.
  virtual bool UseAxis() const { return true; }
  bool AssociatedToAxis(const TCustomChartAxis& axis) const;

  // --- points ---
  TChartValueList XValues{"X", loAscending};
  TChartValueList YValues{"Y", loNone};
  // Adds a point keeping x ascending; returns the index it now stands at, or -1 when
  // OnBeforeAdd refused it.
  int AddXY(double x, double y, const QString& label, TColor color);
  // The same with an empty label, without a string to pass.
  int AddXY(double x, double y, TColor color);
  // Removes every point; the lists' capacities are 0 again.
  void Clear();
  int Count() const { return XValues.Count(); }
  // The point's own colour; clDefault takes the palette (ColorEachPoint) or SeriesColor.
  TColor PointColor(int index) const {
    if (index >= 0 && index < colors_.Count()) {
      const TColor color = colors_[index];
      if (color != platform::clDefault) {
        return color;
      }
      if (colorEachPoint_) {
        return SeriesPalette[static_cast<std::size_t>(index) % SeriesPalette.size()];
      }
    }
    return seriesColor_;
  }
  // The colours as stored, clDefault included, one per point added: for drawing many at once.
  const TColor* StoredColors() const { return colors_.Data(); }
  int StoredColorCount() const { return colors_.Count(); }
  QString PointLabel(int index) const;
  double MinXValue() const { return XValues.MinValue(); }
  double MaxXValue() const { return XValues.MaxValue(); }
  double MinYValue() const { return YValues.MinValue(); }
  double MaxYValue() const { return YValues.MaxValue(); }
  // The y values are the mandatory ones (a horizontal series has mandatory x).
  virtual bool YMandatory() const { return true; }
  // The point's pixel through the series' axes.
  int PointX(int index) const;
  int PointY(int index) const;
  int ColorCapacity() const { return colors_.Capacity(); }
  int LabelCapacity() const { return labels_.Capacity(); }

  // --- drawing, once per paint ---
  int FirstVisible = -1;
  int LastVisible = -1;
  bool CalcVisiblePoints = true;
  // The points inside the horizontal axis' range, and the one beyond each edge.
  void FindVisibleRange();
  virtual void DrawAllPoints();
  virtual void DrawPoint(int index) = 0;
  virtual TSeriesMargins Margins() const { return {}; }
  // The point whose shape lies under (x, y) as last drawn, or -1.
  virtual int Clicked(int x, int y) const;
  // A press on the series; may clear the chart's CancelMouse to let a zoom start.
  std::function<void(TChartSeries&, int, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnClick;

  std::function<bool(TChartSeries&)> OnBeforeAdd;
  std::function<void(TChartSeries&, int)> OnAfterAdd;
  std::function<void(TChartSeries&)> OnClearValues;
  std::function<void(TChartSeries&)> BeforeDrawValues;
  std::function<void(TChartSeries&)> AfterDrawValues;

  // Asks the parent chart, if any, to repaint.
  void RepaintChart();
  // After a point is added or all are cleared: only what the values move is drawn again.
  void RepaintValues();

 private:
  // Both AddXY; a null label stores the empty one without a string.
  int AddPoint(double x, double y, TColor color, const QString* label);

  void ResolveAxes();
  TColor FreeSeriesColor() const;

  bool active_ = true;
  TColor seriesColor_ = platform::clDefault;
  bool colorEachPoint_ = false;
  TSeriesMarks marks_;
  THorizAxis horizAxis_ = aBottomAxis;
  TVertAxis vertAxis_ = aLeftAxis;
  TCustomAxisPanel* parentChart_ = nullptr;
  TChartAxis* horizAxisObject_ = nullptr;
  TChartAxis* vertAxisObject_ = nullptr;
  RuleGrownList<TColor> colors_;
  // An empty label is stored as none.
  RuleGrownList<std::optional<QString>> labels_;
};

}  // namespace chart
