// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The File menu's exports: the traces CSV as the oscilloscope shows them, the oscilloscope
// picture at 1x and 2x, and writes that either finish or leave nothing behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "app/Unit1.h"
#include "tests/app/box_watcher.h"
#include "tests/app/marker_release.h"
#include "tests/support/small_disk.h"

namespace {

QStringList Lines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.SetFileNameAsker([this](const QString&, const QString& suggested, const QString&) {
      suggestions << QFileInfo(suggested).fileName();
      return folder.filePath(next);
    });
  }
  void Ticks(int n) {
    form.Timer1->stop();
    for (int i = 0; i < n; ++i) form.Timer1Timer();
    QApplication::processEvents();
  }
  // The CSV's rows against the series the oscilloscope plots: time, preset, actual(, error).
  void ExpectTheShownTraces(const QStringList& lines, bool withError) {
    ASSERT_EQ(lines.size(), 1 + sim::TraceLength);
    EXPECT_EQ(lines[0], withError ? "time (s),preset (mm),actual (mm),error (mm),position (mm),command (V)"
                                  : "time (s),preset (mm),actual (mm),position (mm),command (V)");
    for (int k = 0; k < sim::TraceLength; ++k) {
      const QStringList f = lines[1 + k].split(u',');
      ASSERT_EQ(f.size(), withError ? 6 : 5);
      EXPECT_EQ(f[0].toDouble(), form.Series1->XValues.ValueAt(k)) << k;
      EXPECT_EQ(f[1].toDouble(), form.Series2->YValues.ValueAt(k)) << k;
      EXPECT_EQ(f[2].toDouble(), form.Series1->YValues.ValueAt(k)) << k;
      if (withError) {
        EXPECT_EQ(f[3].toDouble(), form.Series3->YValues.ValueAt(k)) << k;
      }
    }
    const QStringList newest = lines.back().split(u',');
    EXPECT_EQ(newest[newest.size() - 2].toDouble(), form.Drive().DriveState[2]) << "full precision";
    EXPECT_EQ(newest.back().toDouble(), form.Drive().Command);
  }

  TForm1 form{u','};
  QTemporaryDir folder;
  QString next;
  QStringList suggestions;
};

TEST_F(ExportTest, TracesAsShownInBothModesAndThePictureAsDrawnAtOneAndTwiceItsSize) {
  ReleaseMarkerAt(form, 42);
  Ticks(450);
  next = QStringLiteral("stability.csv");
  form.MenuSaveTraces->trigger();
  ExpectTheShownTraces(Lines(folder.filePath(next)), false);
  // The position column is not the whole millimetres of the trace: somewhere they differ.
  const QStringList mid = Lines(folder.filePath(next))[200].split(u',');
  EXPECT_NE(mid[3].toDouble(), mid[2].toDouble());

  const QImage shown = form.Chart1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(489, 225));
  next = QStringLiteral("one.png");
  form.MenuSavePicture->trigger();
  next = QStringLiteral("two.png");
  form.MenuSavePicture2x->trigger();
  const QImage one = QImage(folder.filePath(QStringLiteral("one.png"))).convertToFormat(QImage::Format_RGB32);
  const QImage two = QImage(folder.filePath(QStringLiteral("two.png"))).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(one, shown) << "pixel for pixel";
  EXPECT_EQ(two, shown.scaled(978, 450)) << "every pixel doubled";

  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  form.SpinEdit1->setText(QStringLiteral("30"));
  form.SpinEdit2->setText(QStringLiteral("10"));
  QTest::mouseClick(form.Button5, Qt::LeftButton);
  Ticks(200);  // fewer ticks than the window holds: its oldest points are the reset's zeros
  next = QStringLiteral("accuracy.csv");
  form.MenuSaveTraces->trigger();
  const QStringList lines = Lines(folder.filePath(next));
  ExpectTheShownTraces(lines, true);
  EXPECT_EQ(lines[1].section(u',', 1), QStringLiteral("0,0,0,0,0"));
  EXPECT_EQ(suggestions, QStringList({"traces.csv", "oscilloscope.png", "oscilloscope-2x.png", "traces.csv"}));
}

// Every file, large or small, fails with its cause named and nothing left: a small one used to
// sit in the write buffer until a commit that did not report the failed flush. A folder that
// is not there fails alike, and a cancelled dialog writes nothing and says nothing.
TEST_F(ExportTest, AFailedWriteNamesItsCauseAndLeavesNoFile) {
  ReleaseMarkerAt(form, 42);
  Ticks(450);
  QTest::mouseClick(form.Button4, Qt::LeftButton);  // a row in the log
  for (const bool full : {true, false}) {
    next = full ? QStringLiteral("export") : QStringLiteral("gone/export");
    for (QAction* command : {form.MenuSaveTraces, form.MenuSavePicture, form.MenuSavePicture2x, form.MenuSaveLog}) {
      BoxWatcher boxes;
      {
        std::optional<SmallDisk> disk;
        if (full) disk.emplace(200);
        command->trigger();
      }
      EXPECT_EQ(std::pair(boxes.shown.size(), boxes.Text(0)),
                std::pair(std::size_t{1}, "Cannot write " + folder.filePath(next).toStdString() +
                                              (full ? ": File too large." : ": No such file or directory.")))
          << command->text().toStdString();
      EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
  }
  form.SetFileNameAsker([](const QString&, const QString&, const QString&) { return QString(); });
  BoxWatcher boxes;
  form.MenuSaveTraces->trigger();
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
