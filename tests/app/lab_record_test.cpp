// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The lab record on the real main window: the journal outlives the program, a damaged one is
// kept aside and said, a second program keeps its log in memory, Clear and New log keep the
// old rows for Open log, a journal that cannot be written is said, and the windows come back
// where they were.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/frequency_response_window.h"
#include "app/journal.h"
#include "app/measurements_window.h"
#include "app/root_locus_window.h"
#include "tests/app/box_watcher.h"
#include "tests/app/marker_release.h"
#include "tests/support/small_disk.h"

namespace {

// One start of the program on the journal folder `dir`, until the object goes.
struct Lab {
  explicit Lab(const QString& dir) : store(dir, dir + QStringLiteral("/windows.ini")) {
    form.Timer1->setInterval(24 * 3600 * 1000);  // the test gives the ticks
    form.SetInstructionsWindow(&form2);
    form.AttachStore(&store);
    form.show();
  }
  void Run(int offset, int ticks, const char* gain = "100") {
    form.Edit1->setText(QString::fromLatin1(gain));
    ReleaseMarkerAt(form, offset);
    for (int i = 0; i < ticks && form.Timer1->isActive(); ++i) form.Timer1Timer();
    QTest::mouseClick(form.Button4, Qt::LeftButton);  // Reset: the run's row is final
  }
  const std::vector<sim::LogRecord>& Rows() const { return form.Measured().Log().Records(); }

  app::LabStore store;
  TForm2 form2;
  TForm1 form{u','};
};

std::vector<std::vector<std::string>> Fields(const std::vector<sim::LogRecord>& rows) {
  std::vector<std::vector<std::string>> fields;
  for (const auto& r : rows) fields.push_back(sim::LogFields(r));
  return fields;
}

QJsonArray JournalRows(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("rows")).toArray();
}

QStringList Files(const QTemporaryDir& dir, const QString& pattern) {
  return QDir(dir.path()).entryList({pattern}, QDir::Files, QDir::Name);
}

