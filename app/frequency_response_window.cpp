// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/frequency_response_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <tuple>

#include "app/keyboard.h"
#include "platform/number_reading.h"
#include "sim/experiment_log.h"

namespace {

// Points of the theory line: smooth at any width the window takes.
constexpr int TheoryPoints = 400;

double Decibels(double ratio) { return 20 * std::log10(ratio); }

// The vertical axis over every point shown and a twentieth beyond each end, so that no
// marker, the peak's least of all, is cut in half by the frame. A legend of `legend` pixels
// lies over the plot's top-left corner: the points under it and the first beyond it, whose
// line may cross its corner, are held below it (at slow commands the magnitude stays near
// 0 dB, the top of the plot). With no point at all the axis is left as it was.
void FitVertically(chart::TChart& chart, const std::vector<const chart::TChartSeries*>& series, QSize legend = {}) {
  double lo = 0, hi = 0;
  bool any = false;
  for (const chart::TChartSeries* s : series) {
    if (s->Count() > 0) {
      lo = any ? std::min(lo, s->MinYValue()) : s->MinYValue();
      hi = any ? std::max(hi, s->MaxYValue()) : s->MaxYValue();
      any = true;
    }
  }
  if (!any) {
    return;
  }
  const double margin = std::max(hi - lo, 1.0) / 20;
  const double bottom = lo - margin;
  double top = hi + margin;
  // The plot's size as last drawn, grown or shrunk with the chart since; the chart draws the
  // box 4 pixels in, and 4 more keep the traces off its frame.
  const int width = chart.ChartRect().Width() + chart.width() - chart.ChartBounds().Width();
  const int height = chart.ChartRect().Height() + chart.height() - chart.ChartBounds().Height();
  const int right = legend.width() + 8;
  const int below = legend.height() + 8;
  if (!legend.isEmpty() && width > 2 * right && height > 2 * below) {
    chart::TChartAxis& axis = chart.BottomAxis();
    axis.ComputeRange();  // as the next paint takes it, the new series included
    const double edge = axis.RangeMin * std::pow(axis.RangeMax / axis.RangeMin, static_cast<double>(right) / width);
    std::optional<double> under;
    for (const chart::TChartSeries* s : series) {
      for (int i = 0; i < s->Count() && (i == 0 || s->XValues.ValueAt(i - 1) <= edge); ++i) {
        under = std::max(under.value_or(s->YValues.ValueAt(i)), s->YValues.ValueAt(i));
      }
    }
    const double share = static_cast<double>(below) / height;
    if (under) {
      top = std::max(top, (*under - share * bottom) / (1 - share));
    }
  }
  chart.LeftAxis().SetRange(bottom, top);
}

double TheoryDb(const sim::Drive& d, double w) { return Decibels(std::abs(sim::HeldClosedLoopResponse(d, w))); }

// The frequency of the theory's largest magnitude between a and b, about the one peak there,
// by golden-section search: the sampled curve alone misses it by up to a sample's spacing.
double PeakFrequency(const sim::Drive& d, double a, double b) {
  const double r = (std::sqrt(5.0) - 1) / 2;
  const auto magnitude = [&d](double w) { return std::abs(sim::HeldClosedLoopResponse(d, w)); };
  double x1 = b - r * (b - a), x2 = a + r * (b - a);
  double f1 = magnitude(x1), f2 = magnitude(x2);
  while (b - a > 1e-9 * b) {
    if (f1 < f2) {
      a = x1;
      std::tie(x1, f1) = std::pair(x2, f2);
      x2 = a + r * (b - a);
      f2 = magnitude(x2);
    } else {
      b = x2;
      std::tie(x2, f2) = std::pair(x1, f1);
      x1 = b - r * (b - a);
      f1 = magnitude(x1);
    }
  }
  return (a + b) / 2;
}

// Where the theory falls through -3 dB between above, at or over it, and below, under it.
double Crossing(const sim::Drive& d, double above, double below) {
  while (below - above > 1e-9 * below) {
    const double middle = std::sqrt(above * below);
    (TheoryDb(d, middle) >= -3 ? above : below) = middle;
  }
  return (above + below) / 2;
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

// Everything a sweep's figures follow from, the names as the student knows them from the two
// windows: what sets two sweeps apart in the legend.
std::vector<app::Setting> SweepSettings(const sim::FrequencySweep& s) {
  std::vector<app::Setting> settings = app::ParameterSettings(sim::ParametersOf(s.Parameters()), true);
  const std::vector<double>& w = s.Frequencies();
  settings.insert(settings.end(), {{QStringLiteral("Amplitude"), static_cast<double>(s.Parameters().Amplitude)},
                                   {QStringLiteral("From"), w.front()},
                                   {QStringLiteral("To"), w.back()},
                                   {QStringLiteral("Points"), static_cast<double>(w.size())}});
  return settings;
}

bool SameSettings(const std::vector<app::Setting>& a, const std::vector<app::Setting>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](const app::Setting& x, const app::Setting& y) { return x.value == y.value; });
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
  KeepButton = new QPushButton(QStringLiteral("&Keep for comparison"), this);
  KeepButton->setToolTip(
      QStringLiteral("Keeps this finished sweep on the charts, under the sweeps run next (%1 at most)").arg(MaxKept));
  RemoveKeptButton = new QPushButton(QStringLiteral("Re&move kept"), this);
  // A fixed set of entries, shown or hidden: an entry is never deleted while it is triggered.
  auto* removals = new QMenu(RemoveKeptButton);
  for (int i = 0; i < MaxKept; ++i) {
    connect(removals->addAction(QString()), &QAction::triggered, this, [this, i] { RemoveKept(i); });
  }
  removals->addSeparator();
  connect(removals->addAction(QStringLiteral("Remove &all")), &QAction::triggered, this,
          [this] { RemoveKept(std::nullopt); });
  RemoveKeptButton->setMenu(removals);
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
  saves->addWidget(KeepButton);
  saves->addWidget(RemoveKeptButton);
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
  MagnitudeChart->Legend().Font().SetHeight(12);

