// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Measurements window on the real main window: the figures after a run equal the
// headless runner's --measure for the same input, and the experiment log's table, copy,
// clear and save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QMessageBox>
#include <QTest>
#include <algorithm>
#include <sstream>

#include "app/Unit1.h"
#include "app/measurement_rows.h"
#include "app/measurements_window.h"
#include "tests/app/box_watcher.h"
#include "tests/app/marker_release.h"
#include "tests/tools/run_main.h"

namespace {

// The runner's figures: name -> value, in its order.
std::vector<std::pair<std::string, std::string>> RunnerFigures(const std::vector<std::string_view>& args) {
  const auto [status, out, err] = runner::RunMain(args);
  EXPECT_EQ(status, 0) << err;
  std::vector<std::pair<std::string, std::string>> rows;
  for (const std::string& line : runner::Split(out.substr(out.find("\n\nname,value,unit\n") + 18))) {
    const auto a = line.find(','), b = line.rfind(',');
    rows.emplace_back(line.substr(0, a), line.substr(a + 1, b - a - 1));
  }
  return rows;
}

// The runner's figure names and the log's columns for the same figure; theory of the
// parameters alone has none.
const std::pair<const char*, const char*> FigureColumns[] = {
    {"step", "step (mm)"}, {"command_ramp", "command ramp (s)"}, {"rise_time", "rise time 10-90 % (s)"},
    {"peak_time", "peak time (s)"}, {"peak", "peak (mm)"}, {"overshoot", "overshoot (%)"},
    {"predicted_overshoot", nullptr},
    {"settling_time_5", "settling time 5 % (s)"}, {"settling_time_2", "settling time 2 % (s)"},
    {"steady_state_error", "steady-state error (mm)"}, {"verdict", "verdict"}, {"amplitude", "amplitude (mm)"},
    {"frequency", "frequency (rad/s)"}, {"periods_measured", "periods measured"},
    {"carriage_amplitude", "carriage amplitude (mm)"}, {"amplitude_ratio", "amplitude ratio"},
    {"phase_lag", "phase lag (deg)"}, {"error_amplitude", "error amplitude (mm)"}, {"steady", "steady"},
    {"stable", "stable"}, {"critical_Kamp", "critical Kamp"}, {"critical_frequency", "critical frequency (rad/s)"}};

// The field of a log row under the column's name.
std::string Column(const sim::LogRecord& r, const char* name) {
  const auto columns = sim::LogColumns();
  return sim::LogFields(r)[std::find(columns.begin(), columns.end(), name) - columns.begin()];
}

class MeasurementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Timer1->setInterval(24 * 3600 * 1000);
    form.show();
    form.MenuMeasurements->trigger();
    ASSERT_TRUE(window.isVisible());
  }
  // The ticks are called here, not by the clock, and only while the window's timer runs: the
  // window sees it running (a release then is not one from rest), but it never fires.
  void Ticks(int n) {
    for (int i = 0; i < n && form.Timer1->isActive(); ++i) form.Timer1Timer();
  }
  void StabilityRun(int offset, int ticks) {
    ReleaseMarkerAt(form, offset);
    Ticks(ticks);
  }

  // Every figure the runner prints is shown, as the same number, beside its caption, and as
  // the present run's row of the log has it; nothing else is shown.
  void ExpectTheRunnersFigures(const std::vector<std::pair<std::string, std::string>>& rows, bool logged) {
    ASSERT_FALSE(rows.empty());
    const auto shown = app::MeasurementRows(form.Measured());
    ASSERT_EQ(shown.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto& [name, value] = rows[i];
      SCOPED_TRACE(name);
      EXPECT_EQ(shown[i].name, name);
      const QLabel* label = window.Figure(name);
      ASSERT_NE(label, nullptr);
      const std::optional<double> number = app::FieldNumber(value);
      if (number) {
        EXPECT_EQ(label->text(), app::FigureText(number, shown[i].unit, u','));
        EXPECT_EQ(label->toolTip(), QString::fromStdString(value).replace(u'.', u','));
      } else if (shown[i].value || value.empty()) {
        EXPECT_EQ(label->text(), QStringLiteral("\u2013")) << "not shown yet";
      } else {
        EXPECT_EQ(label->text().toStdString(), value);
      }
      const auto* column = std::find_if(std::begin(FigureColumns), std::end(FigureColumns),
                                        [&](const auto& c) { return c.first == name; });
      ASSERT_NE(column, std::end(FigureColumns));
      if (logged && column->second != nullptr) {
        EXPECT_EQ(Column(form.Measured().Log().Records().back(), column->second), value);
      }
      // Its caption on its own line, to its left.
      const QLabel* caption = nullptr;
      for (const QLabel* l : window.findChildren<QLabel*>()) caption = l->buddy() == label ? l : caption;
      ASSERT_NE(caption, nullptr);
      EXPECT_EQ(caption->text(), shown[i].caption);
      EXPECT_EQ(caption->geometry().center().y(), label->geometry().center().y());
      EXPECT_LT(caption->geometry().right(), label->geometry().left());
    }
  }

  TForm1 form{u','};
  MeasurementsWindow& window = *form.MeasurementsForm;
};

