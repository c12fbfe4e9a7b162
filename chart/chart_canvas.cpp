// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "chart/chart_canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace chart {

using platform::ColorToRGB;
using platform::RasterCanvas;

int TChartCanvas::MeasureTextWidth(const QString& text) const {
  return text.isEmpty() ? 0 : QFontMetrics(Font()).horizontalAdvance(text);
}

int TChartCanvas::MeasureTextHeight(const QString& text) const {
  return text.isEmpty() ? 0 : QFontMetrics(Font()).height();
}

// The surface keeps one drawing state (pen, brush, font, background, alignment) for
// whatever it draws on, and hands all of it to each frame's raster target; between
// frames there is no target and drawing goes nowhere.
struct TChartCanvas3D::State {
  std::unique_ptr<RasterCanvas> buffer;  // kept between buffered frames
  // Unbuffered frames draw on the window's own pixels, in window coordinates.
  std::unique_ptr<RasterCanvas> direct;
  RasterCanvas* target = nullptr;
  QImage monochromeImage;  // the buffer as presented while Monochrome is on
  TRect userRect;
  const TView3DOptions* options = nullptr;
  bool is3D = false;
  bool buffered = true;
  bool monochrome = false;
  bool stale = true;
  bool wholeStale = true;
  std::optional<TRect> limit;  // LimitFrameTo
  bool plainDrawing = false;
  int framesPresented = 0;
  int bufferCopies = 0;

  TColor penColor = platform::clBlack;
  int penWidth = 1;
  TPenStyle penStyle = psSolid;
  TPenMode penMode = pmCopy;
  bool smallDots = false;
  TColor brushColor = platform::clWhite;
  TBrushStyle brushStyle = bsSolid;
  TChartFont font;
  QFont qfont;

  // Every face the surface has been given, with its Qt font and what has been measured in
  // it: the labels' and the titles' faces take turns many times in each paint.
  struct Face {
    QString name;
    int height;
    bool bold;
    bool italic;
    QFont qfont;
    int lineHeight = -1;
    QHash<QString, int> widths;
    // The advances of the characters of a number in 64ths of a pixel, when the face sets
    // any two side by side at the sum of theirs; empty when it does not.
    std::optional<std::array<int, 128>> numberAdvances;
    bool numbersChecked = false;
  };
  std::vector<Face> faces;
  std::size_t face = 0;

  // The bands of the last gradient, kept while what it was drawn from stays the same.
  struct GradientBand {
    int nearEdge;
    int farEdge;
    TColor color;
  };
  struct GradientKey {
    TRect rect;
    TColor start;
    TColor end;
    TGradientDirection direction;
    friend bool operator==(const GradientKey&, const GradientKey&) = default;
  };
  GradientKey gradientKey{};
  std::vector<GradientBand> gradientBands;
  bool gradientKept = false;

  void SelectFace(const TChartFont& f) {
    for (std::size_t i = 0; i < faces.size(); ++i) {
      const Face& known = faces[i];
      if (known.name == f.Name() && known.height == f.Height() && known.bold == f.Bold() && known.italic == f.Italic()) {
        face = i;
        qfont = known.qfont;
        return;
      }
    }
    faces.push_back(Face{f.Name(), f.Height(), f.Bold(), f.Italic(), f.ToQFont(), -1, {}, std::nullopt, false});
    face = faces.size() - 1;
    qfont = faces.back().qfont;
  }
  TColor backgroundColor = platform::clWhite;
  int backgroundMode = cbmTransparent;
  int textAlignment = TA_LEFT | TA_TOP;

  platform::LineStyle LineStyle() const {
    using platform::LineStyle;
    if (smallDots && penStyle != psClear) {
      return LineStyle::Alternate;
    }
    switch (penStyle) {
      case psDash:
        return LineStyle::Dash;
      case psDot:
        return LineStyle::Dot;
      case psDashDot:
        return LineStyle::DashDot;
      case psDashDotDot:
        return LineStyle::DashDotDot;
      case psClear:
        return LineStyle::Clear;
      default:
        return LineStyle::Solid;
    }
  }

  void ApplyPen() const {
    target->SetPenColor(penColor);
    target->SetPenWidth(penWidth);
    target->SetPenStyle(LineStyle());
  }

