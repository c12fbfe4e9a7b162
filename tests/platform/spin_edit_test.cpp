#include "platform/spin_edit.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <tuple>

#include "platform/fonts.h"

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

TEST_F(SpinEditTest, UpAndDownStepByTheIncrementWithinTheLimits) {
  const std::tuple<int, int, const char*, Qt::Key, const char*> rows[] = {  // max, increment, before, key, after
      {50, 1, "50", Qt::Key_Up, "50"},          {50, 1, "", Qt::Key_Down, "0"},
      {50, 5, "7", Qt::Key_Up, "12"},           {50, 1, "99", Qt::Key_Down, "50"},
      {50, 1, "$1F", Qt::Key_Up, "32"},         {50, 1, "2,5", Qt::Key_Up, "1"},  // no integer: the minimum
      {0, 1, "-3", Qt::Key_Down, "-4"},         {0, 1, "2147483647", Qt::Key_Up, "2147483647"}};  // no limits
  for (const auto& [max, increment, before, key, after] : rows) {
    spin_->SetMaxValue(max);
    spin_->SetIncrement(increment);
    spin_->setText(QString::fromLatin1(before));
    spin_->setFocus();
    QTest::keyClick(spin_, key);
    EXPECT_EQ(spin_->text(), QString::fromLatin1(after)) << before;
  }
}

TEST_F(SpinEditTest, TypingTakesNumberKeysAndRefusesTheRestWithABeep) {
  const std::tuple<Qt::Key, Qt::KeyboardModifiers, const char*, int> rows[] = {  // typed after "1": text, beeps
      {Qt::Key_7, {}, "17", 0},        {Qt::Key_Comma, {}, "1,", 0},  {Qt::Key_Period, {}, "1", 1},
      {Qt::Key_A, {}, "1", 1},         {Qt::Key_Return, {}, "1", 1},  {Qt::Key_Enter, {}, "1", 1},
      {Qt::Key_Backspace, {}, "", 0},  {Qt::Key_A, Qt::ControlModifier, "1", 0}};
  for (const auto& [key, modifiers, after, beeps] : rows) {
    Reset(QStringLiteral("1"));
    spin_->setFocus();
    spin_->end(false);
    QTest::keyClick(spin_, key, modifiers);
    EXPECT_EQ(spin_->text(), QString::fromLatin1(after)) << key;
    EXPECT_EQ(beeps_, beeps) << key;
  }
}

TEST_F(SpinEditTest, LeavingPullsOnlyIntegersOutsideTheLimitsBack) {
  const std::tuple<int, const char*, const char*> rows[] = {{50, "75", "50"}, {50, "2,5", "2,5"}, {0, "75", "75"}};
  for (const auto& [max, typed, after] : rows) {
    spin_->SetMaxValue(max);
    spin_->setFocus();  // selects all: typing replaces the text
    QTest::keyClicks(spin_, QString::fromLatin1(typed));
    QTest::mouseClick(other_, Qt::LeftButton);
    ASSERT_TRUE(other_->hasFocus());
    EXPECT_EQ(spin_->text(), QString::fromLatin1(after)) << typed;
  }
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

// Real time: repeats at 400 ms, then every 100 ms. Each wait ends halfway between two ticks.
TEST_F(SpinEditTest, ArrowStepsOnReleaseOverItAndRepeatsWhileHeldOnIt) {
  Reset(QStringLiteral("20"));
  QWidget* up = Arrow("SpinUp");
  QTest::mousePress(up, Qt::LeftButton);
  QTest::qWait(350);
  EXPECT_EQ(spin_->text(), QStringLiteral("20"));
  QTest::qWait(300);  // ticks at 400, 500 and 600
  EXPECT_EQ(spin_->text(), QStringLiteral("23"));
  QTest::mouseMove(up, QPoint(up->width() / 2, -40));
  QTest::qWait(200);  // ticks at 700 and 800, off the arrow
  EXPECT_EQ(spin_->text(), QStringLiteral("23"));
  QTest::mouseMove(up, up->rect().center());
  QTest::qWait(100);  // back on it: the tick at 900
  QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
  EXPECT_EQ(spin_->text(), QStringLiteral("25")) << "and one more on the release";
  QTest::qWait(150);
  EXPECT_EQ(spin_->text(), QStringLiteral("25")) << "no repeat after the release";
  QTest::mousePress(up, Qt::LeftButton);
  QTest::mouseRelease(up, Qt::LeftButton, {}, QPoint(up->width() / 2, -40));
  EXPECT_EQ(spin_->text(), QStringLiteral("25")) << "released off the arrow";
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

}  // namespace
