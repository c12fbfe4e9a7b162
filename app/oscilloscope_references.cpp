// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Kept traces on the oscilloscope, and a log row's run repeated or annotated.
#include <QMenu>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/Unit1.h"
#include "app/measurements_window.h"
#include "sim/checked_float.h"

namespace {

constexpr std::size_t RowTracesKept = 50;

// A text that the window's own reading turns back into exactly `value`: the shortest that
// does, since a student reads it.
QString ExactText(long double value, QChar separator, const std::function<bool(const QString&)>& readsBack) {
  QString text = app::ShortNumber(static_cast<double>(value), separator);
  for (int digits = 17; !readsBack(text) && digits <= 21; ++digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lg", digits, value);
    text = QString::fromLatin1(buffer).replace(QLatin1Char('.'), separator);
  }
  return text;
}

}  // namespace

app::LiveRun TForm1::LiveRunNow() const {
  app::LiveRun live;
  live.accuracy = AccuracySelected();
  live.newest = drive_.TraceTime[sim::TraceNewest];
  live.clock = drive_.SimTime - live.newest;
  live.tick = drive_.StepsPerTick * drive_.StepH;
  if (!measurements_.Started()) {
    return live;
  }
  if (measurements_.Measuring() == sim::Measurements::Kind::Step) {
    const sim::StepFigures& f = measurements_.Step().Figures();
    live.start = live.newest - f.elapsed;
    live.settings = app::ParameterSettings(measurements_.RunParameters(), false);
    live.settings.push_back({QStringLiteral("step"), f.target - f.start});
  } else if (measurements_.Measuring() == sim::Measurements::Kind::Harmonic) {
    live.start = harmonicStart_;
    live.settings = app::ParameterSettings(measurements_.RunParameters(), true);
    live.settings.push_back({QStringLiteral("amplitude"), static_cast<double>(drive_.Amplitude)});
    live.settings.push_back({QStringLiteral("frequency"), static_cast<double>(drive_.Frequency)});
  }
  return live;
}

std::optional<app::Reference> TForm1::CaptureRun() const {
  const app::LiveRun live = LiveRunNow();
  if (!live.start || Series1->Count() == 0) {
    return std::nullopt;
  }
  app::Reference r;
  r.accuracy = measurements_.Measuring() == sim::Measurements::Kind::Harmonic;
  r.parameters = measurements_.RunParameters();
  const sim::StepFigures& f = measurements_.Step().Figures();
  r.step = r.accuracy ? 0 : f.target - f.start;
  r.amplitude = r.accuracy ? drive_.Amplitude : 0;
  r.frequency = r.accuracy ? drive_.Frequency : 0;
  r.start = *live.start;
  r.clock = live.clock;
  for (int i = 0; i < Series1->Count(); ++i) {
    r.time.push_back(Series1->XValues.ValueAt(i));
    r.actual.push_back(Series1->YValues.ValueAt(i));
  }
  if (r.accuracy) {
    for (int i = 0; i < Series3->Count(); ++i) {
      r.error.push_back(Series3->YValues.ValueAt(i));
    }
  }
  return r;
}

void TForm1::EndingRun(const std::function<void()>& f) {
  const std::optional<std::size_t> row = measurements_.Row();
  const std::size_t rows = measurements_.Log().Records().size();
  std::optional<app::Reference> traces = CaptureRun();
  f();
  if (measurements_.Log().Generation() != rowTracesGeneration_) {
    rowTraces_.clear();  // rows of a log no longer shown
    rowTracesGeneration_ = measurements_.Log().Generation();
  }
  if (!traces) {
    return;
  }
  // The row that became final: the one the run had, or the one its end added.
  std::optional<std::size_t> ended;
  if (row && measurements_.Row() != row) {
    ended = row;
  } else if (!row && measurements_.Log().Records().size() > rows) {
    ended = rows;
  }
  if (ended) {
    rowTraces_[*ended] = std::move(*traces);
    if (rowTraces_.size() > RowTracesKept) {
      rowTraces_.erase(rowTraces_.begin());
    }
  }
}

