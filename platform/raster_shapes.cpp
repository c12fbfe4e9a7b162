// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Filled shapes: boxes, ellipses and polygons, the brush inside and the pen round them.
#include <algorithm>
#include <cmath>

#include "platform/raster_canvas.h"
#include "platform/raster_canvas_internal.h"

namespace platform {

using raster::CeilDiv;
using raster::FloorDiv;

void RasterCanvas::FillPolygon(std::span<const QPoint> points, std::uint32_t pixel) {
  const std::size_t n = points.size();
  edges_.clear();
  int rowBegin = clipBottom_;
  int rowEnd = clipTop_;
  for (std::size_t i = 0; i < n; ++i) {
    QPoint top = points[i];
    QPoint bottom = points[(i + 1) % n];
    if (top.y() == bottom.y()) {
      continue;  // adds no crossing: the edges at its ends stand for it
    }
    if (top.y() > bottom.y()) {
      std::swap(top, bottom);
    }
    const int first = std::max(top.y(), clipTop_);
    const int last = std::min(bottom.y(), clipBottom_);
    if (first >= last) {
      continue;
    }
    const std::int64_t dy = bottom.y() - top.y();
    const std::int64_t dxTotal = std::int64_t{bottom.x()} - top.x();
    const std::int64_t numerator = std::int64_t{top.x()} * dy + (first - top.y()) * dxTotal;
    const std::int64_t column = CeilDiv(numerator, dy);
    const std::int64_t columnStep = FloorDiv(dxTotal, dy);
    edges_.push_back({first, last, static_cast<int>(column), column * dy - numerator, dy,
                      static_cast<int>(columnStep), dxTotal - columnStep * dy});
    rowBegin = std::min(rowBegin, first);
    rowEnd = std::max(rowEnd, last);
  }

  for (int y = rowBegin; y < rowEnd; ++y) {
    crossings_.clear();
    for (PolygonEdge& e : edges_) {
      if (y < e.yTop || y >= e.yBottom) {
        continue;
      }
      // Columns from the rounded-up crossing on are right of it, so odd-even pairs of
      // rounded-up crossings are exactly the half-open spans of the interior.
      crossings_.push_back(e.column);
      e.column += e.columnStep;
      e.remainder -= e.remainderStep;
      if (e.remainder < 0) {
        e.remainder += e.dy;
        ++e.column;
      }
    }
    std::sort(crossings_.begin(), crossings_.end());
    for (std::size_t k = 0; k + 1 < crossings_.size(); k += 2) {
      HorizontalSpan(crossings_[k], crossings_[k + 1], y, pixel);
    }
  }
}

void RasterCanvas::EllipseSpans(int x1, int y1, int x2, int y2, int grow, std::vector<Span>& spans) const {
  // Pixel (i, j) is in when its centre lies inside the ellipse inscribed in the box grown
  // by `grow` on every side; in doubled coordinates about the centre that is
  // u^2 B^2 + v^2 A^2 <= A^2 B^2, all integers. Rows y1-grow-1 and y2+grow are empty
  // neighbours so that the caller can look one row up and down.
  spans.clear();
  const std::int64_t a = std::int64_t{x2} - x1 + 2 * grow;
  const std::int64_t b = std::int64_t{y2} - y1 + 2 * grow;
  if (a <= 0 || b <= 0) {
    return;
  }
  const std::int64_t sumX = std::int64_t{x1} + x2;
  const std::int64_t sumY = std::int64_t{y1} + y2;
  const std::int64_t b2 = b * b;
  for (std::int64_t j = std::int64_t{y1} - grow - 1; j <= std::int64_t{y2} + grow; ++j) {
    const std::int64_t v = 2 * j + 1 - sumY;
    const std::int64_t reach = a * a * (b2 - v * v);  // u^2 b^2 must not exceed it
    if (reach < 0) {
      spans.push_back({1, 0});
      continue;
    }
    auto u = static_cast<std::int64_t>(std::sqrt(static_cast<double>(reach) / static_cast<double>(b2)));
    while ((u + 1) * (u + 1) * b2 <= reach) {
      ++u;
    }
    while (u > 0 && u * u * b2 > reach) {
      --u;
    }
    spans.push_back({static_cast<int>(CeilDiv(sumX - 1 - u, 2)), static_cast<int>(FloorDiv(sumX - 1 + u, 2))});
  }
}

void RasterCanvas::FillRect(int x1, int y1, int x2, int y2) {
  if (brushStyle_ == FillStyle::Clear) {
    return;
  }
  BeginDrawing();
  FillBox(x1, y1, x2, y2, brushPixel_);
}

void RasterCanvas::NotXorOutline(int x1, int y1, int x2, int y2, TColor color) {
  if (x2 <= x1 || y2 <= y1) {
    return;
  }
  BeginDrawing();
  const std::uint32_t pen = ToQColor(color).rgb() & 0xFFFFFFu;
  auto invert = [&](int x, int y) {
    if (x >= clipLeft_ && x < clipRight_ && y >= clipTop_ && y < clipBottom_) {
      std::uint32_t& p = Row(y)[x];
      p = 0xFF000000u | (~(pen ^ p) & 0xFFFFFFu);
    }
  };
  for (int x = x1; x < x2; ++x) {
    invert(x, y1);
    if (y2 - 1 > y1) {
      invert(x, y2 - 1);
    }
  }
  for (int y = y1 + 1; y < y2 - 1; ++y) {
    invert(x1, y);
    if (x2 - 1 > x1) {
      invert(x2 - 1, y);
    }
  }
}

void RasterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) {
    return;
  }
  BeginDrawing();
  const bool fill = brushStyle_ == FillStyle::Solid;
  if (penStyle_ == LineStyle::Clear) {
    if (fill) {
      FillBox(x1, y1, x2, y2, brushPixel_);
    }
    return;
  }
  if (penWidth_ > 1 || penStyle_ != LineStyle::Solid || !fill) {
    if (fill) {
      FillBox(x1 + 1, y1 + 1, x2 - 1, y2 - 1, brushPixel_);
    }
    const QPoint corners[] = {{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}};
    StrokePath(corners, true);
    return;
  }
  if (penPixel_ == brushPixel_) {
    FillBox(x1, y1, x2, y2, penPixel_);
    return;
  }
  HorizontalSpan(x1, x2, y1, penPixel_);
  HorizontalSpan(x1, x2, y2 - 1, penPixel_);
  FillBox(x1 + 1, y1 + 1, x2 - 1, y2 - 1, brushPixel_);
  // The side columns, pixel by pixel: the plotting area's wall is a tall box.
  const bool left = x1 >= clipLeft_ && x1 < clipRight_;
  const bool right = x2 - 1 >= clipLeft_ && x2 - 1 < clipRight_;
  for (int y = std::max(y1 + 1, clipTop_), yEnd = std::min(y2 - 1, clipBottom_); y < yEnd; ++y) {
    if (left) {
      Row(y)[x1] = penPixel_;
    }
    if (right) {
      Row(y)[x2 - 1] = penPixel_;
    }
  }
}

void RasterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) {
    return;
  }
  BeginDrawing();
  const bool fill = brushStyle_ == FillStyle::Solid;
  if (penStyle_ == LineStyle::Clear) {
    if (fill) {
      EllipseSpans(x1, y1, x2, y2, 0, outerSpans_);
      for (std::size_t k = 0; k < outerSpans_.size(); ++k) {
        HorizontalSpan(outerSpans_[k].left, outerSpans_[k].right + 1, y1 - 1 + static_cast<int>(k), brushPixel_);
      }
    }
    return;
  }
  const int outward = (penWidth_ - 1) / 2;
  const int inward = outward - (penWidth_ - 1);  // <= 0: the ring's inner edge
  EllipseSpans(x1, y1, x2, y2, outward, outerSpans_);
  EllipseSpans(x1, y1, x2, y2, inward, innerSpans_);
  const int outerFirstRow = y1 - outward - 1;
  const int innerFirstRow = y1 - inward - 1;
  // The inside is what stays when the ring is taken off: pixels of the inner ellipse whose
  // four side neighbours are all in it too.
  auto inside = [&](int row) -> Span {
    const auto k = static_cast<std::size_t>(row - innerFirstRow);
    if (row <= innerFirstRow || k + 1 >= innerSpans_.size()) {
      return {1, 0};
    }
    const Span& above = innerSpans_[k - 1];
    const Span& here = innerSpans_[k];
    const Span& below = innerSpans_[k + 1];
    if (above.left > above.right || below.left > below.right) {
      return {1, 0};
    }
    return {std::max({here.left + 1, above.left, below.left}), std::min({here.right - 1, above.right, below.right})};
  };
  for (std::size_t k = 0; k < outerSpans_.size(); ++k) {
    const int row = outerFirstRow + static_cast<int>(k);
    const Span ring = outerSpans_[k];
    const Span in = inside(row);
    if (in.left > in.right) {
      HorizontalSpan(ring.left, ring.right + 1, row, penPixel_);
    } else if (fill) {
      HorizontalSpan(ring.left, in.left, row, penPixel_);
      HorizontalSpan(in.left, in.right + 1, row, brushPixel_);
      HorizontalSpan(in.right + 1, ring.right + 1, row, penPixel_);
    } else {
      HorizontalSpan(ring.left, in.left, row, penPixel_);
      HorizontalSpan(in.right + 1, ring.right + 1, row, penPixel_);
    }
  }
}

void RasterCanvas::Polygon(std::span<const QPoint> points) {
  if (points.size() < 2) {
    return;
  }
  BeginDrawing();
  if (brushStyle_ == FillStyle::Solid) {
    FillPolygon(points, brushPixel_);
  }
  StrokePath(points, true);
}

}  // namespace platform
