// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

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

TEST(ErrorBox, TitleAndMessageText) {
  EXPECT_EQ(ApplicationTitle("/usr/local/bin/drivelab"), "Drivelab");
  EXPECT_EQ(ApplicationTitle("build/DRIVE.LAB.exe"), "Drive") << "cut at the first dot, the rest lower case";
  // A full stop only after a character that sorts after it.
  const std::pair<QString, QString> rows[] = {{"Floating point overflow", "Floating point overflow."},
                                              {"Step 3", "Step 3."}, {"Done.", "Done."},
                                              {"List index out of bounds (5)", "List index out of bounds (5)"},
                                              {"", ""}};
  for (const auto& [message, shown] : rows) EXPECT_EQ(BoxMessage(message), shown);
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
  EXPECT_EQ(reporter.messages, (std::vector<QString>{"Invalid floating point operation", "Unknown error"}));
}

TEST(FitToWidth, CutsEachLongLineInTheMiddleAndLeavesShortOnes) {
  const QFontMetrics metrics(QApplication::font());
  const QString fitted = FitToWidth(BoxMessage("'" + QString(10000, u'7') + "' is not a valid floating point value"),
                                    metrics, 400);
  EXPECT_LE(metrics.horizontalAdvance(fitted), 400);
  EXPECT_TRUE(fitted.startsWith("'777") && fitted.endsWith("' is not a valid floating point value.")) << "both ends kept";
  EXPECT_EQ(FitToWidth("Floating point overflow.\nsecond line", metrics, 400), "Floating point overflow.\nsecond line");
  // A long sentence keeps every word, its cause at the end included, over lines that fit; a
  // path wider than the box breaks after its slashes, and only a piece wider still is cut.
  const QString sentence = QStringLiteral("Cannot write /home/student/") + QString(80, u'x') +
                           QStringLiteral("/a/long/way/down/traces.csv: No space left on device.");
  const QStringList lines = FitToWidth(sentence, metrics, 200).split(u'\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], "Cannot write /home/student/");
  EXPECT_TRUE(lines[1].startsWith("xxx") && lines[1].endsWith("xxx/") && lines[1].contains(QChar(0x2026)))
      << "the one piece wider than the box";
  EXPECT_EQ(lines.mid(2), QStringList({"a/long/way/down/traces.csv: No", "space left on device."}));
  for (const QString& l : lines) EXPECT_LE(metrics.horizontalAdvance(l), 200) << l.toStdString();
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

TEST(MessageBoxReporter, StopIconOkTitlePlainTextAndALongOneFitsTheScreen) {
  InTheBox("'<b>5</b>' is not a valid floating point value", [](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle(), "Drivelab");
    EXPECT_EQ(box.icon(), QMessageBox::Critical);
    EXPECT_EQ(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    EXPECT_EQ(box.text(), "'<b>5</b>' is not a valid floating point value.");
  });
  InTheBox("'" + QString(10000, u'9') + "' is not a valid floating point value", [](QMessageBox& box) {
    const QRect screen = box.screen()->availableGeometry();
    EXPECT_LE(box.width(), screen.width());
    EXPECT_TRUE(screen.contains(box.button(QMessageBox::Ok)->mapToGlobal(QPoint(0, 0)))) << "OK within reach";
  });
}

}  // namespace
}  // namespace platform