  Summary->setText(QStringLiteral(
      "Run sweep measures the carriage's response to a sine at each frequency, with the parameters and the "
      "amplitude of the main window. Red squares: the simulation; blue line: the theory of the closed loop."));
  errorBox_ = std::make_unique<platform::MessageBoxReporter>(this, QApplication::applicationName());
  SetErrorReporter(nullptr);
  ShowComparison();
  app::CloseWithKeys(this);
  connect(RunButton, &QPushButton::clicked, this, &FrequencyResponseWindow::RunClick);
  connect(CancelButton, &QPushButton::clicked, this, &FrequencyResponseWindow::CancelClick);
  connect(SaveCsvButton, &QPushButton::clicked, this, &FrequencyResponseWindow::SaveCsvRequested);
  connect(SavePngButton, &QPushButton::clicked, this, &FrequencyResponseWindow::SavePngRequested);
  connect(KeepButton, &QPushButton::clicked, this, &FrequencyResponseWindow::KeepClick);
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
  // A sweep stopped before its first point has nothing to save, unless kept sweeps are shown.
  const bool any = !running && ((shown_ != nullptr && !shown_->Points().empty()) || !kept_.empty());
  SaveCsvButton->setEnabled(any);
  SavePngButton->setEnabled(any);
  KeepButton->setEnabled(!running && CanKeep());
}

void FrequencyResponseWindow::ClearCharts() {
  for (chart::TChartSeries* s : std::initializer_list<chart::TChartSeries*>{
           &magnitudeTheory_, &phaseTheory_, &bandwidthLine_, &magnitudePoints_, &phasePoints_, &peakPoint_}) {
    s->Clear();
  }
}

