// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/spin_edit.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <tuple>

#include "platform/fonts.h"
#include "tests/support/random.h"
#include "tests/support/typed_integer.h"

namespace {

// SpinEdit1 as the window has it, 49 x 26 with a 13 px font, next to an edit box that can take the focus.
class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13));
    spin_->setGeometry(100, 8, 49, 26);
    spin_->SetDecimalSeparator(u',');
    spin_->SetBeep([this] { ++beeps_; });
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
  void Reset(const QString& text) {
    other_->setFocus();
    spin_->setText(text);
    beeps_ = 0;
  }
  QWidget* Arrow(const char* name) const { return spin_->findChild<QWidget*>(QString::fromLatin1(name)); }

  QWidget window_;
  QLineEdit* other_ = new QLineEdit(&window_);
  platform::TSpinEdit* spin_ = new platform::TSpinEdit(&window_);
  int beeps_ = 0;
};

TEST_F(SpinEditTest, KeysStepWithinTheLimitsAndEnterIsRefusedWithABeep) {
  const std::tuple<int, const char*, QKeyCombination, const char*, int> rows[] = {  // max, before, key, after, beeps
      {50, "50", Qt::Key_Up, "50", 0},       {50, "", Qt::Key_Down, "0", 0},  // an empty text counts as the minimum
      {50, "7", Qt::Key_Up, "12", 0},        {50, "99", Qt::Key_Down, "50", 0},
      {50, "$1F", Qt::Key_Up, "36", 0},      {50, "2,5", Qt::Key_Up, "5", 0},  // no integer: the minimum
      {0, "-3", Qt::Key_Down, "-8", 0},      {0, "2147483646", Qt::Key_Up, "2147483647", 0},  // no limits
      {50, "1", Qt::Key_Enter, "1", 1},      {50, "1", Qt::Key_Backspace, "", 0},
      {50, "1", Qt::ControlModifier | Qt::Key_A, "1", 0}};
  spin_->SetIncrement(5);
  for (const auto& [max, before, key, after, beeps] : rows) {
    spin_->SetMaxValue(max);
    Reset(QString::fromLatin1(before));
    spin_->setFocus();
    spin_->end(false);
    QTest::keyClick(spin_, key.key(), key.keyboardModifiers());
    EXPECT_EQ(std::pair(spin_->text(), beeps_), std::pair(QString::fromLatin1(after), beeps)) << before << " " << key.key();
  }
  spin_->SetMinValue(3);
  Reset(QStringLiteral("2,5"));
  EXPECT_EQ(spin_->Value(), 3) << "no integer: the minimum";
}

TEST_F(SpinEditTest, EnteringOtherThanByAClickIntoTheTextSelectsItAll) {
  Reset(QStringLiteral("12"));
  QTest::keyClick(other_, Qt::Key_Tab);
  EXPECT_EQ(spin_->selectedText(), QStringLiteral("12"));
  for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
    Reset(QStringLiteral("12"));
    QTest::mouseClick(spin_, button, {}, QPoint(8, spin_->height() / 2));
    EXPECT_TRUE(spin_->hasFocus());
    EXPECT_EQ(spin_->selectedText(), QString()) << "a click into the text with button " << button;
  }
  Reset(QStringLiteral("12"));
  QTest::mouseClick(Arrow("SpinDown"), Qt::LeftButton);  // the step keeps it selected, to be typed over
  EXPECT_EQ(spin_->selectedText(), QStringLiteral("11"));
}

// Mouse events reach the arrow at once, timer ticks only while the test waits, so only what a
// tick does is waited for; a slow machine makes the waits longer, never the checks wrong.
TEST_F(SpinEditTest, ArrowStepsOnReleaseOverItAndRepeatsWhileHeldOnIt) {
  Reset(QStringLiteral("20"));
  QWidget* up = Arrow("SpinUp");
  const QPoint off(up->width() / 2, -40);
  QTest::mousePress(up, Qt::LeftButton);
  QTest::mouseRelease(up, Qt::LeftButton, {}, off);
  EXPECT_EQ(spin_->Value(), 20) << "released off the arrow";
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(spin_->Value(), 21) << "released over it";
  // The repeat's timer ticked here, and put a day off between ticks: nothing waits for the
  // clock, and a slow machine gets no tick of its own.
  auto* repeat = up->findChild<QTimer*>();
  ASSERT_NE(repeat, nullptr);
  int interval = 0;
  const auto tick = [&] {
    QMetaObject::invokeMethod(repeat, "timeout");
    interval = repeat->interval();
    repeat->setInterval(24 * 3600 * 1000);
  };
  QTest::mousePress(up, Qt::LeftButton);
  EXPECT_EQ(std::tuple(repeat->isActive(), repeat->interval(), spin_->Value()),
            std::tuple(true, platform::TSpinEdit::RepeatDelayMs, 21))
      << "held, it waits the delay first";
  repeat->setInterval(24 * 3600 * 1000);
  tick();
  EXPECT_EQ(std::pair(interval, spin_->Value()), std::pair(platform::TSpinEdit::RepeatIntervalMs, 22));
  tick();
  EXPECT_EQ(spin_->Value(), 23) << "then repeats";
  QTest::mouseMove(up, off);
  tick();
  EXPECT_EQ(spin_->Value(), 23) << "the ticks off the arrow step nothing";
  EXPECT_TRUE(repeat->isActive());
  QTest::mouseMove(up, up->rect().center());
  tick();
  EXPECT_EQ(spin_->Value(), 24) << "back on it";
  QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
  EXPECT_EQ(std::pair(spin_->Value(), repeat->isActive()), std::pair(25, false))
      << "one more on the release, and no repeat after it";
}

