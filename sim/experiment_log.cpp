// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/experiment_log.h"

#include <charconv>
#include <ostream>

namespace sim {

namespace {

constexpr std::string_view LineEnd = "\r\n";

constexpr const char* Header[] = {
    "mode",
    "Kamp",
    "Tamp (s)",
    "Kmotor",
    "Tmotor (s)",
    "Pitch (mm)",
    "Kfb (V/mm)",
    "step (mm)",
    "command ramp (s)",
    "amplitude (mm)",
    "frequency (rad/s)",
    "rise time 10-90 % (s)",
    "peak time (s)",
    "peak (mm)",
    "overshoot (%)",
    "settling time 5 % (s)",
    "settling time 2 % (s)",
    "steady-state error (mm)",
    "verdict",
    "periods measured",
    "carriage amplitude (mm)",
    "amplitude ratio",
    "phase lag (deg)",
    "error amplitude (mm)",
    "steady",
    "stable",
    "critical Kamp",
    "critical frequency (rad/s)",
    "sweep from (rad/s)",
    "sweep to (rad/s)",
    "sweep points",
    "measured resonance peak (dB)",
    "measured resonance frequency (rad/s)",
    "measured bandwidth -3 dB (rad/s)",
    "error",
    "note",
};

}  // namespace

std::vector<std::string> LogFields(const LogRecord& r) {
  const Parameters& p = r.parameters;
  std::vector<std::string> f;
  f.reserve(std::size(Header));
  f.push_back(r.sweep ? "frequency response" : r.harmonic ? "accuracy" : "stability");
  for (double v : {p.Kamp, p.Tamp, p.Kmotor, p.Tmotor, p.Pitch, p.Kfb}) {
    f.push_back(CsvNumber(v));
  }
  const StepFigures none;
  const StepFigures& s = r.step ? *r.step : none;
  f.push_back(r.step ? CsvNumber(s.target - s.start) : "");
  f.push_back(r.step ? CsvNumber(s.ramp) : "");
  f.push_back(r.harmonic ? CsvNumber(r.harmonic->amplitude) : r.sweep ? CsvNumber(r.sweep->amplitude) : "");
  f.push_back(r.harmonic ? CsvNumber(r.harmonic->frequency) : "");
  for (const auto* v : {&s.riseTime, &s.peakTime, &s.peakValue, &s.overshoot, &s.settling5, &s.settling2,
                        &s.steadyStateError}) {
    f.push_back(CsvNumber(*v));
  }
  f.push_back(r.step ? StepVerdictText(s.verdict) : "");
  f.push_back(r.harmonic ? std::to_string(r.harmonic->periods) : "");
  const bool measured = r.harmonic && r.harmonic->periods > 0;
  for (double HarmonicFigures::*v : {&HarmonicFigures::carriageAmplitude, &HarmonicFigures::ratio,
                                     &HarmonicFigures::phaseLag, &HarmonicFigures::errorAmplitude}) {
    f.push_back(measured ? CsvNumber(*r.harmonic.*v) : "");
  }
  f.push_back(r.harmonic ? (r.harmonic->steady ? "yes" : "no") : "");
  f.push_back(r.stability.stable ? "yes" : "no");
  f.push_back(CsvNumber(r.stability.criticalKamp));
  f.push_back(CsvNumber(r.stability.criticalFrequency));
  f.push_back(r.sweep ? CsvNumber(r.sweep->from) : "");
  f.push_back(r.sweep ? CsvNumber(r.sweep->to) : "");
  f.push_back(r.sweep ? std::to_string(r.sweep->count) : "");
  for (std::optional<double> SweepSummary::*v : {&SweepSummary::peakDb, &SweepSummary::peakFrequency, &SweepSummary::bandwidth}) {
    f.push_back(r.sweep ? CsvNumber(*r.sweep.*v) : "");
  }
  f.push_back(r.error);
  f.push_back(r.note);
  return f;
}

namespace {

void WriteLine(std::ostream& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) {
      out << ',';
    }
    out << CsvField(fields[i]);
  }
  out << LineEnd;
}

}  // namespace

std::vector<std::string> LogColumns() { return {std::begin(Header), std::end(Header)}; }

std::size_t ExperimentLog::Add(const LogRecord& record, bool final) {
  records_.push_back(record);
  final_.push_back(final);
  if (final) {
    ++revision_;
  }
  return records_.size() - 1;
}

void ExperimentLog::Replace(std::size_t row, const LogRecord& record) {
  // The run's figures move on; what the student wrote about it stays.
  std::string note = std::move(records_.at(row).note);
  records_[row] = record;
  records_[row].note = std::move(note);
}

void ExperimentLog::SetNote(std::size_t row, std::string note) {
  if (records_.at(row).note != note) {
    records_[row].note = std::move(note);
    ++revision_;
  }
}

void ExperimentLog::MakeFinal(std::size_t row) {
  if (!final_.at(row)) {
    final_[row] = true;
    ++revision_;
  }
}

void ExperimentLog::Assign(std::vector<LogRecord> records) {
  records_ = std::move(records);
  final_.assign(records_.size(), true);
  ++revision_;
  ++generation_;
}

void ExperimentLog::WriteCsv(std::ostream& out) const {
  WriteLine(out, LogColumns());
  for (const auto& record : records_) {
    WriteLine(out, LogFields(record));
  }
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(text);
  }
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') {
      quoted += '"';
    }
  }
  return quoted + '"';
}

std::string CsvNumber(double value) {
  // to_chars ignores the locale: the decimal is '.' under any regional setting.
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string CsvNumber(const std::optional<double>& value) { return value ? CsvNumber(*value) : std::string(); }

}  // namespace sim
