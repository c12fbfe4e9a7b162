// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window's menu bar: the commands a student reaches from the keyboard or looks up
// by name, above the client area the buttons live in.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include <sstream>

#include "app/Unit1.h"
#include "app/exports.h"
#include "app/frequency_response_window.h"
#include "app/measurements_window.h"
#include "app/root_locus_window.h"
#include "sim/drive_model.h"
#include "sim/frequency_sweep.h"
#include "drivelab/version.h"

namespace {

QAction* AddCommand(QMenu* menu, const QString& text, const QKeySequence& shortcut = {}) {
  QAction* action = menu->addAction(text);
  action->setShortcut(shortcut);
  return action;
}

}  // namespace

void TForm1::SetUpMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MenuBar"));

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("FileMenu"));
  MenuSaveTraces = AddCommand(file, QStringLiteral("Save &traces as CSV\u2026"), QKeySequence::Save);
  MenuSavePicture = AddCommand(file, QStringLiteral("Save oscilloscope &picture as PNG\u2026"));
  MenuSavePicture2x = AddCommand(file, QStringLiteral("Save oscilloscope picture at &double size as PNG\u2026"));
  MenuSaveLog = AddCommand(file, QStringLiteral("Save experiment &log as CSV\u2026"));
  // The lab report, as a PDF file or on paper.
  MenuExportReport = AddCommand(file, QStringLiteral("&Export lab report\u2026"));
  MenuPrint = AddCommand(file, QStringLiteral("P&rint\u2026"), QKeySequence::Print);
  connect(MenuExportReport, &QAction::triggered, this, &TForm1::ExportReportClick);
  connect(MenuPrint, &QAction::triggered, this, &TForm1::PrintClick);
  file->addSeparator();
  MenuNewLog = AddCommand(file, QStringLiteral("&New log"), QKeySequence(Qt::CTRL | Qt::Key_N));
  MenuOpenLog = AddCommand(file, QStringLiteral("&Open log\u2026"), QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addSeparator();
  MenuExit = AddCommand(file, QStringLiteral("E&xit"), QKeySequence::Quit);
  // Not every desktop maps Quit to a key; Ctrl+Q is what a student tries.
  if (MenuExit->shortcut().isEmpty()) {
    MenuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  }

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("ViewMenu"));
  MenuMeasurements = AddCommand(view, QStringLiteral("&Measurements"), QKeySequence(Qt::CTRL | Qt::Key_M));
  MenuFrequencyResponse =
      AddCommand(view, QStringLiteral("&Frequency response\u2026"), QKeySequence(Qt::CTRL | Qt::Key_B));
  MenuRootLocus = AddCommand(view, QStringLiteral("R&oot locus"), QKeySequence(Qt::CTRL | Qt::Key_R));
  MenuResetZoom = AddCommand(view, QStringLiteral("Reset &zoom"));
  view->addSeparator();
  MenuKeepReference = AddCommand(view, QStringLiteral("&Keep as reference"), QKeySequence(Qt::CTRL | Qt::Key_K));
  MenuReferences = view->addMenu(QStringLiteral("&References"));
  MenuReferences->setObjectName(QStringLiteral("ReferencesMenu"));
  // Filled as it opens, with the names the kept runs have then.
  connect(MenuReferences, &QMenu::aboutToShow, this, &TForm1::RebuildReferencesMenu);
  MenuReferences->addAction(QStringLiteral("Clear all references"))->setEnabled(false);

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("HelpMenu"));
  MenuInstructions = AddCommand(help, QStringLiteral("&Instructions"), QKeySequence(Qt::Key_F1));
  MenuAbout = AddCommand(help, QStringLiteral("&About drivelab"));

  connect(MenuSaveTraces, &QAction::triggered, this, &TForm1::SaveTracesClick);
  connect(MenuSavePicture, &QAction::triggered, this, [this] { SavePictureClick(1); });
  connect(MenuSavePicture2x, &QAction::triggered, this, [this] { SavePictureClick(2); });
  connect(MenuSaveLog, &QAction::triggered, this, [this] { SaveLogClick(); });
  connect(MenuNewLog, &QAction::triggered, this, &TForm1::NewLogClick);
  connect(MenuOpenLog, &QAction::triggered, this, &TForm1::OpenLogClick);
  connect(MenuMeasurements, &QAction::triggered, this, &TForm1::MeasurementsClick);
  connect(MenuFrequencyResponse, &QAction::triggered, this, &TForm1::FrequencyResponseClick);
  connect(MenuRootLocus, &QAction::triggered, this, &TForm1::RootLocusClick);
  connect(MenuExit, &QAction::triggered, this, &TForm1::Button1Click);
  connect(MenuResetZoom, &QAction::triggered, this, &TForm1::ResetZoomClick);
  connect(MenuKeepReference, &QAction::triggered, this, &TForm1::KeepReferenceClick);
  connect(MenuInstructions, &QAction::triggered, this, &TForm1::Button3Click);
  connect(MenuAbout, &QAction::triggered, this, &TForm1::AboutClick);
}

void TForm1::ResetZoomClick() {
  Guarded([this] { Chart1->UndoZoom(); });
}

QString TForm1::AboutText() {
  return QStringLiteral(
             "drivelab %1\n\n"
             "A teaching simulator of the position drive of a numerically controlled machine tool: "
             "stability and accuracy research of its feed drive.\n\n"
             "drivelab is free software: you may share and change it under the GNU General Public "
             "License, version 3 or (at your option) any later version. It comes with no warranty.\n\n"
             "Built with Qt %2, running on Qt %3. Qt is used under the GNU Lesser General Public "
             "License, version 3.\n\n"
             "Fonts: Liberation Sans, under the SIL Open Font License, version 1.1; DejaVu Sans, under "
             "the Bitstream Vera Fonts licence, its DejaVu changes in the public domain.")
      .arg(QString::fromLatin1(drivelab::Version), QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()));
}

