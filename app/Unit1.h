#pragma once
// The main window: the drive's initial data, the research mode, the commands, the machine
// picture with its target strip, and the oscilloscope.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>

#include "platform/colors.h"
#include "platform/number_reading.h"
#include "platform/panel.h"
#include "platform/picture_box.h"
#include "platform/spin_edit.h"
#include "sim/drive.h"

class TForm2;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // decimalSeparator: the regional one, in which the default texts are written and the
  // numbers are read.
  explicit TForm1(QChar decimalSeparator = platform::RegionalDecimalSeparator(), QWidget* parent = nullptr);

  // The instructions window that "Help" shows; created after this one.
  void SetInstructionsWindow(TForm2* form2) { Form2 = form2; }

  const sim::Drive& Drive() const { return drive_; }

  // Controls, by their layout names.
  platform::PictureBox* Image1;
  platform::PictureBox* Image2;
  QLabel* Label16;
  platform::TPanel* Panel1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLineEdit* Edit1;
  QLabel* Label4;
  QLineEdit* Edit2;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label15;
  QLineEdit* Edit3;
  QLabel* Label7;
  QLineEdit* Edit4;
  QLabel* Label8;
  QLabel* Label9;
  QLineEdit* Edit5;
  QLabel* Label10;
  QLabel* Label11;
  QLineEdit* Edit6;
  QPushButton* Button1;
  QPushButton* Button2;
  QWidget* Chart1;
  QPushButton* Button3;
  QPushButton* Button4;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  platform::TPanel* Panel2;
  QLabel* Label12;
  QLabel* Label13;
  platform::TSpinEdit* SpinEdit1;
  QLabel* Label14;
  platform::TSpinEdit* SpinEdit2;
  QPushButton* Button5;
  QTimer* Timer1;

  TForm2* Form2 = nullptr;

  // Handlers.
  void FormCreate();
  void Button1Click();
  void Button3Click();

 private:
  QLabel* MakeLabel(QWidget* parent, const char* name, QRect geometry, const QString& text, bool bold = false);
  QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text);
  QPushButton* MakeButton(const char* name, QRect geometry, const QString& text);
  platform::TSpinEdit* MakeSpinEdit(QWidget* parent, const char* name, QRect geometry, int maxValue);
  void SetUpTabOrder();
  void DrawPicture();

  QChar separator_;
  sim::Drive drive_;
};