TEST_F(SpinEditTest, HeightNeverBelowTheFontsMinimum) {
  // 4 border heights + text height + a quarter of the smaller of it and the system font's + 2.
  const int text = spin_->fontMetrics().height();
  const int system = QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).height();
  EXPECT_EQ(spin_->MinHeight(), 4 + text + std::min(text, system) / 4 + 2);
  EXPECT_EQ(spin_->height(), 26) << "the layout's height kept with the layout's font";
  spin_->setGeometry(100, 8, 49, 10);
  EXPECT_EQ(spin_->height(), spin_->MinHeight());
  spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 40));
  EXPECT_EQ(spin_->height(), spin_->MinHeight()) << "a larger font grows the control";
}

// Random typing, then leaving: expectations come from the keys typed, never from the code under test.
TEST_F(SpinEditTest, RandomTypingKeepsAcceptedCharactersAndLeavingLimitsOnlyIntegers) {
  const std::vector<Qt::Key> editing = {Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return};
  const QString keys = QStringLiteral("0123456789+-,.aZeEx$ */\u00B5\u00E9");
  Random rng(4);
  for (int round = 0; round < 1500; ++round) {
    const int min = round % 2 ? 0 : -20, max = round % 5 == 0 ? min : round % 3 ? 50 : 1000;  // equal: no limits
    const QString accepted = QStringLiteral("0123456789+-") + (rng.OneIn(2) ? u',' : u'.');
    spin_->SetMinValue(min);
    spin_->SetMaxValue(max);
    spin_->SetDecimalSeparator(accepted.back());
    spin_->setText(QString::number(rng.Between(-30, 1100)));
    spin_->setFocus();
    for (int n = rng.Between(1, 12); n > 0; --n) {
      const QString before = spin_->text();
      const int beepsBefore = beeps_;
      if (rng.OneIn(4)) {  // editing keys; Enter is refused
        const Qt::Key key = rng.Pick(editing);
        QTest::keyClick(spin_, key, rng.OneIn(3) ? Qt::ShiftModifier : Qt::NoModifier);
        ASSERT_EQ(beeps_, beepsBefore + (key == Qt::Key_Return ? 1 : 0));
      } else {  // a character typed over the selection or at the cursor, or refused with a beep
        const QChar c = keys[rng.Below(static_cast<int>(keys.size()))];
        const bool refused = !accepted.contains(c);
        const int at = spin_->hasSelectedText() ? spin_->selectionStart() : spin_->cursorPosition();
        const QString expected = QString(before).remove(at, spin_->selectedText().size()).insert(at, c);
        QTest::sendKeyEvent(QTest::Click, spin_, Qt::Key(c.toUpper().unicode()), QString(c), {});
        ASSERT_EQ(std::pair(spin_->text(), beeps_), std::pair(refused ? before : expected, beepsBefore + refused))
            << "'" << QString(c).toStdString() << "'";
      }
    }
    const QString typed = spin_->text();
    ASSERT_TRUE(std::all_of(typed.begin(), typed.end(), [&](QChar c) { return accepted.contains(c); }));
    const auto value = TypedInteger(typed);
    const bool outside = value && min != max && (*value < min || *value > max);
    rng.OneIn(2) ? QTest::keyClick(spin_, Qt::Key_Tab) : other_->setFocus();
    ASSERT_TRUE(other_->hasFocus());
    ASSERT_EQ(spin_->text(), outside ? QString::number(std::clamp<std::int64_t>(*value, min, max)) : typed);
  }
}

}  // namespace
