// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Errors are exceptions; Qt must never see one escape into its event loop. Every handler,
// timer tick and mouse entry runs through RunGuarded, which shows the error box and returns.

#include <QFontMetrics>
#include <QString>
#include <QWidget>
#include <exception>
#include <utility>

namespace platform {

// The program file's name without folder, cut before its first '.', a capital followed by
// lower case: "/usr/bin/drivelab" gives "Drivelab".
QString ApplicationTitle(const QString& programPath);

// The message as the box shows it: a full stop appended when its last character sorts
// after '.', so "Floating point overflow" ends with one and "(5)." gets no second.
QString BoxMessage(const QString& message);

// Each line of the text cut in the middle, with an ellipsis, to at most maxWidth pixels in
// the given metrics: a message naming a 10,000-digit text still fits on the screen.
QString FitToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth);

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void ShowError(const QString& message) = 0;
  // A yes-or-no question before something the student might regret. A reporter that cannot
  // ask answers no: nothing is lost by not doing it.
  virtual bool Ask(const QString& /*question*/) { return false; }
};

// The error box: stop icon, "OK", the application's title as caption, the message as
// plain text (a typed "<b>" is shown, never obeyed) and no wider than half the screen.
// Modal: timers go on being dispatched while it is open.
class MessageBoxReporter final : public ErrorReporter {
 public:
  MessageBoxReporter(QWidget* parent, QString title) : parent_(parent), title_(std::move(title)) {}
  void ShowError(const QString& message) override;
  // A question box: "Yes" and "No", No the default.
  bool Ask(const QString& question) override;

 private:
  QWidget* parent_;
  QString title_;
};

// Runs f; an exception it throws is shown by the reporter and goes no further.
// Returns whether f completed.
template <class F>
bool RunGuarded(ErrorReporter& reporter, F&& f) {
  try {
    std::forward<F>(f)();
    return true;
  } catch (const std::exception& e) {
    reporter.ShowError(QString::fromUtf8(e.what()));
  } catch (...) {
    reporter.ShowError(QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace platform
