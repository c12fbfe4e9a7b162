// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The figures of the present run as rows for the Measurements window: the same names, order
// and values as the headless runner's --measure, so that a figure read in the window can be
// checked against the runner. No widgets here.

#include <QChar>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "sim/measurements.h"

namespace app {

struct FigureRow {
  const char* name;  // the runner's row name
  QString caption;   // what the window calls it
  const char* unit;
  std::optional<double> value;  // a number, or none yet
  QString word;                 // or a word: a verdict, yes or no
};

// Empty while nothing is measured (before the first run and after a reset).
std::vector<FigureRow> MeasurementRows(const sim::Measurements& m);

// Four significant digits (whole numbers from 1000 up), the regional separator, the unit;
// a dash for a figure the run has not shown yet.
QString FigureText(const std::optional<double>& value, const char* unit, QChar separator);

// The shortest text that reads back as the same double, with the regional separator.
QString FullPrecision(double value, QChar separator);

// The stability verdict in a sentence, with the critical gain.
QString StabilityVerdict(const sim::StabilityFigures& s, QChar separator);

// Rows of fields as tab-separated lines for a spreadsheet; a field that is a number gets the
// regional separator, every other field stays as it is.
QString TabSeparated(const std::vector<std::vector<std::string>>& rows, QChar separator);

// The field's value when the whole field is a number.
std::optional<double> FieldNumber(const std::string& field);

}  // namespace app
