#include "platform/spin_edit.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <vector>

#include "platform/fonts.h"

namespace {

// SpinEdit1 as the window has it: 49 x 26, 13 px font, limits 0 and 50, next to another edit
// box that holds the focus at the start of each test.
class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(200, 60);
    other_ = new QLineEdit(&window_);
    other_->setGeometry(8, 8, 60, 24);
    spin_ = new platform::TSpinEdit(&window_);
    spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13));
    spin_->setGeometry(100, 8, 49, 26);
    spin_->SetMinValue(0);
    spin_->SetMaxValue(50);
    spin_->SetDecimalSeparator(u',');
    spin_->SetBeep([this] { ++beeps_; });
    QWidget::setTabOrder(other_, spin_);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    other_->setFocus();
    ASSERT_TRUE(other_->hasFocus());
  }

  void Reset(const QString& text) {
    other_->setFocus();
    spin_->setText(text);
    beeps_ = 0;
  }

  QWidget* Arrow(const char* name) const {
    QWidget* arrow = spin_->findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(arrow, nullptr) << name;
    return arrow;
  }

  QWidget window_;
  QLineEdit* other_ = nullptr;
  platform::TSpinEdit* spin_ = nullptr;
  int beeps_ = 0;
};

TEST_F(SpinEditTest, ValueReadsTheTextAndFallsBackToTheMinimum) {
  spin_->SetMinValue(5);
  struct Case {
    const char* text;
    int value;
  };
  // Read as they stand, even outside the limits; no integer at all counts as the minimum.
  const Case cases[] = {{"25", 25}, {"$1F", 31}, {"75", 75}, {"", 5}, {"2,5", 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    spin_->setText(QString::fromLatin1(c.text));
    EXPECT_EQ(spin_->Value(), c.value);
  }
}

// The keys step through SetValue: every row also checks its limiting and its decimal text.
TEST_F(SpinEditTest, UpAndDownKeysStepByTheIncrementWithinTheLimits) {
  struct Case {
    int min, max, increment;
    const char* before;
    Qt::Key key;
    const char* after;
  };
  const Case cases[] = {{0, 50, 1, "50", Qt::Key_Up, "50"},
                        {0, 50, 1, "", Qt::Key_Down, "0"},
                        {0, 50, 1, "7", Qt::Key_Up, "8"},
                        {0, 50, 1, "7", Qt::Key_Down, "6"},
                        {0, 50, 5, "48", Qt::Key_Up, "50"},
                        {0, 50, 1, "99", Qt::Key_Down, "50"},
                        {0, 50, 1, "$1F", Qt::Key_Up, "32"},
                        {0, 50, 1, "2,5", Qt::Key_Up, "1"},                 // counts as the minimum
                        {10, 10, 1, "-3", Qt::Key_Down, "-4"},              // equal limits: none
                        {0, 0, 1, "2147483647", Qt::Key_Up, "2147483647"},  // saturates, no wrap
                        {0, 0, 1, "-2147483648", Qt::Key_Down, "-2147483648"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before << (c.key == Qt::Key_Up ? " Up" : " Down"));
    spin_->SetMinValue(c.min);
    spin_->SetMaxValue(c.max);
    spin_->SetIncrement(c.increment);
    spin_->setText(QString::fromLatin1(c.before));
    spin_->setFocus();
    QTest::keyClick(spin_, c.key);
    EXPECT_EQ(spin_->text(), QString::fromLatin1(c.after));
  }
}

TEST_F(SpinEditTest, TypingAcceptsNumberKeysAndRefusesTheRestWithABeep) {
  struct Case {
    char16_t separator;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* after;  // typed after "1", the cursor at the end
    int beeps;
  };
  const Case cases[] = {
      {u',', Qt::Key_7, Qt::NoModifier, "17", 0},
      {u',', Qt::Key_Plus, Qt::NoModifier, "1+", 0},
      {u',', Qt::Key_Minus, Qt::NoModifier, "1-", 0},
      {u',', Qt::Key_Comma, Qt::NoModifier, "1,", 0},
      {u'.', Qt::Key_Period, Qt::NoModifier, "1.", 0},
      {u',', Qt::Key_Period, Qt::NoModifier, "1", 1},  // only the regional separator
      {u'.', Qt::Key_Comma, Qt::NoModifier, "1", 1},
      {u',', Qt::Key_A, Qt::NoModifier, "1", 1},
      {u',', Qt::Key_Space, Qt::NoModifier, "1", 1},
      {u',', Qt::Key_Return, Qt::NoModifier, "1", 1},
      {u',', Qt::Key_Enter, Qt::NoModifier, "1", 1},
      {u',', Qt::Key_Backspace, Qt::NoModifier, "", 0},
      {u',', Qt::Key_A, Qt::ControlModifier, "1", 0},  // select all, a control key
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "key " << QKeySequence(c.key | c.modifiers).toString().toStdString()
                 << ", separator " << static_cast<char>(c.separator));
    spin_->SetDecimalSeparator(QChar(c.separator));
    Reset(QStringLiteral("1"));
    spin_->setFocus();
    spin_->end(false);
    QTest::keyClick(spin_, c.key, c.modifiers);
    EXPECT_EQ(spin_->text(), QString::fromLatin1(c.after));
    EXPECT_EQ(beeps_, c.beeps);
  }
}

