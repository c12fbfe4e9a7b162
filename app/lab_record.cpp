// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The lab record: the experiment log kept in the journal across runs of the program, the log
// started anew or brought back, and the windows where the student left them.
#include <QDir>
#include <QFileDialog>
#include <array>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/frequency_response_window.h"
#include "app/journal.h"
#include "app/measurements_window.h"
#include "app/root_locus_window.h"

namespace {

// The windows whose place and whether they were open are remembered, by settings key.
struct Remembered {
  const char* key;
  QWidget* window;
};

std::array<Remembered, 5> RememberedWindows(TForm1& form) {
  return {{{"main", &form},
           {"instructions", form.Form2},
           {"measurements", form.MeasurementsForm},
           {"frequencyResponse", form.FrequencyForm},
           {"rootLocus", form.RootLocusForm}}};
}

std::vector<sim::LogRecord> FinalRows(const sim::ExperimentLog& log) {
  std::vector<sim::LogRecord> rows;
  rows.reserve(log.Records().size());
  for (std::size_t i = 0; i < log.Records().size(); ++i) {
    if (log.Final(i)) {
      rows.push_back(log.Records()[i]);
    }
  }
  return rows;
}

}  // namespace

void TForm1::AttachStore(app::LabStore* store) {
  store_ = store;
  RestoreWindowSettings();
  app::LabStore::Opening opening = store_->Open();
  measurements_.ReplaceLog(std::move(opening.rows));
  references_ = std::move(opening.references);
  if (references_.size() > app::MaxReferences) {
    references_.resize(app::MaxReferences);
  }
  PlotReferences();
  keptRevision_ = measurements_.Log().Revision();
  keptReferencesRevision_ = referencesRevision_;
  storeNotice_ = opening.notice;
  RefreshMeasurements();
}

void TForm1::ReopenToolWindows() {
  if (store_ != nullptr) {
    QSettings& settings = store_->Settings();
    if (settings.value(QStringLiteral("open/measurements")).toBool()) {
      MeasurementsClick();
    }
    if (settings.value(QStringLiteral("open/frequencyResponse")).toBool()) {
      FrequencyResponseClick();
    }
    if (settings.value(QStringLiteral("open/rootLocus")).toBool()) {
      RootLocusClick();
    }
    if (settings.value(QStringLiteral("open/instructions")).toBool()) {
      Button3Click();
    }
    activateWindow();  // the student goes on where the runs are started
  }
  if (!storeNotice_.isEmpty()) {
    reporter_->ShowError(storeNotice_);
    storeNotice_.clear();
  }
}

void TForm1::SaveWindowSettings() {
  if (store_ == nullptr) {
    return;
  }
  QSettings& settings = store_->Settings();
  for (const auto& [key, window] : RememberedWindows(*this)) {
    if (window != nullptr) {
      settings.setValue(QStringLiteral("geometry/") + QLatin1String(key), window->saveGeometry());
      if (window != this) {
        settings.setValue(QStringLiteral("open/") + QLatin1String(key), window->isVisible());
      }
    }
  }
  settings.sync();
}

void TForm1::RestoreWindowSettings() {
  QSettings& settings = store_->Settings();
  for (const auto& [key, window] : RememberedWindows(*this)) {
    // restoreGeometry keeps a window on a screen that is still there.
    if (window != nullptr) {
      window->restoreGeometry(settings.value(QStringLiteral("geometry/") + QLatin1String(key)).toByteArray());
    }
  }
}

bool TForm1::KeepLog() {
  const sim::ExperimentLog& log = measurements_.Log();
  if (store_ == nullptr || !store_->Keeping() ||
      (log.Revision() == keptRevision_ && referencesRevision_ == keptReferencesRevision_)) {
    return true;
  }
  try {
    store_->Save(FinalRows(log), references_);
    keptRevision_ = log.Revision();
    keptReferencesRevision_ = referencesRevision_;
    journalFailing_ = false;
    return true;
  } catch (const std::exception& e) {
    // Said once; the next row that becomes final tries again, and so does the close.
    if (!journalFailing_) {
      journalFailing_ = true;
      reporter_->ShowError(QStringLiteral("The experiment journal could not be written, so the last rows are kept "
                                          "only in this window: %1")
                               .arg(QString::fromUtf8(e.what())));
    }
    return false;
  }
}

bool TForm1::ReplaceLog(std::vector<sim::LogRecord> rows, const QString& question, bool ask,
                        platform::ErrorReporter& where) {
  const std::vector<sim::LogRecord>& present = measurements_.Log().Records();
  const bool keeping = store_ != nullptr && store_->Keeping();
  if (!present.empty()) {
    const QString fate =
        keeping ? QStringLiteral("Its %1 rows are kept as a dated file beside the journal, which File, Open log "
                                 "brings back.")
                : QStringLiteral("Its %1 rows are kept nowhere else: they are lost unless you save the log as CSV "
                                 "first.");
    if ((ask || !keeping) && !where.Ask(question + u' ' + fate.arg(present.size()))) {
      return false;
    }
    if (keeping) {
      store_->KeepAside(present);  // a failure throws: nothing is replaced
    }
  }
  measurements_.ReplaceLog(std::move(rows));
  RefreshMeasurements();
  return true;
}

void TForm1::NewLogClick() {
  Guarded([this] { ReplaceLog({}, QStringLiteral("Start a new experiment log?"), false, *reporter_); });
}

void TForm1::ClearLogClick() {
  platform::ErrorReporter& where = MeasurementsForm->Reporter();
  platform::RunGuarded(where, [&] { ReplaceLog({}, QStringLiteral("Clear the experiment log?"), true, where); });
}

void TForm1::OpenLogClick() {
  Guarded([this] {
    const QString folder = store_ != nullptr ? store_->Folder() : QDir::homePath();
    const QString caption = QStringLiteral("Open an experiment log");
    const QString filter = QStringLiteral("drivelab journals (*.json);;All files (*)");
    const QString path = askOpenFileName_ ? askOpenFileName_(caption, folder, filter)
                                          : QFileDialog::getOpenFileName(this, caption, folder, filter);
    if (path.isEmpty()) {
      return;
    }
    // Read whole before anything changes: a file that is not a journal leaves the log alone.
    std::vector<sim::LogRecord> rows = app::LabStore::LoadFile(path);
    ReplaceLog(std::move(rows),
               QStringLiteral("Open %1 in place of the present log?").arg(QDir::toNativeSeparators(path)), false,
               *reporter_);
  });
}
