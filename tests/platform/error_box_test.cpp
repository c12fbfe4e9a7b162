#include "platform/error_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <stdexcept>

namespace platform {
namespace {

TEST(ApplicationTitle, FileNameCutAtTheFirstDotRestLowerCase) {
  const struct {
    const char* path;
    const char* title;
  } rows[] = {{"/usr/local/bin/drivelab", "Drivelab"},
              {"build/release/app/DRIVELAB.exe", "Drivelab"},
              {"/opt/drive.lab.v2", "Drive"},
              {"x", "X"}};
  for (const auto& r : rows) {
    EXPECT_EQ(ApplicationTitle(QString::fromLatin1(r.path)), QString::fromLatin1(r.title)) << r.path;
  }
}

TEST(BoxMessage, FullStopOnlyAfterACharacterSortingAfterIt) {
  const struct {
    const char* message;
    const char* shown;
  } rows[] = {{"Floating point overflow", "Floating point overflow."},
              {"'8 mm' is not a valid floating point value", "'8 mm' is not a valid floating point value."},
              {"List index out of bounds (5)", "List index out of bounds (5)"},  // ')' sorts before '.'
              {"Done.", "Done."},
              {"Step 3", "Step 3."},
              {"", ""}};
  for (const auto& r : rows) {
    EXPECT_EQ(BoxMessage(QString::fromLatin1(r.message)), QString::fromLatin1(r.shown)) << r.message;
  }
}

class RecordingReporter final : public ErrorReporter {
 public:
  void ShowError(const QString& message) override { messages.push_back(message); }
  std::vector<QString> messages;
};

TEST(RunGuarded, ShowsTheErrorAndLetsNothingThrough) {
  RecordingReporter reporter;
  int stored = 0;
  EXPECT_FALSE(RunGuarded(reporter, [&] {
    stored = 1;
    throw std::runtime_error("Invalid floating point operation");
  }));
  EXPECT_EQ(stored, 1) << "nothing rolled back";
  EXPECT_TRUE(RunGuarded(reporter, [&] { stored = 2; }));
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], QStringLiteral("Invalid floating point operation"));
}

TEST(MessageBoxReporter, StopIconOkAndTheTitleAsCaption) {
  MessageBoxReporter reporter(nullptr, QStringLiteral("Drivelab"));
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  // The box is modal: read it and close it from inside its own event loop.
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->button(QMessageBox::Ok)->click();
  });
  reporter.ShowError(QStringLiteral("Floating point division by zero"));
  EXPECT_EQ(caption, QStringLiteral("Drivelab"));
  EXPECT_EQ(text, QStringLiteral("Floating point division by zero."));
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

}  // namespace
}  // namespace platform
