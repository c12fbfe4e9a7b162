// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Lines and open paths: 1-pixel lines solid and patterned, wider pens, and the short ways
// the chart draws its traces and grid by.
#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "platform/raster_canvas.h"
#include "platform/raster_canvas_internal.h"

namespace platform {
namespace {

// On and off runs of the cosmetic pen styles, as a bit per pixel of one period.
struct LinePattern {
  std::uint32_t bits;
  int period;
};

constexpr LinePattern Pattern(std::initializer_list<int> runs) {
  std::uint32_t bits = 0;
  int position = 0;
  bool on = true;
  for (const int run : runs) {
    for (int i = 0; i < run; ++i, ++position) {
      if (on) {
        bits |= 1u << position;
      }
    }
    on = !on;
  }
  return {bits, position};
}

LinePattern PatternOf(LineStyle style) {
  switch (style) {
    case LineStyle::Dash:
      return Pattern({18, 6});
    case LineStyle::Dot:
      return Pattern({3, 3});
    case LineStyle::DashDot:
      return Pattern({9, 6, 3, 6});
    case LineStyle::DashDotDot:
      return Pattern({9, 3, 3, 3, 3, 3});
    case LineStyle::Alternate:
      return Pattern({1, 1});
    default:
      return Pattern({1});
  }
}

}  // namespace

using raster::CeilDiv;
using raster::FloorDiv;

template <class Plot>
void RasterCanvas::WalkLine(QPoint from, QPoint to, Plot plot) {
  const std::int64_t dx = std::abs(std::int64_t{to.x()} - from.x());
  const std::int64_t dy = std::abs(std::int64_t{to.y()} - from.y());
  const int sx = to.x() < from.x() ? -1 : 1;
  const int sy = to.y() < from.y() ? -1 : 1;
  const bool xMajor = dx >= dy;
  const std::int64_t major = xMajor ? dx : dy;
  const std::int64_t minor = xMajor ? dy : dx;
  int x = from.x();
  int y = from.y();
  // The error term is twice the distance past the half-way point; stepping only when it
  // is strictly positive keeps a tie on the start point's side.
  std::int64_t err = 2 * minor - major;
  for (std::int64_t i = 0; i < major; ++i) {
    plot(x, y);
    if (err > 0) {
      if (xMajor) {
        y += sy;
      } else {
        x += sx;
      }
      err -= 2 * major;
    }
    err += 2 * minor;
    if (xMajor) {
      x += sx;
    } else {
      y += sy;
    }
  }
}

void RasterCanvas::LineInside(QPoint from, QPoint to, std::uint32_t pixel) {
  // Every pixel of the line lies in the box its ends span, so none needs the clip: the
  // same steps as WalkLine's, on one pointer.
  const int dx = std::abs(to.x() - from.x());
  const int dy = std::abs(to.y() - from.y());
  const std::ptrdiff_t rowStep = bytesPerLine_ / static_cast<qsizetype>(sizeof(std::uint32_t));
  const std::ptrdiff_t stepX = to.x() < from.x() ? -1 : 1;
  const std::ptrdiff_t stepY = to.y() < from.y() ? -rowStep : rowStep;
  const bool xMajor = dx >= dy;
  const int major = xMajor ? dx : dy;
  const int minor = xMajor ? dy : dx;
  const std::ptrdiff_t majorStep = xMajor ? stepX : stepY;
  const std::ptrdiff_t minorStep = xMajor ? stepY : stepX;
  std::uint32_t* p = Row(from.y()) + from.x();
  int err = 2 * minor - major;
  for (int i = 0; i < major; ++i) {
    *p = pixel;
    if (err > 0) {
      p += minorStep;
      err -= 2 * major;
    }
    err += 2 * minor;
    p += majorStep;
  }
}

void RasterCanvas::ThinLine(QPoint from, QPoint to, std::uint32_t pixel) {
  if (from.y() == to.y()) {  // grid lines, ticks and bevels: one span
    const int left = from.x() < to.x() ? from.x() : to.x() + 1;
    const int right = from.x() < to.x() ? to.x() : from.x() + 1;
    HorizontalSpan(left, right, from.y(), pixel);
    return;
  }
  if (!plainDrawing_ && InsideClip(from) && InsideClip(to)) {
    LineInside(from, to, pixel);
    return;
  }
  WalkLine(from, to, [&](int x, int y) {
    if (x >= clipLeft_ && x < clipRight_ && y >= clipTop_ && y < clipBottom_) {
      Row(y)[x] = pixel;
    }
  });
}

void RasterCanvas::StyledLine(QPoint from, QPoint to, int& phase) {
  if (penStyle_ == LineStyle::Solid) {
    ThinLine(from, to, penPixel_);
    return;
  }
  const LinePattern pattern = PatternOf(penStyle_);
  auto put = [&](std::uint32_t* pixel) {
    if (((pattern.bits >> phase) & 1u) != 0) {
      *pixel = penPixel_;
    } else if (opaqueBackground_) {
      *pixel = backgroundPixel_;
    }
    if (++phase == pattern.period) {
      phase = 0;
    }
  };
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  if (dx == 0 || dy == 0) {
    // Grid lines run along a row or a column: clip the run once, then step the pattern.
    const bool horizontal = dy == 0;
    const int length = std::abs(horizontal ? dx : dy);
    const int step = (horizontal ? dx : dy) < 0 ? -1 : 1;
    const int across = horizontal ? from.y() : from.x();
    const int along = horizontal ? from.x() : from.y();
    const int low = horizontal ? clipLeft_ : clipTop_;
    const int high = horizontal ? clipRight_ : clipBottom_;
    const bool crossesClip =
        horizontal ? across >= clipTop_ && across < clipBottom_ : across >= clipLeft_ && across < clipRight_;
    const int endPhase = (phase + length) % pattern.period;
    if (crossesClip) {
      const int first = std::max(0, step > 0 ? low - along : along - (high - 1));
      const int end = std::min(length, step > 0 ? high - along : along - low + 1);
      if (first < end) {
        phase = (phase + first) % pattern.period;
        // One pointer walked along the run, a pixel or a row at a time.
        const int start = along + first * step;
        std::uint32_t* pixel = horizontal ? Row(across) + start : Row(start) + across;
        const std::ptrdiff_t stride =
            horizontal ? step : step * static_cast<std::ptrdiff_t>(bytesPerLine_ / sizeof(std::uint32_t));
        if (plainDrawing_) {
          for (std::ptrdiff_t k = 0; k < end - first; ++k) {
            put(pixel + k * stride);
          }
        } else {
          // Whole periods of the pattern at a time, each of its pixels at a known offset:
          // grid lines are hundreds of pixels long, and a transparent gap costs nothing.
          const int count = end - first;
          int k = 0;
          for (; k < count && phase != 0; ++k) {
            put(pixel + k * stride);
          }
          if (count - k >= pattern.period) {
            std::ptrdiff_t on[32];
            std::ptrdiff_t off[32];
            int ons = 0;
            int offs = 0;
            for (int j = 0; j < pattern.period; ++j) {
              if (((pattern.bits >> j) & 1u) != 0) {
                on[ons++] = j * stride;
              } else if (opaqueBackground_) {
                off[offs++] = j * stride;
              }
            }
            for (; count - k >= pattern.period; k += pattern.period) {
              std::uint32_t* p = pixel + k * stride;
              for (int j = 0; j < ons; ++j) {
                p[on[j]] = penPixel_;
              }
              for (int j = 0; j < offs; ++j) {
                p[off[j]] = backgroundPixel_;
              }
            }
          }
          for (; k < count; ++k) {
            put(pixel + k * stride);
          }
        }
      }
    }
    phase = endPhase;
    return;
  }
  // The pattern runs on outside the clip, so a clipped line keeps its dots in place.
  WalkLine(from, to, [&](int x, int y) {
    if (x >= clipLeft_ && x < clipRight_ && y >= clipTop_ && y < clipBottom_) {
      put(Row(y) + x);
    } else if (++phase == pattern.period) {
      phase = 0;
    }
  });
}

void RasterCanvas::WideSegment(QPoint from, QPoint to) {
  // A 2-pixel segment along a row or a column (the chart's axis lines): the path half a
  // pixel up and left runs between two pixel rows (columns) and passes both, and the disc
  // at each end takes in one more pixel of each; so it is a box.
  constexpr int Near = 1 << 30;
  if (penWidth_ == 2 && (from.x() == to.x() || from.y() == to.y()) && std::abs(from.x()) < Near &&
      std::abs(from.y()) < Near && std::abs(to.x()) < Near && std::abs(to.y()) < Near) {
    FillBox(std::min(from.x(), to.x()) - 1, std::min(from.y(), to.y()) - 1, std::max(from.x(), to.x()) + 1,
            std::max(from.y(), to.y()) + 1, penPixel_);
    return;
  }
  // Twice the pixel coordinates, so that the half-pixel shift of an even width and the
  // radius w/2 stay integers and the distance test is exact.
  const std::int64_t w = penWidth_;
  const std::int64_t shift = (w % 2 == 0) ? 1 : 0;
  const std::int64_t ax = 2 * std::int64_t{from.x()} - shift;
  const std::int64_t ay = 2 * std::int64_t{from.y()} - shift;
  const std::int64_t bx = 2 * std::int64_t{to.x()} - shift;
  const std::int64_t by = 2 * std::int64_t{to.y()} - shift;
  const std::int64_t dx = bx - ax;
  const std::int64_t dy = by - ay;
  const std::int64_t length2 = dx * dx + dy * dy;
  const std::int64_t radius2 = w * w;

  const std::int64_t left = std::max<std::int64_t>(CeilDiv(std::min(ax, bx) - w, 2), clipLeft_);
  const std::int64_t right = std::min<std::int64_t>(FloorDiv(std::max(ax, bx) + w, 2), clipRight_ - 1);
  const std::int64_t top = std::max<std::int64_t>(CeilDiv(std::min(ay, by) - w, 2), clipTop_);
  const std::int64_t bottom = std::min<std::int64_t>(FloorDiv(std::max(ay, by) + w, 2), clipBottom_ - 1);
  for (std::int64_t j = top; j <= bottom; ++j) {
    std::uint32_t* row = Row(static_cast<int>(j));
    for (std::int64_t i = left; i <= right; ++i) {
      const std::int64_t px = 2 * i - ax;
      const std::int64_t py = 2 * j - ay;
      const std::int64_t along = px * dx + py * dy;
      bool inside;
      if (along <= 0) {
        inside = px * px + py * py <= radius2;
      } else if (along >= length2) {
        const std::int64_t qx = 2 * i - bx;
        const std::int64_t qy = 2 * j - by;
        inside = qx * qx + qy * qy <= radius2;
      } else {
        const std::int64_t across = px * dy - py * dx;
        inside = across * across <= radius2 * length2;
      }
      if (inside) {
        row[i] = penPixel_;
      }
    }
  }
}

void RasterCanvas::StrokePath(std::span<const QPoint> points, bool closed) {
  const std::size_t n = points.size();
  if (penStyle_ == LineStyle::Clear) {
    return;
  }
  if (penWidth_ == 1) {
    int phase = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
      StyledLine(points[i], points[i + 1], phase);
    }
    if (closed && n > 1) {
      StyledLine(points[n - 1], points[0], phase);
    }
    return;
  }
  if (n == 1) {
    WideSegment(points[0], points[0]);
  }
  for (std::size_t i = 0; i + 1 < n; ++i) {
    WideSegment(points[i], points[i + 1]);
  }
  if (closed && n > 2) {
    WideSegment(points[n - 1], points[0]);
  }
}