TEST_F(SpinEditTest, LeavingPullsOnlyIntegersOutsideTheLimitsBack) {
  struct Case {
    int max;
    const char* typed;
    const char* after;
  };
  const Case cases[] = {
      {50, "75", "50"}, {50, "-5", "0"},    {50, "30", "30"},
      {50, "", ""},     {50, "2,5", "2,5"},  // no integer: counts as the minimum, kept
      {0, "75", "75"},                       // no limits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    spin_->SetMaxValue(c.max);
    spin_->setFocus();
    QTest::keyClick(spin_, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(spin_, Qt::Key_Delete);
    QTest::keyClicks(spin_, QString::fromLatin1(c.typed));
    ASSERT_EQ(spin_->text(), QString::fromLatin1(c.typed));
    QTest::mouseClick(other_, Qt::LeftButton);
    ASSERT_TRUE(other_->hasFocus());
    EXPECT_EQ(spin_->text(), QString::fromLatin1(c.after));
  }
}

TEST_F(SpinEditTest, EnteringOtherThanByAClickIntoTheTextSelectsItAll) {
  enum class Entry { Tab, Programmatic, ClickIntoText, RightClickIntoText, PressOnArrow };
  struct Case {
    Entry entry;
    const char* name;
    bool selectsAll;
  };
  const Case cases[] = {{Entry::Tab, "Tab", true},
                        {Entry::Programmatic, "setFocus", true},
                        {Entry::ClickIntoText, "click into the text", false},
                        {Entry::RightClickIntoText, "right click into the text", false},
                        {Entry::PressOnArrow, "press on an arrow", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reset(QStringLiteral("12"));
    ASSERT_FALSE(spin_->hasFocus());
    switch (c.entry) {
      case Entry::Tab:
        QTest::keyClick(other_, Qt::Key_Tab);
        break;
      case Entry::Programmatic:
        spin_->setFocus();
        break;
      case Entry::ClickIntoText:
        QTest::mouseClick(spin_, Qt::LeftButton, {}, QPoint(8, spin_->height() / 2));
        break;
      case Entry::RightClickIntoText:
        QTest::mouseClick(spin_, Qt::RightButton, {}, QPoint(8, spin_->height() / 2));
        break;
      case Entry::PressOnArrow:
        QTest::mousePress(Arrow("SpinDown"), Qt::LeftButton);
        break;
    }
    EXPECT_TRUE(spin_->hasFocus());
    EXPECT_EQ(spin_->selectedText(), c.selectsAll ? QStringLiteral("12") : QString());
    if (c.entry == Entry::PressOnArrow) {
      // The step on release keeps the whole number selected, ready to be typed over.
      QTest::mouseRelease(Arrow("SpinDown"), Qt::LeftButton);
      EXPECT_EQ(spin_->text(), QStringLiteral("11"));
      EXPECT_EQ(spin_->selectedText(), QStringLiteral("11"));
    }
  }
}

TEST_F(SpinEditTest, ArrowClickStepsOnceOnReleaseOverTheArrow) {
  struct Case {
    const char* arrow;
    Qt::MouseButton button;
    bool releaseOver;
    const char* after;
  };
  const Case cases[] = {{"SpinUp", Qt::LeftButton, true, "11"},
                        {"SpinDown", Qt::LeftButton, true, "9"},
                        {"SpinUp", Qt::LeftButton, false, "10"},
                        {"SpinDown", Qt::LeftButton, false, "10"},
                        {"SpinUp", Qt::RightButton, true, "10"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.arrow << (c.releaseOver ? " over" : " off"));
    Reset(QStringLiteral("10"));
    QWidget* arrow = Arrow(c.arrow);
    QTest::mousePress(arrow, c.button);
    EXPECT_EQ(spin_->text(), QStringLiteral("10")) << "a press alone does not step";
    const QPoint release = c.releaseOver ? arrow->rect().center() : QPoint(arrow->width() / 2, -30);
    QTest::mouseMove(arrow, release);
    QTest::mouseRelease(arrow, c.button, {}, release);
    EXPECT_EQ(spin_->text(), QString::fromLatin1(c.after));
  }
}

// Real time: the first repeat comes at 400 ms, then one every 100 ms. Each wait ends halfway
// between two ticks, so every count has 50 ms of slack either way.
TEST_F(SpinEditTest, HeldArrowRepeatsWhileThePointerStaysOnIt) {
  static_assert(platform::TSpinEdit::RepeatDelayMs == 400 &&
                platform::TSpinEdit::RepeatIntervalMs == 100);
  Reset(QStringLiteral("20"));
  QWidget* up = Arrow("SpinUp");
  const QPoint off(up->width() / 2, -40);
  QTest::mousePress(up, Qt::LeftButton);
  QTest::qWait(350);
  EXPECT_EQ(spin_->text(), QStringLiteral("20"));
  QTest::qWait(300);  // 650 ms: ticks at 400, 500 and 600
  EXPECT_EQ(spin_->text(), QStringLiteral("23"));
  QTest::mouseMove(up, off);
  QTest::qWait(300);  // ticks at 700, 800 and 900 with the pointer off the arrow
  EXPECT_EQ(spin_->text(), QStringLiteral("23"));
  QTest::mouseMove(up, up->rect().center());
  QTest::qWait(200);  // back on it: ticks at 1000 and 1100
  EXPECT_EQ(spin_->text(), QStringLiteral("25"));
  QTest::mouseRelease(up, Qt::LeftButton);
  EXPECT_EQ(spin_->text(), QStringLiteral("26"));
  QTest::qWait(250);
  EXPECT_EQ(spin_->text(), QStringLiteral("26")) << "no repeat after the release";
}

TEST_F(SpinEditTest, HeightStaysAtLeastTheFontsMinimum) {
  const QFont systemFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const int systemHeight = QFontMetrics(systemFont).height();
  struct Case {
    int pixelSize;
    int requested;
  };
  const Case cases[] = {{13, 26}, {13, 10}, {11, 26}, {40, 26}, {40, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixelSize << " px font, height " << c.requested);
    spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), c.pixelSize));
    spin_->setGeometry(100, 8, 49, c.requested);
    const int textHeight = spin_->fontMetrics().height();
    const int minimum =
        4 * 1 /* border */ + textHeight + std::min(textHeight, systemHeight) / 4 + 2;
    EXPECT_EQ(spin_->MinHeight(), minimum);
    EXPECT_EQ(spin_->height(), std::max(c.requested, minimum));
  }
  // The layout's 26 is kept with the layout's font; a larger font grows the placed control.
  spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 13));
  spin_->setGeometry(144, 24, 49, 26);
  EXPECT_EQ(spin_->size(), QSize(49, 26));
  spin_->setFont(platform::LayoutFont(QStringLiteral("MS Sans Serif"), 40));
  EXPECT_EQ(spin_->height(), spin_->MinHeight());
}

