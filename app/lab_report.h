// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The lab report: what a student hands in after a session, as one document for a PDF file or
// a printer. Built from plain inputs, so that nothing here opens a dialog or reads a window;
// the main window gathers the inputs and asks for the name, the file and the printer.

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextDocument>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "sim/experiment_log.h"
#include "sim/stability.h"

class QPagedPaintDevice;

namespace app {

// One line of the parameter table: the text as the box holds it, not a value read back.
struct ReportParameter {
  QString name;
  QString value;
  QString unit;
};

// A log row in the report, under its number in the log (from 1).
struct ReportRow {
  std::size_t number = 0;
  sim::LogRecord record;
};

struct LabReport {
  QString title;
  QDate date;
  QString student;  // empty: the report names nobody
  QString research;  // "Stability research" or "Accuracy research"
  std::vector<ReportParameter> parameters;
  // Of the parameters in the table; none when they do not read or give no drive, and why.
  std::optional<sim::StabilityFigures> stability;
  QString unjudged;
  std::vector<ReportRow> rows;
  QImage oscilloscope;
  QImage frequencyResponse;  // null when no sweep ran to its end
  QChar separator = u'.';    // the regional one, for every number the report shows
};

// The report laid out on pages whose printable area is `page`, in units of 1/96 inch; every
// font has a pixel size in those units, so the paper shows the same sizes on any screen.
std::unique_ptr<QTextDocument> ReportDocument(const LabReport& report, QSizeF page);

// Paints the report onto the device's pages (a printer's chosen range only). Throws
// std::runtime_error when the device cannot be painted on.
void PrintReport(const LabReport& report, QPagedPaintDevice& device);

// The report as an A4 PDF file's bytes.
QByteArray ReportPdf(const LabReport& report);

}  // namespace app