void FrequencyResponseWindow::RunClick() {
  if (Running()) {
    return;
  }
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
    // What the plot showed belongs to the settings before; nothing of it is left to save.
    shown_.reset();
    ClearCharts();
    MarkTitles(QString());
    ShowComparison();
    const sim::StabilityFigures stability = sim::AssessStability(d);
    if (!stability.stable) {
      // An unstable loop swings out to its stops whatever the command: no response to plot.
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
    SweepThread* worker = new SweepThread(std::make_unique<sim::FrequencySweep>(d, from, to, CountEdit->value()), this);
    worker->HoldAfter(holdAfter_);
    // Delivered here in the window's thread; one from a thread since stopped finds another
    // worker_ and is dropped.
    connect(
        worker, &SweepThread::Measured, worker,
        [this, worker](int points) {
          if (worker == worker_) {
            Progress->setValue(points);
          }
        },
        Qt::QueuedConnection);
    connect(
        worker, &QThread::finished, worker,
        [this, worker] {
          if (worker == worker_) {
            SweepEnded();
          }
        },
        Qt::QueuedConnection);
    worker_ = worker;
    Progress->setRange(0, CountEdit->value());
    Progress->setValue(0);
    Summary->setText(QStringLiteral("Sweeping\u2026"));
    ShowRunning(true);
    worker->start();
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
  worker_->Stop();
  SweepEnded();
}

void FrequencyResponseWindow::closeEvent(QCloseEvent* event) {
  CancelClick();
  QWidget::closeEvent(event);
}

void FrequencyResponseWindow::SweepEnded() {
  // QThread::finished comes just before the thread's very end.
  worker_->wait();
  const std::exception_ptr error = worker_->Error();
  shown_ = worker_->Take();
  worker_->deleteLater();
  worker_ = nullptr;
  if (error) {
    // Ended and plotted before the box opens: its event loop runs whatever is queued
    // meanwhile, which must find no sweep running.
    Show(Ending::Error);
    Guarded([error] { std::rethrow_exception(error); });
  } else if (!shown_->Finished()) {
    Show(Ending::Cancelled);
  } else {
    // Though Cancel may have come after the last point: the sweep is whole.
    Show(Ending::Complete);
    emit SweepFinished();
  }
}

void FrequencyResponseWindow::Show(Ending ending) {
  ending_ = ending;
  Plot();
  ShowComparison();
}

void FrequencyResponseWindow::MarkTitles(const QString& note) {
  // In red on each chart, so that the saved picture of a part of a sweep says so too.
  for (const auto& [chart, title] : {std::pair(MagnitudeChart, "Magnitude"), std::pair(PhaseChart, "Phase")}) {
    chart->Title().Font().SetColor(note.isEmpty() ? platform::clBlue : platform::clRed);
    chart->Title().SetText(
        {note.isEmpty() ? QString::fromLatin1(title) : QStringLiteral("%1 \u2014 %2").arg(QLatin1String(title), note)});
  }
}

void FrequencyResponseWindow::Plot() {
  ClearCharts();
  const sim::FrequencySweep& s = *shown_;
  const sim::Drive& d = s.Parameters();
  const std::vector<double>& w = s.Frequencies();
  const std::vector<sim::SweepPoint>& points = s.Points();
  Progress->setValue(static_cast<int>(points.size()));
  QString note;
  if (ending_ != Ending::Complete) {
    note = QStringLiteral("%1 after %2 of %3 points")
               .arg(ending_ == Ending::Cancelled ? QStringLiteral("cancelled") : QStringLiteral("stopped by an error"))
               .arg(points.size())
               .arg(w.size());
  }
  MarkTitles(note);
  int stopped = 0;
  std::optional<double> lowestStop;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const sim::SweepPoint& p = points[i];
    if (p.stopReached) {
      ++stopped;
      lowestStop = lowestStop.value_or(w[i]);
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
  // The theory, densely; its own peak and -3 dB crossing are sought between the samples.
  const std::vector<double> x = sim::LogSpacedFrequencies(w.front(), w.back(), TheoryPoints);
  std::vector<double> db;
  for (const double f : x) {
    db.push_back(TheoryDb(d, f));
    magnitudeTheory_.AddXY(f, db.back(), QString(), platform::clDefault);
    phaseTheory_.AddXY(f, -TheoryLag(d, f), QString(), platform::clDefault);
  }
  const std::size_t best = std::max_element(db.begin(), db.end()) - db.begin();
  QString theory = QStringLiteral("Theory (blue line): ");
  if (db[best] > db.front() + 0.05 && best + 1 < x.size()) {
    const double peak = PeakFrequency(d, x[best - 1], x[best + 1]);
    peakPoint_.AddXY(peak, TheoryDb(d, peak), QString(), platform::clDefault);
    theory += QStringLiteral("resonance peak %1 dB at %2 rad/s (lime square), ")
                  .arg(Number(TheoryDb(d, peak), 2, separator_), Number(peak, 2, separator_));
  } else {
    theory += QStringLiteral("no resonance peak, ");
  }
  const auto fall = std::adjacent_find(db.begin(), db.end(), [](double a, double b) { return a >= -3 && b < -3; });
  if (fall != db.end()) {
    const std::size_t i = fall - db.begin();
    const double bandwidth = Crossing(d, x[i], x[i + 1]);
    bandwidthLine_.AddXY(bandwidth, *std::min_element(db.begin(), db.end()), QString(), platform::clDefault);
    bandwidthLine_.AddXY(bandwidth, std::max(db[best], 0.0), QString(), platform::clDefault);
    theory += QStringLiteral("\u22123 dB bandwidth %1 rad/s (green line).").arg(Number(bandwidth, 2, separator_));
  } else if (db.front() < -3) {
    theory += QStringLiteral("already below \u22123 dB at %1 rad/s.").arg(Figure(w.front(), separator_));
  } else {
    theory += QStringLiteral("above \u22123 dB up to %1 rad/s.").arg(Figure(w.back(), separator_));
  }
  // The figures the experiment log records, read off the points themselves.
  const sim::SweepSummary measured = s.Summary();
  QString simulated = QStringLiteral("Measured (red squares): ");
  if (points.empty()) {
    simulated += QStringLiteral("no point yet.");
  } else if (!measured.peakDb) {
    simulated += QStringLiteral("no point clear of the end stops.");
  } else {
    simulated += QStringLiteral("peak %1 dB at %2 rad/s, ")
                     .arg(Number(*measured.peakDb, 2, separator_), Number(*measured.peakFrequency, 2, separator_));
    simulated += measured.bandwidth ? QStringLiteral("\u22123 dB bandwidth %1 rad/s.")
                                          .arg(Number(*measured.bandwidth, 2, separator_))
                                    : QStringLiteral("no fall through \u22123 dB between its points.");
  }
  QStringList text{theory, simulated};
  if (!note.isEmpty()) {
    text.prepend(QStringLiteral("Sweep %1: only those are plotted and saved.").arg(note));
  }
  if (stopped > 0) {
    text << QStringLiteral("The carriage met an end stop at %1 of the %2 frequencies, the lowest of them %3 rad/s; "
                           "those points are left out.")
                .arg(stopped)
                .arg(points.size())
                .arg(Number(*lowestStop, 2, separator_));
  }
  Summary->setText(text.join(u'\n'));
}

bool FrequencyResponseWindow::CanKeep() const {
  if (Running() || Finished() == nullptr || kept_.size() >= MaxKept ||
      std::none_of(shown_->Points().begin(), shown_->Points().end(), Plottable)) {
    return false;
  }
  // A sweep is its settings' alone: the same settings kept twice would draw one line twice.
  const std::vector<app::Setting> settings = SweepSettings(*shown_);
  return std::none_of(kept_.begin(), kept_.end(),
                      [&](const KeptSweep& k) { return SameSettings(SweepSettings(*k.sweep), settings); });
}

void FrequencyResponseWindow::KeepClick() {
  if (!CanKeep()) {
    return;
  }
  // The first colour free: the sweeps kept already keep theirs.
  const auto color = std::find_if(KeptColors.begin(), KeptColors.end(), [this](chart::TColor c) {
    return std::none_of(kept_.begin(), kept_.end(), [c](const KeptSweep& k) { return k.color == c; });
  });
  KeptSweep kept{shown_, *color, std::make_unique<chart::TLineSeries>(), std::make_unique<chart::TLineSeries>()};
  const std::vector<double>& w = shown_->Frequencies();
  const std::vector<sim::SweepPoint>& points = shown_->Points();
  const auto fill = [&](chart::TLineSeries& line, chart::TChart* chart, auto value) {
    line.SetSeriesColor(*color);
    // Two pixels wide: the lighter of these colours fade at one on white.
    line.LinePen().SetWidth(2);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (Plottable(points[i])) {
        line.AddXY(w[i], value(points[i].figures), platform::clDefault);
      } else if (line.Count() > 0) {
        // A point lost to the stops is a gap in the line, not a straight bridge over it.
        line.AddXY(w[i], line.YValues.ValueAt(line.Count() - 1), platform::clNone);
      }
    }
    line.SetParentChart(chart);
    chart->MoveSeries(&line, kept_.size());
  };
  fill(*kept.magnitude, MagnitudeChart, [](const sim::HarmonicFigures& f) { return Decibels(f.ratio); });
  fill(*kept.phase, PhaseChart, [](const sim::HarmonicFigures& f) { return -f.phaseLag; });
  kept_.push_back(std::move(kept));
  ShowComparison();
}

void FrequencyResponseWindow::RemoveKept(std::optional<std::size_t> index) {
  if (!index) {
    kept_.clear();
  } else if (*index < kept_.size()) {
    kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(*index));
  }
  ShowComparison();
}