  // Hatched brushes fill solid in their colour; the chart draws none.
  void ApplyBrush() const {
    target->SetBrushColor(brushColor);
    target->SetBrushStyle(brushStyle == bsClear ? platform::FillStyle::Clear : platform::FillStyle::Solid);
  }

  void ApplyBackground() const {
    target->SetOpaqueBackground(backgroundMode == cbmOpaque);
    target->SetBackgroundColor(backgroundColor);
  }

  void ApplyAll() const {
    target->SetPlainDrawing(plainDrawing);
    ApplyPen();
    ApplyBrush();
    ApplyBackground();
    target->SetFont(qfont);
    target->SetFontColor(font.Color());
    target->SetTextAlign(textAlignment);
  }

  const QImage& Shown() const { return monochrome ? monochromeImage : buffer->Image(); }

  void ReleaseBuffer() {
    if (target == buffer.get()) {
      target = nullptr;
    }
    buffer.reset();
    monochromeImage = QImage();
    stale = true;
  }
};

TChartCanvas3D::TChartCanvas3D() : s_(std::make_unique<State>()) {
  s_->SelectFace(s_->font);
  ResetDrawingState();
}

TChartCanvas3D::~TChartCanvas3D() = default;

bool TChartCanvas3D::Stale() const { return s_->stale; }
const RasterCanvas* TChartCanvas3D::Buffer() const { return s_->buffer.get(); }
int TChartCanvas3D::FramesPresented() const { return s_->framesPresented; }
RasterCanvas* TChartCanvas3D::Target() { return s_->target; }
bool TChartCanvas3D::PlainDrawing() const { return s_->plainDrawing; }
void TChartCanvas3D::SetPlainDrawing(bool plain) {
  s_->plainDrawing = plain;
  if (s_->target != nullptr) {
    s_->target->SetPlainDrawing(plain);
  }
}
int TChartCanvas3D::BufferCopies() const { return s_->bufferCopies; }

void TChartCanvas3D::ResetDrawingState() {
  s_->penColor = platform::clBlack;
  s_->penWidth = 1;
  s_->penStyle = psSolid;
  s_->penMode = pmCopy;
  s_->smallDots = false;
  s_->brushColor = platform::clWhite;
  s_->brushStyle = bsSolid;
  TChartFont font = s_->font;
  font.SetColor(platform::clBlack);
  font.SetHeight(13);  // 10 points
  UseFont(font);
  s_->backgroundColor = platform::clWhite;
  s_->backgroundMode = cbmTransparent;
  if (s_->target != nullptr) {
    s_->ApplyPen();
    s_->ApplyBrush();
    s_->ApplyBackground();
  }
}

// --- modes ----------------------------------------------------------------------------

TColor TChartCanvas3D::BackgroundColor() const { return s_->backgroundColor; }
int TChartCanvas3D::BackgroundMode() const { return s_->backgroundMode; }
bool TChartCanvas3D::Monochrome() const { return s_->monochrome; }
int TChartCanvas3D::TextAlignment() const { return s_->textAlignment; }
bool TChartCanvas3D::Buffered() const { return s_->buffered; }

void TChartCanvas3D::SetBackgroundColor(TColor color) {
  s_->backgroundColor = ColorToRGB(color);
  if (s_->target != nullptr) {
    s_->ApplyBackground();
  }
}

void TChartCanvas3D::SetBackgroundMode(int mode) {
  s_->backgroundMode = mode;
  if (s_->target != nullptr) {
    s_->ApplyBackground();
  }
}

// The buffer is drawn in colour and turned to black and white (a threshold at half
// brightness) when it is presented.
void TChartCanvas3D::SetMonochrome(bool monochrome) {
  if (monochrome == s_->monochrome) {
    return;
  }
  s_->monochrome = monochrome;
  s_->ReleaseBuffer();
  if (OnRepaintRequest) {
    OnRepaintRequest();
  }
}

void TChartCanvas3D::SetTextAlignment(int flags) {
  s_->textAlignment = flags;
  if (s_->target != nullptr) {
    s_->target->SetTextAlign(flags);
  }
}

void TChartCanvas3D::SetBuffered(bool buffered) {
  if (buffered == s_->buffered) {
    return;
  }
  s_->buffered = buffered;
  if (!buffered) {
    s_->ReleaseBuffer();
  } else {
    if (s_->target == s_->direct.get()) {
      s_->target = nullptr;
    }
    s_->direct.reset();
  }
}

