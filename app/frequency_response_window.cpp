#include "app/frequency_response_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "platform/number_reading.h"
#include "sim/experiment_log.h"

namespace {

// Points of the theory line: smooth at any width the window takes.
constexpr int TheoryPoints = 400;

double Decibels(double ratio) { return 20 * std::log10(ratio); }

// The vertical axis over every point shown and a twentieth beyond each end, so that no
// marker, the peak's least of all, is cut in half by the frame.
void FitVertically(chart::TChart& chart, std::initializer_list<const chart::TChartSeries*> series) {
  double lo = 0, hi = 0;
  bool any = false;
  for (const chart::TChartSeries* s : series) {
    if (s->Count() > 0) {
      lo = any ? std::min(lo, s->MinYValue()) : s->MinYValue();
      hi = any ? std::max(hi, s->MaxYValue()) : s->MaxYValue();
      any = true;
    }
  }
  const double margin = std::max(hi - lo, 1.0) / 20;
  chart.LeftAxis().SetRange(lo - margin, hi + margin);
}

// Degrees behind the command, in -90..270 as the measurement gives its lag.
double TheoryLag(const sim::Drive& d, double w) {
  double lag = -std::arg(sim::HeldClosedLoopResponse(d, w)) * 180 / 3.14159265358979323846;
  return lag < -90 ? lag + 360 : lag;
}

// A point the sweep can stand behind: measured, steady, and clear of the stops.
bool Plottable(const sim::SweepPoint& p) {
  return p.figures.periods > 0 && p.figures.ratio > 0 && !p.stopReached;
}

QString Number(double v, int decimals, QChar separator) {
  QString text = QString::number(v, 'f', decimals);
  text.replace(u'.', separator);
  return text;
}

// Six significant digits without trailing zeros: 3000, 1129.01.
QString Figure(double v, QChar separator) {
  QString text = QString::number(v, 'g', 6);
  text.replace(u'.', separator);
  return text;
}

}  // namespace