void TForm1::AddReference(std::optional<app::Reference> r, const char* missing) {
  if (!r) {
    throw std::runtime_error(missing);
  }
  if (references_.size() >= app::MaxReferences) {
    throw std::runtime_error("Four references are kept already: clear one first in View, References");
  }
  r->colour = app::FreeColour(references_);
  references_.push_back(std::move(*r));
  ++referencesRevision_;
  PlotReferences();
  KeepLog();
}

void TForm1::KeepReferenceClick() {
  Guarded([this] {
    AddReference(CaptureRun(),
                 "There is no run on the oscilloscope to keep: release the marker, or press \"Process\" in accuracy "
                 "research, and keep the run once it shows");
  });
}

void TForm1::KeepRowReference(std::size_t record) {
  platform::RunGuarded(MeasurementsForm->Reporter(), [&] {
    std::optional<app::Reference> r;
    if (measurements_.Row() == record) {
      r = CaptureRun();
    } else if (const auto kept = rowTraces_.find(record);
               kept != rowTraces_.end() && measurements_.Log().Generation() == rowTracesGeneration_) {
      r = kept->second;
    }
    AddReference(std::move(r),
                 "The traces of this row's run are no longer on hand: a run can be kept as a reference while it is "
                 "on the oscilloscope, or from the log during the session that ran it");
  });
}

void TForm1::ShowReference(std::size_t index, bool shown) {
  if (index < references_.size() && references_[index].shown != shown) {
    references_[index].shown = shown;
    ++referencesRevision_;
    PlotReferences();
    KeepLog();
  }
}

void TForm1::ClearReference(std::size_t index) {
  if (index < references_.size()) {
    references_.erase(references_.begin() + static_cast<std::ptrdiff_t>(index));
    referenceSeries_.erase(referenceSeries_.begin() + static_cast<std::ptrdiff_t>(index));
    ++referencesRevision_;
    PlotReferences();
    KeepLog();
  }
}

void TForm1::ClearReferencesClick() {
  while (!references_.empty()) {
    ClearReference(references_.size() - 1);
  }
}

const chart::TLineSeries* TForm1::ReferenceTrace(std::size_t index) const {
  return index < referenceSeries_.size() ? referenceSeries_[index].actual.get() : nullptr;
}

QStringList TForm1::ReferenceTitles() const {
  QStringList titles;
  for (const ReferenceSeries& s : referenceSeries_) {
    titles << (s.actual->Active() ? s.actual->Title : QString());
  }
  return titles;
}

void TForm1::PlotReferences() {
  if (references_.empty()) {
    Chart1->Legend().SetVisible(false);
    return;  // nothing kept, nothing to follow: the oscilloscope is as it always was
  }
  const app::LiveRun live = LiveRunNow();
  std::vector<const app::Reference*> drawn;
  referenceSeries_.resize(references_.size());
  for (std::size_t i = 0; i < references_.size(); ++i) {
    const app::Reference& r = references_[i];
    ReferenceSeries& s = referenceSeries_[i];
    const platform::TColor color = app::ReferenceColors[r.colour % app::MaxReferences];
    if (!s.actual) {
      s.actual = std::make_unique<chart::TLineSeries>();
      s.error = std::make_unique<chart::TLineSeries>();
      std::size_t position = 2 * i;  // in the order kept, under the live traces
      for (chart::TLineSeries* series : {s.actual.get(), s.error.get()}) {
        series->ScalesAxes = false;
        series->SetParentChart(Chart1);
        Chart1->MoveSeries(series, position++);
      }
      s.error->ShowInLegend = false;
    }
    if (s.actual->SeriesColor() != color) {
      s.actual->SetSeriesColor(color);
      s.error->SetSeriesColor(app::ErrorColorOf(color));
      s.filledShift.reset();
    }
    const bool active = r.shown && r.accuracy == live.accuracy;
    s.actual->SetActive(active);
    s.error->SetActive(active && !r.error.empty());
    if (!active) {
      continue;
    }
    drawn.push_back(&r);
    const double shift = app::ReferenceShift(r, live, drive_.Frequency);
    if (s.filledShift == shift) {
      continue;
    }
    s.filledShift = shift;
    s.actual->Clear();
    s.error->Clear();
    for (std::size_t k = 0; k < r.time.size(); ++k) {
      s.actual->AddXY(r.time[k] + shift, r.actual[k], color);
      if (k < r.error.size()) {
        s.error->AddXY(r.time[k] + shift, r.error[k], app::ErrorColorOf(color));
      }
    }
  }
  Chart1->Legend().SetVisible(!drawn.empty());
  // The labels change only with what is kept and what the live run was made with.
  std::vector<double> key{static_cast<double>(referencesRevision_), live.accuracy ? 1.0 : 0.0};
  for (const app::Setting& setting : live.settings) {
    key.push_back(setting.value);
  }
  if (key == labelsKey_) {
    return;
  }
  labelsKey_ = std::move(key);
  const QStringList labels = app::ReferenceLabels(drawn, live, separator_);
  for (std::size_t i = 0, d = 0; i < references_.size(); ++i) {
    if (referenceSeries_[i].actual->Active()) {
      const QString& label = labels[static_cast<qsizetype>(d++)];
      if (referenceSeries_[i].actual->Title != label) {
        referenceSeries_[i].actual->Title = label;
        Chart1->Invalidate();
      }
    }
  }
}