void RasterCanvas::Polyline(std::span<const QPoint> points) {
  BeginDrawing();
  StrokePath(points, false);
}

void RasterCanvas::MoveTo(int x, int y) { penPos_ = QPoint(x, y); }

void RasterCanvas::LineTo(int x, int y) {
  const QPoint path[] = {penPos_, QPoint(x, y)};
  BeginDrawing();
  StrokePath(path, false);
  penPos_ = path[1];
}

void RasterCanvas::SolidLines(std::span<const SolidSegment> segments) {
  BeginDrawing();
  if (plainDrawing_) {
    for (const SolidSegment& s : segments) {
      ThinLine(s.from, s.to, s.pixel);
    }
    return;
  }
  // A trace is thousands of short lines, nearly all of them inside the plot, and most of
  // them one step long: such a line is just its start pixel.
  // The clip in locals: a pixel written could otherwise be the clip for all the compiler
  // knows, and it would read the clip afresh for every line.
  const std::ptrdiff_t rowStep = bytesPerLine_ / static_cast<qsizetype>(sizeof(std::uint32_t));
  auto* const origin = reinterpret_cast<std::uint32_t*>(bits_);
  const int left = clipLeft_;
  const int top = clipTop_;
  const auto columns = static_cast<unsigned>(clipRight_ - clipLeft_);
  const auto rows = static_cast<unsigned>(clipBottom_ - clipTop_);
  const auto inside = [&](QPoint p) {
    return static_cast<unsigned>(p.x()) - static_cast<unsigned>(left) < columns &&
           static_cast<unsigned>(p.y()) - static_cast<unsigned>(top) < rows;
  };
  for (const SolidSegment& s : segments) {
    if (!inside(s.from) || !inside(s.to)) {
      ThinLine(s.from, s.to, s.pixel);
      continue;
    }
    const int dx = s.to.x() - s.from.x();
    const int dy = s.to.y() - s.from.y();
    if (static_cast<unsigned>(dx + 1) <= 2u && static_cast<unsigned>(dy + 1) <= 2u) {
      if (dx != 0 || dy != 0) {
        origin[s.from.y() * rowStep + s.from.x()] = s.pixel;
      }
    } else {
      LineInside(s.from, s.to, s.pixel);
    }
  }
}

}  // namespace platform