TEST_F(MeasurementsTest, AStabilityRunShowsTheRunnersFigures) {
  EXPECT_EQ(window.Figure("rise_time"), nullptr) << "no run yet";
  StabilityRun(50, 400);
  // Settled at 0.4 s, it goes on closing in: the log's row follows the figures, not the first settled tick.
  ExpectTheRunnersFigures(RunnerFigures({"--measure", "--offset", "50", "--cycles", "400"}), true);
  EXPECT_EQ(window.Figure("overshoot")->text(), QStringLiteral("2,533 %")) << "four significant digits";
  EXPECT_EQ(window.Figure("predicted_overshoot")->text(), QStringLiteral("2,557 %")) << "the poles' damping 0.7594";
  EXPECT_EQ(window.Figure("critical_Kamp")->text(), QStringLiteral("2007")) << "a gain whole";
  EXPECT_TRUE(window.Verdict->text().startsWith(
      QStringLiteral("Theory, from the coefficients: stable; the loop turns critical at a gain of ")))
      << window.Verdict->text().toStdString();
  EXPECT_EQ(window.Figure("phase_lag"), nullptr) << "an accuracy figure";

  form.Edit1->setText(QStringLiteral("3000"));  // beyond the critical gain, from rest again
  QTest::mouseClick(form.Button4, Qt::LeftButton);
  StabilityRun(-30, 300);
  ExpectTheRunnersFigures(RunnerFigures({"--measure", "--offset", "-30", "--cycles", "300", "--kamp", "3000"}), false);
  EXPECT_TRUE(window.Verdict->text().startsWith(QStringLiteral("Theory, from the coefficients: unstable; ")))
      << window.Verdict->text().toStdString();
}

