// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// Answers every message box as soon as it shows, keeping its "caption|text" and the window it
// is shown over: error boxes and the About box never wait for a person in the widget tests,
// and a question gets `answer`.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <ostream>
#include <string>
#include <vector>

struct BoxWatcher {
  BoxWatcher() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown.push_back((box->windowTitle() + u'|' + box->text()).toStdString());
        over.push_back(box->parentWidget() != nullptr ? box->parentWidget()->window() : nullptr);
        QAbstractButton* button = box->button(QMessageBox::Ok);
        (button != nullptr ? button : box->button(answer))->click();
      }
    });
    timer.start(1);
  }
  static auto One(const char* text) { return std::vector{QApplication::applicationName().toStdString() + '|' + text}; }
  // The text of box i on one line, its caption left out; empty when there is no such box.
  std::string Text(std::size_t i) const;
  QTimer timer;
  std::vector<std::string> shown;
  std::vector<const QWidget*> over;  // the window each box was shown over
  QMessageBox::StandardButton answer = QMessageBox::Yes;
};

// A box's text as one line: the box breaks a long one after a space or a path's slash.
inline std::string Unwrapped(const std::string& text) {
  std::string line;
  for (const char c : text) {
    if (c != '\n') {
      line += c;
    } else if (line.empty() || line.back() != '/') {
      line += ' ';
    }
  }
  return line;
}

inline std::string BoxWatcher::Text(std::size_t i) const {
  return i < shown.size() ? Unwrapped(shown[i].substr(shown[i].find('|') + 1)) : std::string();
}

// Texts in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
