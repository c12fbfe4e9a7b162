// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/spin_edit.h"

#include <QtWidgets/qdrawutil.h>

#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <utility>

#include "platform/number_reading.h"

namespace platform {

namespace {

// The window system's border height, as the layout was designed with.
constexpr int kSystemBorderHeight = 1;

enum class ArrowDirection { Up, Down };

// One arrow button. It never takes the focus itself; it reports presses to the edit box and
// asks it to step on a release over the arrow and on each repeat tick while held over it.
class SpinArrow : public QWidget {
 public:
  SpinArrow(QWidget* parent, ArrowDirection direction, std::function<void(Qt::MouseButton)> pressed,
            std::function<void()> step)
      : QWidget(parent),
        direction_(direction),
        pressed_(std::move(pressed)),
        step_(std::move(step)) {
    setObjectName(direction == ArrowDirection::Up ? QStringLiteral("SpinUp")
                                                  : QStringLiteral("SpinDown"));
    setCursor(Qt::ArrowCursor);
    // A coarse timer may fire up to 5 % early, and the first repeat must never come before
    // the delay is over.
    repeat_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&repeat_, &QTimer::timeout, this, [this] { Repeat(); });
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    pressed_(event->button());
    if (event->button() != Qt::LeftButton) {
      return;
    }
    held_ = true;
    over_ = true;
    repeat_.start(TSpinEdit::RepeatDelayMs);
    update();
  }

  void mouseMoveEvent(QMouseEvent* event) override {
    if (!held_) {
      return;
    }
    const bool over = rect().contains(event->position().toPoint());
    if (over != over_) {
      over_ = over;
      update();
    }
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton || !held_) {
      return;
    }
    Release();
    if (rect().contains(event->position().toPoint())) {
      step_();
    }
  }

  // A hidden arrow gets no release: do not let it go on stepping.
  void hideEvent(QHideEvent*) override { Release(); }

  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const bool sunken = held_ && over_;
    const QBrush face = palette().button();
    qDrawWinButton(&painter, rect(), palette(), sunken, &face);

    // A triangle of n rows, 1, 3, 5 ... pixels wide, as large as fits inside the bevel with a
    // pixel to spare; centred, and pushed in by a pixel while down.
    const int n = std::max(1, std::min((height() - 4) / 2, (width() - 4) / 3));
    const int shift = sunken ? 1 : 0;
    const int centreX = (width() - 1) / 2 + shift;
    const int top = (height() - n) / 2 + shift;
    const QColor colour = palette().color(QPalette::ButtonText);
    for (int row = 0; row < n; ++row) {
      const int half = direction_ == ArrowDirection::Up ? row : n - 1 - row;
      painter.fillRect(centreX - half, top + row, 2 * half + 1, 1, colour);
    }
  }

 private:
  void Repeat() {
    if (repeat_.interval() != TSpinEdit::RepeatIntervalMs) {
      repeat_.setInterval(TSpinEdit::RepeatIntervalMs);
    }
    // Off the arrow the ticks go on but do nothing, so coming back resumes the rhythm.
    if (over_) {
      step_();
    }
  }

  void Release() {
    held_ = false;
    repeat_.stop();
    update();
  }

  ArrowDirection direction_;
  std::function<void(Qt::MouseButton)> pressed_;
  std::function<void()> step_;
  // A child, so that a test can find it and tick it without waiting for the clock.
  QTimer repeat_{this};
  bool held_ = false;
  bool over_ = false;
};

// The characters that typing may put into the box; everything else printable is refused.
bool IsAcceptedCharacter(QChar c, QChar separator) {
  return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == separator;
}

