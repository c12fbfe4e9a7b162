// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/root_locus_window.h"

#include <QEvent>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/keyboard.h"
#include "app/measurement_rows.h"
#include "sim/drive.h"
#include "sim/stability.h"

namespace app {

PlaneBox EqualScale(const PlaneBox& data, int width, int height) {
  PlaneBox box = data;
  if (width < 1 || height < 1) {
    return box;
  }
  const double across = data.right - data.left, down = data.top - data.bottom;
  // Units per pixel: the larger of the two, and the other side widened to it.
  const double scale = std::max(across / width, down / height);
  const double halfAcross = scale * width / 2, halfDown = scale * height / 2;
  const double middleAcross = (data.left + data.right) / 2, middleDown = (data.bottom + data.top) / 2;
  return {middleAcross - halfAcross, middleAcross + halfAcross, middleDown - halfDown, middleDown + halfDown};
}

QString GainText(double gain, QChar separator) {
  // Four significant digits without an exponent or trailing zeros: 2007, 53,27, 100, 0,1234.
  const int magnitude = gain > 0 ? static_cast<int>(std::floor(std::log10(gain))) : 0;
  QString text = QString::number(gain, 'f', std::clamp(3 - magnitude, 0, 12));
  if (text.contains(u'.')) {
    while (text.endsWith(u'0')) {
      text.chop(1);
    }
    if (text.endsWith(u'.')) {
      text.chop(1);
    }
  }
  return text.replace(u'.', separator);
}

}  // namespace app

namespace {

// Colours as 0xBBGGRR.
constexpr chart::TColor Settling = 0xC85A00;    // a strong blue
constexpr chart::TColor Unstable = 0x1E1ED2;    // red
constexpr chart::TColor PresentFill = 0x008CFF;  // orange
constexpr chart::TColor Crossing = 0x008C00;    // green
constexpr chart::TColor Faint = 0xD4D4D4;
constexpr chart::TColor FaintText = 0x8C8C8C;
constexpr chart::TColor AxisLine = 0x808080;

// Where the ray of damping ratio zeta leaves the origin upwards, per unit of length.
std::complex<double> RayDirection(double zeta) { return {-zeta, std::sqrt(1 - zeta * zeta)}; }

}  // namespace