// --- pen, brush, font ---------------------------------------------------------------

void TChartCanvas3D::UseChartPen(const TChartPen& pen) {
  if (!pen.Visible()) {
    s_->penStyle = psClear;
    s_->smallDots = false;
  } else {
    s_->penColor = pen.Color();
    s_->penWidth = pen.Width();
    s_->penStyle = pen.Style();
    s_->smallDots = pen.SmallDots() && pen.Width() == 1;
  }
  if (s_->target != nullptr) {
    s_->ApplyPen();
  }
}

void TChartCanvas3D::UseFont(const TChartFont& font) {
  const TChartFont& old = s_->font;
  const bool sameFace = old.Name() == font.Name() && old.Height() == font.Height() && old.Bold() == font.Bold() &&
                        old.Italic() == font.Italic();
  // The axes give their font before every label: the same face in the same colour needs
  // no copy, and the target already holds the face.
  if (!sameFace || old.Color() != font.Color()) {
    s_->font = font;
    s_->font.OnChange = nullptr;  // the copy is the surface's own: it must not repaint the owner
  }
  if (!sameFace) {
    s_->SelectFace(font);
  }
  if (s_->target != nullptr) {
    if (!sameFace) {
      s_->target->SetFont(s_->qfont);
    }
    s_->target->SetFontColor(font.Color());
  }
}

void TChartCanvas3D::SetPenColor(TColor color) {
  s_->penColor = color;
  if (s_->target != nullptr) {
    s_->target->SetPenColor(color);
  }
}

void TChartCanvas3D::SetPenWidth(int width) {
  s_->penWidth = width;
  if (s_->target != nullptr) {
    s_->ApplyPen();
  }
}

void TChartCanvas3D::SetPenStyle(TPenStyle style) {
  s_->penStyle = style;
  s_->smallDots = false;
  if (s_->target != nullptr) {
    s_->ApplyPen();
  }
}

void TChartCanvas3D::SetBrushColor(TColor color) {
  s_->brushColor = color;
  if (s_->target != nullptr) {
    s_->target->SetBrushColor(color);
  }
}

void TChartCanvas3D::SetBrushStyle(TBrushStyle style) {
  s_->brushStyle = style;
  // A hollow brush leaves nothing behind text: the platform canvas makes its background
  // transparent whenever it selects one, and the axis texts rely on that after a grid
  // has left the mode opaque.
  if (style == bsClear) {
    s_->backgroundMode = cbmTransparent;
  }
  if (s_->target != nullptr) {
    s_->ApplyBrush();
    s_->ApplyBackground();
  }
}

void TChartCanvas3D::SetFontColor(TColor color) {
  s_->font.SetColor(color);
  if (s_->target != nullptr) {
    s_->target->SetFontColor(color);
  }
}

TColor TChartCanvas3D::PenColor() const { return s_->penColor; }
int TChartCanvas3D::PenWidth() const { return s_->penWidth; }
TPenStyle TChartCanvas3D::PenStyle() const { return s_->penStyle; }
TColor TChartCanvas3D::BrushColor() const { return s_->brushColor; }
TBrushStyle TChartCanvas3D::BrushStyle() const { return s_->brushStyle; }
const QFont& TChartCanvas3D::Font() const { return s_->qfont; }
TColor TChartCanvas3D::FontColor() const { return s_->font.Color(); }

namespace {

constexpr std::string_view NumberCharacters = "0123456789+-.,eE ";

// A text's width is its advances' sum, kept in 64ths of a pixel, rounded half up.
int SixtyFourthsToPixels(int sixtyFourths) { return (sixtyFourths + 32) >> 6; }

std::optional<std::array<int, 128>> NumberAdvances(const QFont& font) {
  const QFontMetricsF exact(font);
  const QFontMetrics rounded(font);
  std::array<int, 128> advances{};
  for (const char c : NumberCharacters) {
    const qreal advance = exact.horizontalAdvance(QString(QLatin1Char(c))) * 64;
    if (advance != std::floor(advance) || advance < 0) {
      return std::nullopt;
    }
    advances[static_cast<unsigned char>(c)] = static_cast<int>(advance);
  }
  // No pair kerned, and the rounding of a sum the one the face's own measure makes.
  for (const char a : NumberCharacters) {
    for (const char b : NumberCharacters) {
      const QString pair = QString(QLatin1Char(a)) + QLatin1Char(b);
      const int sum = advances[static_cast<unsigned char>(a)] + advances[static_cast<unsigned char>(b)];
      if (exact.horizontalAdvance(pair) * 64 != sum || rounded.horizontalAdvance(pair) != SixtyFourthsToPixels(sum)) {
        return std::nullopt;
      }
    }
  }
  return advances;
}

}  // namespace