// A key that would insert its text, as opposed to a control key or a Ctrl shortcut.
bool IsTyping(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.isEmpty() || (event.modifiers() & Qt::ControlModifier)) {
    return false;
  }
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent)
    : QLineEdit(parent),
      separator_(RegionalDecimalSeparator()),
      beep_([] { QApplication::beep(); }) {
  // With no input method every character arrives as a key press, where the filter sees it.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  upArrow_ = new SpinArrow(
      this, ArrowDirection::Up, [this](Qt::MouseButton button) { ArrowPressed(button); },
      [this] { Step(+1); });
  downArrow_ = new SpinArrow(
      this, ArrowDirection::Down, [this](Qt::MouseButton button) { ArrowPressed(button); },
      [this] { Step(-1); });
  setTextMargins(0, 0, ArrowWidth, 0);
  setMinimumHeight(MinHeight());
  PlaceArrows();
  SetValue(0);
}

int TSpinEdit::Value() const { return TryReadInteger(text()).value_or(minValue_); }

void TSpinEdit::SetValue(int value) { setText(QString::number(Limited(value))); }

int TSpinEdit::MinHeight() const {
  const int textHeight = fontMetrics().height();
  const int systemHeight =
      QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).height();
  return 4 * kSystemBorderHeight + textHeight + std::min(textHeight, systemHeight) / 4 + 2;
}

int TSpinEdit::Limited(qint64 value) const {
  if (maxValue_ != minValue_) {
    if (value < minValue_) {
      value = minValue_;
    } else if (value > maxValue_) {
      value = maxValue_;
    }
  }
  // Without limits a step saturates at the 32-bit range instead of wrapping round.
  return static_cast<int>(
      std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void TSpinEdit::Step(int direction) {
  // An entry selected the whole number; keep it selected so that typing still replaces it.
  const bool allSelected = hasSelectedText() && selectedText() == text();
  SetValue(Limited(qint64{Value()} + qint64{direction} * increment_));
  if (allSelected) {
    selectAll();
  }
}

void TSpinEdit::ArrowPressed(Qt::MouseButton button) {
  // The application gives the focus to the edit box before the arrow sees the press, with
  // the reason "mouse"; this press is on an arrow, not on the text, so it is an entry.
  const bool enteredByThisPress = focusByPress_;
  focusByPress_ = false;
  if (button != Qt::LeftButton) {
    return;
  }
  if (!hasFocus()) {
    setFocus(Qt::OtherFocusReason);
  } else if (enteredByThisPress) {
    selectAll();
  }
}

void TSpinEdit::PlaceArrows() {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect inside = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  const int left = inside.right() + 1 - ArrowWidth;
  const int upHeight = inside.height() / 2;
  upArrow_->setGeometry(left, inside.top(), ArrowWidth, upHeight);
  downArrow_->setGeometry(left, inside.top() + upHeight, ArrowWidth, inside.height() - upHeight);
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      Step(+1);
      event->accept();
      return;
    case Qt::Key_Down:
      Step(-1);
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      beep_();
      event->accept();
      return;
    default:
      break;
  }
  if (IsTyping(*event)) {
    const QString typed = event->text();
    if (!std::all_of(typed.begin(), typed.end(),
                     [this](QChar c) { return IsAcceptedCharacter(c, separator_); })) {
      beep_();
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void TSpinEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  switch (event->reason()) {
    case Qt::MouseFocusReason:
      // Decided by the press that follows: on the text or on an arrow.
      focusByPress_ = true;
      break;
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
      // Coming back to the window or from a menu is not entering the control.
      break;
    default:
      selectAll();
      break;
  }
}

void TSpinEdit::ApplyLimits() {
  const int value = Value();
  if (Limited(value) != value) {
    SetValue(value);
  }
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
  focusByPress_ = false;
  // The focus stays here while another window or a context menu is in front.
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
    ApplyLimits();
  }
  QLineEdit::focusOutEvent(event);
}

void TSpinEdit::mousePressEvent(QMouseEvent* event) {
  focusByPress_ = false;
  QLineEdit::mousePressEvent(event);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  PlaceArrows();
}

void TSpinEdit::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    setMinimumHeight(MinHeight());
  } else if (event->type() == QEvent::StyleChange) {
    PlaceArrows();
  }
}

}  // namespace platform