bool FrequencyResponseWindow::PresentListed() const { return shown_ != nullptr && !shown_->Points().empty(); }

QStringList FrequencyResponseWindow::Labels() const {
  std::vector<std::vector<app::Setting>> runs;
  for (const KeptSweep& k : kept_) {
    runs.push_back(SweepSettings(*k.sweep));
  }
  if (PresentListed()) {
    runs.push_back(SweepSettings(*shown_));
  }
  QStringList labels = app::DifferingLabels(runs, separator_, QStringLiteral("Kept sweep %1"));
  // Alike in everything, the present sweep is the one just kept, or none is kept.
  const auto alike = [&](const std::vector<app::Setting>& r) { return SameSettings(r, runs.back()); };
  if (PresentListed() && std::all_of(runs.begin(), runs.end(), alike)) {
    labels.back() = QStringLiteral("Present sweep");
  }
  return labels;
}

void FrequencyResponseWindow::ShowComparison() {
  const QStringList labels = Labels();
  const QList<QAction*> removals = RemoveKeptButton->menu()->actions();
  for (int i = 0; i < MaxKept; ++i) {
    removals[i]->setVisible(i < KeptCount());
    if (i < KeptCount()) {
      const KeptSweep& k = kept_[i];
      k.magnitude->Title = labels[i];
      QPixmap swatch(12, 12);
      swatch.fill(platform::ToQColor(k.color));
      removals[i]->setIcon(QIcon(swatch));
      removals[i]->setText(QString(labels[i]).replace(u'&', QStringLiteral("&&")));
    }
  }
  magnitudePoints_.Title = PresentListed() && !kept_.empty() ? labels.back() : QString();
  MagnitudeChart->Legend().SetVisible(!kept_.empty());
  // The titles are no settings the chart watches.
  MagnitudeChart->Invalidate();
  RemoveKeptButton->setEnabled(!kept_.empty());
  ShowRunning(Running());
  FitCharts();
}

