// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

namespace chart {

TCustomChart::TCustomChart(QWidget* parent) : TCustomAxisPanel(parent) {
  title_.SetOnChange([this] { Invalidate(); });
  foot_.SetOnChange([this] { Invalidate(); });
  for (TChartWall* wall : {&backWall_, &leftWall_, &bottomWall_}) {
    wall->SetOnChange([this] { Invalidate(); });
  }
  legend_.OnChange = [this] { Invalidate(); };
  // Until a colour is set the plotting area shows the background through.
  backWall_.Brush().SetStyle(bsClear);
  zoomScroll_ = std::make_unique<TChartZoomScroll>(*this);
  setMouseTracking(true);
}

void TCustomChart::ZoomToRectangle() { zoomScroll_->ZoomToRectangle(); }

void TCustomChart::UndoZoom() { zoomScroll_->UndoZoom(); }

void TCustomChart::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Guarded([&] { zoomScroll_->MouseDown(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TCustomChart::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Guarded([&] { zoomScroll_->MouseMove(event->modifiers(), p.x(), p.y()); });
}

void TCustomChart::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  Guarded([&] { zoomScroll_->MouseUp(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TCustomChart::wheelEvent(QWheelEvent* event) {
  // A notch is 120 eighths of a degree; finer wheels add up to notches.
  wheelDelta_ += event->angleDelta().y();
  Guarded([&] {
    while (wheelDelta_ <= -120) {
      wheelDelta_ += 120;
      zoomScroll_->Wheel(true);
    }
    while (wheelDelta_ >= 120) {
      wheelDelta_ -= 120;
      zoomScroll_->Wheel(false);
    }
  });
  event->accept();
}

void TCustomChart::DrawZoomRectangle() {
  if (zoomScroll_->ZoomRecord().Active) {
    zoomScroll_->DrawRubberBand();
  }
}

void TCustomChart::SetBackColor(TColor color) {
  backWall_.SetColor(color);
  if (parentWidget() != nullptr && !Loading()) {
    backWall_.Brush().SetStyle(bsSolid);
  }
}

bool TCustomChart::IsFreeSeriesColor(TColor color) const {
  return color != BackColor() && TCustomAxisPanel::IsFreeSeriesColor(color);
}

void TCustomChart::DrawTitlesAndLegend() {
  if (title_.Visible()) {
    DrawTitle(title_, true);
  }
  if (foot_.Visible()) {
    DrawTitle(foot_, false);
  }
  // The legend lies over the plot, drawn after the series: it takes no room here.
}

namespace {

constexpr int LegendInset = 4, LegendPadding = 3, LegendStroke = 14, LegendGap = 4;

}  // namespace

std::vector<const TChartSeries*> TCustomChart::LegendSeries() const {
  std::vector<const TChartSeries*> listed;
  if (legend_.Visible()) {
    for (const TChartSeries* series : SeriesList()) {
      if (series->Active() && series->ShowInLegend && !series->Title.isEmpty()) {
        listed.push_back(series);
      }
    }
  }
  return listed;
}

TRect TCustomChart::LegendRect() {
  const std::vector<const TChartSeries*> listed = LegendSeries();
  if (listed.empty()) {
    return {};
  }
  TChartCanvas3D& canvas = Canvas();
  canvas.UseFont(legend_.Font());
  const int lineHeight = canvas.MeasureTextHeight(QStringLiteral("W"));
  int textWidth = 0;
  for (const TChartSeries* series : listed) {
    textWidth = std::max(textWidth, canvas.MeasureTextWidth(series->Title));
  }
  const int left = ChartRect().Left + LegendInset;
  const int top = ChartRect().Top + LegendInset;
  return TRect{left, top, left + LegendPadding + LegendStroke + LegendGap + textWidth + LegendPadding,
               top + LegendPadding + lineHeight * static_cast<int>(listed.size()) + LegendPadding};
}

void TCustomChart::DrawLegend() {
  const TRect box = LegendRect();
  if (box.Width() <= 0) {
    return;
  }
  TChartCanvas3D& canvas = Canvas();  // LegendRect left the legend's font on it
  const int lineHeight = canvas.MeasureTextHeight(QStringLiteral("W"));
  const TRect& plot = ChartRect();
  canvas.ClipToRectangle(TRect{plot.Left + 1, plot.Top + 1, plot.Right, plot.Bottom});
  canvas.SetPenStyle(psSolid);
  canvas.SetPenWidth(1);
  canvas.SetPenColor(legend_.Font().Color());
  canvas.SetBrushColor(legend_.Color());
  canvas.SetBrushStyle(bsSolid);
  canvas.DrawRectangle(box.Left, box.Top, box.Right, box.Bottom);
  canvas.SetBackgroundMode(cbmTransparent);
  canvas.SetBrushStyle(bsClear);
  const int left = box.Left + LegendPadding;
  int y = box.Top + LegendPadding;
  for (const TChartSeries* series : LegendSeries()) {
    canvas.SetPenColor(series->SeriesColor());
    const int middle = y + lineHeight / 2;
    for (int row = middle - 1; row <= middle; ++row) {
      canvas.LineBetween(left, row, left + LegendStroke, row);
    }
    canvas.SetTextAlignment(TA_LEFT | TA_TOP);
    canvas.DrawText(left + LegendStroke + LegendGap, y, series->Title);
    y += lineHeight;
  }
  canvas.RemoveClip();
}

void TCustomChart::DrawTitle(TChartTitle& title, bool atTop) {
  TChartCanvas3D& canvas = Canvas();
  canvas.UseFont(title.Font());
  const int h = canvas.MeasureTextHeight(QStringLiteral("W"));

  const TChartBrush& brush = title.Brush();
  if (title.Color() == platform::clDefault) {
    if (brush.Style() == bsSolid && brush.Color() == platform::clDefault) {
      canvas.SetBrushStyle(bsClear);
    } else if (brush.Style() == bsSolid) {
      canvas.SetBrushColor(brush.Color());
      canvas.SetBrushStyle(bsSolid);
    } else {
      canvas.SetBrushColor(brush.Color());
      canvas.SetBrushStyle(brush.Style());
      canvas.SetBackgroundMode(cbmTransparent);
    }
  } else if (brush.Style() == bsSolid) {
    canvas.SetBrushColor(title.Color());
    canvas.SetBrushStyle(bsSolid);
  } else {
    canvas.SetBrushColor(brush.Color());
    canvas.SetBrushStyle(brush.Style());
    canvas.SetBackgroundMode(cbmOpaque);
    canvas.SetBackgroundColor(title.Color());
  }

  const bool framed = title.Frame().Visible() && title.Frame().Color() != platform::clDefault;
  int f = 0;
  if (framed) {
    canvas.UseChartPen(title.Frame());
    f = title.Frame().Width();
  } else {
    canvas.SetPenStyle(psClear);
  }

  const QStringList& lines = title.Text();
  const int n = static_cast<int>(lines.size());
  const TRect chartRect = ChartRect();
  const int top = atTop ? chartRect.Top + f : chartRect.Bottom - f - n * h;
  TRect rect{chartRect.Left, top - f, chartRect.Right, top + n * h + f};

  if (framed || canvas.BrushStyle() != bsClear) {
    if (title.AdjustFrame()) {
      int widest = 0;
      for (const QString& line : lines) {
        widest = std::max(widest, canvas.MeasureTextWidth(line));
      }
      const int w = widest + canvas.MeasureTextWidth(QStringLiteral("W"));
      switch (title.Alignment()) {
        case taLeftJustify:
          rect.Right = rect.Left + w;
          break;
        case taRightJustify:
          rect.Left = rect.Right - w;
          break;
        case taCenter: {
          const int centre = (rect.Left + rect.Right) / 2;
          rect.Left = centre - w / 2;
          rect.Right = rect.Left + w;
          break;
        }
      }
    }
    canvas.DrawRectangle(rect);
  }
  title.SetTitleRect(rect);

  canvas.SetBackgroundMode(cbmTransparent);
  const int halfW = canvas.MeasureTextWidth(QStringLiteral("W")) / 2;
  // The title's lines from the first down, the foot's from the last up.
  for (int i = 0; i < n; ++i) {
    const int k = atTop ? i : n - 1 - i;
    const QString& line = lines[k];
    int x = 0;
    switch (title.Alignment()) {
      case taCenter:
        x = (chartRect.Left + chartRect.Right) / 2 - canvas.MeasureTextWidth(line) / 2;
        break;
      case taLeftJustify:
        x = chartRect.Left + f + halfW;
        break;
      case taRightJustify:
        x = chartRect.Right - f - canvas.MeasureTextWidth(line) - halfW;
        break;
    }
    canvas.DrawText(x, top + k * h, line);
  }

  // The room taken: a gap of 5 below a title (above a foot) that has text.
  TRect shrunk = chartRect;
  const int gap = n > 0 ? 5 : 0;
  if (atTop) {
    shrunk.Top = top + n * h + (framed ? f : 0) + gap;
  } else {
    shrunk.Bottom = top - (framed ? f : 0) - gap;
  }
  SetChartRect(shrunk);
  RecalcChartRect();
}

void TCustomChart::DrawWalls() {
  PrepareWall(backWall_);
  const TRect r = ChartRect();
  // One pixel further right and down: the outline covers both edge columns and rows.
  Canvas().DrawRectangle(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
}

void TCustomChart::PrepareWall(TChartWall& wall) {
  TChartCanvas3D& canvas = Canvas();
  canvas.UseChartPen(wall.Pen());
  const TChartBrush& brush = wall.Brush();
  if (wall.Color() == platform::clDefault && brush.Style() == bsSolid) {
    canvas.SetBrushStyle(bsClear);
    return;
  }
  TColor color = wall.Color();
  if (brush.Style() != bsSolid && brush.Color() == wall.Color()) {
    // A hatch in the wall's own colour would not show.
    color = wall.Color() == platform::clBlack ? platform::clWhite : platform::clBlack;
  }
  canvas.SetBrushColor(color);
  canvas.SetBrushStyle(brush.Style());
  if (brush.Style() == bsSolid) {
    canvas.SetBackgroundMode(cbmTransparent);
  } else {
    canvas.SetBackgroundMode(cbmOpaque);
    canvas.SetBackgroundColor(brush.Color());
  }
}

TChart::TChart(QWidget* parent) : TCustomChart(parent) { SetRepaintEnabled(true); }

}  // namespace chart
