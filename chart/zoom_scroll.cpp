// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/zoom_scroll.h"

#include <cmath>
#include <cstdlib>

#include "chart/chart.h"

namespace chart {

namespace {

// A drag this short or shorter in either direction is taken for a click.
constexpr int MinimumDrag = 16;

bool Inside(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

}  // namespace

void TZoomPanningRecord::Activate(int x, int y) {
  Active = true;
  X0 = X1 = x;
  Y0 = Y1 = y;
}

void TZoomPanningRecord::Normalise() {
  if (X1 < X0) std::swap(X0, X1);
  if (Y1 < Y0) std::swap(Y0, Y1);
}

TChartZoomScroll::TChartZoomScroll(TCustomChart& chart) : chart_(chart) {}

std::array<TCustomChartAxis*, 4> TChartZoomScroll::SideAxes() const {
  return {&chart_.TopAxis(), &chart_.LeftAxis(), &chart_.RightAxis(), &chart_.BottomAxis()};
}

TChartZoomScroll::Part TChartZoomScroll::FindPressedPart(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                                        int y, bool& claimed) {
  // A handler that is called finds the press claimed and may let it go on.
  auto offer = [&](auto&& call) {
    chart_.CancelMouse = true;
    call();
    claimed = claimed || chart_.CancelMouse;
    chart_.CancelMouse = false;
  };
  const auto& series = chart_.SeriesList();
  for (auto it = series.rbegin(); it != series.rend(); ++it) {
    TChartSeries* s = *it;
    const int index = s->Active() ? s->Clicked(x, y) : -1;
    if (index < 0) {
      continue;
    }
    if (s->OnClick) offer([&] { s->OnClick(*s, index, button, shift, x, y); });
    if (chart_.OnClickSeries) offer([&] { chart_.OnClickSeries(*s, index, button, shift, x, y); });
    return Part::Series;
  }
  for (TCustomChartAxis* axis : chart_.Axes()) {
    if (chart_.AxisShown(*axis) && axis->Clicked(x, y)) {
      if (chart_.OnClickAxis) offer([&] { chart_.OnClickAxis(*axis, button, shift, x, y); });
      return Part::Axis;
    }
  }
  if (chart_.Title().Visible() && Inside(chart_.Title().TitleRect(), x, y)) {
    return Part::Title;
  }
  if (chart_.Foot().Visible() && Inside(chart_.Foot().TitleRect(), x, y)) {
    return Part::Foot;
  }
  if (Inside(chart_.ChartRect(), x, y) && !chart_.SeriesList().empty()) {
    if (chart_.OnClickBackground) offer([&] { chart_.OnClickBackground(button, shift, x, y); });
    return Part::ChartRect;
  }
  return Part::None;  // the legend is never shown here
}

void TChartZoomScroll::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (zoom_.Active || scroll_.Active) {
    return;
  }
  bool claimed = false;
  const Part part = FindPressedPart(button, shift, x, y, claimed);
  if (claimed || (part != Part::Series && part != Part::Axis && part != Part::ChartRect)) {
    return;
  }
  // No key has to be held with either button.
  if (chart_.AllowZoom() && button == Qt::LeftButton) {
    chart_.unsetCursor();
    zoom_.Activate(x, y);
    RubberBandOnBuffer();
  }
  if (chart_.AllowPanning() != pmNone && button == Qt::RightButton) {
    chart_.unsetCursor();
    scroll_.Activate(x, y);
  }
}

void TChartZoomScroll::MouseMove(Qt::KeyboardModifiers /*shift*/, int x, int y) {
  if (zoom_.Active) {
    if (x != zoom_.X1 || y != zoom_.Y1) {
      RubberBandOnBuffer();
      zoom_.X1 = x;
      zoom_.Y1 = y;
      RubberBandOnBuffer();
    }
  }
  if (scroll_.Active) {
    if (!Inside(chart_.ChartRect(), x, y)) {
      scroll_.Active = false;
    } else if (x != scroll_.X1 || y != scroll_.Y1) {
      if (!axesSaved_) {
        SaveAxes();
      }
      // Each step measures from the previous pointer position, so the traces follow the
      // pointer without a jump whichever way it goes.
      const bool movedX = ScrollStep(true, scroll_.X1, x);
      const bool movedY = ScrollStep(false, scroll_.Y1, y);
      scroll_.X1 = x;
      scroll_.Y1 = y;
      if (movedX || movedY) {
        if (chart_.OnScroll) chart_.OnScroll();
        chart_.Invalidate();
      }
    }
  }
  if (!zoom_.Active && !scroll_.Active) {
    const auto& series = chart_.SeriesList();
    for (auto it = series.rbegin(); it != series.rend(); ++it) {
      if ((*it)->Active() && (*it)->Clicked(x, y) >= 0) {
        chart_.setCursor((*it)->Cursor);
        return;
      }
    }
    chart_.unsetCursor();
  }
}

void TChartZoomScroll::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers /*shift*/, int x, int y) {
  if (zoom_.Active && button == Qt::LeftButton) {
    RubberBandOnBuffer();  // erased
    zoom_.Active = false;
    zoom_.X1 = x;
    zoom_.Y1 = y;
    if (std::abs(zoom_.X1 - zoom_.X0) > MinimumDrag && std::abs(zoom_.Y1 - zoom_.Y0) > MinimumDrag) {
      if (zoom_.X1 > zoom_.X0 && zoom_.Y1 > zoom_.Y0) {
        chart_.ZoomToRectangle();
      } else {
        chart_.UndoZoom();
      }
      chart_.Invalidate();
    }
  }
  scroll_.Active = false;
}

