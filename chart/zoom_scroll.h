// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The chart under the mouse: a left drag draws a rubber band and zooms the four side axes
// to it, a drag back up or to the left undoes the zoom, a right drag scrolls the axes with
// the pointer, the wheel shifts the vertical axes. Zooming or scrolling fixes the axes;
// one undo gives back the axes as they were before the first zoom or scroll.
//
// Talks to the axes only through SetRange, PixelToValue and their automatic flags.

#include <QString>
#include <Qt>
#include <array>

#include "chart/chart_types.h"

namespace chart {

class TCustomChart;
class TCustomChartAxis;

struct TZoomPanningRecord {
  bool Active = false;
  int X0 = 0;
  int Y0 = 0;
  int X1 = 0;
  int Y1 = 0;

  // Both corners at (x, y).
  void Activate(int x, int y);
  // The corners exchanged per coordinate so that the first is the smaller.
  void Normalise();
};

class TChartZoomScroll {
 public:
  explicit TChartZoomScroll(TCustomChart& chart);

  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  // One notch: down shifts the vertical axes up by 3 % of their range, up down by it.
  void Wheel(bool down);

  void ZoomToRectangle();
  void UndoZoom();
  // The band in not-xor on the surface's current target: drawn twice it is gone.
  void DrawRubberBand();

  bool Zoomed() const { return zoomed_; }
  bool AxesSaved() const { return axesSaved_; }
  const TZoomPanningRecord& ZoomRecord() const { return zoom_; }
  const TZoomPanningRecord& ScrollRecord() const { return scroll_; }

 private:
  struct SavedAxis {
    bool Automatic;
    bool AutomaticMinimum;
    bool AutomaticMaximum;
    double Minimum;
    double Maximum;
  };

  // The pressed part, in the order it is looked for.
  enum class Part { None, Series, Axis, Title, Foot, ChartRect };
  Part FindPressedPart(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y, bool& claimed);
  // Erases or draws the band on the kept buffer while the pointer moves.
  void RubberBandOnBuffer();
  void SaveAxes();
  // One direction of a scroll step; true when it ran.
  bool ScrollStep(bool horizontal, int from, int to);
  std::array<TCustomChartAxis*, 4> SideAxes() const;

  TCustomChart& chart_;
  TZoomPanningRecord zoom_;
  TZoomPanningRecord scroll_;
  bool zoomed_ = false;
  bool axesSaved_ = false;
  std::array<SavedAxis, 4> saved_{};
};

}  // namespace chart
