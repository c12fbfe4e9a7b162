// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Runs set side by side (kept traces, overlaid sweeps) are told apart by what the student
// changed between them: the labels name only the settings in which they differ.

#include <QChar>
#include <QString>
#include <QStringList>
#include <vector>

#include "sim/drive_model.h"

namespace app {

struct Setting {
  QString name;
  double value = 0;
};

// The six parameters under the names the log's columns use, the motor constant as typed
// (accuracy research holds its reciprocal).
std::vector<Setting> ParameterSettings(const sim::Parameters& p, bool accuracy);

// The shortest text that reads back as the same double, in the given decimal separator.
QString ShortNumber(double value, QChar separator);

// For each run, "name value" of every setting whose value is not the same in all runs,
// joined by ", " ("Kamp 1000", "Kamp 1900, Kfb 0,1"). A run whose settings are all shared
// gets `alike` with %1 replaced by its place from 1. Runs list their settings in the same order.
QStringList DifferingLabels(const std::vector<std::vector<Setting>>& runs, QChar separator, const QString& alike);

}  // namespace app
