// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Text: each text rendered once per font and angle and kept as pixel runs, and those runs
// placed by TextOut and DrawText.
#include <QHashFunctions>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/raster_canvas.h"
#include "platform/raster_canvas_internal.h"

namespace platform {
namespace {

// Exact sine and cosine on the right angles, where the text frame must land on whole pixels.
void SineCosine(int degrees, double& sine, double& cosine) {
  switch (degrees) {
    case 0:
      sine = 0, cosine = 1;
      return;
    case 90:
      sine = 1, cosine = 0;
      return;
    case 180:
      sine = 0, cosine = -1;
      return;
    case 270:
      sine = -1, cosine = 0;
      return;
    default:
      sine = std::sin(degrees * std::numbers::pi / 180);
      cosine = std::cos(degrees * std::numbers::pi / 180);
  }
}

}  // namespace

using raster::ToPixel;

std::size_t RasterCanvas::TextKeyHash::operator()(const TextKey& key) const {
  return qHashMulti(0, key.text, key.font, key.angle);
}

RasterCanvas::SpanBounds RasterCanvas::BoundsOf(const std::vector<TextSpan>& spans) {
  SpanBounds bounds;
  bool any = false;
  for (const TextSpan& span : spans) {
    if (span.x1 >= span.x2) {
      continue;
    }
    if (!any) {
      bounds = {span.x1, span.y, span.x2, span.y + 1};
      any = true;
    }
    bounds.left = std::min(bounds.left, span.x1);
    bounds.right = std::max(bounds.right, span.x2);
    bounds.top = std::min(bounds.top, span.y);
    bounds.bottom = std::max(bounds.bottom, span.y + 1);
  }
  return bounds;
}

const RasterCanvas::RenderedText& RasterCanvas::Rendered(const QString& text, int angle) {
  TextKey key{fontIndex_, angle, text};
  if (const auto found = texts_.find(key); found != texts_.end()) {
    return found->second;
  }
  // Axis labels repeat from frame to frame, but a range that keeps moving brings new ones:
  // start afresh rather than grow without bound.
  constexpr std::size_t MaxKeptTexts = 512;
  if (texts_.size() >= MaxKeptTexts) {
    texts_.clear();
  }
  RenderedText rendered{metrics_.horizontalAdvance(text), metrics_.height(), metrics_.ascent(), {}, {}, {}, {}};
  double sine = 0;
  double cosine = 1;
  SineCosine(angle, sine, cosine);
  // The text frame's point (u, v) lies at (u cos + v sin, -u sin + v cos) from the cell's
  // corner: u along the baseline, v down the glyphs.
  const QTransform frame(cosine, -sine, sine, cosine, 0, 0);
  const QRect cellBounds = frame.mapRect(QRectF(0, 0, rendered.width, rendered.height)).toAlignedRect();

  // Glyphs may reach past their cell (bearings, slant), so render with room around it.
  const int margin = rendered.height / 2 + 2;
  const QRect bounds = cellBounds.adjusted(-margin, -margin, margin, margin);
  // One scratch image serves every text: a painter on an image it has painted before
  // starts several times faster than on a new one.
  if (textMask_.width() < bounds.width() || textMask_.height() < bounds.height()) {
    textMask_ = QImage(std::max(bounds.width(), textMask_.width()), std::max(bounds.height(), textMask_.height()),
                       QImage::Format_RGB32);
  }
  QImage& mask = textMask_;
  for (int y = 0; y < bounds.height(); ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(mask.scanLine(y));
    std::fill(row, row + bounds.width(), 0u);
  }
  {
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font_);
    painter.setPen(QColor(255, 255, 255));
    painter.setTransform(frame * QTransform::fromTranslate(-bounds.left(), -bounds.top()));
    painter.drawText(0, rendered.ascent, text);
  }
  for (int y = 0; y < bounds.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(mask.constScanLine(y));
    for (int x = 0; x < bounds.width();) {
      if ((row[x] & 0xFF00u) < 0x8000u) {
        ++x;
        continue;
      }
      const int first = x;
      while (x < bounds.width() && (row[x] & 0xFF00u) >= 0x8000u) {
        ++x;
      }
      rendered.glyphs.push_back({y + bounds.top(), first + bounds.left(), x + bounds.left()});
    }
  }
  const auto keep = [&]() -> const RenderedText& {
    rendered.glyphBounds = BoundsOf(rendered.glyphs);
    rendered.cellBounds = BoundsOf(rendered.cell);
    return texts_.emplace(std::move(key), std::move(rendered)).first->second;
  };
  // The cell: pixels whose centres fall inside it once turned back into the text frame.
  if (angle % 90 == 0) {
    for (int y = cellBounds.top(); y <= cellBounds.bottom(); ++y) {
      rendered.cell.push_back({y, cellBounds.left(), cellBounds.right() + 1});
    }
    return keep();
  }
  for (int y = cellBounds.top() - 1; y <= cellBounds.bottom() + 1; ++y) {
    int first = 0;
    int last = -1;
    for (int x = cellBounds.left() - 1; x <= cellBounds.right() + 1; ++x) {
      const double cx = x + 0.5;
      const double cy = y + 0.5;
      const double u = cx * cosine - cy * sine;
      const double v = cx * sine + cy * cosine;
      if (u >= 0 && u < rendered.width && v >= 0 && v < rendered.height) {
        first = last < first ? x : first;
        last = x;
      }
    }
    if (last >= first) {
      rendered.cell.push_back({y, first, last + 1});
    }
  }
  return keep();
}