RootLocusWindow::RootLocusWindow(QChar separator, QWidget* parent)
    : QWidget(parent, Qt::Window), separator_(separator) {
  setObjectName(QStringLiteral("RootLocusWindow"));
  setWindowTitle(QStringLiteral("Root locus"));
  resize(640, 640);

  Chart = new chart::TChart(this);
  Chart->setObjectName(QStringLiteral("RootLocusChart"));
  Chart->setMinimumSize(300, 260);
  Chart->setMouseTracking(true);
  Summary = new QLabel(this);
  Summary->setObjectName(QStringLiteral("RootLocusSummary"));
  Summary->setTextFormat(Qt::PlainText);
  Summary->setWordWrap(true);
  Reading = new QLabel(this);
  Reading->setObjectName(QStringLiteral("RootLocusReading"));
  Reading->setTextFormat(Qt::PlainText);
  Reading->setWordWrap(true);
  // Room for three lines each, so that a reading of another length never moves the chart
  // under the pointer.
  for (QLabel* label : {Summary, Reading}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumHeight(3 * label->fontMetrics().lineSpacing());
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Summary);
  layout->addWidget(Chart, 1);
  layout->addWidget(Reading);

  Chart->BeginLoading();
  Chart->SetColor(platform::clWhite);
  Chart->Legend().SetVisible(false);
  Chart->SetView3D(false);
  Chart->Title().SetVisible(false);
  const chart::TChartFont labelsFont(QStringLiteral("Arial"), 12, platform::clBlack);
  const chart::TChartFont titleFont(QStringLiteral("Tahoma"), 13, platform::clBlack);
  for (chart::TChartAxis* axis : {&Chart->BottomAxis(), &Chart->LeftAxis()}) {
    axis->LabelsFont() = labelsFont;
    axis->Title().Font() = titleFont;
    axis->Grid().SetVisible(true);
  }
  Chart->BottomAxis().Title().SetCaption(QStringLiteral("Real part, 1/s"));
  Chart->LeftAxis().Title().SetCaption(QStringLiteral("Imaginary part, rad/s"));
  Chart->LeftAxis().Title().SetAngle(90);
  // A labels band of its own width would move the plot with every range, and the equal
  // scale with it: room for "-8888".
  Chart->LeftAxis().SetLabelsSize(44);
  Chart->SetLabelSeparators(QString(separator_), QString());
  Chart->EndLoading();

  axisLines_.SetSeriesColor(AxisLine);
  for (chart::TLineSeries& ray : dampingRays_) {
    ray.SetSeriesColor(Faint);
  }
  for (chart::TLineSeries& branch : branches_) {
    branch.SetSeriesColor(Settling);
    branch.LinePen().SetWidth(2);
  }
  openLoop_.Pointer().Style = chart::psCross;
  openLoop_.Pointer().Pen.SetWidth(2);
  openLoop_.SetSeriesColor(platform::clBlack);
  crossing_.SetSeriesColor(Crossing);
  present_.Pointer().Style = chart::psCircle;
  present_.SetSeriesColor(PresentFill);
  pointed_.Pointer().Style = chart::psCircle;
  pointed_.Pointer().Brush.SetStyle(chart::bsClear);
  pointed_.SetSeriesColor(platform::clBlack);
  for (auto [series, size] : {std::pair<chart::TPointSeries*, int>{&openLoop_, 5}, {&crossing_, 3}, {&present_, 5},
                              {&pointed_, 7}}) {
    series->Pointer().HorizSize = size;
    series->Pointer().VertSize = size;
    series->Pointer().InflateMargins = false;
  }
  // Drawn in this order, each over the one before; the lines of the plane go round the
  // origin and back, so their points keep the order they are added in.
  std::vector<chart::TChartSeries*> all = {&axisLines_};
  for (chart::TLineSeries& ray : dampingRays_) {
    all.push_back(&ray);
  }
  for (chart::TLineSeries& branch : branches_) {
    all.push_back(&branch);
  }
  all.insert(all.end(), {&openLoop_, &crossing_, &present_, &pointed_});
  for (chart::TChartSeries* s : all) {
    s->XValues.Order = chart::loNone;
    s->SetParentChart(Chart);
  }

  Chart->OnAfterDraw = [this] {
    DrawNotes();
    // The first paint, or one after a resize, tells the plot's true size; the axes follow
    // it once the paint is over, as a range set during one is lost with its frame.
    if (built_ && PlotSize() != fitted_) {
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (FitAxes()) {
              Chart->update();
            }
          },
          Qt::QueuedConnection);
    }
  };
  Chart->installEventFilter(this);
  ShowPointed(std::nullopt);
  app::CloseWithKeys(this);
}

void RootLocusWindow::SetParameters(const sim::Parameters& p) {
  if (parameters_ == p) {
    return;
  }
  parameters_ = p;
  built_ = false;
  if (isVisible()) {
    Rebuild();
  }
}

const std::vector<sim::LocusPoint>& RootLocusWindow::Locus() {
  Rebuild();
  return locus_;
}

void RootLocusWindow::showEvent(QShowEvent* event) {
  Rebuild();
  QWidget::showEvent(event);
}

void RootLocusWindow::Rebuild() {
  if (built_ || !parameters_) {
    return;
  }
  built_ = true;
  try {
    Build(*parameters_);
  } catch (const std::exception& e) {
    // Parameters a run can take may still lead the locus out of range (a critical gain near
    // the largest double): the window says so, and the run is none the worse.
    locus_.clear();
    criticalGain_.reset();
    for (chart::TChartSeries* s : Chart->SeriesList()) {
      s->Clear();
    }
    Summary->setText(QStringLiteral("No root locus can be drawn for these parameters: %1.")
                         .arg(QString::fromStdString(e.what())));
    ShowPointed(std::nullopt);
    Chart->update();
  }
}

