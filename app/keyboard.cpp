// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window without a mouse, and with a screen reader: the marker strip's keys, Enter
// for "Process", and the names, buddies and tooltips of the inputs.
#include "app/keyboard.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <algorithm>
#include <vector>

#include "app/Unit1.h"

namespace {

// One pixel of the strip is one millimetre.
constexpr int SmallStep = 1;
constexpr int LargeStep = 10;

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

}  // namespace

void app::CloseWithKeys(QWidget* window) {
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
  }
}

void MarkerStripBox::paintEvent(QPaintEvent* event) {
  PictureBox::paintEvent(event);
  if (hasFocus()) {
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
  }
}

void MarkerStripBox::focusInEvent(QFocusEvent* event) {
  PictureBox::focusInEvent(event);
  update();
}

void MarkerStripBox::focusOutEvent(QFocusEvent* event) {
  PictureBox::focusOutEvent(event);
  update();
}

void TForm1::SetUpKeyboard() {
  const struct {
    QWidget* input;
    std::vector<QLabel*> labels;
    const char* name;
    const char* tip;
  } inputs[] = {
      {Edit1, {Label3}, "Gain", "Gain of the converter amplifier, volts out per volt in"},
      {Edit2, {Label4}, "Amplifier time constant", "Time constant of the converter amplifier, in seconds"},
      {Edit3, {Label6, Label15}, "Motor back emf constant",
       "Back emf constant of the motor, in volt-seconds per radian. Stability research uses the "
       "number as typed; accuracy research (\"Process\") uses its reciprocal"},
      {Edit4, {Label7}, "Motor time constant", "Time constant of the motor, in seconds"},
      {Edit5, {Label9}, "Screw pitch", "Pitch of the lead screw, in millimetres per turn"},
      {Edit6, {Label11}, "Feedback coefficient", "Coefficient of the feedback transducer, in volts per millimetre"},
      {SpinEdit1, {Label13}, "Amplitude",
       "Amplitude of the harmonic input, in millimetres, 0 to 50. The amplitude used is one more: "
       "0 gives 1 mm, 50 gives 51 mm"},
      {SpinEdit2, {Label14}, "Frequency", "Angular frequency of the harmonic input, in radians per second, 0 to 1000"},
  };
  for (const auto& i : inputs) {
    for (QLabel* label : i.labels) {
      label->setBuddy(i.input);
    }
    i.input->setAccessibleName(QString::fromLatin1(i.name));
    i.input->setToolTip(QString::fromLatin1(i.tip) + u'.');
    i.input->setAccessibleDescription(i.input->toolTip());
    i.input->installEventFilter(this);
  }
  Image1->setAccessibleName(QStringLiteral("Machine"));
  Chart1->setAccessibleName(QStringLiteral("Oscilloscope"));
  Image2->setAccessibleName(QStringLiteral("Target marker"));
  Image2->setToolTip(QStringLiteral(
      "The position the carriage is commanded to. Drag the red marker and release it, or move it with "
      "the arrow keys (Shift: 10 mm) and press Enter, to start a step."));
  Image2->setAccessibleDescription(Image2->toolTip());
  Image2->installEventFilter(this);
  // The strip answers keys only where it answers the mouse: in stability research.
  const auto strip = [this](bool stability) { Image2->setFocusPolicy(stability ? Qt::StrongFocus : Qt::NoFocus); };
  strip(RadioButton1->isChecked());
  connect(RadioButton1, &QRadioButton::toggled, Image2, strip);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return QMainWindow::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (watched == Image2) {
    if (!StabilitySelected()) {
      return false;
    }
    const int step = key->modifiers() & Qt::ShiftModifier ? LargeStep : SmallStep;
    if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) {
      MarkerKey(key->key() == Qt::Key_Left ? -step : step);
      return true;
    }
    if (IsEnter(key)) {
      // A press and a release where the marker stands: the same reading and start as the mouse's.
      Image2MouseDown(Qt::LeftButton, key->modifiers(), drive_.MarkerX, 20);
      Image2MouseUp(Qt::LeftButton, key->modifiers(), drive_.MarkerX, 20);
      return true;
    }
    return false;
  }
  if (IsEnter(key) && AccuracySelected()) {
    // As a click would, the focus's leaving the spin edit puts its text within its limits first.
    if (auto* spin = qobject_cast<platform::TSpinEdit*>(watched)) {
      spin->ApplyLimits();
    }
    Button5->click();
    return true;
  }
  return false;
}

void TForm1::MarkerKey(int millimetres) {
  Guarded([this, millimetres] {
    // A drag's clamp; the command follows from the next tick, as during a drag.
    drive_.MarkerX = std::clamp(drive_.MarkerX + millimetres, MarkerMin, MarkerMax);
    DrawMarker();
  });
}