void RasterCanvas::PaintSpans(int x, int y, const std::vector<TextSpan>& spans, const SpanBounds& bounds,
                              std::uint32_t pixel) {
  if (!plainDrawing_ && InsideClip(x + bounds.left, y + bounds.top, x + bounds.right, y + bounds.bottom)) {
    // A label wholly inside the clip, as labels nearly always are: no clip per run.
    for (const TextSpan& span : spans) {
      std::uint32_t* row = Row(y + span.y) + x;
      for (int i = span.x1; i < span.x2; ++i) {
        row[i] = pixel;
      }
    }
    return;
  }
  for (const TextSpan& span : spans) {
    HorizontalSpan(x + span.x1, x + span.x2, y + span.y, pixel);
  }
}

void RasterCanvas::TextOut(int x, int y, const QString& text) {
  if (text.isEmpty()) {
    return;
  }
  BeginDrawing();
  const RenderedText& rendered = Rendered(text, 0);
  if (brushStyle_ == FillStyle::Solid) {
    PaintSpans(x, y, rendered.cell, rendered.cellBounds, brushPixel_);
  }
  PaintSpans(x, y, rendered.glyphs, rendered.glyphBounds, ToPixel(fontColor_));
}

void RasterCanvas::DrawText(int x, int y, const QString& text, int angle) {
  if (text.isEmpty()) {
    return;
  }
  angle = ((angle % 360) + 360) % 360;
  BeginDrawing();
  const RenderedText& rendered = Rendered(text, angle);
  int along = 0;  // the reference point in the text frame
  if ((textAlign_ & AlignCenter) == AlignCenter) {
    along = rendered.width / 2;
  } else if ((textAlign_ & AlignRight) != 0) {
    along = rendered.width;
  }
  int down = 0;
  if ((textAlign_ & AlignBaseline) == AlignBaseline) {
    down = rendered.ascent;
  } else if ((textAlign_ & AlignBottom) != 0) {
    down = rendered.height;
  }
  double sine = 0;
  double cosine = 1;
  SineCosine(angle, sine, cosine);
  const int cornerX = x - static_cast<int>(std::lround(along * cosine + down * sine));
  const int cornerY = y - static_cast<int>(std::lround(-along * sine + down * cosine));
  if (opaqueBackground_) {
    PaintSpans(cornerX, cornerY, rendered.cell, rendered.cellBounds, backgroundPixel_);
  }
  PaintSpans(cornerX, cornerY, rendered.glyphs, rendered.glyphBounds, ToPixel(fontColor_));
}

QSize RasterCanvas::TextExtent(const QString& text) const {
  return {metrics_.horizontalAdvance(text), metrics_.height()};
}

}  // namespace platform