void TForm1::AboutClick() {
  Guarded([this] {
    QMessageBox box(QMessageBox::Information, QStringLiteral("About drivelab"), AboutText(), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  });
}

void TForm1::MeasurementsClick() {
  Guarded([this] {
    MeasurementsForm->Refresh();
    MeasurementsForm->show();
    MeasurementsForm->raise();
    MeasurementsForm->activateWindow();
  });
}

void TForm1::RefreshMeasurements() {
  KeepLog();
  if (MeasurementsForm->isVisible()) {
    MeasurementsForm->Refresh();
  }
}

QString TForm1::AskFileName(const QString& caption, const QString& fileName, const QString& filter) {
  if (lastFolder_.isEmpty()) {
    lastFolder_ = QDir::homePath();
  }
  const QString suggested = QDir(lastFolder_).filePath(fileName);
  const QString chosen = askFileName_ ? askFileName_(caption, suggested, filter)
                                      : QFileDialog::getSaveFileName(this, caption, suggested, filter);
  if (!chosen.isEmpty()) {
    lastFolder_ = QFileInfo(chosen).absolutePath();
  }
  return chosen;
}

void TForm1::SaveLogClick(platform::ErrorReporter* where) {
  platform::RunGuarded(where != nullptr ? *where : *reporter_, [this] {
    const QString path = AskFileName(QStringLiteral("Save experiment log as CSV"), QStringLiteral("experiment-log.csv"),
                                     QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty()) {
      return;
    }
    std::ostringstream csv;
    measurements_.Log().WriteCsv(csv);
    app::WriteFileAtomically(path, QByteArray::fromStdString(csv.str()));
  });
}

void TForm1::SaveTracesClick() {
  Guarded([this] {
    // Taken before the dialog opens, while the run may go on behind it.
    const std::string csv = app::TracesCsv(drive_.TraceTime, history_, AccuracySelected());
    const QString path = AskFileName(QStringLiteral("Save traces as CSV"), QStringLiteral("traces.csv"),
                                     QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) {
      app::WriteFileAtomically(path, QByteArray::fromStdString(csv));
    }
  });
}

void TForm1::SavePictureClick(int factor) {
  Guarded([this, factor] {
    // Taken before the dialog opens: the picture the student chose to keep.
    const QImage picture = app::EnlargedPicture(Chart1->grab().toImage(), factor);
    const QString path =
        AskFileName(QStringLiteral("Save oscilloscope picture as PNG"),
                    factor == 1 ? QStringLiteral("oscilloscope.png") : QStringLiteral("oscilloscope-2x.png"),
                    QStringLiteral("PNG images (*.png);;All files (*)"));
    if (!path.isEmpty()) {
      app::WriteFileAtomically(path, app::PngBytes(picture));
    }
  });
}

void TForm1::FrequencyResponseClick() {
  Guarded([this] {
    FrequencyForm->show();
    FrequencyForm->raise();
    FrequencyForm->activateWindow();
  });
}

bool TForm1::LocusFromBoxes() {
  const bool done = Guarded([this] {
    // The boxes as the next run reads them, leaving the run in this window alone.
    sim::Drive d = drive_;
    ReadParametersInto(d, AccuracySelected());
    RootLocusForm->SetParameters(sim::ParametersOf(d));
  });
  if (!done) {
    FocusAtFault();
  }
  return done;
}

void TForm1::RootLocusClick() {
  if (LocusFromBoxes()) {
    RootLocusForm->show();
    RootLocusForm->raise();
    RootLocusForm->activateWindow();
  }
}

void TForm1::LocusGainClick(double gain) {
  Edit1->setText(app::GainText(gain, separator_));
  LocusFromBoxes();
}

void TForm1::LogSweep() {
  const sim::FrequencySweep* sweep = FrequencyForm->Finished();
  if (sweep == nullptr) {
    return;
  }
  sim::LogRecord record;
  record.parameters = sim::ParametersOf(sweep->Parameters());
  record.stability = sim::AssessStability(sweep->Parameters());
  record.sweep = sweep->Summary();
  measurements_.Log().Add(record);
  RefreshMeasurements();
}

void TForm1::SaveFrequencyResponseCsvClick() {
  // The box of a failed save belongs over the window whose button asked for it.
  platform::RunGuarded(FrequencyForm->Reporter(), [this] {
    const std::string csv = FrequencyForm->Csv();
    const QString path = AskFileName(QStringLiteral("Save frequency response as CSV"),
                                     QStringLiteral("frequency-response.csv"),
                                     QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty()) {
      app::WriteFileAtomically(path, QByteArray::fromStdString(csv));
    }
  });
}

void TForm1::SaveFrequencyResponsePngClick() {
  platform::RunGuarded(FrequencyForm->Reporter(), [this] {
    const QImage picture = FrequencyForm->Picture();
    const QString path = AskFileName(QStringLiteral("Save frequency response as PNG"),
                                     QStringLiteral("frequency-response.png"),
                                     QStringLiteral("PNG images (*.png);;All files (*)"));
    if (!path.isEmpty()) {
      app::WriteFileAtomically(path, app::PngBytes(picture));
    }
  });
}

void TForm1::SetErrorReporter(platform::ErrorReporter* reporter) {
  reporter_ = reporter;
  Chart1->SetErrorReporter(reporter);
}