TEST(LabRecord, TheLogAndTheWindowsOutliveTheProgram) {
  QTemporaryDir dir;
  std::vector<std::vector<std::string>> before;
  QPoint where;
  {
    Lab lab(dir.path());
    BoxWatcher boxes;
    lab.Run(50, 400);
    lab.Run(30, 20, "50");  // unsettled at the Reset: in as it stands
    QTest::mouseClick(lab.form.RadioButton2, Qt::LeftButton);
    lab.form.SpinEdit2->setText(QStringLiteral("20"));
    // Stopped by an error before any period (and Reset), then a run.
    for (const auto& [gain, reset] : {std::pair("1e300", true), {"100", false}}) {
      lab.form.Edit1->setText(QString::fromLatin1(gain));
      QTest::mouseClick(lab.form.Button5, Qt::LeftButton);
      for (int i = 0; i < 400 && lab.form.Timer1->isActive(); ++i) lab.form.Timer1Timer();
      if (reset) QTest::mouseClick(lab.form.Button4, Qt::LeftButton);
    }
    FrequencyResponseWindow& sweep = *lab.form.FrequencyForm;
    sweep.CountEdit->setValue(2);
    QTest::mouseClick(sweep.RunButton, Qt::LeftButton);
    while (sweep.Running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    lab.form.MenuMeasurements->trigger();
    lab.form.MeasurementsForm->move(300, 200);
    where = lab.form.MeasurementsForm->pos();
    lab.form.MenuInstructions->trigger();
    lab.form.MenuRootLocus->trigger();
    ASSERT_EQ(lab.Rows().size(), 5u);
    before = Fields(lab.Rows());
    lab.form.MenuExit->trigger();
    EXPECT_FALSE(lab.form.RootLocusForm->isVisible()) << "gone with the main window";
  }
  // The journal holds each figure under its own name.
  const QJsonArray rows = JournalRows(dir.filePath(QStringLiteral("journal.json")));
  ASSERT_EQ(rows.size(), 5) << "the harmonic run's row is final at the close";
  const QJsonObject first = rows[0].toObject();
  const QJsonObject parameters = first[QStringLiteral("parameters")].toObject();
  EXPECT_EQ(QJsonDocument(parameters).toJson(QJsonDocument::Compact).toStdString(),
            R"({"Kamp":100,"Kfb":0.2,"Kmotor":0.75,"Pitch":8,"Tamp":0.003,"Tmotor":0.02})");
  // The default 50 mm step's figures (see the measurements' tests), each under its name.
  const QJsonObject step = first[QStringLiteral("step")].toObject();
  EXPECT_EQ(step["verdict"].toString(), QStringLiteral("settled"));
  const std::pair<const char*, double> figures[] = {{"start", 0},          {"target", 50},        {"ramp", 0},
                                                    {"riseTime", 0.0758},  {"peakTime", 0.16025}, {"peak", 51.2666},
                                                    {"overshoot", 2.5332}, {"settling5", 0.1063}, {"settling2", 0.18625}};
  for (const auto& [key, value] : figures) EXPECT_NEAR(step[key].toDouble(-1), value, 1e-4) << key;
  EXPECT_NEAR(first["stability"].toObject()["criticalKamp"].toDouble(), 2007.13, 0.01);
  EXPECT_EQ(rows[1].toObject()["step"].toObject()["verdict"].toString(), QStringLiteral("settling"));
  EXPECT_FALSE(rows[1].toObject()["step"].toObject().contains(QStringLiteral("settling2"))) << "not shown, not kept";
  EXPECT_EQ(rows[2].toObject()["error"].toString(), QStringLiteral("Floating point overflow"));

  BoxWatcher boxes;
  Lab again(dir.path());
  EXPECT_EQ(Fields(again.Rows()), before) << "every row, every field";
  again.form.ReopenToolWindows();
  EXPECT_TRUE(again.form.MeasurementsForm->isVisible() && again.form2.isVisible() &&
              again.form.RootLocusForm->isVisible())
      << "open at the close";
  EXPECT_FALSE(again.form.FrequencyForm->isVisible()) << "closed at the close";
  EXPECT_EQ(again.form.MeasurementsForm->pos(), where);
  EXPECT_EQ(again.form.MeasurementsForm->LogTable->rowCount(), 5);
  EXPECT_TRUE(boxes.shown.empty()) << "nothing to say";
  // The parameters and the mode start as always.
  EXPECT_EQ(again.form.Edit1->text(), QStringLiteral("100"));
  EXPECT_TRUE(again.form.RadioButton1->isChecked());
}

TEST(LabRecord, ADamagedJournalIsKeptAsideUntouchedAndSaid) {
  const std::pair<QByteArray, QString> damages[] = {
      {"{\"format\": \"drivelab journal\", \"version\": 1, \"rows\": [", "unterminated array at byte 54"},
      {R"({"format": "drivelab journal", "version": 1, "rows": [{"parameters": {"Kamp": "100"}}]})",
       "row 1: 'Kamp' is not a number"},
      {R"({"format": "drivelab journal", "version": 1, "rows": [], "references": [{}, 7]})",
       "reference 1: 'mode' is not a text"},
      {R"({"format": "drivelab journal", "version": 1, "rows": [], "references": [{"mode": "sideways"}]})",
       "reference 1: 'sideways' is no research mode"},
  };
  for (const auto& [bytes, reason] : damages) {
    SCOPED_TRACE(reason.toStdString());
    QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("journal.json"));
    {
      QFile file(journal);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    BoxWatcher boxes;
    Lab lab(dir.path());
    lab.form.ReopenToolWindows();
    const QStringList aside = Files(dir, QStringLiteral("journal-damaged-*.json"));
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.filePath(aside[0]));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), bytes);
    EXPECT_EQ(boxes.Text(0), QStringLiteral("The experiment journal %1 could not be read (%2). It is kept as %3, and "
                                            "the log starts empty.")
                                 .arg(journal, reason, dir.filePath(aside[0]))
                                 .toStdString());
    EXPECT_TRUE(lab.Rows().empty());
    lab.Run(10, 5);  // the new journal is written beside the damaged one, never over it
    EXPECT_EQ(JournalRows(journal).size(), 1);
    EXPECT_EQ(Files(dir, QStringLiteral("journal-damaged-*.json")), aside);
  }
}

TEST(LabRecord, ASecondProgramKeepsItsLogInMemoryAndSaysSo) {
  QTemporaryDir dir;
  Lab first(dir.path());
  first.Run(50, 400);
  BoxWatcher boxes;
  Lab second(dir.path());
  second.form.ReopenToolWindows();
  EXPECT_EQ(boxes.Text(0), QStringLiteral("Another drivelab (process %1) is keeping the experiment journal in %2. "
                                          "This window keeps its log in memory only: save it with File, Save "
                                          "experiment log as CSV, before you close it.")
                               .arg(QCoreApplication::applicationPid())
                               .arg(dir.path())
                               .toStdString());
  EXPECT_TRUE(second.Rows().empty()) << "the first one's rows are the first one's";
  second.Run(-30, 400);
  second.form.MenuExit->trigger();
  EXPECT_EQ(JournalRows(dir.filePath(QStringLiteral("journal.json"))).size(), 1) << "the second one wrote nothing";
}