int TChartCanvas3D::MeasureTextWidth(const QString& text) const {
  if (text.isEmpty()) {
    return 0;
  }
  State::Face& face = s_->faces[s_->face];
  if (const auto found = face.widths.constFind(text); found != face.widths.cend()) {
    return *found;
  }
  // A sliding axis brings a new label on every tick, and shaping one costs tens of
  // microseconds: a number, in a face that sets its characters side by side, is summed.
  if (!face.numbersChecked) {
    face.numberAdvances = NumberAdvances(face.qfont);
    face.numbersChecked = true;
  }
  if (face.numberAdvances && !s_->plainDrawing) {
    int width = 0;
    bool number = true;
    for (const QChar c : text) {
      if (c.unicode() >= 128 || NumberCharacters.find(static_cast<char>(c.unicode())) == std::string_view::npos) {
        number = false;
        break;
      }
      width += (*face.numberAdvances)[c.unicode()];
    }
    if (number) {
      return SixtyFourthsToPixels(width);
    }
  }
  // A sliding time axis brings new label texts on every tick: start afresh now and then.
  constexpr qsizetype MaxKeptWidths = 512;
  if (face.widths.size() >= MaxKeptWidths) {
    face.widths.clear();
  }
  const int width = TChartCanvas::MeasureTextWidth(text);
  face.widths.insert(text, width);
  return width;
}

int TChartCanvas3D::MeasureTextHeight(const QString& text) const {
  if (text.isEmpty()) {
    return 0;
  }
  State::Face& face = s_->faces[s_->face];
  if (face.lineHeight < 0) {
    face.lineHeight = TChartCanvas::MeasureTextHeight(text);
  }
  return face.lineHeight;
}

// --- drawing ------------------------------------------------------------------------

void TChartCanvas3D::DrawRectangle(int x0, int y0, int x1, int y1) {
  if (s_->target == nullptr) {
    return;
  }
  if (s_->penMode == pmNotXor) {
    s_->target->NotXorOutline(x0, y0, x1, y1, s_->penColor);
  } else {
    s_->target->Rectangle(x0, y0, x1, y1);
  }
}

void TChartCanvas3D::SetPenMode(TPenMode mode) { s_->penMode = mode; }

TPenMode TChartCanvas3D::PenMode() const { return s_->penMode; }

void TChartCanvas3D::DrawRectangle(const TRect& rect) { DrawRectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }

void TChartCanvas3D::DrawEllipse(int x0, int y0, int x1, int y1) {
  if (s_->target != nullptr) {
    s_->target->Ellipse(x0, y0, x1, y1);
  }
}

void TChartCanvas3D::LineBetween(int x0, int y0, int x1, int y1) {
  if (s_->target != nullptr) {
    s_->target->MoveTo(x0, y0);
    s_->target->LineTo(x1, y1);
  }
}

void TChartCanvas3D::DrawHorizontalLine(int x0, int x1, int y) { LineBetween(x0, y, x1, y); }
void TChartCanvas3D::DrawVerticalLine(int x, int y0, int y1) { LineBetween(x, y0, x, y1); }

void TChartCanvas3D::DrawText(int x, int y, const QString& text) {
  if (s_->target != nullptr) {
    s_->target->SetFontColor(ColorToRGB(s_->font.Color()));
    s_->target->DrawText(x, y, text);
  }
}

void TChartCanvas3D::DrawRotatedText(int x, int y, const QString& text, int angle) {
  SetBrushStyle(bsClear);
  if (angle > 360) {
    angle -= 360;
  }
  if (s_->target != nullptr) {
    s_->target->SetFontColor(ColorToRGB(s_->font.Color()));
    s_->target->DrawText(x, y, text, angle);
  }
}

