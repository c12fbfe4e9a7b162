#pragma once
// The experiment log: one record per completed measurement, written as CSV (RFC 4180:
// CRLF line ends, fields quoted when they hold a comma, a quote or a line break) with '.'
// decimals whatever the locale and a header row that names each column with its unit, so
// that any spreadsheet or plotting tool opens it.

#include <cstddef>
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
// the stops, the largest amplitude ratio with its frequency and the first -3 dB crossing
// (straight between two neighbouring such points, in decibels against log frequency).
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
};

class ExperimentLog {
 public:
  std::size_t Add(const LogRecord& record);  // returns the record's row, from 0
  void Replace(std::size_t row, const LogRecord& record);
  void Clear() { records_.clear(); }

  const std::vector<LogRecord>& Records() const { return records_; }

  // The header row and every record, each line ended by CRLF.
  void WriteCsv(std::ostream& out) const;

  // Writes the CSV to a file beside `path` and renames it over `path`, so that a failure
  // leaves no half-written log. Throws std::runtime_error naming the file on failure.
  void SaveCsv(const std::string& path) const;

 private:
  std::vector<LogRecord> records_;
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
