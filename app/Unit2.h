// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// The instructions window: a fixed, read-only text beside the main window. Created hidden;
// "Help" shows it, its close box only hides it.

#include <QPlainTextEdit>
#include <QWidget>

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // The lines, joined by line breaks: the stability and accuracy sections, then the
  // oscilloscope's gestures, Pause, Reset and the Measurements window, the pace of the
  // simulation, steps while running, the log and the File menu, and the frequency response.
  static QString InstructionsText();

  QPlainTextEdit* Memo1;
};