void FrequencyResponseWindow::FitCharts() {
  std::vector<const chart::TChartSeries*> magnitude{&magnitudeTheory_, &magnitudePoints_};
  std::vector<const chart::TChartSeries*> phase{&phaseTheory_, &phasePoints_};
  for (const KeptSweep& k : kept_) {
    magnitude.push_back(k.magnitude.get());
    phase.push_back(k.phase.get());
  }
  const chart::TRect box = MagnitudeChart->LegendRect();
  const QSize legend = box.Width() > 0 ? QSize(box.Width(), box.Height()) : QSize();
  FitVertically(*MagnitudeChart, magnitude, legend);
  FitVertically(*PhaseChart, phase);
}

std::string FrequencyResponseWindow::Csv() const {
  std::string csv =
      "sweep,frequency (rad/s),measured amplitude ratio,measured magnitude (dB),measured phase lag (deg),theory "
      "amplitude ratio,theory magnitude (dB),theory phase lag (deg),steady,end stop,sweep status,sweep from (rad/s),"
      "sweep to (rad/s),sweep points,amplitude (mm),Kamp,Tamp (s),Kmotor (rad/(V s)),Tmotor (s),Pitch (mm),Kfb "
      "(V/mm)\r\n";
  const QStringList labels = Labels();
  if (PresentListed()) {
    csv += CsvRows(*shown_, labels.back().toStdString(),
                   ending_ == Ending::Complete    ? "complete"
                   : ending_ == Ending::Cancelled ? "cancelled"
                                                  : "stopped by an error");
  }
  for (int i = 0; i < KeptCount(); ++i) {
    csv += CsvRows(*kept_[i].sweep, labels[i].toStdString(), "complete");
  }
  return csv;
}

std::string FrequencyResponseWindow::CsvRows(const sim::FrequencySweep& sweep, const std::string& label,
                                             const char* status) {
  using sim::CsvNumber;
  const sim::Drive& d = sweep.Parameters();
  const std::vector<double>& frequencies = sweep.Frequencies();
  // The sweep's own settings on every row: a row pasted elsewhere still says where it came from.
  std::string settings = std::string(status) + ',' + CsvNumber(frequencies.front()) + ',' +
                         CsvNumber(frequencies.back()) + ',' + std::to_string(frequencies.size()) + ',' +
                         std::to_string(d.Amplitude);
  for (const double v : {d.Kamp, d.Tamp, d.Kmotor, d.Tmotor, d.Pitch, d.Kfb}) {
    settings += ',' + CsvNumber(v);
  }
  const std::string name = sim::CsvField(label);
  std::string rows;
  for (std::size_t i = 0; i < sweep.Points().size(); ++i) {
    const double w = frequencies[i];
    const sim::SweepPoint& p = sweep.Points()[i];
    const double theory = std::abs(sim::HeldClosedLoopResponse(d, w));
    const bool measured = p.figures.periods > 0;
    rows += name + ',' + CsvNumber(w) + ',' + (measured ? CsvNumber(p.figures.ratio) : "") + ',' +
            (measured && p.figures.ratio > 0 ? CsvNumber(Decibels(p.figures.ratio)) : "") + ',' +
            (measured ? CsvNumber(p.figures.phaseLag) : "") + ',' + CsvNumber(theory) + ',' +
            CsvNumber(Decibels(theory)) + ',' + CsvNumber(TheoryLag(d, w)) + ',' + (p.figures.steady ? "yes" : "no") +
            ',' + (p.stopReached ? "yes" : "no") + ',' + settings + "\r\n";
  }
  return rows;
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