void TChartCanvas3D::FillGradient(const TRect& rect, TColor start, TColor end, TGradientDirection direction) {
  RasterCanvas* target = s_->target;
  if (target == nullptr) {
    return;
  }
  if (direction != gdTopBottom && direction != gdLeftRight) {
    std::swap(start, end);
  }
  start = ColorToRGB(start);
  end = ColorToRGB(end);
  const int left = std::min(rect.Left, rect.Right);
  const int right = std::max(rect.Left, rect.Right);
  const int top = std::min(rect.Top, rect.Bottom);
  const int bottom = std::max(rect.Top, rect.Bottom);
  // Left-right directions lay the bands side by side; every other direction, the centre
  // and diagonal ones included, stacks them.
  const bool sideBySide = direction == gdLeftRight || direction == gdRightLeft;
  const int extent = sideBySide ? right - left : bottom - top;
  const int bands = std::min(extent, 256);

  const State::GradientKey key{TRect{left, top, right, bottom}, start, end, direction};
  if (s_->plainDrawing || !s_->gradientKept || !(s_->gradientKey == key)) {
    auto channel = [](TColor color, int shift) { return static_cast<int>((color >> shift) & 0xFF); };
    const int r0 = channel(start, 0);
    const int g0 = channel(start, 8);
    const int b0 = channel(start, 16);
    const int dr = channel(end, 0) - r0;
    const int dg = channel(end, 8) - g0;
    const int db = channel(end, 16) - b0;
    s_->gradientBands.clear();
    for (int i = 0; i < bands; ++i) {
      // Band 0 holds the start colour at the bottom (right) edge, the last the end colour.
      const TColor color = bands == 1 ? start
                                      : platform::RGB(r0 + MulDiv(i, dr, bands - 1), g0 + MulDiv(i, dg, bands - 1),
                                                      b0 + MulDiv(i, db, bands - 1));
      s_->gradientBands.push_back({MulDiv(i, extent, bands), MulDiv(i + 1, extent, bands), color});
    }
    s_->gradientKey = key;
    s_->gradientKept = !s_->plainDrawing;
  }

  const TColor savedColor = target->BrushColor();
  const platform::FillStyle savedStyle = target->BrushStyle();
  target->SetBrushStyle(platform::FillStyle::Solid);
  for (std::size_t i = 0; i < s_->gradientBands.size(); ++i) {
    const State::GradientBand& band = s_->gradientBands[i];
    if (i == 0 || band.color != target->BrushColor()) {
      target->SetBrushColor(band.color);
    }
    if (sideBySide) {
      target->FillRect(right - band.farEdge, top, right - band.nearEdge, bottom);
    } else {
      target->FillRect(left, bottom - band.farEdge, right, bottom - band.nearEdge);
    }
  }
  target->SetBrushColor(savedColor);
  target->SetBrushStyle(savedStyle);
}

// --- clipping -------------------------------------------------------------------------

void TChartCanvas3D::ClipToRectangle(const TRect& rect) {
  if (s_->target != nullptr) {
    s_->target->IntersectClip(rect.Left, rect.Top, rect.Right, rect.Bottom);
  }
}

void TChartCanvas3D::RemoveClip() {
  if (s_->target != nullptr) {
    s_->target->RemoveClip();
    if (s_->limit) {
      s_->target->IntersectClip(s_->limit->Left, s_->limit->Top, s_->limit->Right, s_->limit->Bottom);
    }
  }
}

void TChartCanvas3D::ClipToCube(const TRect& rect, int, int) {
  ClipToRectangle(TRect{rect.Left + 1, rect.Top + 1, rect.Right, rect.Bottom - 1});
}

// --- 3D forms, reduced to 2D ------------------------------------------------------------

QPoint TChartCanvas3D::ProjectPoint(int x, int y, int) const { return {x, y}; }

void TChartCanvas3D::DrawHorizontalLine3D(int x0, int x1, int y, int z) {
  const QPoint from = ProjectPoint(x0, y, z);
  const QPoint to = ProjectPoint(x1, y, z);
  LineBetween(from.x(), from.y(), to.x(), to.y());
}

void TChartCanvas3D::DrawVerticalLine3D(int x, int y0, int y1, int z) {
  const QPoint from = ProjectPoint(x, y0, z);
  const QPoint to = ProjectPoint(x, y1, z);
  LineBetween(from.x(), from.y(), to.x(), to.y());
}

