#pragma once
// The Measurements window: the figures of the present run, live, the stability verdict with
// the critical gain, and the experiment log as a table. Modeless beside the main window,
// like the instructions; closing it only hides it.

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>
#include <map>
#include <string>

#include "sim/measurements.h"

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

  void CopyClick();   // the table as tab-separated text, for a spreadsheet
  void ClearClick();  // empties the log

  QLabel* Heading;
  QLabel* Verdict;
  QTableWidget* LogTable;
  QPushButton* CopyButton;
  QPushButton* ClearButton;
  QPushButton* SaveButton;

 signals:
  // "Save as CSV…": the main window asks for the name and writes the file.
  void SaveRequested();

 private:
  void RefreshLog(bool force);

  sim::Measurements& m_;
  QChar separator_;
  std::map<std::string, std::pair<QLabel*, QLabel*>> figures_;  // caption, value
  // What the table shows: the log's size, and the periods of its last row, the only row a
  // run still refines.
  std::pair<std::size_t, int> shownLog_{static_cast<std::size_t>(-1), 0};
};
