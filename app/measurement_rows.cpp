// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/measurement_rows.h"

#include <charconv>
#include <cmath>

#include "sim/experiment_log.h"

namespace app {

namespace {

QString WithSeparator(QString text, QChar separator) { return text.replace(u'.', separator); }

}  // namespace

std::vector<FigureRow> MeasurementRows(const sim::Measurements& m) {
  std::vector<FigureRow> rows;
  const auto number = [](const std::optional<double>& v) { return v; };
  // A run stopped by an error keeps what was commanded; what the drive did on its way to
  // the error is no measurement.
  const bool failed = !m.Failure().empty();
  if (m.Measuring() == sim::Measurements::Kind::Step) {
    const sim::StepMeasurement& step = m.Step();
    const sim::StepFigures& f = step.Figures();
    // Nothing is judged before a tick has carried the run.
    const QString verdict = failed                             ? QStringLiteral("stopped by an error")
                            : step.Active() && m.Started()     ? QString::fromLatin1(sim::StepVerdictText(f.verdict))
                                                               : QString();
    rows = {
        {"step", QStringLiteral("Step"), "mm", step.Begun() ? std::optional(f.target - f.start) : std::nullopt, {}},
        {"command_ramp", QStringLiteral("Command ramp"), "s", step.Begun() ? std::optional(f.ramp) : std::nullopt, {}},
    };
    if (!failed) {
      rows.insert(rows.end(), {
          {"rise_time", QStringLiteral("Rise time, 10 to 90 %"), "s", number(f.riseTime), {}},
          {"peak_time", QStringLiteral("Time of the first peak"), "s", number(f.peakTime), {}},
          {"peak", QStringLiteral("First peak"), "mm", number(f.peakValue), {}},
          {"overshoot", QStringLiteral("Overshoot"), "%", number(f.overshoot), {}},
          // Beside the measured one: what the poles promise, were the loop of second order.
          {"predicted_overshoot", QStringLiteral("Overshoot predicted by the dominant poles (theory)"), "%",
           m.PredictedOvershoot(), {}},
          {"settling_time_5", QStringLiteral("Settling time, 5 %"), "s", number(f.settling5), {}},
          {"settling_time_2", QStringLiteral("Settling time, 2 %"), "s", number(f.settling2), {}},
          {"steady_state_error", QStringLiteral("Steady-state error"), "mm", number(f.steadyStateError), {}},
      });
    }
    rows.push_back({"verdict", QStringLiteral("Response"), "", {}, verdict});
  } else if (m.Measuring() == sim::Measurements::Kind::Harmonic) {
    const sim::HarmonicFigures& f = m.Harmonic().Figures();
    // A period's figures exist once one period is measured.
    const auto figure = [&](double v) { return f.periods > 0 ? std::optional(v) : std::nullopt; };
    rows = {
        {"amplitude", QStringLiteral("Commanded amplitude"), "mm", f.amplitude, {}},
        {"frequency", QStringLiteral("Frequency"), "rad/s", f.frequency, {}},
    };
    if (!failed) {
      rows.insert(rows.end(), {
          {"periods_measured", QStringLiteral("Periods measured"), "", static_cast<double>(f.periods), {}},
          {"carriage_amplitude", QStringLiteral("Carriage amplitude"), "mm", figure(f.carriageAmplitude), {}},
          {"amplitude_ratio", QStringLiteral("Amplitude ratio"), "", figure(f.ratio), {}},
          {"phase_lag", QStringLiteral("Phase lag"), "deg", figure(f.phaseLag), {}},
          {"error_amplitude", QStringLiteral("Error amplitude"), "mm", figure(f.errorAmplitude), {}},
          {"steady", QStringLiteral("Steady"), "", {}, f.steady ? QStringLiteral("yes") : QStringLiteral("no")},
      });
    }
  } else {
    return rows;
  }
  // From the coefficients, not from the run: labelled so.
  const sim::StabilityFigures& s = m.Stability();
  rows.push_back(
      {"stable", QStringLiteral("Stable (theory)"), "", {}, s.stable ? QStringLiteral("yes") : QStringLiteral("no")});
  rows.push_back({"critical_Kamp", QStringLiteral("Critical gain (theory)"), "", s.criticalKamp, {}});
  rows.push_back({"critical_frequency", QStringLiteral("Frequency at the critical gain (theory)"), "rad/s",
                  s.criticalFrequency, {}});
  return rows;
}

QString FigureText(const std::optional<double>& value, const char* unit, QChar separator) {
  if (!value) {
    return QStringLiteral("\u2013");
  }
  // A gain of 12345 reads better whole than as 1.235e+04.
  const QString number = std::fabs(*value) >= 1000 && std::fabs(*value) < 1e9 ? QString::number(*value, 'f', 0)
                                                                               : QString::number(*value, 'g', 4);
  QString text = WithSeparator(number, separator);
  if (*unit != '\0') {
    text += u' ' + QString::fromLatin1(unit);
  }
  return text;
}

QString FullPrecision(double value, QChar separator) {
  return WithSeparator(QString::fromStdString(sim::CsvNumber(value)), separator);
}

QString StabilityVerdict(const sim::StabilityFigures& s, QChar separator) {
  const QString critical =
      s.criticalKamp ? QStringLiteral("the loop turns critical at a gain of %1, where it swings at %2.")
                           .arg(FigureText(s.criticalKamp, "", separator),
                                FigureText(s.criticalFrequency, "rad/s", separator))
                     : QStringLiteral("no gain makes it critical.");
  return (s.stable ? QStringLiteral("Theory, from the coefficients: stable; ")
                   : QStringLiteral("Theory, from the coefficients: unstable; ")) +
         critical;
}

std::optional<double> FieldNumber(const std::string& field) {
  double value = 0;
  const char* end = field.data() + field.size();
  const auto result = std::from_chars(field.data(), end, value);
  if (field.empty() || result.ec != std::errc() || result.ptr != end) {
    return std::nullopt;
  }
  return value;
}

QString TabSeparated(const std::vector<std::vector<std::string>>& rows, QChar separator) {
  QString text;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) {
        text += u'\t';
      }
      const QString field = QString::fromStdString(row[i]);
      text += FieldNumber(row[i]) ? WithSeparator(field, separator) : field;
    }
    text += u'\n';
  }
  return text;
}

}  // namespace app
