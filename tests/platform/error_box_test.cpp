#include "platform/error_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
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
