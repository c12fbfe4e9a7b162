#include "platform/raster_canvas.h"

#include <QFontMetrics>
#include <QHashFunctions>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>
#include <numbers>

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

// One pixel value over a run of pixels. On the long runs of backgrounds the C library's
// wide-character fill, which writes 32-bit units with the widest stores the processor has,
// is several times faster than the loop compiled for the baseline instruction set; a short
// run is not worth its call.
void FillPixels(std::uint32_t* first, std::uint32_t* last, std::uint32_t pixel) {
  static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
  if (last - first < 32) {
    std::fill(first, last, pixel);
    return;
  }
  std::wmemset(reinterpret_cast<wchar_t*>(first), static_cast<wchar_t>(pixel), static_cast<std::size_t>(last - first));
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

std::size_t RasterCanvas::TextKeyHash::operator()(const TextKey& key) const {
  return qHashMulti(0, key.text, key.font, key.angle);
}

RasterCanvas::RasterCanvas(int width, int height)
    : image_(width, height, QImage::Format_RGB32),
      font_(Aliased(DefaultFont())),
      metrics_(font_, &image_),
      clipRight_(image_.width()),
      clipBottom_(image_.height()),
      penPixel_(ToPixel(penColor_)),
      brushPixel_(ToPixel(brushColor_)),
      backgroundPixel_(ToPixel(backgroundColor_)),
      fonts_{font_} {
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

void RasterCanvas::SetFont(const QFont& font) {
  QFont aliased = Aliased(font);
  if (aliased == font_) {
    return;  // the chart sets the same font before each label
  }
  font_ = std::move(aliased);
  metrics_ = QFontMetrics(font_, &image_);
  const auto known = std::find(fonts_.begin(), fonts_.end(), font_);
  fontIndex_ = static_cast<int>(known - fonts_.begin());
  if (known == fonts_.end()) {
    fonts_.push_back(font_);
  }
}

void RasterCanvas::SetBackgroundColor(TColor color) {
  backgroundColor_ = color;
  backgroundPixel_ = ToPixel(color);
}

void RasterCanvas::IntersectClip(int x1, int y1, int x2, int y2) {
  clipLeft_ = std::max(clipLeft_, x1);
  clipTop_ = std::max(clipTop_, y1);
  clipRight_ = std::max(clipLeft_, std::min(clipRight_, x2));
  clipBottom_ = std::max(clipTop_, std::min(clipBottom_, y2));
}

void RasterCanvas::RemoveClip() {
  clipLeft_ = 0;
  clipTop_ = 0;
  clipRight_ = Width();
  clipBottom_ = Height();
}

void RasterCanvas::SetFontColor(TColor color) { fontColor_ = color; }

// --- pixel primitives -------------------------------------------------------------

void RasterCanvas::BeginDrawing() {
  // bits() detaches the image if someone shares it, so take it afresh for each operation.
  bits_ = image_.bits();
  bytesPerLine_ = image_.bytesPerLine();
}

void RasterCanvas::HorizontalSpan(int x1, int x2, int y, std::uint32_t pixel) {
  if (y < clipTop_ || y >= clipBottom_) {
    return;
  }
  x1 = std::max(x1, clipLeft_);
  x2 = std::min(x2, clipRight_);
  if (x1 < x2) {
    FillPixels(Row(y) + x1, Row(y) + x2, pixel);
  }
}

void RasterCanvas::FillBox(int x1, int y1, int x2, int y2, std::uint32_t pixel) {
  x1 = std::max(x1, clipLeft_);
  x2 = std::min(x2, clipRight_);
  if (x1 >= x2) {
    return;
  }
  for (int y = std::max(y1, clipTop_), yEnd = std::min(y2, clipBottom_); y < yEnd; ++y) {
    FillPixels(Row(y) + x1, Row(y) + x2, pixel);
  }
}

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

// --- operations ---------------------------------------------------------------------

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

// --- text -------------------------------------------------------------------------------

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

std::uint32_t RasterCanvas::PixelOf(TColor color) { return ToPixel(color); }

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

void RasterCanvas::PutImage(int x, int y, const QImage& image) {
  const int x1 = std::max(x, clipLeft_);
  const int x2 = std::min(x + image.width(), clipRight_);
  const int y1 = std::max(y, clipTop_);
  const int y2 = std::min(y + image.height(), clipBottom_);
  if (x1 >= x2) {
    return;
  }
  BeginDrawing();
  for (int row = y1; row < y2; ++row) {
    const auto* from = reinterpret_cast<const std::uint32_t*>(image.constScanLine(row - y)) + (x1 - x);
    std::copy(from, from + (x2 - x1), Row(row) + x1);
  }
}

QSize RasterCanvas::TextExtent(const QString& text) const {
  return {metrics_.horizontalAdvance(text), metrics_.height()};
}

TColor RasterCanvas::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
    return clNone;
  }
  return FromPixel(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x]);
}

}  // namespace platform
