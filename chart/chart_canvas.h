// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The chart's drawing surface. Every pixel of the chart goes through it: lines, outlined
// rectangles, the gradient, aligned and rotated text, clipping, and the off-screen frame
// that a paint is drawn into and then copied to the window in one block.
//
// TChartCanvas is the 2D surface and measures text; TCanvas3D adds the frame and the 3D
// forms; TChartCanvas3D implements both on the platform's raster canvas. The chart is
// drawn in 2D: every 3D form takes its 2D path and a z coordinate is ignored.
//
// Lines cover their start pixel and stop before their end pixel; a rectangle (x0, y0,
// x1, y1) covers columns x0..x1-1 and rows y0..y1-1. The current pen draws lines and
// outlines, the current brush fills.

#include <QFont>
#include <QHash>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

#include "chart/chart_pen.h"
#include "chart/chart_types.h"
#include "platform/raster_canvas.h"

class QPainter;

namespace chart {

// 3D settings of a chart; none of them affects 2D drawing.
struct TView3DOptions {
  int Elevation = 345;
  int HorizOffset = 0;
  bool Orthogonal = true;
  int Perspective = 15;
  int Rotation = 345;
  int Tilt = 0;
  int VertOffset = 0;
  int Zoom = 100;
  bool ZoomText = true;
};

class TChartCanvas {
 public:
  virtual ~TChartCanvas() = default;

  virtual TColor BackgroundColor() const = 0;
  virtual int BackgroundMode() const = 0;
  virtual bool Monochrome() const = 0;
  virtual int TextAlignment() const = 0;
  virtual bool Buffered() const = 0;
  // The colour is converted (system colours resolved) and used for opaque gaps.
  virtual void SetBackgroundColor(TColor color) = 0;
  // cbmTransparent: gaps of dotted lines and text backgrounds are left alone; cbmOpaque.
  virtual void SetBackgroundMode(int mode) = 0;
  virtual void SetMonochrome(bool monochrome) = 0;
  // TA_LEFT, TA_RIGHT or TA_CENTER or-ed with TA_TOP or TA_BOTTOM.
  virtual void SetTextAlignment(int flags) = 0;
  virtual void SetBuffered(bool buffered) = 0;

  virtual void DrawRectangle(int x0, int y0, int x1, int y1) = 0;
  // In the font colour, at (x, y) as the text alignment places it.
  virtual void DrawText(int x, int y, const QString& text) = 0;
  virtual void ClipToRectangle(const TRect& rect) = 0;
  virtual void DrawHorizontalLine(int x0, int x1, int y) = 0;
  virtual void DrawRectangle(const TRect& rect) = 0;
  // The ellipse inscribed in the box, filled with the brush and outlined with the pen.
  virtual void DrawEllipse(int x0, int y0, int x1, int y1) = 0;
  virtual void DrawVerticalLine(int x, int y0, int y1) = 0;
  virtual void FillGradient(const TRect& rect, TColor start, TColor end, TGradientDirection direction) = 0;
  virtual void MarkStale() = 0;
  virtual void LineBetween(int x0, int y0, int x1, int y1) = 0;
  // Degrees counter-clockwise; above 360 reduced by 360 (360 itself kept). The alignment
  // applies in the text's own rotated frame.
  virtual void DrawRotatedText(int x, int y, const QString& text, int angle) = 0;
  virtual void RemoveClip() = 0;

  // In the current font; 0 when there is nothing to measure.
  virtual int MeasureTextWidth(const QString& text) const;
  virtual int MeasureTextHeight(const QString& text) const;
  // The height of "W".
  int TextLineHeight() const { return MeasureTextHeight(QStringLiteral("W")); }

  // The surface's pen, brush and font.
  virtual void UseChartPen(const TChartPen& pen) = 0;
  // The font becomes a copy of the given one.
  virtual void UseFont(const TChartFont& font) = 0;
  virtual void SetPenColor(TColor color) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetPenStyle(TPenStyle style) = 0;
  // Under pmNotXor only DrawRectangle's one-pixel outline is drawn, and nothing is filled.
  virtual void SetPenMode(TPenMode mode) = 0;
  virtual TPenMode PenMode() const = 0;
  virtual void SetBrushColor(TColor color) = 0;
  // A clear brush also makes the background transparent, so that nothing shows behind
  // text drawn with it; SetBackgroundMode afterwards overrides.
  virtual void SetBrushStyle(TBrushStyle style) = 0;
  virtual void SetFontColor(TColor color) = 0;

  virtual TColor PenColor() const = 0;
  virtual int PenWidth() const = 0;
  virtual TPenStyle PenStyle() const = 0;
  virtual TColor BrushColor() const = 0;
  virtual TBrushStyle BrushStyle() const = 0;
  virtual const QFont& Font() const = 0;
  virtual TColor FontColor() const = 0;
};

class TCanvas3D : public TChartCanvas {
 public:
  virtual QPoint ProjectPoint(int x, int y, int z) const = 0;
  // Starts a paint; returns the bounds to draw in: (0, 0, width, height) of the buffer
  // when buffered, the user rectangle otherwise.
  virtual TRect PrepareFrame(QPainter* destination, const TView3DOptions* options, TColor backColor, bool is3D,
                             const TRect& userRect) = 0;
  // Ends a paint: the buffer is copied to the destination at the rectangle's top-left and
  // becomes valid.
  virtual void PresentFrame(QPainter* destination, const TRect& rect) = 0;
  // When the kept buffer is valid, copies it to the destination and returns true.
  virtual bool RedrawFromBuffer(QPainter* destination) = 0;
  // In 2D, (left + 1, top + 1, right, bottom - 1): one pixel inside on the left, top and
  // bottom.
  virtual void ClipToCube(const TRect& rect, int z0, int z1) = 0;
  virtual void DrawHorizontalLine3D(int x0, int x1, int y, int z) = 0;
  virtual void DrawVerticalLine3D(int x, int y0, int y1, int z) = 0;
  virtual void DrawRotatedText3D(int x, int y, int z, const QString& text, int angle) = 0;
  virtual void DrawText3D(int x, int y, int z, const QString& text) = 0;
};

class TChartCanvas3D final : public TCanvas3D {
 public:
  TChartCanvas3D();
  ~TChartCanvas3D() override;

