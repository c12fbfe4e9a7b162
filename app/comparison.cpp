// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/comparison.h"

#include <QLocale>
#include <cmath>

namespace app {

std::vector<Setting> ParameterSettings(const sim::Parameters& p, bool accuracy) {
  const double motor = accuracy && p.Kmotor != 0 ? 1 / p.Kmotor : p.Kmotor;
  return {{QStringLiteral("Kamp"), p.Kamp},   {QStringLiteral("Tamp"), p.Tamp},   {QStringLiteral("Kmotor"), motor},
          {QStringLiteral("Tmotor"), p.Tmotor}, {QStringLiteral("Pitch"), p.Pitch}, {QStringLiteral("Kfb"), p.Kfb}};
}

QString ShortNumber(double value, QChar separator) {
  QString text = QLocale::c().toString(value, 'g', QLocale::FloatingPointShortest);
  text.replace(QLatin1Char('.'), separator);
  return text;
}

QStringList DifferingLabels(const std::vector<std::vector<Setting>>& runs, QChar separator, const QString& alike) {
  QStringList labels;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    QStringList parts;
    for (std::size_t s = 0; s < runs[r].size(); ++s) {
      bool differs = false;
      for (const auto& other : runs) {
        differs = differs || s >= other.size() || other[s].value != runs[r][s].value;
      }
      if (differs) {
        parts << runs[r][s].name + QLatin1Char(' ') + ShortNumber(runs[r][s].value, separator);
      }
    }
    labels << (parts.isEmpty() ? alike.arg(r + 1) : parts.join(QStringLiteral(", ")));
  }
  return labels;
}

}  // namespace app
