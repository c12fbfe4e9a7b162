// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The main window: the drive's initial data, the research mode, the commands, the machine
// picture with its target strip, and the oscilloscope.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "animation/machine_picture.h"
#include "app/exports.h"
#include "app/references.h"
#include "chart/chart.h"
#include "chart/line_series.h"
#include "platform/colors.h"
#include "platform/error_box.h"
#include "platform/number_reading.h"
#include "platform/panel.h"
#include "platform/picture_box.h"
#include "platform/spin_edit.h"
#include "sim/cycle.h"
#include "sim/drive.h"
#include "sim/measurements.h"

class FrequencyResponseWindow;
class MeasurementsWindow;
class RootLocusWindow;
class TForm2;

class QPrinter;

namespace app {
class LabStore;
struct LabReport;
}

// The window is the simulation cycle's host: it answers which research mode is selected,
// draws the marker and the machine at the cycle's fixed points and owns the timer.
// The menu bar lies above the client area, which holds the controls at their layout
// positions; the window is taller than the layout by the bar's height.
class TForm1 : public QMainWindow, public sim::CycleHost {
  Q_OBJECT

 public:
  // decimalSeparator: the regional one, in which the default texts are written and the
  // numbers are read.
  explicit TForm1(QChar decimalSeparator = platform::RegionalDecimalSeparator(), QWidget* parent = nullptr);

  // The instructions window that "Help" shows; created after this one.
  void SetInstructionsWindow(TForm2* form2) { Form2 = form2; }

  const sim::Drive& Drive() const { return drive_; }

  // The area below the menu bar that the layout's positions are measured in.
  QWidget* ClientArea() const { return client_; }

  // The figures of the present run and the experiment log.
  const sim::Measurements& Measured() const { return measurements_; }

  // Asks for the name of a file to write; empty when the student cancels. Qt's standard
  // save dialog unless a test sets another.
  using FileNameAsker =
      std::function<QString(const QString& caption, const QString& suggestedPath, const QString& filter)>;
  void SetFileNameAsker(FileNameAsker asker) { askFileName_ = std::move(asker); }
  // The same for a file to read; Qt's standard open dialog unless a test sets another.
  void SetOpenFileNameAsker(FileNameAsker asker) { askOpenFileName_ = std::move(asker); }

  // Where the experiment log and the window positions are kept. Without a store (the tests
  // that do not ask for one) the log lives in memory only. Before the window is shown: the
  // remembered positions and the journal's rows.
  void AttachStore(app::LabStore* store);
  // After it is shown: the tool windows that were open at the last close, and what the store
  // had to say (a damaged journal kept aside, another program keeping the journal).
  void ReopenToolWindows();

  // Where errors are shown; the error box unless a test sets another.
  void SetErrorReporter(platform::ErrorReporter* reporter);

  // A drag holds the marker within the strip: commanded positions -68..69 mm.
  static constexpr int MarkerMin = 40;
  static constexpr int MarkerMax = 177;

  // Controls, by their layout names.
  platform::PictureBox* Image1;
  platform::PictureBox* Image2;
  QLabel* Label16;
  platform::TPanel* Panel1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLineEdit* Edit1;
  QLabel* Label4;
  QLineEdit* Edit2;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label15;
  QLineEdit* Edit3;
  QLabel* Label7;
  QLineEdit* Edit4;
  QLabel* Label8;
  QLabel* Label9;
  QLineEdit* Edit5;
  QLabel* Label10;
  QLabel* Label11;
  QLineEdit* Edit6;
  QPushButton* Button1;
  QPushButton* Button2;
  chart::TChart* Chart1;
  // Actual movement (left axis), preset movement (right axis), error (left axis).
  std::unique_ptr<chart::TLineSeries> Series1;
  std::unique_ptr<chart::TLineSeries> Series2;
  std::unique_ptr<chart::TLineSeries> Series3;
  QPushButton* Button3;
  QPushButton* Button4;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  platform::TPanel* Panel2;
  QLabel* Label12;
  QLabel* Label13;
  platform::TSpinEdit* SpinEdit1;
  QLabel* Label14;
  platform::TSpinEdit* SpinEdit2;
  QPushButton* Button5;
  QTimer* Timer1;

  TForm2* Form2 = nullptr;

  // Modeless, like the instructions; View, Measurements shows it.
  MeasurementsWindow* MeasurementsForm;
  // Modeless too; View, Frequency response shows it.
  FrequencyResponseWindow* FrequencyForm;
  // Modeless too; View, Root locus shows it.
  RootLocusWindow* RootLocusForm;

  // The menu bar's commands.
  QAction* MenuSaveTraces;
  QAction* MenuSavePicture;
  QAction* MenuSavePicture2x;
  QAction* MenuSaveLog;

