#include "platform/error_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <stdexcept>
#include <vector>

namespace platform {
namespace {

TEST(ApplicationTitle, FileNameCutAtTheFirstDotRestLowerCase) {
  EXPECT_EQ(ApplicationTitle("/usr/local/bin/drivelab"), "Drivelab");
  EXPECT_EQ(ApplicationTitle("build/DRIVE.LAB.exe"), "Drive");
}

TEST(BoxMessage, FullStopOnlyAfterACharacterSortingAfterIt) {
  EXPECT_EQ(BoxMessage("Floating point overflow"), "Floating point overflow.");
  EXPECT_EQ(BoxMessage("Step 3"), "Step 3.");
  EXPECT_EQ(BoxMessage("List index out of bounds (5)"), "List index out of bounds (5)");  // ')' sorts before '.'
  EXPECT_EQ(BoxMessage(""), "");
}

struct RecordingReporter final : ErrorReporter {
  void ShowError(const QString& message) override { messages.push_back(message); }
  std::vector<QString> messages;
};

TEST(RunGuarded, ShowsTheErrorAndLetsNothingThrough) {
  RecordingReporter reporter;
  EXPECT_FALSE(RunGuarded(reporter, [] { throw std::runtime_error("Invalid floating point operation"); }));
  EXPECT_FALSE(RunGuarded(reporter, [] { throw 42; }));
  EXPECT_TRUE(RunGuarded(reporter, [] {}));
  ASSERT_EQ(reporter.messages.size(), 2u) << "one box for each failure, none for a success";
  EXPECT_EQ(reporter.messages[0], "Invalid floating point operation");
}

TEST(FitToWidth, CutsEachLongLineInTheMiddleAndLeavesShortOnes) {
  const QFontMetrics metrics(QApplication::font());
  const QString digits(10000, u'7');
  const QString message = BoxMessage("'" + digits + "' is not a valid floating point value");
  const QString fitted = FitToWidth(message, metrics, 400);
  EXPECT_LE(metrics.horizontalAdvance(fitted), 400);
  EXPECT_TRUE(fitted.startsWith("'777") && fitted.endsWith("' is not a valid floating point value.")) << "both ends kept";
  EXPECT_TRUE(fitted.contains(QChar(0x2026)));
  EXPECT_EQ(FitToWidth("Floating point overflow.\nsecond line", metrics, 400), "Floating point overflow.\nsecond line");
}

// Shows the message through the real box and hands the open box to look.
void InTheBox(const QString& message, const std::function<void(QMessageBox&)>& look) {
  bool shown = false;
  // The box is modal: look at it and close it from inside its own event loop.
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = true;
    look(*box);
    box->button(QMessageBox::Ok)->click();
  });
  MessageBoxReporter(nullptr, "Drivelab").ShowError(message);
  EXPECT_TRUE(shown);
}

TEST(MessageBoxReporter, TypedTextIsShownAsPlainTextAndALongOneFitsTheScreen) {
  InTheBox("'<b>5</b>' is not a valid floating point value", [](QMessageBox& box) {
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    EXPECT_EQ(box.text(), "'<b>5</b>' is not a valid floating point value.");
  });
  InTheBox("'" + QString(10000, u'9') + "' is not a valid floating point value", [](QMessageBox& box) {
    const QRect screen = box.screen()->availableGeometry();
    EXPECT_LE(box.width(), screen.width());
    EXPECT_TRUE(screen.contains(box.button(QMessageBox::Ok)->mapToGlobal(QPoint(0, 0)))) << "OK within reach";
  });
}

TEST(MessageBoxReporter, StopIconOkAndTheTitleAsCaption) {
  bool shown = false;
  // The box is modal: look at it and close it from inside its own event loop.
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = true;
    EXPECT_EQ(box->windowTitle(), "Drivelab");
    EXPECT_EQ(box->text(), "Floating point division by zero.");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    box->button(QMessageBox::Ok)->click();
  });
  MessageBoxReporter(nullptr, "Drivelab").ShowError("Floating point division by zero");
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace platform