void TForm1::RebuildReferencesMenu() {
  MenuReferences->clear();
  std::vector<const app::Reference*> kept;
  for (const app::Reference& r : references_) {
    kept.push_back(&r);
  }
  const QStringList names = app::ReferenceLabels(kept, LiveRunNow(), separator_);
  for (std::size_t i = 0; i < references_.size(); ++i) {
    QString name = names[static_cast<qsizetype>(i)];
    if (references_[i].accuracy != AccuracySelected()) {
      name += references_[i].accuracy ? QStringLiteral(" (accuracy research)") : QStringLiteral(" (stability research)");
    }
    QAction* show = MenuReferences->addAction(QStringLiteral("Show %1").arg(name));
    show->setCheckable(true);
    show->setChecked(references_[i].shown);
    connect(show, &QAction::toggled, this, [this, i](bool on) { ShowReference(i, on); });
    connect(MenuReferences->addAction(QStringLiteral("Clear %1").arg(name)), &QAction::triggered, this,
            [this, i] { ClearReference(i); });
    MenuReferences->addSeparator();
  }
  QAction* all = MenuReferences->addAction(QStringLiteral("Clear all references"));
  all->setEnabled(!references_.empty());
  connect(all, &QAction::triggered, this, &TForm1::ClearReferencesClick);
}

void TForm1::RepeatRow(std::size_t record) {
  const auto& records = measurements_.Log().Records();
  if (record >= records.size()) {
    return;
  }
  const sim::LogRecord r = records[record];
  const bool accuracy = r.harmonic.has_value() || r.sweep.has_value();
  if (accuracy != AccuracySelected()) {
    (accuracy ? RadioButton2 : RadioButton1)->setChecked(true);
    (accuracy ? RadioButton2Click() : RadioButton1Click());
  }
  const auto plain = [this](double value) {
    return ExactText(value, separator_, [&](const QString& t) {
      try {
        return platform::ReadReal(t, separator_) == value;
      } catch (const std::exception&) {
        return false;
      }
    });
  };
  const sim::Parameters& p = r.parameters;
  Edit1->setText(plain(p.Kamp));
  Edit2->setText(plain(p.Tamp));
  // Accuracy research keeps the reciprocal of the number typed.
  Edit3->setText(!accuracy ? plain(p.Kmotor)
                           : ExactText(1.0L / p.Kmotor, separator_, [&](const QString& t) {
                               try {
                                 return sim::Store(sim::Ext(1) / platform::ReadExtended(t, separator_)) == p.Kmotor;
                               } catch (const std::exception&) {
                                 return false;
                               }
                             }));
  Edit4->setText(plain(p.Tmotor));
  Edit5->setText(plain(p.Pitch));
  Edit6->setText(plain(p.Kfb));
  if (r.harmonic) {
    // The amplitude used is one more than the number shown.
    SpinEdit1->setText(QString::number(std::lround(r.harmonic->amplitude) - 1));
    SpinEdit2->setText(QString::number(std::lround(r.harmonic->frequency)));
  } else if (r.sweep) {
    SpinEdit1->setText(QString::number(std::lround(r.sweep->amplitude) - 1));
  }
}

void TForm1::SetRowNote(std::size_t record, const QString& note) {
  if (record < measurements_.Log().Records().size()) {
    measurements_.Log().SetNote(record, note.toStdString());
    KeepLog();
  }
}
