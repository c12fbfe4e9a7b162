// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_panel.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>

#include "platform/screen_copy.h"

namespace chart {

TCustomChartPanel::TCustomChartPanel(QWidget* parent)
    : QWidget(parent),
      errorBox_(std::make_unique<platform::MessageBoxReporter>(this, QApplication::applicationName())),
      reporter_(errorBox_.get()) {
  // The buffer covers every pixel: nothing to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  resize(400, 250);
  canvas_.OnRepaintRequest = [this] { Invalidate(); };
}

void TCustomChartPanel::SetColor(TColor color) { SetAndInvalidate(color_, color); }
void TCustomChartPanel::SetBevelOuter(TBevelCut cut) { SetAndInvalidate(bevelOuter_, cut); }
void TCustomChartPanel::SetBevelInner(TBevelCut cut) { SetAndInvalidate(bevelInner_, cut); }
void TCustomChartPanel::SetBevelWidth(int width) { SetAndInvalidate(bevelWidth_, width); }
void TCustomChartPanel::SetBorderWidth(int width) { SetAndInvalidate(borderWidth_, width); }
void TCustomChartPanel::SetMarginLeft(int percent) { SetAndInvalidate(marginLeft_, percent); }
void TCustomChartPanel::SetMarginTop(int percent) { SetAndInvalidate(marginTop_, percent); }
void TCustomChartPanel::SetMarginRight(int percent) { SetAndInvalidate(marginRight_, percent); }
void TCustomChartPanel::SetMarginBottom(int percent) { SetAndInvalidate(marginBottom_, percent); }
void TCustomChartPanel::SetView3D(bool view3D) { SetAndInvalidate(view3D_, view3D); }

void TCustomChartPanel::SetChart3DPercent(int percent) {
  if (percent < 1 || percent > 100) {
    throw ChartException(
        QStringLiteral("3D effect percent must be between %1 and %2").arg(1).arg(100).toStdString());
  }
  SetAndInvalidate(chart3DPercent_, percent);
}

void TCustomChartPanel::Invalidate() {
  if (repaintEnabled_) {
    canvas_.MarkStale();
    RequestPaint(true);
  }
}

void TCustomChartPanel::InvalidateData() {
  if (repaintEnabled_) {
    canvas_.MarkContentStale();
    RequestPaint(false);
  }
}

void TCustomChartPanel::RequestPaint(bool whole) {
  // A refill invalidates once per point, and Qt's bookkeeping for a request costs more
  // than the point: one request stands until its paint comes. A hidden chart gets no
  // paint (Qt drops the request) and is painted in full when shown.
  if ((whole ? wholePending_ : paintPending_) || !isVisible()) {
    return;
  }
  if (whole) {
    update();
  } else {
    const TRect area = DataArea();
    update(area.Left, area.Top, area.Width(), area.Height());
  }
  ++repaintRequests_;
  paintPending_ = true;
  wholePending_ = whole;
}

void TCustomChartPanel::paintEvent(QPaintEvent* event) {
  paintPending_ = false;
  wholePending_ = false;
  Guarded([&] { Paint(event->region()); });
}

void TCustomChartPanel::Paint(const QRegion& region) {
  if (printing_) {
    return;
  }
  const TRect whole{0, 0, width(), height()};
  if (!canvas_.Buffered()) {
    QPainter painter(this);
    DrawChart(&painter, whole);
    return;
  }
  // The frame is drawn into the buffer, and only the region Qt asks for goes to the screen;
  // whatever the frame drew beyond it is asked for next.
  if (!canvas_.RedrawFromBuffer(nullptr)) {
    DrawChart(nullptr, whole);
    const QRegion rest = QRegion(lastFrame_.Left, lastFrame_.Top, lastFrame_.Width(), lastFrame_.Height()) - region;
    if (!rest.isEmpty()) {
      update(rest);
    }
  }
  platform::PaintTarget target;
  target.device = redirected(&target.offset);
  platform::CopyToScreen(*this, target, canvas_.ShownImage(), region);
}

void TCustomChartPanel::DrawChart(QPainter* target, const TRect& rect) {
  ++fullDraws_;
  chartBounds_ = canvas_.PrepareFrame(target, &view3DOptions_, color_, view3D_, rect);
  const int w = chartBounds_.Width();
  const int h = chartBounds_.Height();
  const int b = borderWidth_;
  chartRect_ = TRect{chartBounds_.Left + b + MulDiv(marginLeft_, w, 100),
                     chartBounds_.Top + b + MulDiv(marginTop_, h, 100),
                     chartBounds_.Right - b - MulDiv(marginRight_, w, 100),
                     chartBounds_.Bottom - b - MulDiv(marginBottom_, h, 100)};
  RecalcChartRect();
  lastFrame_ = chartBounds_;
  if (!canvas_.WholeFrameStale()) {
    const TRect start = chartRect_;
    const std::optional<TRect> area = ChangedArea();
    chartRect_ = start;
    RecalcChartRect();
    if (area) {
      canvas_.LimitFrameTo(*area);
      lastFrame_ = *area;
    }
  }
  DrawContents(chartBounds_);
  canvas_.PresentFrame(target, rect);
}

void TCustomChartPanel::RecalcChartRect() {
  TRect& r = chartRect_;
  r.Left = std::max(r.Left, chartBounds_.Left);
  r.Top = std::max(r.Top, chartBounds_.Top);
  if (r.Right < r.Left) {
    r.Right = r.Left + 1;
  } else if (r.Right == r.Left) {
    r.Right = r.Left + width();
  }
  if (r.Bottom < r.Top) {
    r.Bottom = r.Top + 1;
  } else if (r.Bottom == r.Top) {
    r.Bottom = r.Top + height();
  }
  chartWidth_ = r.Right - r.Left;
  chartHeight_ = r.Bottom - r.Top;
  chartXCenter_ = (r.Left + r.Right) / 2;
  chartYCenter_ = (r.Top + r.Bottom) / 2;
}

void TCustomChartPanel::DrawFrame(const TRect& rect, int rings, TColor topLeft, TColor bottomRight) {
  int l = rect.Left;
  int t = rect.Top;
  int r = rect.Right - 1;
  int b = rect.Bottom - 1;
  for (int ring = 0; ring < rings; ++ring) {
    // Each polyline leaves out its end point; the corners are shared accordingly.
    canvas_.SetPenColor(topLeft);
    canvas_.LineBetween(l, b, l, t);
    canvas_.LineBetween(l, t, r, t);
    canvas_.SetPenColor(bottomRight);
    canvas_.LineBetween(r, t, r, b);
    canvas_.LineBetween(r, b, l - 1, b);
    ++l;
    ++t;
    --r;
    --b;
  }
}

void TCustomChartPanel::DrawBevels(const TRect& rect) {
  if (printing_) {
    return;
  }
  canvas_.SetPenStyle(psSolid);
  canvas_.SetPenWidth(1);
  canvas_.SetBrushStyle(bsClear);
  TRect r = rect;
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) {
      return;
    }
    const TColor topLeft = cut == bvLowered ? platform::clBtnShadow : platform::clBtnHighlight;
    const TColor bottomRight = cut == bvRaised ? platform::clBtnShadow : platform::clBtnHighlight;
    DrawFrame(r, bevelWidth_, topLeft, bottomRight);
    r = TRect{r.Left + bevelWidth_, r.Top + bevelWidth_, r.Right - bevelWidth_, r.Bottom - bevelWidth_};
  };
  bevel(bevelOuter_);
  DrawFrame(r, borderWidth_, color_, color_);
  r = TRect{r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_};
  bevel(bevelInner_);
}

TCustomChartPanelExtended::TCustomChartPanelExtended(QWidget* parent) : TCustomChartPanel(parent) {
  gradient_.OnChange = [this] { Invalidate(); };
}

void TCustomChartPanelExtended::PaintBackground(const TRect& rect) {
  TChartCanvas3D& canvas = Canvas();
  if (gradient_.Visible()) {
    const TGradientDirection direction = gradient_.Direction();
    // The surface exchanges the colours for the other directions; exchanging them here
    // first gives every direction the same start and end.
    if (direction == gdTopBottom || direction == gdLeftRight) {
      canvas.FillGradient(rect, gradient_.StartColor(), gradient_.EndColor(), direction);
    } else {
      canvas.FillGradient(rect, gradient_.EndColor(), gradient_.StartColor(), direction);
    }
  } else if (!Printing()) {
    canvas.SetBrushColor(Color());
    canvas.SetBrushStyle(bsSolid);
    canvas.SetPenStyle(psClear);
    canvas.DrawRectangle(rect);
    canvas.SetPenStyle(psSolid);
  }
}

void TCustomChartPanelExtended::PaintPanel(const TRect& rect) {
  PaintBackground(rect);
  DrawBevels(rect);
}

}  // namespace chart
