// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The chart control's first two layers.
//
// TCustomChartPanel: the window, its margins, its buffered drawing surface, the paint
// entry and the bevels. Every change only asks for a repaint (Invalidate): the surface is
// marked stale and Qt merges the requests, so a thousand changes in one handler cost one
// paint. New values alone (InvalidateData) redraw only where they move things, and only
// that part is copied to the screen; a paint with nothing changed copies the kept buffer.
//
// TCustomChartPanelExtended: the background gradient and the zoom and panning settings.
// (This chart never shows a background picture, so there is none to set.)

#include <QWidget>
#include <functional>
#include <optional>
#include <memory>

#include "chart/chart_canvas.h"
#include "chart/chart_parts.h"
#include "chart/chart_types.h"
#include "platform/error_box.h"

namespace chart {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };

class TCustomChartPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TCustomChartPanel(QWidget* parent = nullptr);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut cut);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut cut);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  // Percent of the drawing's width (left, right) or height (top, bottom); not range-checked.
  int MarginLeft() const { return marginLeft_; }
  void SetMarginLeft(int percent);
  int MarginTop() const { return marginTop_; }
  void SetMarginTop(int percent);
  int MarginRight() const { return marginRight_; }
  void SetMarginRight(int percent);
  int MarginBottom() const { return marginBottom_; }
  void SetMarginBottom(int percent);
  bool View3D() const { return view3D_; }
  void SetView3D(bool view3D);
  // 1..100; anything else raises ChartException and keeps the old value.
  int Chart3DPercent() const { return chart3DPercent_; }
  void SetChart3DPercent(int percent);
  TView3DOptions& View3DOptions() { return view3DOptions_; }
  bool PrintProportional() const { return printProportional_; }
  void SetPrintProportional(bool proportional) { printProportional_ = proportional; }

  const TRect& ChartBounds() const { return chartBounds_; }
  const TRect& ChartRect() const { return chartRect_; }
  void SetChartRect(const TRect& rect) { chartRect_ = rect; }
  int ChartWidth() const { return chartWidth_; }
  int ChartHeight() const { return chartHeight_; }
  int ChartXCenter() const { return chartXCenter_; }
  int ChartYCenter() const { return chartYCenter_; }

  TChartCanvas3D& Canvas() { return canvas_; }
  bool Printing() const { return printing_; }
  bool RepaintEnabled() const { return repaintEnabled_; }
  void SetRepaintEnabled(bool enabled) { repaintEnabled_ = enabled; }

  // The single repaint request: marks the buffer stale and asks Qt for a paint, unless a
  // paint asked for earlier has not come yet (it will draw the change too).
  virtual void Invalidate();
  // The same for a change of the series' values alone: the next frame is drawn, and copied
  // to the screen, only where such a change can show (ChangedArea), when the chart knows.
  void InvalidateData();
  // The whole chart for a target and rectangle: frame, margins, contents, presented.
  void DrawChart(QPainter* target, const TRect& rect);
  // Normalises ChartRect and derives its width, height and centre.
  void RecalcChartRect();

  // Settings applied between these two are the form's description of the chart: range
  // checks and cascades that would depend on the order of the settings are skipped.
  void BeginLoading() { loading_ = true; }
  void EndLoading() { loading_ = false; }
  bool Loading() const { return loading_; }

  // Where an error in a paint or a mouse handler is shown; the error box unless set.
  void SetErrorReporter(platform::ErrorReporter* reporter) { reporter_ = reporter; }

  // How many times the chart has been drawn in full (a copied buffer does not count).
  int FullDrawCount() const { return fullDraws_; }
  // What the last frame drew: all of the chart, or only where its values moved things.
  const TRect& LastFrameArea() const { return lastFrame_; }
  // How many times Invalidate has asked Qt for a paint.
  int RepaintRequestCount() const { return repaintRequests_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The window's paint request: the kept buffer when it is valid, else a full draw; of a
  // buffered chart, only `region` is copied to the screen.
  virtual void Paint(const QRegion& region);
  virtual void DrawContents(const TRect& bounds) = 0;
  // Where the next frame can differ from the kept one after InvalidateData alone, worked
  // out as the frame starts; none when it may differ anywhere.
  virtual std::optional<TRect> ChangedArea() { return std::nullopt; }
  // Where a change of values usually shows, to ask Qt for: a frame that turns out to
  // differ beyond it asks for the rest then.
  virtual TRect DataArea() const { return TRect{0, 0, width(), height()}; }
  virtual void DrawBevels(const TRect& rect);
  // A frame of `rings` one-pixel rings just inside rect.
  void DrawFrame(const TRect& rect, int rings, TColor topLeft, TColor bottomRight);

  // Every entry from the window system runs through this: an error is shown, not thrown
  // into the event loop.
  template <class F>
  void Guarded(F&& f) {
    platform::RunGuarded(*reporter_, std::forward<F>(f));
  }

  // Stores a new value and repaints; the held value changes nothing.
  template <class T>
  void SetAndInvalidate(T& field, const T& value) {
    if (StoreIfChanged(field, value)) {
      Invalidate();
    }
  }

 private:
  // Asks Qt for a paint of the whole chart, or of the DataArea.
  void RequestPaint(bool whole);

  TColor color_ = platform::clBtnFace;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelCut bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  int marginLeft_ = 3;
  int marginTop_ = 4;
  int marginRight_ = 3;
  int marginBottom_ = 4;
  bool view3D_ = true;
  int chart3DPercent_ = 15;
  TView3DOptions view3DOptions_;
  bool printProportional_ = true;
  TRect chartBounds_;
  TRect chartRect_;
  int chartWidth_ = 0;
  int chartHeight_ = 0;
  int chartXCenter_ = 0;
  int chartYCenter_ = 0;
  TChartCanvas3D canvas_;
  bool printing_ = false;
  bool repaintEnabled_ = false;  // off while the constructors run
  int fullDraws_ = 0;
  int repaintRequests_ = 0;
  bool paintPending_ = false;  // asked Qt for a paint that has not come yet
  bool wholePending_ = false;  // and for all of the chart
  TRect lastFrame_;            // what the last frame drew: all of it, or its ChangedArea
  bool loading_ = false;
  std::unique_ptr<platform::MessageBoxReporter> errorBox_;
  platform::ErrorReporter* reporter_;
};

class TCustomChartPanelExtended : public TCustomChartPanel {
  Q_OBJECT

 public:
  explicit TCustomChartPanelExtended(QWidget* parent = nullptr);

  TChartGradient& Gradient() { return gradient_; }
  bool AllowZoom() const { return allowZoom_; }
  void SetAllowZoom(bool allow) { allowZoom_ = allow; }
  TPanningMode AllowPanning() const { return allowPanning_; }
  void SetAllowPanning(TPanningMode mode) { allowPanning_ = mode; }
  bool AnimatedZoom() const { return animatedZoom_; }
  void SetAnimatedZoom(bool animated) { animatedZoom_ = animated; }
  int AnimatedZoomSteps() const { return animatedZoomSteps_; }
  void SetAnimatedZoomSteps(int steps) { animatedZoomSteps_ = steps; }

 protected:
  // The gradient, or the panel's colour, over rect.
  virtual void PaintBackground(const TRect& rect);
  // The background, then the bevels.
  virtual void PaintPanel(const TRect& rect);

 private:
  TChartGradient gradient_;
  bool allowZoom_ = true;
  TPanningMode allowPanning_ = pmBoth;
  bool animatedZoom_ = false;
  int animatedZoomSteps_ = 8;
};

}  // namespace chart
