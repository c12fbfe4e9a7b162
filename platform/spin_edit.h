// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
// An edit box for an integer with a pair of arrow buttons set inside its right edge.
//
//   - Value is the text read as an integer ($, x and 0x make it hexadecimal); a text that does
//     not read as one counts as MinValue. MinValue == MaxValue means no limits.
//   - SetValue limits the value and writes it back as decimal text; the Up and Down keys and
//     the arrow buttons step by Increment through it.
//   - Typing accepts digits, "+", "-", the decimal separator and control keys; any other
//     printable key, and Enter, is refused with a beep.
//   - Leaving the control pulls a value outside the limits back to the nearest limit; a text
//     that does not read as an integer is left as typed.
//   - Entering it other than by a click into the text selects the whole text.
//   - A held arrow steps again after RepeatDelayMs, then every RepeatIntervalMs while the
//     pointer stays on it; the release over the arrow steps once more.
//   - The height never drops below MinHeight() for the current font.

#include <QChar>
#include <QLineEdit>
#include <QtGlobal>
#include <functional>
#include <utility>

namespace platform {

class TSpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int RepeatDelayMs = 400;
  static constexpr int RepeatIntervalMs = 100;
  // Width of the arrow buttons, inside the frame.
  static constexpr int ArrowWidth = 13;

  explicit TSpinEdit(QWidget* parent = nullptr);

  int MinValue() const { return minValue_; }
  void SetMinValue(int value) { minValue_ = value; }
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value) { maxValue_ = value; }
  int Increment() const { return increment_; }
  void SetIncrement(int value) { increment_ = value; }

  int Value() const;
  void SetValue(int value);
  // What leaving the control does: a value outside the limits becomes the nearest limit.
  void ApplyLimits();

  // The character typed as decimal separator; the regional one unless set.
  QChar DecimalSeparator() const { return separator_; }
  void SetDecimalSeparator(QChar separator) { separator_ = separator; }

  // What a refused key sounds like; QApplication::beep unless set.
  void SetBeep(std::function<void()> beep) { beep_ = std::move(beep); }

  // 4 border heights + the font's text height + a quarter of the smaller of the font's and
  // the system font's text heights + 2.
  int MinHeight() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // The value limited to [MinValue, MaxValue] (when they differ) and to 32 bits.
  int Limited(qint64 value) const;
  void Step(int direction);
  void ArrowPressed(Qt::MouseButton button);
  void PlaceArrows();

  int minValue_ = 0;
  int maxValue_ = 0;
  int increment_ = 1;
  QChar separator_;
  std::function<void()> beep_;
  // Focus came with a mouse press that has not reached a handler yet: whether it was on the
  // text or on an arrow decides whether the text gets selected.
  bool focusByPress_ = false;
  QWidget* upArrow_ = nullptr;
  QWidget* downArrow_ = nullptr;
};

}  // namespace platform