  // The lab report (app/lab_report.cpp): File, Export lab report… and Print….
  QAction* MenuExportReport;
  QAction* MenuPrint;
  void ExportReportClick();
  void PrintClick();
  // The student's name for the report, asked the first time a report is made; none when the
  // student cancels. A QInputDialog unless a test sets another.
  using NameAsker = std::function<std::optional<QString>()>;
  void SetNameAsker(NameAsker asker) { askName_ = std::move(asker); }
  // Lets the student choose the printer and its settings; false when cancelled. Qt's print
  // dialog unless a test sets another.
  using PrinterChooser = std::function<bool(QPrinter&)>;
  void SetPrinterChooser(PrinterChooser chooser) { choosePrinter_ = std::move(chooser); }

  QAction* MenuNewLog;
  QAction* MenuOpenLog;
  QAction* MenuExit;
  QAction* MenuMeasurements;
  QAction* MenuFrequencyResponse;
  QAction* MenuRootLocus;
  QAction* MenuResetZoom;
  QAction* MenuKeepReference;
  QMenu* MenuReferences;  // each kept trace shown or hidden, cleared one by one or all
  QAction* MenuInstructions;
  QAction* MenuAbout;

  // Handlers. Each runs through the one error function: an error ends the handler where
  // it occurs, is shown in the error box, and the program goes on with the next event.
  void FormCreate();
  void Button1Click();  // "Exit"
  void Button2Click();  // "Pause"
  void Button3Click();  // "Help"
  void Button4Click();  // "Reset"
  void Button5Click();  // "Process"
  void RadioButton1Click();
  void RadioButton2Click();
  void Image2MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void Image2MouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void Image2MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void Timer1Timer();
  void ResetZoomClick();
  void AboutClick();
  void MeasurementsClick();
  void FrequencyResponseClick();
  // Shows the root locus of the parameters as the boxes hold them.
  void RootLocusClick();
  // A gain clicked on the locus goes into the Gain box as if typed, and is read with the
  // other boxes as the next run would read them.
  void LocusGainClick(double gain);
  // The locus of the boxes as read for the next run; false, with the box at fault named,
  // when a text does not read.
  bool LocusFromBoxes();
  void SaveFrequencyResponseCsvClick();
  void SaveFrequencyResponsePngClick();
  // A finished sweep becomes one line of the experiment log.
  void LogSweep();
  // Where: the window whose command it was, over which its boxes appear.
  void SaveLogClick(platform::ErrorReporter* where = nullptr);
  // A new, empty log; the rows it had are kept as a dated file that "Open log" brings back.
  void NewLogClick();
  // The same, asked first: the Measurements window's "Clear log".
  void ClearLogClick();
  // A journal kept aside earlier, in place of the present log (which is kept aside in turn).
  void OpenLogClick();
  void SaveTracesClick();
  // The marker strip's arrow keys: the marker moves as in a drag, by this many millimetres.
  void MarkerKey(int millimetres);
  void SavePictureClick(int factor);  // 1: as drawn; 2: each pixel doubled

  // Kept traces. "Keep as reference" keeps what the oscilloscope shows of the present run;
  // a log row's run can be kept while this window still has its traces.
  void KeepReferenceClick();
  void KeepRowReference(std::size_t record);
  void ShowReference(std::size_t index, bool shown);
  void ClearReference(std::size_t index);
  void ClearReferencesClick();
  const std::vector<app::Reference>& References() const { return references_; }
  // The legend's text for each kept trace, in the order kept; empty for one not drawn now.
  QStringList ReferenceTitles() const;
  // The series that draws a kept run's actual movement.
  const chart::TLineSeries* ReferenceTrace(std::size_t index) const;
  // A log row's settings back in the boxes and the research mode, ready to run again.
  void RepeatRow(std::size_t record);
  void SetRowNote(std::size_t record, const QString& note);

  // The About box's text: the program, its version, and the licences of Qt and the fonts.
  static QString AboutText();

  // sim::CycleHost
  bool StabilitySelected() const override;
  bool AccuracySelected() const override;
  void DrawMarker() override;
  void DrawMachine() override;
  void DrawScrewAndCarriage() override;
  sim::TraceSeries& FirstSeries() override { return traces_[0]; }
  sim::TraceSeries& SecondSeries() override { return traces_[1]; }
  sim::TraceSeries& ThirdSeries() override { return traces_[2]; }
  void SetTimerEnabled(bool enabled) override;