// From a fresh window, so that the sine starts where the runner's does.
TEST_F(MeasurementsTest, AnAccuracyRunShowsTheRunnersFigures) {
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  form.SpinEdit1->setText(QStringLiteral("7"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  QTest::mouseClick(form.Button5, Qt::LeftButton);
  Ticks(700);
  ExpectTheRunnersFigures(RunnerFigures(
      {"--measure", "--mode", "accuracy", "--amplitude", "7", "--frequency", "20", "--cycles", "700"}), true);
  EXPECT_EQ(window.Heading->text(), QStringLiteral("Accuracy research: 8 mm at 20 rad/s"));
  EXPECT_GE(window.Figure("periods_measured")->text().toInt(), 2);

  QTest::mouseClick(form.Button4, Qt::LeftButton);  // "Reset": nothing measured
  EXPECT_EQ(window.Figure("amplitude"), nullptr);
  EXPECT_EQ(window.LogTable->rowCount(), 1) << "the log stays";
}

TEST_F(MeasurementsTest, TheLogSortsCopiesClearsAndSaves) {
  for (const auto& [gain, ticks] : {std::pair("100", 500), {"50", 500}, {"200", 30}}) {  // the last one unsettled
    form.Edit1->setText(QString::fromLatin1(gain));
    StabilityRun(40, ticks);
    QTest::mouseClick(form.Button4, Qt::LeftButton);
  }
  ASSERT_EQ(window.LogTable->rowCount(), 3);
  const int kamp = 1;
  EXPECT_EQ(window.LogTable->horizontalHeaderItem(kamp)->text(), QStringLiteral("Kamp"));
  EXPECT_EQ(window.LogTable->item(2, kamp)->text(), QStringLiteral("200")) << "in the order of the runs";

  window.LogTable->sortItems(kamp, Qt::DescendingOrder);
  std::vector<std::string> gains;
  for (const auto& row : window.TableRows()) gains.push_back(row[kamp]);
  EXPECT_EQ(gains, (std::vector<std::string>{"Kamp", "200", "100", "50"})) << "by number, not by text";

  QTest::mouseClick(window.CopyButton, Qt::LeftButton);
  const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("mode\tKamp\tTamp (s)\t")));
  const QStringList first = lines[1].split(u'\t');
  EXPECT_EQ(first.size(), window.LogTable->columnCount());
  EXPECT_EQ(first.mid(0, 3), QStringList({"stability", "200", "0,003"})) << "the regional separator";
  const auto header = window.TableRows()[0];
  const int error = std::find(header.begin(), header.end(), "steady-state error (mm)") - header.begin();
  window.LogTable->sortItems(error, Qt::AscendingOrder);
  EXPECT_EQ(window.TableRows()[3][kamp], "200") << "a missing figure after the numbers";

  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("runs.csv"));
  QString caption;
  form.SetFileNameAsker([&](const QString& c, const QString&, const QString&) {
    caption = c;
    return path;
  });
  QTest::mouseClick(window.SaveButton, Qt::LeftButton);
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  std::ostringstream expected;
  form.Measured().Log().WriteCsv(expected);
  EXPECT_EQ(saved.readAll().toStdString(), expected.str());
  EXPECT_EQ(caption, QStringLiteral("Save experiment log as CSV"));
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"runs.csv"})) << "no temporary file left";

  // Clear asks first, over this window; with no journal to keep them, the rows would be lost.
  BoxWatcher boxes;
  boxes.answer = QMessageBox::No;
  QTest::mouseClick(window.ClearButton, Qt::LeftButton);
  boxes.answer = QMessageBox::Yes;
  QTest::mouseClick(window.ClearButton, Qt::LeftButton);
  const std::string question = "Clear the experiment log? Its 3 rows are kept nowhere else: they are lost unless you "
                               "save the log as CSV first.";
  EXPECT_EQ(std::tuple(boxes.shown.size(), boxes.Text(0), boxes.Text(1)), std::tuple(2u, question, question));
  EXPECT_EQ(boxes.over, std::vector<const QWidget*>({&window, &window}));
  EXPECT_EQ(window.LogTable->rowCount(), 0) << "cleared on the second answer, not the first";
  EXPECT_TRUE(form.Measured().Log().Records().empty());
  StabilityRun(25, 10);  // the table starts again with the next run
  QTest::mouseClick(form.Button4, Qt::LeftButton);
  ASSERT_EQ(window.LogTable->rowCount(), 1);
  EXPECT_EQ(std::pair(window.LogTable->item(0, kamp)->text(), window.LogTable->item(0, 7)->text()),
            std::pair(QStringLiteral("200"), QStringLiteral("25")));
}

// Updated in place tick by tick, through several runs and sorted midway, the table holds
// cell for cell what a table built afresh from the same log holds, and no column is
// narrower than there.
TEST_F(MeasurementsTest, ATableUpdatedInPlaceHoldsWhatAFreshOneHolds) {
  const auto cells = [](const QTableWidget* table) {
    std::vector<QStringList> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
      rows.emplace_back();
      for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem* item = table->item(r, c);
        rows.back() << item->text() << item->toolTip() << QString::number(item->textAlignment());
      }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  for (const char* frequency : {"20", "3"}) {  // the periods' count grows past 9 in the first
    form.SpinEdit1->setText(QStringLiteral("7"));
    form.SpinEdit2->setText(QString::fromLatin1(frequency));
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    Ticks(1500);
    window.LogTable->sortItems(11, Qt::DescendingOrder);
  }
  QTest::mouseClick(form.RadioButton1, Qt::LeftButton);
  BoxWatcher boxes;  // a run stopped by an error: a verdict and an error wider than their columns
  form.Edit1->setText(QStringLiteral("1e300"));
  StabilityRun(50, 1);
  QTest::mouseClick(form.Button4, Qt::LeftButton);
  form.Edit1->setText(QStringLiteral("100"));
  StabilityRun(40, 300);
  MeasurementsWindow fresh(const_cast<sim::Measurements&>(form.Measured()), u',');
  fresh.show();
  ASSERT_EQ(window.LogTable->rowCount(), 4);
  EXPECT_EQ(cells(window.LogTable), cells(fresh.LogTable));
  for (int c = 0; c < fresh.LogTable->columnCount(); ++c)
    EXPECT_GE(window.LogTable->columnWidth(c), fresh.LogTable->columnWidth(c)) << c;
}

