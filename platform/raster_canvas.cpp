#include "platform/raster_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/fonts.h"

namespace platform {
namespace {

// Format_RGB32 keeps 0xFFRRGGBB; the program writes 0x00BBGGRR.
std::uint32_t ToPixel(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return 0xFF000000u | ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

TColor FromPixel(std::uint32_t pixel) {
  return ((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {  // b > 0
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

QFont Aliased(QFont font) {
  const int strategy = font.styleStrategy() & ~QFont::PreferAntialias;
  font.setStyleStrategy(QFont::StyleStrategy(strategy | QFont::NoAntialias));
  return font;
}

}  // namespace

RasterCanvas::RasterCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32),
      font_(Aliased(DefaultFont())),
      penPixel_(ToPixel(penColor_)),
      brushPixel_(ToPixel(brushColor_)) {
  image_.fill(Qt::white);
}

void RasterCanvas::SetPenColor(TColor color) {
  penColor_ = color;
  penPixel_ = ToPixel(color);
}

void RasterCanvas::SetPenWidth(int width) { penWidth_ = std::max(width, 1); }

void RasterCanvas::SetBrushColor(TColor color) {
  brushColor_ = color;
  brushPixel_ = ToPixel(color);
}

void RasterCanvas::SetFont(const QFont& font) { font_ = Aliased(font); }

void RasterCanvas::SetFontColor(TColor color) { fontColor_ = color; }

// --- pixel primitives -------------------------------------------------------------

void RasterCanvas::BeginDrawing() {
  // bits() detaches the image if someone shares it, so take it afresh for each operation.
  bits_ = image_.bits();
  bytesPerLine_ = image_.bytesPerLine();
}

void RasterCanvas::HorizontalSpan(int x1, int x2, int y, std::uint32_t pixel) {
  if (y < 0 || y >= Height()) {
    return;
  }
  x1 = std::max(x1, 0);
  x2 = std::min(x2, Width());
  if (x1 < x2) {
    std::fill(Row(y) + x1, Row(y) + x2, pixel);
  }
}

void RasterCanvas::FillBox(int x1, int y1, int x2, int y2, std::uint32_t pixel) {
  x1 = std::max(x1, 0);
  x2 = std::min(x2, Width());
  if (x1 >= x2) {
    return;
  }
  for (int y = std::max(y1, 0), yEnd = std::min(y2, Height()); y < yEnd; ++y) {
    std::fill(Row(y) + x1, Row(y) + x2, pixel);
  }
}

void RasterCanvas::ThinLine(QPoint from, QPoint to, std::uint32_t pixel) {
  const int w = Width();
  const int h = Height();
  auto plot = [&](int x, int y) {
    if (x >= 0 && x < w && y >= 0 && y < h) {
      Row(y)[x] = pixel;
    }
  };
  const std::int64_t dx = std::abs(std::int64_t{to.x()} - from.x());
  const std::int64_t dy = std::abs(std::int64_t{to.y()} - from.y());
  const int sx = to.x() < from.x() ? -1 : 1;
  const int sy = to.y() < from.y() ? -1 : 1;
  int x = from.x();
  int y = from.y();
  // The error term is twice the distance past the half-way point; stepping only when it
  // is strictly positive keeps a tie on the start point's side.
  if (dx >= dy) {
    std::int64_t err = 2 * dy - dx;
    for (std::int64_t i = 0; i < dx; ++i) {
      plot(x, y);
      if (err > 0) {
        y += sy;
        err -= 2 * dx;
      }
      err += 2 * dy;
      x += sx;
    }
  } else {
    std::int64_t err = 2 * dx - dy;
    for (std::int64_t i = 0; i < dy; ++i) {
      plot(x, y);
      if (err > 0) {
        x += sx;
        err -= 2 * dy;
      }
      err += 2 * dx;
      y += sy;
    }
  }
}

void RasterCanvas::WideSegment(QPoint from, QPoint to) {
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

  const std::int64_t left = std::max<std::int64_t>(CeilDiv(std::min(ax, bx) - w, 2), 0);
  const std::int64_t right = std::min<std::int64_t>(FloorDiv(std::max(ax, bx) + w, 2), Width() - 1);
  const std::int64_t top = std::max<std::int64_t>(CeilDiv(std::min(ay, by) - w, 2), 0);
  const std::int64_t bottom = std::min<std::int64_t>(FloorDiv(std::max(ay, by) + w, 2), Height() - 1);
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
  if (penWidth_ == 1) {
    for (std::size_t i = 0; i + 1 < n; ++i) {
      ThinLine(points[i], points[i + 1], penPixel_);
    }
    if (closed && n > 1) {
      ThinLine(points[n - 1], points[0], penPixel_);
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

void RasterCanvas::FillPolygon(std::span<const QPoint> points, std::uint32_t pixel) {
  const int height = Height();
  const std::size_t n = points.size();
  edges_.clear();
  int rowBegin = height;
  int rowEnd = 0;
  for (std::size_t i = 0; i < n; ++i) {
    QPoint top = points[i];
    QPoint bottom = points[(i + 1) % n];
    if (top.y() == bottom.y()) {
      continue;  // adds no crossing: the edges at its ends stand for it
    }
    if (top.y() > bottom.y()) {
      std::swap(top, bottom);
    }
    const int first = std::max(top.y(), 0);
    const int last = std::min(bottom.y(), height);
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

// --- operations ---------------------------------------------------------------------

void RasterCanvas::FillRect(int x1, int y1, int x2, int y2) {
  BeginDrawing();
  FillBox(x1, y1, x2, y2, brushPixel_);
}

void RasterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) {
    return;
  }
  BeginDrawing();
  if (penWidth_ > 1) {
    FillBox(x1 + 1, y1 + 1, x2 - 1, y2 - 1, brushPixel_);
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
  for (int y = std::max(y1 + 1, 0), yEnd = std::min(y2 - 1, Height()); y < yEnd; ++y) {
    HorizontalSpan(x1, x1 + 1, y, penPixel_);
    HorizontalSpan(x1 + 1, x2 - 1, y, brushPixel_);
    HorizontalSpan(x2 - 1, x2, y, penPixel_);
  }
}

void RasterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) {
    return;
  }
  BeginDrawing();
  const int outward = (penWidth_ - 1) / 2;
  const int inward = outward - (penWidth_ - 1);  // <= 0: the ring's inner edge
  EllipseSpans(x1, y1, x2, y2, outward, outerSpans_);
  const int outerFirstRow = y1 - outward - 1;
  for (std::size_t k = 0; k < outerSpans_.size(); ++k) {
    HorizontalSpan(outerSpans_[k].left, outerSpans_[k].right + 1, outerFirstRow + static_cast<int>(k), penPixel_);
  }
  // The inside is what stays when the ring is taken off: pixels of the inner ellipse whose
  // four side neighbours are all in it too.
  EllipseSpans(x1, y1, x2, y2, inward, innerSpans_);
  const int innerFirstRow = y1 - inward - 1;
  for (std::size_t k = 1; k + 1 < innerSpans_.size(); ++k) {
    const Span& above = innerSpans_[k - 1];
    const Span& here = innerSpans_[k];
    const Span& below = innerSpans_[k + 1];
    const int left = std::max({here.left + 1, above.left, below.left});
    const int right = std::min({here.right - 1, above.right, below.right});
    if (left <= right && above.left <= above.right && below.left <= below.right) {
      HorizontalSpan(left, right + 1, innerFirstRow + static_cast<int>(k), brushPixel_);
    }
  }
}

void RasterCanvas::Polygon(std::span<const QPoint> points) {
  if (points.size() < 2) {
    return;
  }
  BeginDrawing();
  FillPolygon(points, brushPixel_);
  StrokePath(points, true);
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

void RasterCanvas::TextOut(int x, int y, const QString& text) {
  const QFontMetrics metrics(font_, &image_);
  BeginDrawing();
  FillBox(x, y, x + metrics.horizontalAdvance(text), y + metrics.height(), brushPixel_);
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font_);
  painter.setPen(ToQColor(fontColor_));
  painter.drawText(x, y + metrics.ascent(), text);
}

QSize RasterCanvas::TextExtent(const QString& text) const {
  const QFontMetrics metrics(font_, &image_);
  return {metrics.horizontalAdvance(text), metrics.height()};
}

TColor RasterCanvas::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
    return clNone;
  }
  return FromPixel(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x]);
}

}  // namespace platform