void TChartZoomScroll::Wheel(bool down) {
  for (TCustomChartAxis* axis : chart_.Axes()) {
    if (axis->IsHorizontal()) {
      continue;
    }
    if (axis->Logarithmic()) {
      // 3 % of the range in log space: a shift is a factor there.
      const double f = std::pow(axis->Maximum() / axis->Minimum(), 3 * 0.01 * (down ? 1 : -1));
      axis->SetRange(axis->Minimum() * f, axis->Maximum() * f);
      continue;
    }
    const double d = (axis->Maximum() - axis->Minimum()) * 3 * 0.01 * (down ? 1 : -1);
    axis->SetRange(axis->Minimum() + d, axis->Maximum() + d);
  }
}

void TChartZoomScroll::SaveAxes() {
  const auto axes = SideAxes();
  for (std::size_t i = 0; i < axes.size(); ++i) {
    const TCustomChartAxis& a = *axes[i];
    saved_[i] = {a.Automatic(), a.AutomaticMinimum(), a.AutomaticMaximum(), a.Minimum(), a.Maximum()};
  }
  axesSaved_ = true;
}

bool TChartZoomScroll::ScrollStep(bool horizontal, int from, int to) {
  const TPanningMode mode = chart_.AllowPanning();
  if (from == to || (mode != pmBoth && mode != (horizontal ? pmHorizontal : pmVertical))) {
    return false;
  }
  for (TCustomChartAxis* axis : chart_.Axes()) {
    if (axis->IsDepthAxis() || axis->IsHorizontal() != horizontal) {
      continue;
    }
    const double d = axis->PixelToValue(from) - axis->PixelToValue(to);
    double minimum = axis->Minimum() + d;
    double maximum = axis->Maximum() + d;
    if (axis->Logarithmic()) {
      // The pointer's pixels span a ratio, not a difference: a scroll never reaches 0.
      const double f = axis->PixelToValue(from) / axis->PixelToValue(to);
      minimum = axis->Minimum() * f;
      maximum = axis->Maximum() * f;
    }
    bool allow = true;
    if (chart_.OnAllowScroll) {
      chart_.OnAllowScroll(*axis, minimum, maximum, allow);
    }
    if (allow) {
      axis->SetRange(minimum, maximum);
    }
  }
  return true;
}

void TChartZoomScroll::ZoomToRectangle() {
  zoom_.Normalise();
  const auto axes = SideAxes();
  std::array<std::pair<double, double>, 4> ranges;
  for (std::size_t i = 0; i < axes.size(); ++i) {
    const TCustomChartAxis& a = *axes[i];
    ranges[i] = a.IsHorizontal() ? std::pair{a.PixelToValue(zoom_.X0), a.PixelToValue(zoom_.X1)}
                                 : std::pair{a.PixelToValue(zoom_.Y1), a.PixelToValue(zoom_.Y0)};
  }
  if (!axesSaved_) {
    SaveAxes();
  }
  for (std::size_t i = 0; i < axes.size(); ++i) {
    axes[i]->SetRange(ranges[i].first, ranges[i].second);
  }
  zoomed_ = true;
  if (chart_.OnZoom) chart_.OnZoom();
}

void TChartZoomScroll::UndoZoom() {
  if (axesSaved_) {
    const auto axes = SideAxes();
    for (std::size_t i = 0; i < axes.size(); ++i) {
      TCustomChartAxis& a = *axes[i];
      a.SetAutomatic(saved_[i].Automatic);
      a.SetAutomaticMinimum(saved_[i].AutomaticMinimum);
      a.SetAutomaticMaximum(saved_[i].AutomaticMaximum);
      if (!saved_[i].Automatic) {
        a.SetRange(saved_[i].Minimum, saved_[i].Maximum);
      }
    }
    axesSaved_ = false;
  }
  if (chart_.OnUndoZoom) chart_.OnUndoZoom();
  chart_.Invalidate();
  zoomed_ = false;
}

void TChartZoomScroll::DrawRubberBand() {
  TChartCanvas3D& canvas = chart_.Canvas();
  TColor pen = platform::ColorToRGB(chart_.Color());
  if (pen == platform::clWhite) {
    pen = platform::clBlack;
  }
  canvas.SetPenColor(pen);
  canvas.SetPenMode(pmNotXor);
  canvas.SetPenStyle(psSolid);
  canvas.SetPenWidth(1);
  canvas.SetBrushStyle(bsClear);
  // Dragged up or to the left the corners come in reverse; the outline is the same box.
  canvas.DrawRectangle(std::min(zoom_.X0, zoom_.X1), std::min(zoom_.Y0, zoom_.Y1), std::max(zoom_.X0, zoom_.X1),
                       std::max(zoom_.Y0, zoom_.Y1));
  canvas.SetPenMode(pmCopy);
}

void TChartZoomScroll::RubberBandOnBuffer() {
  TChartCanvas3D& canvas = chart_.Canvas();
  if (canvas.BeginBufferDrawing()) {
    DrawRubberBand();
    canvas.EndBufferDrawing();
    chart_.update();  // the kept buffer is shown as it now stands
  }
}

}  // namespace chart