// Pixels in the text colour on each row inside the arrow's 2-pixel bevel, top to bottom.
std::vector<int> InkPerRow(QWidget* arrow) {
  const QImage image = arrow->grab().toImage();
  const QRgb ink = arrow->palette().color(QPalette::ButtonText).rgb();
  std::vector<int> rows;
  for (int y = 2; y < image.height() - 2; ++y) {
    int count = 0;
    for (int x = 2; x < image.width() - 2; ++x) {
      count += image.pixel(x, y) == ink ? 1 : 0;
    }
    if (count > 0) {
      rows.push_back(count);
    }
  }
  return rows;
}

TEST_F(SpinEditTest, ArrowsPointUpAndDownAtTheRightEdge) {
  QWidget* up = Arrow("SpinUp");
  QWidget* down = Arrow("SpinDown");
  const std::vector<int> upRows = InkPerRow(up);
  ASSERT_GE(upRows.size(), 2u);
  EXPECT_TRUE(std::is_sorted(upRows.begin(), upRows.end()) && upRows.front() < upRows.back());
  EXPECT_EQ(InkPerRow(down), std::vector<int>(upRows.rbegin(), upRows.rend()));
  EXPECT_EQ(up->geometry().bottom() + 1, down->geometry().top());
  EXPECT_GE(down->geometry().right(), spin_->width() - 3);
  EXPECT_TRUE(spin_->rect().contains(up->geometry().united(down->geometry())));
  EXPECT_GE(spin_->textMargins().right(), up->width()) << "the text runs under the arrows";
}

}  // namespace