  // True until a buffered frame has been presented, and again after MarkStale or
  // MarkContentStale.
  bool Stale() const;
  // Some of the kept frame is out of date, and its owner knows where (a series' values
  // changed): the next frame may be drawn over a part of it, LimitFrameTo. MarkStale, a new
  // buffer, drawing on the buffer between frames or Monochrome make the whole frame due.
  void MarkContentStale();
  bool WholeFrameStale() const;
  // Until the frame ends, nothing is drawn outside rect: every clip is intersected with
  // it. Drawing the frame in full order clipped so gives every pixel inside the value a
  // whole frame would give it; the rest keep the last frame's.
  void LimitFrameTo(const TRect& rect);
  // The kept buffer; null before the first buffered frame.
  const platform::RasterCanvas* Buffer() const;
  // The kept frame as the screen shows it (in black and white when Monochrome); an empty
  // image before the first buffered frame.
  const QImage& ShownImage() const;
  // Draws on the kept buffer between frames, so that something following the pointer
  // needs no full paint; false when there is no valid buffer. Ended by EndBufferDrawing.
  bool BeginBufferDrawing();
  void EndBufferDrawing();
  // Pen black width 1 solid in copy mode, brush white solid, font colour black at 10 points,
  // background white and transparent.
  void ResetDrawingState();
  // The raster surface of the frame being drawn, null between frames: for drawing that
  // writes many pieces in few colours straight into it.
  platform::RasterCanvas* Target();
  // Everything through the operations one by one, none of the kept results or short
  // ways that give the same pixels; for comparing the two.
  bool PlainDrawing() const;
  void SetPlainDrawing(bool plain);
  // Frames ended with PresentFrame, and frames answered by RedrawFromBuffer instead.
  int FramesPresented() const;
  int BufferCopies() const;

  // Raised when a change of the surface itself needs the chart drawn again (Monochrome).
  std::function<void()> OnRepaintRequest;

  // TChartCanvas and TCanvas3D: see there. (Implemented in chart_canvas.cpp.)
  TColor BackgroundColor() const override;
  int BackgroundMode() const override;
  bool Monochrome() const override;
  int TextAlignment() const override;
  bool Buffered() const override;
  void SetBackgroundColor(TColor color) override;
  void SetBackgroundMode(int mode) override;
  void SetMonochrome(bool monochrome) override;
  void SetTextAlignment(int flags) override;
  void SetBuffered(bool buffered) override;
  void DrawRectangle(int x0, int y0, int x1, int y1) override;
  void DrawText(int x, int y, const QString& text) override;
  void ClipToRectangle(const TRect& rect) override;
  void DrawHorizontalLine(int x0, int x1, int y) override;
  void DrawRectangle(const TRect& rect) override;
  void DrawEllipse(int x0, int y0, int x1, int y1) override;
  void DrawVerticalLine(int x, int y0, int y1) override;
  void FillGradient(const TRect& rect, TColor start, TColor end, TGradientDirection direction) override;
  void MarkStale() override;
  void LineBetween(int x0, int y0, int x1, int y1) override;
  void DrawRotatedText(int x, int y, const QString& text, int angle) override;
  void RemoveClip() override;
  void UseChartPen(const TChartPen& pen) override;
  void UseFont(const TChartFont& font) override;
  void SetPenColor(TColor color) override;
  void SetPenWidth(int width) override;
  void SetPenStyle(TPenStyle style) override;
  void SetPenMode(TPenMode mode) override;
  TPenMode PenMode() const override;
  void SetBrushColor(TColor color) override;
  void SetBrushStyle(TBrushStyle style) override;
  void SetFontColor(TColor color) override;
  TColor PenColor() const override;
  int PenWidth() const override;
  TPenStyle PenStyle() const override;
  TColor BrushColor() const override;
  TBrushStyle BrushStyle() const override;
  const QFont& Font() const override;
  TColor FontColor() const override;
  // Each text is measured once per face (until many new ones have come).
  int MeasureTextWidth(const QString& text) const override;
  int MeasureTextHeight(const QString& text) const override;
  QPoint ProjectPoint(int x, int y, int z) const override;
  TRect PrepareFrame(QPainter* destination, const TView3DOptions* options, TColor backColor, bool is3D,
                     const TRect& userRect) override;
  void PresentFrame(QPainter* destination, const TRect& rect) override;
  bool RedrawFromBuffer(QPainter* destination) override;
  void ClipToCube(const TRect& rect, int z0, int z1) override;
  void DrawHorizontalLine3D(int x0, int x1, int y, int z) override;
  void DrawVerticalLine3D(int x, int y0, int y1, int z) override;
  void DrawRotatedText3D(int x, int y, int z, const QString& text, int angle) override;
  void DrawText3D(int x, int y, int z, const QString& text) override;

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace chart
