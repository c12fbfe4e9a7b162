#pragma once
// The instructions window: a fixed, read-only text beside the main window. Created hidden;
// "Help" shows it, its close box only hides it.

#include <QPlainTextEdit>
#include <QWidget>

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // The 26 lines, joined by line breaks.
  static QString InstructionsText();

  QPlainTextEdit* Memo1;
};