void RootLocusWindow::Build(const sim::Parameters& p) {
  sim::Drive d;
  sim::ApplyParameters(d, p);
  const sim::StabilityFigures stability = sim::AssessStability(d);
  criticalGain_ = stability.criticalKamp;
  criticalFrequency_ = stability.criticalFrequency;
  // Three times the critical gain shows the pair well past the axis; without one, three
  // times the present gain.
  maxGain_ = 3 * (criticalGain_ && *criticalGain_ > 0 ? *criticalGain_ : std::max(std::fabs(p.Kamp), 1.0));
  if (!std::isfinite(maxGain_)) {
    throw std::range_error("three times the critical gain is beyond the largest number");
  }
  locus_ = sim::RootLocus(p, maxGain_, LocusGains);

  data_ = {0, 0, 0, 0};
  for (const sim::LocusPoint& point : locus_) {
    for (const auto& pole : point.poles) {
      data_.left = std::min(data_.left, pole.real());
      data_.right = std::max(data_.right, pole.real());
      data_.top = std::max(data_.top, std::fabs(pole.imag()));
    }
  }
  data_.bottom = -data_.top;
  const double margin = 0.06 * std::max(data_.right - data_.left, data_.top - data_.bottom);
  data_ = {data_.left - margin, data_.right + margin, data_.bottom - margin, data_.top + margin};

  for (chart::TChartSeries* s : std::initializer_list<chart::TChartSeries*>{
           &branches_[0], &branches_[1], &branches_[2], &openLoop_, &crossing_, &present_, &pointed_}) {
    s->Clear();
  }
  for (int b = 0; b < 3; ++b) {
    for (const sim::LocusPoint& point : locus_) {
      const std::complex<double> pole = point.poles[b];
      // A segment takes the colour of the point it ends at.
      branches_[b].AddXY(pole.real(), pole.imag(), pole.real() > 0 ? Unstable : Settling);
    }
  }
  if (!locus_.empty()) {
    for (const auto& pole : locus_.front().poles) {
      openLoop_.AddXY(pole.real(), pole.imag(), platform::clBlack);
    }
  }
  const sim::Poles poles = sim::PolesAt(p, p.Kamp);
  for (const auto& pole : poles) {
    present_.AddXY(pole.real(), pole.imag(), PresentFill);
  }
  if (criticalGain_ && criticalFrequency_ && *criticalGain_ > 0) {
    crossing_.AddXY(0, *criticalFrequency_, Crossing);
    crossing_.AddXY(0, -*criticalFrequency_, Crossing);
  }
  QString text = QStringLiteral("At Kamp %1 the poles are %2, %3").arg(Number(p.Kamp),
                                                                     PoleText(poles[0]), PoleText(poles[1]));
  if (poles[1].imag() == 0) {
    text += QStringLiteral(", ") + PoleText(poles[2]);
  }
  if (const auto pair = sim::Dominant(poles)) {
    text += QStringLiteral(": damping ratio %1, natural frequency %2")
                .arg(Number(pair->damping), Number(pair->naturalFrequency, "rad/s"));
  }
  text += u'.';
  if (const auto overshoot = sim::PredictedOvershoot(p)) {
    text += QStringLiteral(" A second-order loop with that damping overshoots %1.").arg(Number(*overshoot, "%"));
  }
  text += criticalGain_ && criticalFrequency_
              ? QStringLiteral(" The loop turns critical at Kamp %1, swinging at %2.")
                    .arg(Number(*criticalGain_), Number(*criticalFrequency_, "rad/s"))
              : QStringLiteral(" No gain makes the loop critical.");
  Summary->setText(text);
  ShowPointed(std::nullopt);
  fitted_ = {};  // new data: the axes again, whatever the plot's size
  FitAxes();
  Chart->update();
}

