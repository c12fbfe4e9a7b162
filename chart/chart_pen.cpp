#include "chart/chart_pen.h"

#include <utility>

#include "platform/fonts.h"

namespace chart {
namespace {

// Stores the value and reports whether it was new.
template <typename T>
bool Store(T& field, const T& value) {
  if (field == value) {
    return false;
  }
  field = value;
  return true;
}

void Notify(const std::function<void()>& onChange) {
  if (onChange) {
    onChange();
  }
}

}  // namespace

// --- TChartPen ----------------------------------------------------------------------

void TChartPen::Changed() { Notify(OnChange); }

void TChartPen::SetColor(TColor color) {
  if (Store(color_, color)) {
    Changed();
  }
}

void TChartPen::SetWidth(int width) {
  if (Store(width_, width)) {
    Changed();
  }
}

void TChartPen::SetStyle(TPenStyle style) {
  if (Store(style_, style)) {
    Changed();
  }
}

void TChartPen::SetVisible(bool visible) {
  if (Store(visible_, visible)) {
    Changed();
  }
}

void TChartPen::SetSmallDots(bool smallDots) {
  if (Store(smallDots_, smallDots)) {
    Changed();
  }
}

void TChartPen::Assign(const TChartPen& other) {
  // Non-short-circuit `|`: every property is copied.
  const bool changed = Store(color_, other.color_) | Store(width_, other.width_) | Store(style_, other.style_) |
                       Store(visible_, other.visible_) | Store(smallDots_, other.smallDots_);
  if (changed) {
    Changed();
  }
}

// --- TChartBrush --------------------------------------------------------------------

void TChartBrush::SetColor(TColor color) {
  // Any colour, even the white a clear brush already holds, makes a clear brush solid:
  // that is how a form's "Brush.Color = white" turns a wall's brush on.
  bool changed = Store(color_, color);
  if (style_ == bsClear) {
    style_ = bsSolid;
    changed = true;
  }
  if (changed) {
    Notify(OnChange);
  }
}

void TChartBrush::SetStyle(TBrushStyle style) {
  bool changed = Store(style_, style);
  if (style == bsClear) {
    changed = Store(color_, platform::clWhite) || changed;
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
  if (Store(name_, name)) {
    Changed();
  }
}

void TChartFont::SetHeight(int height) {
  if (Store(height_, height)) {
    Changed();
  }
}

void TChartFont::SetBold(bool bold) {
  if (Store(bold_, bold)) {
    Changed();
  }
}

void TChartFont::SetItalic(bool italic) {
  if (Store(italic_, italic)) {
    Changed();
  }
}

void TChartFont::SetColor(TColor color) {
  if (Store(color_, color)) {
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
