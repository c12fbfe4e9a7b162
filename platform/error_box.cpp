// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/error_box.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <QMessageBox>

namespace platform {

QString ApplicationTitle(const QString& programPath) {
  QString name = QFileInfo(programPath).fileName();
  const qsizetype dot = name.indexOf(u'.');
  if (dot >= 0) {
    name.truncate(dot);
  }
  // The rest in lower case; the first letter a capital, which the lower-case file names
  // of this platform would otherwise never give ("drivelab" is shown as "Drivelab").
  if (!name.isEmpty()) {
    name = name.left(1).toUpper() + name.mid(1).toLower();
  }
  return name;
}

QString BoxMessage(const QString& message) {
  if (!message.isEmpty() && message.back() > u'.') {
    return message + u'.';
  }
  return message;
}

namespace {

QString FitLine(const QString& line, const QFontMetrics& metrics, int maxWidth) {
  if (metrics.horizontalAdvance(line) <= maxWidth) {
    return line;
  }
  // A quoted text is what grows: cut it, and keep the words around it whole.
  const qsizetype open = line.indexOf(u'\'');
  const qsizetype close = line.lastIndexOf(u'\'');
  if (open >= 0 && close > open) {
    const QString before = line.left(open + 1);
    const QString after = line.mid(close);
    const int room = maxWidth - metrics.horizontalAdvance(before + after);
    if (room > 4 * metrics.horizontalAdvance(QChar(0x2026))) {
      return before + metrics.elidedText(line.mid(open + 1, close - open - 1), Qt::ElideMiddle, room) + after;
    }
  }
  // A long sentence goes on over several lines with every word kept: its cause is at its
  // end. A word wider than the box (a path) breaks after its slashes; only a piece still
  // wider than the box is cut.
  QStringList pieces;
  for (const QString& word : line.split(u' ')) {
    QString piece;
    for (const QChar c : word) {
      piece += c;
      if (c == u'/' && metrics.horizontalAdvance(word) > maxWidth) {
        pieces << piece;
        piece.clear();
      }
    }
    pieces << piece + u' ';
  }
  QStringList lines;
  QString current;
  for (const QString& piece : pieces) {
    if (metrics.horizontalAdvance((current + piece).trimmed()) <= maxWidth) {
      current += piece;
      continue;
    }
    if (!current.trimmed().isEmpty()) {
      lines << current.trimmed();
    }
    current = metrics.horizontalAdvance(piece.trimmed()) <= maxWidth
                  ? piece
                  : metrics.elidedText(piece.trimmed(), Qt::ElideMiddle, maxWidth) + u' ';
  }
  lines << current.trimmed();
  return lines.join(u'\n');
}

}  // namespace

QString FitToWidth(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  QStringList lines = text.split(u'\n');
  for (QString& line : lines) {
    line = FitLine(line, metrics, maxWidth);
  }
  return lines.join(u'\n');
}

void MessageBoxReporter::ShowError(const QString& message) {
  QMessageBox box(QMessageBox::Critical, title_, QString(), QMessageBox::Ok, parent_);
  box.setTextFormat(Qt::PlainText);
  const QScreen* screen = parent_ != nullptr ? parent_->screen() : QGuiApplication::primaryScreen();
  const int maxWidth = screen != nullptr ? std::max(240, screen->availableGeometry().width() / 2) : 480;
  box.setText(FitToWidth(BoxMessage(message), box.fontMetrics(), maxWidth));
  box.exec();
}

}  // namespace platform

namespace platform {

bool MessageBoxReporter::Ask(const QString& question) {
  QMessageBox box(QMessageBox::Question, title_, question, QMessageBox::Yes | QMessageBox::No, parent_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace platform