QSize RootLocusWindow::PlotSize() const {
  // As last painted, grown or shrunk with the chart since.
  return {Chart->BottomAxis().AxisLength + Chart->width() - Chart->ChartBounds().Width(),
          Chart->LeftAxis().AxisLength + Chart->height() - Chart->ChartBounds().Height()};
}

bool RootLocusWindow::FitAxes() {
  if (!built_) {
    return false;
  }
  const QSize plot = PlotSize();
  if (plot == fitted_ || plot.width() < 1 || plot.height() < 1) {
    return false;
  }
  fitted_ = plot;
  const app::PlaneBox box = app::EqualScale(data_, plot.width(), plot.height());
  Chart->BottomAxis().SetRange(box.left, box.right);
  Chart->LeftAxis().SetRange(box.bottom, box.top);
  // The axes and rays run past the plot's edges, where the chart clips them; not much
  // further, as a point tens of thousands of pixels out is left out of a line.
  const double far = 2 * std::max({-box.left, box.right, box.top, -box.bottom});
  axisLines_.Clear();
  axisLines_.AddXY(-far, 0, AxisLine);
  axisLines_.AddXY(far, 0, AxisLine);
  axisLines_.AddXY(far, -far, platform::clNone);
  axisLines_.AddXY(0, -far, AxisLine);
  axisLines_.AddXY(0, far, AxisLine);
  for (std::size_t i = 0; i < DampingLines.size(); ++i) {
    const std::complex<double> up = far * RayDirection(DampingLines[i]);
    dampingRays_[i].Clear();
    dampingRays_[i].AddXY(up.real(), up.imag(), Faint);
    dampingRays_[i].AddXY(0, 0, Faint);
    dampingRays_[i].AddXY(up.real(), -up.imag(), Faint);
  }
  return true;
}

void RootLocusWindow::DrawNotes() {
  if (!built_) {
    return;
  }
  chart::TChartCanvas3D& canvas = Chart->Canvas();
  const chart::TRect plot = Chart->ChartRect();
  canvas.ClipToRectangle(plot);
  // On white, so that no grid line runs through a figure.
  canvas.SetBrushStyle(chart::bsClear);
  canvas.SetBackgroundColor(platform::clWhite);
  canvas.SetBackgroundMode(chart::cbmOpaque);
  canvas.UseFont(chart::TChartFont(QStringLiteral("Arial"), 12, FaintText));
  // Each ray's ratio where it leaves the upper half of the plot.
  const QPoint origin = PixelOf(0);
  for (double zeta : DampingLines) {
    const double across = -zeta, up = std::sqrt(1 - zeta * zeta);
    const double toTop = (origin.y() - plot.Top) / up;
    const double toLeft = (origin.x() - plot.Left) / zeta;
    const QString label = QStringLiteral("\u03B6 ") + Number(zeta);
    if (toTop <= toLeft) {
      canvas.SetTextAlignment(chart::TA_LEFT | chart::TA_TOP);
      canvas.DrawText(origin.x() + static_cast<int>(std::lround(across * toTop)) + 4, plot.Top + 2, label);
    } else {
      canvas.SetTextAlignment(chart::TA_LEFT | chart::TA_BOTTOM);
      canvas.DrawText(plot.Left + 3, origin.y() - static_cast<int>(std::lround(up * toLeft)) - 2, label);
    }
  }
  if (crossing_.Count() > 0) {
    canvas.UseFont(chart::TChartFont(QStringLiteral("Arial"), 12, Crossing, true));
    const QString label = QStringLiteral("Kamp %1, %2").arg(Number(*criticalGain_), Number(*criticalFrequency_, "rad/s"));
    const QPoint at = PixelOf({0, *criticalFrequency_});
    // To the right of the crossing, or to its left where the plot ends too soon.
    const bool right = at.x() + 9 + canvas.MeasureTextWidth(label) < plot.Right;
    canvas.SetTextAlignment((right ? chart::TA_LEFT : chart::TA_RIGHT) | chart::TA_BOTTOM);
    canvas.DrawText(right ? at.x() + 9 : at.x() - 9, at.y() - 3, label);
  }
  canvas.RemoveClip();
}

