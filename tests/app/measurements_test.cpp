// The Measurements window on the real main window: the figures after a run equal the
// headless runner's --measure for the same input, and the experiment log's table, copy,
// clear and save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <sstream>

#include "app/Unit1.h"
#include "app/measurement_rows.h"
#include "app/measurements_window.h"
#include "tests/app/box_watcher.h"
#include "tools/runner.h"

namespace {

// The runner's figures: name -> value, in its order.
std::vector<std::pair<std::string, std::string>> RunnerFigures(const std::vector<std::string_view>& args) {
  std::ostringstream out, err;
  EXPECT_EQ(runner::Main(args, out, err), 0) << err.str();
  const std::string text = out.str();
  const auto start = text.find("\n\nname,value,unit\n");
  std::vector<std::pair<std::string, std::string>> rows;
  std::istringstream in(text.substr(start + 18));
  for (std::string line; std::getline(in, line);) {
    const auto a = line.find(','), b = line.rfind(',');
    rows.emplace_back(line.substr(0, a), line.substr(a + 1, b - a - 1));
  }
  return rows;
}

class MeasurementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    form.MenuMeasurements->trigger();
    ASSERT_TRUE(window.isVisible());
  }
  void Ticks(int n) {
    form.Timer1->stop();  // the ticks are called here, not by the clock
    for (int i = 0; i < n; ++i) form.Timer1Timer();
  }
  void StabilityRun(int offset, int ticks) {
    QTest::mousePress(form.Image2, Qt::LeftButton, {}, {108, 20});
    QTest::mouseMove(form.Image2, {108 + offset, 20});
    QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, {108 + offset, 20});
    Ticks(ticks);
  }
  // Every figure the runner prints is shown, as the same number; nothing else is shown.
  void ExpectTheRunnersFigures(const std::vector<std::pair<std::string, std::string>>& rows) {
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
    }
  }

  TForm1 form{u','};
  MeasurementsWindow& window = *form.MeasurementsForm;
};

TEST_F(MeasurementsTest, AStabilityRunShowsTheRunnersFigures) {
  EXPECT_EQ(window.Figure("rise_time"), nullptr) << "no run yet";
  StabilityRun(50, 400);
  ExpectTheRunnersFigures(RunnerFigures({"--measure", "--offset", "50", "--cycles", "400"}));
  EXPECT_EQ(window.Figure("verdict")->text(), QStringLiteral("settled"));
  EXPECT_EQ(window.Figure("overshoot")->text(), QStringLiteral("2,533 %")) << "four significant digits";
  EXPECT_EQ(window.Figure("critical_Kamp")->text(), QStringLiteral("2007")) << "a gain whole";
  EXPECT_TRUE(window.Verdict->text().startsWith(QStringLiteral("Stable: the loop turns critical at a gain of ")))
      << window.Verdict->text().toStdString();
  EXPECT_EQ(window.Figure("phase_lag"), nullptr) << "an accuracy figure";

  form.Edit1->setText(QStringLiteral("3000"));  // beyond the critical gain, from rest again
  QTest::mouseClick(form.Button4, Qt::LeftButton);
  StabilityRun(-30, 300);
  ExpectTheRunnersFigures(RunnerFigures({"--measure", "--offset", "-30", "--cycles", "300", "--kamp", "3000"}));
  EXPECT_TRUE(window.Verdict->text().startsWith(QStringLiteral("Unstable: "))) << window.Verdict->text().toStdString();
}

TEST_F(MeasurementsTest, AnAccuracyRunShowsTheRunnersFigures) {
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  form.SpinEdit1->setText(QStringLiteral("7"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  QTest::mouseClick(form.Button5, Qt::LeftButton);
  Ticks(700);
  ExpectTheRunnersFigures(RunnerFigures(
      {"--measure", "--mode", "accuracy", "--amplitude", "7", "--frequency", "20", "--cycles", "700"}));
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
  ASSERT_EQ(form.Measured().Log().Records().size(), 3u);
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

  QTest::mouseClick(window.ClearButton, Qt::LeftButton);
  EXPECT_EQ(window.LogTable->rowCount(), 0);
  EXPECT_TRUE(form.Measured().Log().Records().empty());
}

}  // namespace