FrequencyResponseWindow::FrequencyResponseWindow(DriveSource source, QChar separator, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)), separator_(separator) {
  setObjectName(QStringLiteral("FrequencyResponseWindow"));
  setWindowTitle(QStringLiteral("Frequency response"));
  resize(720, 700);

  FromEdit = new QLineEdit(QStringLiteral("1"), this);
  ToEdit = new QLineEdit(QStringLiteral("500"), this);
  CountEdit = new QSpinBox(this);
  CountEdit->setRange(2, sim::MaxSweepPoints);
  CountEdit->setValue(40);
  RunButton = new QPushButton(QStringLiteral("&Run sweep"), this);
  CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
  // C and P already belong to Cancel and Points.
  SaveCsvButton = new QPushButton(QStringLiteral("Save as CS&V\u2026"), this);
  SavePngButton = new QPushButton(QStringLiteral("Save as P&NG\u2026"), this);
  Progress = new QProgressBar(this);
  Summary = new QLabel(this);
  Summary->setTextFormat(Qt::PlainText);
  Summary->setWordWrap(true);
  MagnitudeChart = new chart::TChart(this);
  PhaseChart = new chart::TChart(this);
  for (QWidget* w : std::initializer_list<QWidget*>{FromEdit, ToEdit}) {
    w->setMaximumWidth(70);
  }

  auto* controls = new QHBoxLayout;
  const auto labelled = [&](const QString& text, QWidget* field) {
    auto* label = new QLabel(text, this);
    label->setBuddy(field);
    controls->addWidget(label);
    controls->addWidget(field);
  };
  labelled(QStringLiteral("&From, rad/s"), FromEdit);
  labelled(QStringLiteral("&To, rad/s"), ToEdit);
  labelled(QStringLiteral("&Points"), CountEdit);
  controls->addWidget(RunButton);
  controls->addWidget(CancelButton);
  controls->addStretch();
  auto* saves = new QHBoxLayout;
  saves->addWidget(Progress, 1);
  saves->addWidget(SaveCsvButton);
  saves->addWidget(SavePngButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(saves);
  layout->addWidget(Summary);
  layout->addWidget(MagnitudeChart, 1);
  layout->addWidget(PhaseChart, 1);

  SetUpChart(MagnitudeChart, "Magnitude", "Magnitude, dB");
  SetUpChart(PhaseChart, "Phase", "Phase, deg");
  magnitudeTheory_.SetSeriesColor(platform::clBlue);
  phaseTheory_.SetSeriesColor(platform::clBlue);
  magnitudePoints_.SetSeriesColor(platform::clRed);
  phasePoints_.SetSeriesColor(platform::clRed);
  peakPoint_.SetSeriesColor(platform::clLime);
  bandwidthLine_.SetSeriesColor(platform::clGreen);
  for (chart::TPointSeries* s : {&magnitudePoints_, &phasePoints_, &peakPoint_}) {
    s->Pointer().HorizSize = s == &peakPoint_ ? 4 : 2;
    s->Pointer().VertSize = s->Pointer().HorizSize;
    s->Pointer().InflateMargins = false;
  }
  bandwidthLine_.SetParentChart(MagnitudeChart);
  magnitudeTheory_.SetParentChart(MagnitudeChart);
  magnitudePoints_.SetParentChart(MagnitudeChart);
  peakPoint_.SetParentChart(MagnitudeChart);
  phaseTheory_.SetParentChart(PhaseChart);
  phasePoints_.SetParentChart(PhaseChart);

  Summary->setText(QStringLiteral(
      "Run sweep measures the carriage's response to a sine at each frequency, with the parameters and the "
      "amplitude of the main window. Red squares: the simulation; blue line: the theory of the closed loop."));
  errorBox_ = std::make_unique<platform::MessageBoxReporter>(this, QApplication::applicationName());
  SetErrorReporter(nullptr);
  ShowRunning(false);
  connect(RunButton, &QPushButton::clicked, this, &FrequencyResponseWindow::RunClick);
  connect(CancelButton, &QPushButton::clicked, this, &FrequencyResponseWindow::CancelClick);
  connect(SaveCsvButton, &QPushButton::clicked, this, &FrequencyResponseWindow::SaveCsvRequested);
  connect(SavePngButton, &QPushButton::clicked, this, &FrequencyResponseWindow::SavePngRequested);
}

void FrequencyResponseWindow::SetErrorReporter(platform::ErrorReporter* reporter) {
  reporter_ = reporter != nullptr ? reporter : errorBox_.get();
  MagnitudeChart->SetErrorReporter(reporter_);
  PhaseChart->SetErrorReporter(reporter_);
}

void FrequencyResponseWindow::SetUpChart(chart::TChart* chart, const char* title, const char* axisTitle) {
  chart->setObjectName(QString::fromLatin1(title) + QStringLiteral("Chart"));
  chart->setMinimumHeight(220);
  chart->BeginLoading();
  chart->SetColor(platform::clWhite);
  chart->Legend().SetVisible(false);
  chart->SetView3D(false);
  chart->Title().SetText({QString::fromLatin1(title)});
  chart->Title().Font() = chart::TChartFont(QStringLiteral("Tahoma"), 13, platform::clBlue);
  const chart::TChartFont labelsFont(QStringLiteral("Arial"), 12, platform::clBlack);
  chart::TChartAxis& bottom = chart->BottomAxis();
  bottom.LabelsFont() = labelsFont;
  bottom.SetLogarithmic(true);
  bottom.Grid().SetVisible(true);
  bottom.Title().SetCaption(QStringLiteral("Frequency, rad/s"));
  bottom.Title().Font() = chart::TChartFont(QStringLiteral("Tahoma"), 13, platform::clBlack);
  chart::TChartAxis& left = chart->LeftAxis();
  left.LabelsFont() = labelsFont;
  left.Title().SetCaption(QString::fromLatin1(axisTitle));
  left.Title().SetAngle(90);
  left.Title().Font() = chart::TChartFont(QStringLiteral("Tahoma"), 13, platform::clBlack);
  chart->SetLabelSeparators(QString(separator_), QLocale::system().groupSeparator());
  chart->EndLoading();
}

void FrequencyResponseWindow::ShowRunning(bool running) {
  RunButton->setEnabled(!running);
  CancelButton->setEnabled(running);
  SaveCsvButton->setEnabled(!running && shown_ != nullptr);
  SavePngButton->setEnabled(!running && shown_ != nullptr);
}

void FrequencyResponseWindow::ClearCharts() {
  for (chart::TChartSeries* s : std::initializer_list<chart::TChartSeries*>{
           &magnitudeTheory_, &phaseTheory_, &bandwidthLine_, &magnitudePoints_, &phasePoints_, &peakPoint_}) {
    s->Clear();
  }
}

void FrequencyResponseWindow::RunClick() {
  // The text a failed reading is about, to be put right where the student types.
  QLineEdit* culprit = nullptr;
  const bool ok = Guarded([this, &culprit] {
    culprit = FromEdit;
    const double from = platform::ReadReal(FromEdit->text(), separator_);
    culprit = ToEdit;
    const double to = platform::ReadReal(ToEdit->text(), separator_);
    if (!(from >= sim::MinSweepFrequency && from < to && to <= sim::MaxSweepFrequency)) {
      culprit = from >= sim::MinSweepFrequency && from < sim::MaxSweepFrequency ? ToEdit : FromEdit;
      throw std::runtime_error(QStringLiteral("The sweep needs %1 <= From < To <= %2 rad/s")
                                   .arg(Figure(sim::MinSweepFrequency, separator_),
                                        Figure(sim::MaxSweepFrequency, separator_))
                                   .toStdString());
    }
    culprit = nullptr;
    const sim::Drive d = source_();
    const sim::StabilityFigures stability = sim::AssessStability(d);
    if (!stability.stable) {
      // An unstable loop swings out to its stops whatever the command: no response to plot.
      shown_.reset();
      ClearCharts();
      QString text = QStringLiteral("The loop is unstable");
      if (stability.criticalKamp) {
        text += QStringLiteral(": Kamp %1 is above the critical %2")
                    .arg(Figure(d.Kamp, separator_), Figure(*stability.criticalKamp, separator_));
      }
      Summary->setText(text + QStringLiteral(
                                  ". Its own oscillation grows until the carriage is held at an end stop, so it has "
                                  "no frequency response. Lower Kamp and run the sweep again."));
      Progress->setValue(0);
      ShowRunning(false);
      return;
    }
    sweep_ = std::make_unique<sim::FrequencySweep>(d, from, to, CountEdit->value());
    Progress->setRange(0, CountEdit->value());
    Progress->setValue(0);
    Summary->setText(QStringLiteral("Sweeping\u2026"));
    ShowRunning(true);
    QTimer::singleShot(0, this, &FrequencyResponseWindow::Slice);
  });
  if (!ok && culprit != nullptr) {
    culprit->setFocus();
    culprit->selectAll();
  }
}

void FrequencyResponseWindow::CancelClick() {
  if (!Running()) {
    return;
  }
  sweep_.reset();
  Progress->setValue(0);
  Summary->setText(QStringLiteral("Sweep cancelled."));
  ShowRunning(false);
}

void FrequencyResponseWindow::closeEvent(QCloseEvent* event) {
  CancelClick();
  QWidget::closeEvent(event);
}

void FrequencyResponseWindow::Slice() {
  if (!Running()) {
    return;  // cancelled while this slice waited
  }
  try {
    sweep_->Advance(TicksPerSlice);
  } catch (...) {
    // A floating-point error of the drive ends the sweep, before the box opens: the box's
    // event loop would otherwise run the queued slice, and show the error again.
    sweep_.reset();
    Summary->setText(QStringLiteral("The sweep stopped on an error."));
    ShowRunning(false);
    Guarded([error = std::current_exception()] { std::rethrow_exception(error); });
    return;
  }
  Progress->setValue(static_cast<int>(sweep_->Points().size()));
  if (!sweep_->Finished()) {
    QTimer::singleShot(0, this, &FrequencyResponseWindow::Slice);
    return;
  }
  shown_ = std::move(sweep_);
  ending_ = Ending::Complete;
  ShowRunning(false);
  Plot();
  emit SweepFinished();
}

void FrequencyResponseWindow::Plot() {
  ClearCharts();
  const sim::FrequencySweep& s = *shown_;
  const sim::Drive& d = s.Parameters();
  const std::vector<double>& w = s.Frequencies();
  int stopped = 0;
  std::optional<double> firstStop;
  for (std::size_t i = 0; i < w.size(); ++i) {
    const sim::SweepPoint& p = s.Points()[i];
    if (p.stopReached) {
      ++stopped;
      firstStop = firstStop.value_or(w[i]);
    }
    if (Plottable(p)) {
      magnitudePoints_.AddXY(w[i], Decibels(p.figures.ratio), QString(), platform::clDefault);
      phasePoints_.AddXY(w[i], -p.figures.phaseLag, QString(), platform::clDefault);
    }
  }
  if (stopped == static_cast<int>(w.size())) {
    Summary->setText(QStringLiteral("At every frequency the carriage is held at an end stop: the amplitude is too "
                                     "large for the travel. Lower the amplitude and run the sweep again."));
    return;
  }
  // The theory, densely; its peak and its -3 dB crossing are read off it.
  double peakW = 0, peakDb = -1e300, lowDb = 1e300;
  std::optional<double> bandwidth;
  double previousW = 0, previousDb = 0;
  for (const double x : sim::LogSpacedFrequencies(w.front(), w.back(), TheoryPoints)) {
    const double db = Decibels(std::abs(sim::HeldClosedLoopResponse(d, x)));
    magnitudeTheory_.AddXY(x, db, QString(), platform::clDefault);
    phaseTheory_.AddXY(x, -TheoryLag(d, x), QString(), platform::clDefault);
    if (db > peakDb) {
      std::tie(peakW, peakDb) = std::pair(x, db);
    }
    lowDb = std::min(lowDb, db);
    if (!bandwidth && db < -3 && previousW > 0) {
      // Between the two samples, straight in log frequency.
      const double t = (-3 - previousDb) / (db - previousDb);
      bandwidth = previousW * std::pow(x / previousW, t);
    }
    std::tie(previousW, previousDb) = std::pair(x, db);
  }
  QString text;
  const double startDb = Decibels(std::abs(sim::HeldClosedLoopResponse(d, w.front())));
  if (peakDb > startDb + 0.05 && peakW < w.back()) {
    peakPoint_.AddXY(peakW, peakDb, QString(), platform::clDefault);
    text = QStringLiteral("Resonance peak %1 dB at %2 rad/s. ")
               .arg(Number(peakDb, 2, separator_), Number(peakW, 1, separator_));
  } else {
    text = QStringLiteral("No resonance peak. ");
  }
  if (bandwidth) {
    bandwidthLine_.AddXY(*bandwidth, lowDb, QString(), platform::clDefault);
    bandwidthLine_.AddXY(*bandwidth, std::max(peakDb, 0.0), QString(), platform::clDefault);
    text += QStringLiteral("\u22123 dB bandwidth %1 rad/s (green line).").arg(Number(*bandwidth, 1, separator_));
  } else {
    text += QStringLiteral("The magnitude stays above \u22123 dB up to %1 rad/s.").arg(Number(w.back(), 1, separator_));
  }
  if (stopped > 0) {
    text += QStringLiteral(" The carriage met an end stop at %1 of the %2 frequencies, the first at %3 rad/s; "
                           "those points are left out.")
                .arg(stopped)
                .arg(w.size())
                .arg(Number(*firstStop, 1, separator_));
  }
  Summary->setText(text + QStringLiteral(" Red squares: the simulation; blue line: the theory of the closed loop."));
  FitVertically(*MagnitudeChart, {&magnitudeTheory_, &magnitudePoints_});
  FitVertically(*PhaseChart, {&phaseTheory_, &phasePoints_});
}

std::string FrequencyResponseWindow::Csv() const {
  using sim::CsvNumber;
  std::string csv =
      "frequency (rad/s),amplitude ratio,magnitude (dB),phase lag (deg),theory amplitude ratio,theory magnitude "
      "(dB),theory phase lag (deg),steady,end stop\r\n";
  if (shown_ == nullptr) {
    return csv;
  }
  const sim::Drive& d = shown_->Parameters();
  for (std::size_t i = 0; i < shown_->Points().size(); ++i) {
    const double w = shown_->Frequencies()[i];
    const sim::SweepPoint& p = shown_->Points()[i];
    const double theory = std::abs(sim::HeldClosedLoopResponse(d, w));
    const bool measured = p.figures.periods > 0;
    csv += CsvNumber(w) + ',' + (measured ? CsvNumber(p.figures.ratio) : "") + ',' +
           (measured && p.figures.ratio > 0 ? CsvNumber(Decibels(p.figures.ratio)) : "") + ',' +
           (measured ? CsvNumber(p.figures.phaseLag) : "") + ',' + CsvNumber(theory) + ',' +
           CsvNumber(Decibels(theory)) + ',' + CsvNumber(TheoryLag(d, w)) + ',' + (p.figures.steady ? "yes" : "no") +
           ',' + (p.stopReached ? "yes" : "no") + "\r\n";
  }
  return csv;
}

QImage FrequencyResponseWindow::Picture() {
  const QImage top = MagnitudeChart->grab().toImage();
  const QImage bottom = PhaseChart->grab().toImage();
  QImage picture(std::max(top.width(), bottom.width()), top.height() + bottom.height(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawImage(0, 0, top);
  painter.drawImage(0, top.height(), bottom);
  return picture;
}