TEST(LabRecord, ClearAndNewLogKeepTheOldRowsAsideAndOpenLogBringsThemBack) {
  QTemporaryDir dir;
  Lab lab(dir.path());
  lab.Run(50, 400);
  lab.Run(-20, 400);
  const auto two = Fields(lab.Rows());
  BoxWatcher boxes;
  for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
    boxes.answer = answer;
    QTest::mouseClick(lab.form.MeasurementsForm->ClearButton, Qt::LeftButton);
    EXPECT_EQ(lab.Rows().size(), answer == QMessageBox::No ? 2u : 0u);
  }
  EXPECT_EQ(boxes.Text(1), "Clear the experiment log? Its 2 rows are kept as a dated file beside the journal, which "
                           "File, Open log brings back.");
  EXPECT_EQ(JournalRows(dir.filePath(QStringLiteral("journal.json"))).size(), 0) << "the journal follows";
  const QStringList kept = Files(dir, QStringLiteral("journal-2*.json"));
  ASSERT_EQ(kept.size(), 1) << "once, on the yes";
  EXPECT_EQ(Fields(app::LabStore::LoadFile(dir.filePath(kept[0]))), two);

  // New log keeps the rows it empties without asking; Open log brings kept rows back and
  // keeps the rows it replaces in turn, each under a name of its own.
  lab.Run(30, 400);
  const auto thirty = Fields(lab.Rows());
  lab.form.MenuNewLog->trigger();
  lab.Run(40, 400);
  const auto forty = Fields(lab.Rows());
  QString opened = dir.filePath(kept[0]);
  lab.form.SetOpenFileNameAsker([&](const QString&, const QString& folder, const QString&) {
    EXPECT_EQ(folder, dir.path()) << "opens where the logs are kept";
    return opened;
  });
  lab.form.MenuOpenLog->trigger();
  EXPECT_EQ(Fields(lab.Rows()), two) << "brought back";
  EXPECT_EQ(boxes.shown.size(), 2u) << "New log and Open log ask nothing when the rows are kept";
  std::set<std::vector<std::vector<std::string>>> aside;
  for (const QString& f : Files(dir, QStringLiteral("journal-2*.json"))) {
    aside.insert(Fields(app::LabStore::LoadFile(dir.filePath(f))));
  }
  EXPECT_EQ(aside, (std::set{two, thirty, forty}));

  opened = dir.filePath(QStringLiteral("journal.lock"));  // not a journal: nothing changes
  lab.form.MenuOpenLog->trigger();
  const std::string refusal = opened.toStdString() + " is not a journal drivelab can read: ";
  EXPECT_EQ(boxes.Text(2).substr(0, refusal.size()), refusal);
  EXPECT_EQ(Fields(lab.Rows()), two);
}

TEST(LabRecord, AJournalThatCannotBeWrittenIsSaidOnceAndTheCloseAsks) {
  QTemporaryDir dir;
  Lab lab(dir.path());
  lab.Run(50, 400);
  BoxWatcher boxes;
  boxes.answer = QMessageBox::No;
  {
    SmallDisk disk(1000);
    lab.Run(-20, 400);
    lab.Run(30, 400);
    lab.form.close();
  }
  EXPECT_EQ(boxes.shown.size(), 2u) << "once for two rows, and the question";
  EXPECT_EQ(boxes.Text(0), "The experiment journal could not be written, so the last rows are kept only in this "
                           "window: Cannot write " + dir.filePath("journal.json").toStdString() + ": File too large.");
  EXPECT_EQ(boxes.Text(1).substr(0, 45), "The experiment log could not be kept on disk,");
  EXPECT_TRUE(lab.form.isVisible()) << "answered no: the window stays";
  EXPECT_EQ(JournalRows(dir.filePath(QStringLiteral("journal.json"))).size(), 1) << "the last good journal";
  lab.form.close();  // with room again: kept, no question
  EXPECT_EQ(std::pair(boxes.shown.size(), lab.form.isVisible()), std::pair(std::size_t{2}, false));
  EXPECT_EQ(JournalRows(dir.filePath(QStringLiteral("journal.json"))).size(), 3);
}

}  // namespace
