// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The Measurements window: the figures of the present run, live, the stability verdict with
// the critical gain, and the experiment log as a table. Modeless beside the main window,
// like the instructions; closing it only hides it.

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/error_box.h"
#include "sim/measurements.h"

class LogTableItem;

class MeasurementsWindow : public QWidget {
  Q_OBJECT

 public:
  // m is the main window's; separator the regional decimal separator the figures are shown in.
  MeasurementsWindow(sim::Measurements& m, QChar separator, QWidget* parent = nullptr);

  // Shows the measurements as they stand. Cheap when nothing changed: the main window calls
  // it on every tick while this window is shown.
  void Refresh();

  // The value shown for a figure, by the runner's name for it ("rise_time"); null when the
  // present run has no such figure.
  QLabel* Figure(const std::string& name) const;

  // The log's rows in the order the table shows them, header first, as the CSV writes them.
  std::vector<std::vector<std::string>> TableRows() const;

  void CopyClick();  // the table as tab-separated text, for a spreadsheet

  // The log record a table row shows, wherever sorting put it.
  std::size_t RecordAt(int tableRow) const;
  // The table row showing a log record, or -1.
  int TableRowOf(std::size_t record) const;
  // The commands on a row: run it again, keep its traces, write a note on it.
  QMenu* RowMenu(int tableRow);

  // Where the boxes of this window's commands appear: over this window.
  platform::ErrorReporter& Reporter() { return *reporter_; }
  void SetErrorReporter(platform::ErrorReporter* reporter) { reporter_ = reporter; }

  QLabel* Heading;
  // What stopped the run, and what to do about it; hidden while nothing has.
  QLabel* Failure;
  QLabel* Verdict;
  QTableWidget* LogTable;
  QPushButton* CopyButton;
  QPushButton* ClearButton;
  QPushButton* SaveButton;

  // The log rows the student chose for the lab report, as log indices in log order: the
  // selected table rows, or every row when none is selected.
  std::vector<std::size_t> ChosenRecords() const;

 signals:
  // "Save as CSV…": the main window asks for the name and writes the file.
  void SaveRequested();
  // "Clear log": the main window asks first and keeps the old rows aside.
  void ClearRequested();
  // Double-click, Enter or the row's menu: the row's settings back in the main window.
  void RepeatRequested(std::size_t record);
  void KeepRequested(std::size_t record);
  // The student wrote a note on a row.
  void NoteEdited(std::size_t record, const QString& note);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The table follows the log: rows added at the end, and cells changed only where a row
  // that was not yet final has changed; a log emptied or replaced is shown afresh, its
  // columns fitted to it once.
  void RefreshLog();
  // The cells of a row that changed; widen: a column the new text outgrows is widened.
  void SetRow(std::size_t record, const std::vector<std::string>& fields, bool widen);

  sim::Measurements& m_;
  QChar separator_;
  std::unique_ptr<platform::MessageBoxReporter> box_;
  platform::ErrorReporter* reporter_;
  std::map<std::string, std::pair<QLabel*, QLabel*>> figures_;  // caption, value
  // What the table shows of each log row, its items wherever sorting put them, and whether
  // the row was final then.
  std::vector<std::vector<std::string>> shown_;
  std::vector<std::vector<LogTableItem*>> items_;
  std::vector<bool> shownFinal_;
  std::size_t firstOpen_ = 0;  // every row before it is final
  std::uint64_t shownGeneration_ = static_cast<std::uint64_t>(-1);
  int noteColumn_ = 0;
  bool filling_ = false;  // the table is being filled from the log, not edited
  QMenu* rowMenu_ = nullptr;
};