 protected:
  // The present run's row is final, the journal and the window positions written; a journal
  // that cannot be written is said, and the student chooses whether to close all the same.
  void closeEvent(QCloseEvent* event) override;
  // The strip's keys, and Enter in the boxes in accuracy research.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <class F>
  bool Guarded(F&& f) {
    return platform::RunGuarded(*reporter_, std::forward<F>(f));
  }
  // The two readings of the parameters: every text is read and checked, and the
  // coefficients computed, before anything is stored.
  void ReadParameters(bool accuracy);
  // The same reading into another drive: the frequency sweep's, from the present texts.
  void ReadParametersInto(sim::Drive& d, bool accuracy) const;
  // After the box about a text that did not read: that box has the focus, its text selected.
  void FocusAtFault();
  // A cycle that failed on a floating-point error leaves the drive's state spoilt: no run
  // starts from it until Reset.
  void RefuseAfterError() const;
  // ResetDrive, and nothing measured or kept of the run before it.
  void ResetAll();
  // The log's final rows to the journal, whenever one more row is final or the log changed
  // whole; a failure is said once until a write succeeds again. False when it failed.
  bool KeepLog();
  // Replaces the log with `rows`, the present rows kept aside first (or, with no journal to
  // keep them, asked about): New log, Clear log, Open log. False when nothing changed.
  bool ReplaceLog(std::vector<sim::LogRecord> rows, const QString& question, bool ask,
                  platform::ErrorReporter& where);
  void SaveWindowSettings();
  // The kept traces' series follow the references, the mode and the live run's start; a
  // series is refilled only when where it is drawn moved.
  void PlotReferences();
  app::LiveRun LiveRunNow() const;
  // What the oscilloscope shows of the present run, once a tick has carried it.
  std::optional<app::Reference> CaptureRun() const;
  // Runs f, which may end the present run; the ended run's traces stay on hand for its log row.
  void EndingRun(const std::function<void()>& f);
  void RebuildReferencesMenu();
  // Keeps r, or says `missing` when there is none; four at most.
  void AddReference(std::optional<app::Reference> r, const char* missing);
  void RestoreWindowSettings();

  QLabel* MakeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text, bool bold = false);
  QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text);
  QPushButton* MakeButton(const char* name, QRect geometry, const QString& text);
  platform::TSpinEdit* MakeSpinEdit(QWidget* parent, const char* name, QRect geometry, int maxValue);
  void SetUpChart();
  void SetUpTabOrder();
  void SetUpMenu();
  void SetUpKeyboard();
  // The Measurements window, when shown, follows every change.
  void RefreshMeasurements();
  // The chosen file name, or empty; remembers the folder for the next time.
  QString AskFileName(const QString& caption, const QString& fileName, const QString& filter);

  // The simulation plots into the chart's series through these.
  class TraceSeriesAdapter final : public sim::TraceSeries {
   public:
    void Attach(chart::TLineSeries* series) { series_ = series; }
    void Clear() override { series_->Clear(); }
    int AddXY(double x, double y, std::string_view label, std::uint32_t colour) override;

   private:
    chart::TLineSeries* series_ = nullptr;
  };

  // The lab report's: what goes into it, and the name asked once (kept in the store's
  // settings, or here for the session when there is no store).
  app::LabReport ReportInputs();
  std::optional<QString> StudentName();
  // The inputs with the name; none when the student cancelled the name.
  std::optional<app::LabReport> NamedReport();
  NameAsker askName_;
  PrinterChooser choosePrinter_;
  QString studentName_;

  QChar separator_;
  QWidget* client_;
  sim::Drive drive_;
  sim::Measurements measurements_;
  app::TraceHistory history_;
  FileNameAsker askFileName_;
  FileNameAsker askOpenFileName_;
  QString lastFolder_;
  app::LabStore* store_ = nullptr;
  QString storeNotice_;
  std::uint64_t keptRevision_ = 0;
  bool journalFailing_ = false;
  bool stoppedOnError_ = false;
  // The box whose text the reading was at when it failed.
  mutable QWidget* atFault_ = nullptr;
  animation::ScrewAndCarriagePainter screwPainter_;
  // What the strip and the band show: the marker's column, the carriage and the screw's phase.
  std::optional<std::int32_t> markerDrawn_;
  std::optional<std::pair<std::int32_t, std::int32_t>> screwDrawn_;
  TraceSeriesAdapter traces_[3];
  std::vector<app::Reference> references_;
  // Per kept trace: its actual and error series and the shift they were filled with.
  struct ReferenceSeries {
    std::unique_ptr<chart::TLineSeries> actual, error;
    std::optional<double> filledShift;
  };
  std::vector<ReferenceSeries> referenceSeries_;
  std::uint64_t referencesRevision_ = 0, keptReferencesRevision_ = 0;
  std::optional<double> harmonicStart_;
  std::vector<double> labelsKey_;  // what the legend's labels were made from
  // The traces of this session's runs whose rows are final, by log row, the newest few.
  std::map<std::size_t, app::Reference> rowTraces_;
  std::uint64_t rowTracesGeneration_ = 0;
  std::unique_ptr<platform::MessageBoxReporter> errorBox_;
  platform::ErrorReporter* reporter_;
};
