// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The experiment log: one record per completed measurement, written as CSV (RFC 4180:
// CRLF line ends, fields quoted when they hold a comma, a quote or a line break) with '.'
// decimals whatever the locale and a header row that names each column with its unit, so
// that any spreadsheet or plotting tool opens it.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/drive.h"
#include "sim/drive_model.h"
#include "sim/figures.h"
#include "sim/stability.h"

namespace sim {

// A frequency sweep as the log keeps it: its range and, from the measured points clear of
// the stops, the largest measured amplitude ratio with its frequency and the first -3 dB
// crossing (straight between two neighbouring such points, in decibels against log
// frequency). The theory's own peak and crossing are the window's to show.
struct SweepSummary {
  double amplitude = 0;  // mm
  double from = 0, to = 0;
  int count = 0;
  std::optional<double> peakDb, peakFrequency, bandwidth;
};

struct LogRecord {
  Parameters parameters;
  StabilityFigures stability;
  std::optional<StepFigures> step;          // a stability run
  std::optional<HarmonicFigures> harmonic;  // an accuracy run
  std::optional<SweepSummary> sweep;        // a frequency sweep
  std::string error;                        // the floating-point error that stopped the run
  std::string note;                         // the student's own words about the run
};

// The rows in the order the runs ended or began. A row is final once its run is over; until
// then it follows the run's figures. Revision() counts the changes that matter to whoever
// keeps the log: a row added or made final, the log emptied or replaced; Generation() only
// the emptying and replacing, after which every row shown of it is out of date.
class ExperimentLog {
 public:
  std::size_t Add(const LogRecord& record, bool final = true);  // returns the record's row, from 0
  void Replace(std::size_t row, const LogRecord& record);
  void MakeFinal(std::size_t row);
  // The student's note on a row; kept like a row made final.
  void SetNote(std::size_t row, std::string note);
  // The log emptied, or replaced by rows read back from a journal, all final.
  void Assign(std::vector<LogRecord> records);

  const std::vector<LogRecord>& Records() const { return records_; }
  bool Final(std::size_t row) const { return final_.at(row); }
  std::uint64_t Revision() const { return revision_; }
  std::uint64_t Generation() const { return generation_; }

  // The header row and every record, each line ended by CRLF.
  void WriteCsv(std::ostream& out) const;

 private:
  std::vector<LogRecord> records_;
  std::vector<bool> final_;
  std::uint64_t revision_ = 0;
  std::uint64_t generation_ = 0;
};

// The column names with their units, and one record's fields as the CSV writes them: the
// window's table shows the same columns.
std::vector<std::string> LogColumns();
std::vector<std::string> LogFields(const LogRecord& record);

// CSV pieces shared with the headless runner.
std::string CsvField(std::string_view text);  // quoted only when it has to be
std::string CsvNumber(double value);          // shortest text that reads back as the same double, '.' decimal
std::string CsvNumber(const std::optional<double>& value);  // an empty field when there is none

}  // namespace sim