QPoint RootLocusWindow::PixelOf(std::complex<double> s) const {
  return {Chart->BottomAxis().ValueToPixel(s.real()), Chart->LeftAxis().ValueToPixel(s.imag())};
}

std::optional<sim::LocusHit> RootLocusWindow::BranchAt(QPoint pixel) const {
  const chart::TChartAxis& bottom = Chart->BottomAxis();
  const chart::TRect& plot = Chart->ChartRect();
  if (!built_ || bottom.AxisLength < 1 || pixel.x() < plot.Left || pixel.x() >= plot.Right || pixel.y() < plot.Top ||
      pixel.y() >= plot.Bottom) {
    return std::nullopt;
  }
  const std::complex<double> s(bottom.PixelToValue(pixel.x()), Chart->LeftAxis().PixelToValue(pixel.y()));
  const std::optional<sim::LocusHit> hit = sim::NearestOnLocus(locus_, s);
  const double perPixel = bottom.RangeSize / bottom.AxisLength;
  return hit && hit->distance <= PickRadius * perPixel ? hit : std::nullopt;
}

QImage RootLocusWindow::Picture() {
  QImage picture = Chart->grab().toImage();
  // A fit changed by that paint shows in the next.
  for (int i = 0; i < 3 && FitAxes(); ++i) {
    picture = Chart->grab().toImage();
  }
  return picture;
}

bool RootLocusWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Chart) {
    return QWidget::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::Resize:
      FitAxes();
      return false;
    case QEvent::MouseMove:
      ShowPointed(BranchAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
      return true;
    case QEvent::Leave:
      ShowPointed(std::nullopt);
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        if (const auto hit = BranchAt(mouse->position().toPoint())) {
          emit GainChosen(hit->gain);
        }
      }
      return true;
    }
    // A zoom or a scroll would lose the equal scale.
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
      return true;
    default:
      return false;
  }
}

void RootLocusWindow::ShowPointed(const std::optional<sim::LocusHit>& hit) {
  pointed_.Clear();
  if (!hit) {
    Chart->setCursor(Qt::ArrowCursor);
    Reading->setText(QStringLiteral(
        "Blue: where the poles go as Kamp grows from 0, starting at the crosses; red: past the imaginary axis, "
        "where the loop swings out. Orange dots: the poles at the present gain. Point at a branch to read it; "
        "click to take its gain."));
    return;
  }
  Chart->setCursor(Qt::PointingHandCursor);
  pointed_.AddXY(hit->pole.real(), hit->pole.imag(), platform::clBlack);
  const std::complex<double> pole = hit->pole;
  QString text = QStringLiteral("Kamp %1: pole %2").arg(app::GainText(hit->gain, separator_), PoleText(pole));
  const double magnitude = std::abs(pole);
  if (pole.imag() != 0 && magnitude > 0) {
    text += QStringLiteral(", damping ratio %1, natural frequency %2")
                .arg(Number(-pole.real() / magnitude), Number(magnitude, "rad/s"));
  } else if (pole.real() < 0) {
    text += QStringLiteral(", a real pole: time constant %1").arg(Number(-1 / pole.real(), "s"));
  }
  Reading->setText(text + QStringLiteral(". Click to take this gain."));
}

QString RootLocusWindow::Number(double value, const char* unit) const {
  return app::FigureText(value, unit, separator_);
}

QString RootLocusWindow::PoleText(std::complex<double> pole) const {
  // Written once per pair, with the upper one's imaginary part.
  if (pole.imag() == 0) {
    return Number(pole.real());
  }
  return QStringLiteral("%1 \u00B1 %2i").arg(Number(pole.real()), Number(std::fabs(pole.imag())));
}
