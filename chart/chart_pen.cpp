// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_pen.h"

#include <utility>

#include "platform/fonts.h"

namespace chart {
namespace {

void Notify(const std::function<void()>& onChange) {
  if (onChange) {
    onChange();
  }
}

}  // namespace

// --- TChartPen ----------------------------------------------------------------------

void TChartPen::Changed() { Notify(OnChange); }

void TChartPen::SetColor(TColor color) {
  if (StoreIfChanged(color_, color)) {
    Changed();
  }
}

void TChartPen::SetWidth(int width) {
  if (StoreIfChanged(width_, width)) {
    Changed();
  }
}

void TChartPen::SetStyle(TPenStyle style) {
  if (StoreIfChanged(style_, style)) {
    Changed();
  }
}

void TChartPen::SetVisible(bool visible) {
  if (StoreIfChanged(visible_, visible)) {
    Changed();
  }
}

void TChartPen::SetSmallDots(bool smallDots) {
  if (StoreIfChanged(smallDots_, smallDots)) {
    Changed();
  }
}

void TChartPen::Assign(const TChartPen& other) {
  // Non-short-circuit `|`: every property is copied.
  const bool changed = StoreIfChanged(color_, other.color_) | StoreIfChanged(width_, other.width_) | StoreIfChanged(style_, other.style_) |
                       StoreIfChanged(visible_, other.visible_) | StoreIfChanged(smallDots_, other.smallDots_);
  if (changed) {
    Changed();
  }
}

// --- TChartBrush --------------------------------------------------------------------

void TChartBrush::SetColor(TColor color) {
  // Any colour, even the white a clear brush already holds, makes a clear brush solid:
  // that is how a form's "Brush.Color = white" turns a wall's brush on.
  bool changed = StoreIfChanged(color_, color);
  if (style_ == bsClear) {
    style_ = bsSolid;
    changed = true;
  }
  if (changed) {
    Notify(OnChange);
  }
}

void TChartBrush::SetStyle(TBrushStyle style) {
  bool changed = StoreIfChanged(style_, style);
  if (style == bsClear) {
    changed = StoreIfChanged(color_, platform::clWhite) || changed;
  }
  if (changed) {
    Notify(OnChange);
  }
}

// --- TChartFont ---------------------------------------------------------------------

TChartFont::TChartFont(QString name, int height, TColor color, bool bold)
    : name_(std::move(name)), height_(height), bold_(bold), color_(color) {}

void TChartFont::Changed() { Notify(OnChange); }

void TChartFont::SetName(const QString& name) {
  if (StoreIfChanged(name_, name)) {
    Changed();
  }
}

void TChartFont::SetHeight(int height) {
  if (StoreIfChanged(height_, height)) {
    Changed();
  }
}

void TChartFont::SetBold(bool bold) {
  if (StoreIfChanged(bold_, bold)) {
    Changed();
  }
}

void TChartFont::SetItalic(bool italic) {
  if (StoreIfChanged(italic_, italic)) {
    Changed();
  }
}

void TChartFont::SetColor(TColor color) {
  if (StoreIfChanged(color_, color)) {
    Changed();
  }
}

QFont TChartFont::ToQFont() const {
  QFont font = platform::LayoutFont(name_, height_, bold_);
  font.setItalic(italic_);
  // Aliased glyphs: every text pixel is either the font colour or untouched.
  font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));
  return font;
}

}  // namespace chart