void TChartCanvas3D::DrawRotatedText3D(int x, int y, int z, const QString& text, int angle) {
  const QPoint p = ProjectPoint(x, y, z);
  DrawRotatedText(p.x(), p.y(), text, angle);
}

void TChartCanvas3D::DrawText3D(int x, int y, int z, const QString& text) {
  const QPoint p = ProjectPoint(x, y, z);
  DrawText(p.x(), p.y(), text);
}

// --- frames ---------------------------------------------------------------------------

TRect TChartCanvas3D::PrepareFrame(QPainter*, const TView3DOptions* options, TColor, bool is3D,
                                   const TRect& userRect) {
  s_->options = options;
  s_->is3D = is3D;
  s_->userRect = userRect;
  TRect bounds;
  if (s_->buffered) {
    const int width = std::max(userRect.Width(), 0);
    const int height = std::max(userRect.Height(), 0);
    if (s_->buffer && (s_->buffer->Width() != width || s_->buffer->Height() != height)) {
      s_->ReleaseBuffer();
    }
    if (!s_->buffer) {
      s_->buffer = std::make_unique<RasterCanvas>(width, height);
      s_->wholeStale = true;
    }
    s_->target = s_->buffer.get();
    bounds = TRect{0, 0, width, height};
  } else {
    const int width = std::max(userRect.Right, 0);
    const int height = std::max(userRect.Bottom, 0);
    if (!s_->direct || s_->direct->Width() != width || s_->direct->Height() != height) {
      s_->direct = std::make_unique<RasterCanvas>(width, height);
    }
    s_->target = s_->direct.get();
    bounds = userRect;
  }
  s_->limit.reset();
  s_->target->RemoveClip();  // a frame starts unclipped
  s_->ApplyAll();
  return bounds;
}

void TChartCanvas3D::PresentFrame(QPainter* destination, const TRect& rect) {
  ++s_->framesPresented;
  if (s_->buffered && s_->buffer) {
    if (s_->monochrome) {
      s_->monochromeImage = s_->buffer->Image()
                                .convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::ThresholdDither)
                                .convertToFormat(QImage::Format_RGB32);
    }
    if (destination != nullptr) {
      destination->drawImage(QPoint(rect.Left, rect.Top), s_->Shown());
    }
    s_->stale = false;
    s_->wholeStale = false;
  } else if (!s_->buffered && s_->direct && destination != nullptr) {
    const TRect& r = s_->userRect;
    destination->drawImage(QPoint(r.Left, r.Top), s_->direct->Image(), QRect(r.Left, r.Top, r.Width(), r.Height()));
  }
  s_->target = nullptr;
  s_->limit.reset();
}

bool TChartCanvas3D::BeginBufferDrawing() {
  if (!s_->buffered || !s_->buffer || s_->stale || s_->target != nullptr) {
    return false;
  }
  s_->target = s_->buffer.get();
  s_->target->RemoveClip();
  s_->ApplyAll();
  s_->wholeStale = true;  // what is drawn now is no frame's: the next one covers it whole
  return true;
}

void TChartCanvas3D::EndBufferDrawing() { s_->target = nullptr; }

bool TChartCanvas3D::RedrawFromBuffer(QPainter* destination) {
  if (s_->stale || !s_->buffer) {
    return false;
  }
  if (destination != nullptr) {
    destination->drawImage(QPoint(0, 0), s_->Shown());
  }
  ++s_->bufferCopies;
  return true;
}

void TChartCanvas3D::MarkStale() {
  s_->stale = true;
  s_->wholeStale = true;
}

void TChartCanvas3D::MarkContentStale() { s_->stale = true; }

bool TChartCanvas3D::WholeFrameStale() const { return s_->wholeStale || !s_->buffer || s_->monochrome; }

void TChartCanvas3D::LimitFrameTo(const TRect& rect) {
  s_->limit = rect;
  if (s_->target != nullptr) {
    s_->target->IntersectClip(rect.Left, rect.Top, rect.Right, rect.Bottom);
  }
}

const QImage& TChartCanvas3D::ShownImage() const {
  static const QImage none;
  return s_->buffer ? s_->Shown() : none;
}

}  // namespace chart