// The marker moved while the drive runs: every tick takes it as the command at once, and the
// row describes that change, not what is left of it at the release.
TEST_F(MeasurementsTest, AStepTakenWhileRunningIsMeasuredFromTheCommandBeforeTheMarkerMoved) {
  // With the keys: 66 mm at gain 30, settled; ten Shift+Left, three ticks apart; Enter.
  form.Edit1->setText(QStringLiteral("30"));
  StabilityRun(66, 1500);
  ASSERT_EQ(form.Measured().Log().Records().size(), 1u);
  form.Image2->setFocus();
  for (int press = 0; press < 10; ++press) {
    QTest::keyClick(form.Image2, Qt::Key_Left, Qt::ShiftModifier);
    Ticks(3);
  }
  QTest::keyClick(form.Image2, Qt::Key_Return);
  Ticks(1);
  QTest::keyClick(form.Image2, Qt::Key_Return);  // the same command to the same loop: the run goes on
  EXPECT_EQ(window.Figure("step")->text(), QStringLiteral("-100 mm"));
  // The command changed on the first tick after each press: from the 1st to the 28th tick.
  EXPECT_EQ(window.Figure("command_ramp")->text(), QStringLiteral("0,054 s"));
  EXPECT_TRUE(window.Heading->text().startsWith(QStringLiteral("Stability research: a command change of -100 mm over "
                                                               "0,054 s (a ramp;")))
      << window.Heading->text().toStdString();
  Ticks(2000);
  const auto& log = form.Measured().Log().Records();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(std::tuple(Column(log[1], "step (mm)"), Column(log[1], "verdict")), std::tuple("-100", "settled"));
  EXPECT_NEAR(std::stod(Column(log[1], "command ramp (s)")), 0.054, 1e-12);

  // With the mouse: +50 mm at the default gain, settled; a drag to -50 over 150 ticks.
  QTest::mouseClick(form.Button4, Qt::LeftButton);
  form.Edit1->setText(QStringLiteral("100"));
  StabilityRun(50, 400);
  QTest::mousePress(form.Image2, Qt::LeftButton, {}, {158, 20});
  for (int tick = 1; tick <= 150; ++tick) {
    QTest::mouseMove(form.Image2, {158 - tick * 2 / 3, 20});
    Ticks(1);
  }
  QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, {58, 20});
  Ticks(600);
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(std::tuple(Column(log[3], "step (mm)"), Column(log[3], "verdict")), std::tuple("-100", "settled"));
  // The first move of a pixel reaches the command on the second tick, the last one on the 150th.
  EXPECT_NEAR(std::stod(Column(log[3], "command ramp (s)")), 148 * 0.002, 1e-12);
}

// A floating-point error ends the run: it is shown and logged as stopped, with the parameters
// it ran with and no figure, and no run starts from the spoilt state until Reset.
TEST_F(MeasurementsTest, ARunStoppedByAnErrorIsLoggedAsStoppedAndNeedsAReset) {
  BoxWatcher boxes;
  form.Edit1->setText(QStringLiteral("1e300"));
  StabilityRun(50, 0);
  EXPECT_EQ(window.Figure("verdict")->text(), QStringLiteral("\u2013")) << "nothing judged before a tick";
  Ticks(1);
  EXPECT_EQ(boxes.shown, BoxWatcher::One("Floating point overflow."));
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(window.Failure->isVisible() ? window.Failure->text().toStdString() : "",
            "Stopped by an error: Floating point overflow. The drive's state is lost, so no figure of this run is "
            "shown: press Reset to return the drive to rest, then run again.");
  EXPECT_EQ(window.Figure("rise_time"), nullptr);
  EXPECT_EQ(window.Figure("verdict")->text(), QStringLiteral("stopped by an error"));
  EXPECT_EQ(window.Figure("step")->text(), QStringLiteral("50 mm")) << "what was commanded";

  form.Edit1->setText(QStringLiteral("100"));  // a second release, without Reset
  StabilityRun(-30, 0);
  EXPECT_EQ(boxes.Text(1), "The last run stopped on a floating-point error, which leaves the drive's state unusable: "
                           "press Reset to return it to rest, then start the run again.");
  EXPECT_FALSE(form.Timer1->isActive());
  QTest::mouseClick(form.Button4, Qt::LeftButton);
  const auto& log = form.Measured().Log().Records();
  ASSERT_EQ(log.size(), 1u) << "nothing logged from the spoilt state, at the release or at Reset";
  const auto fields = sim::LogFields(log[0]);
  EXPECT_EQ(std::tuple(fields[1], fields[7], fields[11], fields[17], fields[18], fields[fields.size() - 2]),
            std::tuple("1e+300", "50", "", "", "stopped by an error", "Floating point overflow"));
  EXPECT_FALSE(window.Failure->isVisible()) << "Reset";

  StabilityRun(20, 300);  // from rest again: a run like any other
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(window.Figure("verdict")->text(), QStringLiteral("settled"));
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(sim::LogFields(log[1])[1], "100");
}

}  // namespace
