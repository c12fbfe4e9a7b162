// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Frequency response window on the real main window: its figures equal the headless
// runner's --sweep for the same input; its picture, Cancel, the unstable loop, the stops, the
// exports and the experiment log; the sweep's thread, stopped by Cancel, a close or the end of
// the windows. Tests wait for the thread's queued signals, never for a time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cmath>
#include <complex>
#include <numbers>

#include "app/Unit1.h"
#include "app/frequency_response_window.h"
#include "platform/colors.h"
#include "tests/app/box_watcher.h"
#include "tests/support/reference_image.h"
#include "tests/tools/run_main.h"

namespace {

using runner::Split;

// A figure as the summary gives it: two decimals, the window's comma.
QString Two(double v) { return QString::number(v, 'f', 2).replace(u'.', u','); }

// Lets queued signals in until `done`; no clock involved.
template <class F>
void WaitUntil(F done) {
  while (!done()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The thread has ended, or it has gone (which it does only once ended).
bool Ended(const QPointer<const QThread>& worker) { return worker.isNull() || !worker->isRunning(); }

class FrequencyResponseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    form.MenuFrequencyResponse->trigger();
    ASSERT_TRUE(window.isVisible());
  }
  void Sweep() {
    QTest::mouseClick(window.RunButton, Qt::LeftButton);
    WaitUntil([this] { return !window.Running(); });
    QApplication::processEvents();  // the layout follows the summary's lines, as it would for a user
  }
  // The CSV's rows, header left out, as fields; the label, first, unquoted (it holds no quote).
  std::vector<std::vector<std::string>> CsvRows() { return CsvRows(window.Csv()); }
  static std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    const auto lines = Split(csv);
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const bool quoted = line[0] == '"';
      const std::size_t end = quoted ? line.find('"', 1) + 1 : line.find(',');
      rows.push_back(Split(line.substr(end + 1, line.size() - end - 2), ','));  // the CR left out
      rows.back().insert(rows.back().begin(), quoted ? line.substr(1, end - 2) : line.substr(0, end));
    }
    return rows;
  }
  void Sweep(const char* from, const char* to, int count) {
    window.FromEdit->setText(QString::fromLatin1(from));
    window.ToEdit->setText(QString::fromLatin1(to));
    window.CountEdit->setValue(count);
    Sweep();
  }
  // The legend's entries in their order, as titles and colours, none while it is hidden.
  std::vector<std::pair<QString, chart::TColor>> Legend() const {
    std::vector<std::pair<QString, chart::TColor>> entries;
    for (const chart::TChartSeries* s : window.MagnitudeChart->SeriesList()) {
      if (!s->Title.isEmpty() && window.MagnitudeChart->Legend().Visible()) {
        entries.emplace_back(s->Title, s->SeriesColor());
      }
    }
    return entries;
  }

  TForm1 form{u','};
  FrequencyResponseWindow& window = *form.FrequencyForm;
};

TEST_F(FrequencyResponseTest, TheDefaultSweepGivesTheoryAndMeasurementApartAndOneLogLine) {
  EXPECT_EQ(std::tuple(window.windowTitle(), window.isModal(), form.MenuFrequencyResponse->shortcut(),
                       window.FromEdit->text(), window.ToEdit->text(), window.CountEdit->value()),
            std::tuple(QStringLiteral("Frequency response"), false, QKeySequence(Qt::CTRL | Qt::Key_B),
                       QStringLiteral("1"), QStringLiteral("500"), 40));

  form.SpinEdit1->setText(QStringLiteral("7"));
  Sweep();
  EXPECT_EQ(window.Progress->value(), 40);
  EXPECT_TRUE(window.RunButton->isEnabled() && !window.CancelButton->isEnabled());
  const auto rows = CsvRows();

  const auto& log = form.Measured().Log().Records();
  ASSERT_EQ(log.size(), 1u);
  const auto fields = sim::LogFields(log[0]), columns = sim::LogColumns();
  const auto column = [&](const char* name) { return fields[std::find(columns.begin(), columns.end(), name) - columns.begin()]; };
  // A sweep's bounds in columns of their own; the frequency column is a single run's.
  EXPECT_EQ(std::tuple(column("mode"), column("amplitude (mm)"), column("frequency (rad/s)"),
                       column("sweep from (rad/s)"), column("sweep to (rad/s)"), column("sweep points")),
            std::tuple("frequency response", "8", "", "1", "500", "40"));
  // The measured peak is the largest measured magnitude of the window's own table, at its frequency.
  std::pair<double, std::string> loudest{-1e9, ""};
  for (const auto& r : rows) loudest = std::max(loudest, std::pair(std::stod(r[3]), r[1]));
  EXPECT_EQ(std::pair(std::stod(column("measured resonance peak (dB)")), column("measured resonance frequency (rad/s)")),
            loudest);
  EXPECT_NEAR(std::stod(column("measured bandwidth -3 dB (rad/s)")), 49.3, 0.5);

  // The theory's own peak (26.08 rad/s) and -3 dB crossing, by a scan a ten-thousandth of a
  // rad/s fine; the measured figures are those the log keeps.
  const sim::Drive& d = window.Finished()->Parameters();
  const auto db = [&](double w) { return 20 * std::log10(std::abs(sim::HeldClosedLoopResponse(d, w))); };
  double peak = 20, peakDb = db(peak), bandwidth = 40;
  for (double w = peak; w < 35; w += 1e-4) {
    if (db(w) > peakDb) std::tie(peak, peakDb) = std::pair(w, db(w));
  }
  while (db(bandwidth) >= -3) bandwidth += 1e-4;
  const sim::SweepSummary& measured = *log[0].sweep;
  EXPECT_EQ(window.Summary->text(),
            QStringLiteral("Theory (blue line): resonance peak %1 dB at %2 rad/s (lime square), \u22123 dB bandwidth %3 "
                           "rad/s (green line).\nMeasured (red squares): peak %4 dB at %5 rad/s, \u22123 dB bandwidth %6 "
                           "rad/s.")
                .arg(Two(peakDb), Two(peak), Two(bandwidth), Two(*measured.peakDb), Two(*measured.peakFrequency),
                     Two(*measured.bandwidth)));
}

// Run clears the plot; Cancel stops the thread before it returns and plots the points measured so
// far, marked as a part of the sweep in the titles, and the saves keep just those; only a
// complete sweep is logged. A close stops the thread too.
TEST_F(FrequencyResponseTest, ACancelledSweepShowsAndSavesItsPartAndLogsNothing) {
  window.CountEdit->setValue(12);
  // Unpainted while it runs, whatever the thread's pace: the chart takes its labels' room from
  // its last paint, and one of the empty chart midway would move the axes of the picture.
  window.setUpdatesEnabled(false);
  Sweep();
  window.setUpdatesEnabled(true);
  QTemporaryDir folder;
  QStringList suggested;
  form.SetFileNameAsker([&](const QString&, const QString& path, const QString&) {
    suggested << QFileInfo(path).fileName();
    return folder.filePath(suggested.back());
  });
  const auto saved = [&] {
    QTest::mouseClick(window.SaveCsvButton, Qt::LeftButton);
    QTest::mouseClick(window.SavePngButton, Qt::LeftButton);
    QFile csv(folder.filePath("frequency-response.csv"));
    return csv.open(QIODevice::ReadOnly) ? csv.readAll().toStdString() : std::string();
  };
  // A complete sweep: the table as the window gives it, the two charts as drawn.
  EXPECT_EQ(saved(), window.Csv());
  EXPECT_EQ(suggested, QStringList({"frequency-response.csv", "frequency-response.png"}));
  EXPECT_TRUE(MatchesReference(QImage(folder.filePath(suggested[1])), "frequency-response"));

  const auto complete = CsvRows();
  window.HoldSweepsAfter(5);
  QTest::mouseClick(window.RunButton, Qt::LeftButton);
  EXPECT_TRUE(CsvRows().empty() && !window.SaveCsvButton->isEnabled()) << "the last sweep is gone";
  WaitUntil([&] { return window.Progress->value() == 5; });
  ASSERT_TRUE(window.Running() && !window.RunButton->isEnabled());
  QPointer<const QThread> worker = window.Worker();
  window.RunClick();
  EXPECT_EQ(window.Worker(), worker) << "a second Run leaves the running sweep alone";
  window.CancelClick();
  EXPECT_TRUE(Ended(worker));
  EXPECT_TRUE(!window.Running() && window.RunButton->isEnabled() && !window.CancelButton->isEnabled());
  QApplication::processEvents();  // whatever the thread left queued changes nothing
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.findChildren<QThread*>().isEmpty()) << "no thread kept after its sweep";
  EXPECT_EQ(std::tuple(window.Finished(), form.Measured().Log().Records().size(), window.Progress->value()),
            std::tuple(nullptr, 1u, 5));

  // CSV numbers are shortest round trips: equal texts are equal figures.
  const auto rows = CsvRows(saved());
  ASSERT_EQ(rows.size(), 5u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    auto expected = complete[i];
    expected[10] = "cancelled";
    EXPECT_EQ(rows[i], expected);
  }
  const QString note = QStringLiteral("cancelled after %1 of 12 points").arg(rows.size());
  EXPECT_EQ(window.MagnitudeChart->Title().Text(), QStringList(QStringLiteral("Magnitude \u2014 ") + note));
  EXPECT_EQ(window.PhaseChart->Title().Text(), QStringList(QStringLiteral("Phase \u2014 ") + note));
  EXPECT_TRUE(window.Summary->text().startsWith(QStringLiteral("Sweep %1: only those are plotted and saved.\n").arg(note)))
      << window.Summary->text().toStdString();
  // Closing the window cancels a sweep on its way.
  QTest::mouseClick(window.RunButton, Qt::LeftButton);
  WaitUntil([&] { return window.Progress->value() == 5; });
  worker = window.Worker();
  window.close();
  EXPECT_TRUE(!window.Running() && Ended(worker));
  EXPECT_EQ(form.Measured().Log().Records().size(), 1u);
}

// The main window's end (the program quitting) in the middle of a sweep, between two points or
// inside one that runs long, stops the thread and waits for it: Qt aborts on a QThread
// destroyed while it runs, and the sanitizers catch what it might touch afterwards.
TEST(FrequencyResponseEndTest, TheWindowsEndStopsTheSweepsThread) {
  for (const bool held : {true, false}) {
    auto form = std::make_unique<TForm1>(u',');
    FrequencyResponseWindow& window = *form->FrequencyForm;
    if (!held) window.FromEdit->setText(QStringLiteral("0,1"));  // a first point of 150,000 cycles
    window.HoldSweepsAfter(held ? 1 : -1);
    window.RunClick();
    if (held) WaitUntil([&] { return window.Progress->value() == 1; });
    ASSERT_TRUE(window.Running());
    std::atomic<bool> ended = false;
    QObject::connect(window.Worker(), &QThread::finished, [&ended] { ended = true; });
    form.reset();
    EXPECT_TRUE(ended) << held;
  }
}

// Every column against a figure of its own: the runner's measurement, the theory, and the
// sweep's settings as it used them, though the texts have changed since.
TEST_F(FrequencyResponseTest, TheCsvGivesEachPointWithTheSweepsOwnSettings) {
  const char* parameters[] = {"120", "0,004", "0,6", "0,03", "6", "0,25"};
  QLineEdit* edits[] = {form.Edit1, form.Edit2, form.Edit3, form.Edit4, form.Edit5, form.Edit6};
  for (int i = 0; i < 6; ++i) edits[i]->setText(QString::fromLatin1(parameters[i]));
  form.SpinEdit1->setText(QStringLiteral("9"));
  Sweep("3", "300", 5);
  for (QLineEdit* e : edits) e->setText(QStringLiteral("1"));
  window.FromEdit->setText(QStringLiteral("2"));
  window.CountEdit->setValue(7);

  EXPECT_EQ(Split(window.Csv())[0],
            "sweep,frequency (rad/s),measured amplitude ratio,measured magnitude (dB),measured phase lag (deg),theory "
            "amplitude ratio,theory magnitude (dB),theory phase lag (deg),steady,end stop,sweep status,sweep from "
            "(rad/s),sweep to (rad/s),sweep points,amplitude (mm),Kamp,Tamp (s),Kmotor (rad/(V s)),Tmotor (s),Pitch "
            "(mm),Kfb (V/mm)\r");
  const auto [status, out, err] =
      runner::RunMain({"--sweep", "3:300:5", "--amplitude", "9", "--kamp", "120", "--tamp", "0.004", "--kmotor", "0.6",
                       "--tmotor", "0.03", "--pitch", "6", "--kfb", "0.25"});
  ASSERT_EQ(status, 0) << err;
  const auto measured = Split(out);
  const auto rows = CsvRows();
  ASSERT_EQ(rows.size() + 1, measured.size());
  const sim::Drive& d = window.Finished()->Parameters();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto m = Split(measured[i + 1], ',');
    const double w = std::stod(m[0]), ratio = std::stod(m[1]);
    const std::complex<double> h = sim::HeldClosedLoopResponse(d, w);
    const double lag = -std::arg(h) * 180 / std::numbers::pi;
    const double nan = std::nan("");
    const double numbers[] = {nan, w, ratio, 20 * std::log10(ratio), std::stod(m[2]), std::abs(h),
                              20 * std::log10(std::abs(h)), lag < -90 ? lag + 360 : lag, nan, nan, nan, 3, 300, 5, 10,
                              120, 0.004, 1 / 0.6, 0.03, 6, 0.25};
    // With nothing kept to tell it from, the sweep is named as the present one.
    const std::string texts[] = {"Present sweep", m[4], "no", "complete"};
    ASSERT_EQ(rows[i].size(), std::size(numbers));
    for (std::size_t c = 0; c < rows[i].size(); ++c) {
      if (std::isnan(numbers[c])) {
        EXPECT_EQ(rows[i][c], texts[c == 0 ? 0 : c - 7]) << "row " << i << ", column " << c;
      } else {
        EXPECT_NEAR(std::stod(rows[i][c]), numbers[c], 1e-12 * std::max(1.0, std::abs(numbers[c])))
            << "row " << i << ", column " << c;
      }
    }
  }
}

// A kept sweep is a line in its colour under the present sweep's squares on both charts, the
// axes reaching out to it; the legend names both by what differs, above their points; the CSV
// gives the kept sweep's rows as they were, after the present one's, under the same names.
TEST_F(FrequencyResponseTest, AKeptSweepIsDrawnUnderThePresentOneNamedInTheLegendAndSaved) {
  form.SpinEdit1->setText(QStringLiteral("7"));
  EXPECT_FALSE(window.KeepButton->isEnabled()) << "nothing to keep yet";
  Sweep("3", "300", 5);
  const auto before = CsvRows();
  QTest::mouseClick(window.KeepButton, Qt::LeftButton);
  form.Edit1->setText(QStringLiteral("1000"));
  Sweep("3", "30", 3);  // the kept sweep's first three frequencies, where both stay within 0,2 dB
  QTemporaryDir folder;
  form.SetFileNameAsker([&](const QString&, const QString&, const QString&) { return folder.filePath("f.png"); });
  QTest::mouseClick(window.SavePngButton, Qt::LeftButton);
  const QImage png(folder.filePath("f.png"));
  const chart::TChartSeries &kept = *window.MagnitudeChart->SeriesList().front(),
                            &phase = *window.PhaseChart->SeriesList().front();
  const auto at = [&](int x, int y) { return png.pixel(x, y) & 0xFFFFFF; };  // as 0xRRGGBB
  const int below = window.MagnitudeChart->height();
  EXPECT_EQ(std::tuple(at(kept.PointX(3), kept.PointY(3)), at(phase.PointX(3), below + phase.PointY(3)),
                       at(kept.PointX(1), kept.PointY(1))),
            std::tuple(0xE69F00u, 0xE69F00u, 0xFF0000u))
      << "orange at 94.9 rad/s, beyond the present sweep; its red square over it at 9.49";

  const QString labels[] = {"Kamp 100, To 300, Points 5", "Kamp 1000, To 30, Points 3"};
  ASSERT_EQ(Legend(), (std::vector{std::pair(labels[0], FrequencyResponseWindow::KeptColors[0]),
                                   std::pair(labels[1], platform::clRed)}));
  // In the picture, each sweep's stroke in its row of the box; the curves pass below the box.
  const chart::TRect box = window.MagnitudeChart->LegendRect();
  const int right = box.Right, bottom = box.Bottom, row = (box.Height() - 6) / 2, middle = box.Top + 3 + row / 2;
  EXPECT_EQ(std::pair(at(box.Left + 10, middle), at(box.Left + 10, middle + row)), std::pair(0xE69F00u, 0xFF0000u));
  for (int i = 0; i < kept.Count() && kept.PointX(i) < right; ++i) EXPECT_GT(kept.PointY(i), bottom) << i;

  const auto rows = CsvRows();  // read as quoted: a label's commas split no field
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(std::tuple(rows[0][0], rows[0][12], rows[0][13], rows[0][15]),
            std::tuple(labels[1].toStdString(), "30", "3", "1000"));
  for (int i = 0; i < 5; ++i) {
    auto expected = before[i];
    expected[0] = labels[0].toStdString();
    EXPECT_EQ(rows[3 + i], expected) << i;
  }
}

// Four sweeps are kept at most, a sweep once, each in a colour that stays its own; one is
// removed by its entry of the menu, or all at once, and the window is as before.
TEST_F(FrequencyResponseTest, KeptSweepsAreRemovedOneByOneOrAllAndAFifthIsNotKept) {
  form.SpinEdit1->setText(QStringLiteral("7"));
  const auto& colors = FrequencyResponseWindow::KeptColors;
  Sweep("30", "300", 2);
  const QImage alone = window.Picture();
  QTest::mouseClick(window.KeepButton, Qt::LeftButton);
  EXPECT_FALSE(window.KeepButton->isEnabled()) << "kept already";
  EXPECT_EQ(Legend(), (std::vector{std::pair(QString("Kept sweep 1"), colors[0]), {"Present sweep", platform::clRed}}));
  for (int count = 3; count <= 6; ++count) {
    Sweep("30", "300", count);
    QTest::mouseClick(window.KeepButton, Qt::LeftButton);
  }
  window.KeepClick();
  EXPECT_EQ(std::tuple(window.KeptCount(), window.KeepButton->isEnabled()), std::tuple(4, false));
  QMenu& menu = *window.RemoveKeptButton->menu();
  menu.actions()[1]->trigger();
  EXPECT_EQ(std::tuple(menu.actions()[1]->text(), menu.actions()[3]->isVisible(), menu.actions().back()->text()),
            std::tuple(QString("Points 4"), false, QString("Remove &all")));
  QTest::mouseClick(window.KeepButton, Qt::LeftButton);
  EXPECT_EQ(Legend(), (std::vector{std::pair(QString("Points 2"), colors[0]), {"Points 4", colors[2]},
                                   {"Points 5", colors[3]}, {"Points 6", colors[1]}, {"Points 6", platform::clRed}}))
      << "the colour set free, under the present sweep";

  menu.actions().back()->trigger();
  EXPECT_EQ(std::tuple(window.KeptCount(), Legend().size(), window.MagnitudeChart->SeriesList().size(),
                       window.PhaseChart->SeriesList().size(), window.RemoveKeptButton->isEnabled()),
            std::tuple(0, 0u, 4u, 2u, false));
  Sweep("30", "300", 2);
  EXPECT_EQ(Differences(window.Picture(), alone), "");
}

TEST_F(FrequencyResponseTest, AnUnstableLoopOrOneHeldAtTheStopsIsSaidNotPlotted) {
  form.Edit1->setText(QStringLiteral("3000"));
  QTest::mouseClick(window.RunButton, Qt::LeftButton);
  EXPECT_TRUE(!window.Running() && window.Finished() == nullptr && form.Measured().Log().Records().empty());
  EXPECT_TRUE(window.Summary->text().startsWith(QStringLiteral("The loop is unstable: Kamp 3000 is above the critical "
                                                               "1129,01. Its own oscillation grows")));

  // Close to critical, 51 mm swings into the stops around the resonance.
  form.Edit1->setText(QStringLiteral("1000"));
  form.SpinEdit1->setText(QStringLiteral("50"));
  Sweep("50", "200", 9);
  const auto rows = CsvRows();
  const auto stopped = std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r[9] == "yes"; });
  ASSERT_TRUE(stopped > 0 && stopped < 9) << stopped;
  const auto lowest = std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r[9] == "yes"; });
  EXPECT_TRUE(window.Summary->text().endsWith(
      QStringLiteral("\nThe carriage met an end stop at %1 of the 9 frequencies, the lowest of them %2 rad/s; those "
                     "points are left out.")
          .arg(stopped)
          .arg(Two(std::stod((*lowest)[1])))))
      << window.Summary->text().toStdString();
}

// Every box the window's own actions cause is shown over it, not over the main window; after
// one about a text of its own, that text is selected, ready to be typed over.
TEST_F(FrequencyResponseTest, ItsErrorsAreShownOverItAndABadTextIsSelected) {
  BoxWatcher boxes;
  const auto expect = [&](const std::string& message, const char* what) {
    EXPECT_EQ(boxes.shown, BoxWatcher::One(message.c_str())) << what;
    EXPECT_EQ(boxes.over, std::vector<const QWidget*>{&window}) << what;
    EXPECT_FALSE(window.Running()) << what;
    boxes.shown.clear();
    boxes.over.clear();
  };
  const std::string bounds = "The sweep needs 0,1 <= From < To <= 1000 rad/s.";
  const struct {
    const char *from, *to;
    std::string message;
    QLineEdit* culprit;
  } texts[] = {
      {"0,0999", "500", bounds, window.FromEdit}, {"0,1", "0,1", bounds, window.ToEdit},
      {"1000", "1000", bounds, window.FromEdit},  {"1", "1000,01", bounds, window.ToEdit},
      {"20", "10", bounds, window.ToEdit},        {"1.5", "500", "'1.5' is not a valid floating point value.", window.FromEdit},
      {"1", "5e", "'5e' is not a valid floating point value.", window.ToEdit},
  };
  for (const auto& t : texts) {
    window.FromEdit->setText(QString::fromLatin1(t.from));
    window.ToEdit->setText(QString::fromLatin1(t.to));
    window.RunButton->setFocus();
    QTest::mouseClick(window.RunButton, Qt::LeftButton);
    expect(t.message, t.from);
    EXPECT_EQ(window.focusWidget(), t.culprit) << t.from;
    EXPECT_EQ(t.culprit->selectedText(), t.culprit->text()) << t.from;
  }

  window.ToEdit->setText(QStringLiteral("500"));
  form.Edit1->setText(QStringLiteral("x"));
  QTest::mouseClick(window.RunButton, Qt::LeftButton);
  expect("'x' is not a valid floating point value.", "a text of the main window");
  form.Edit1->setText(QStringLiteral("100"));
  // The drive overflows in its first cycle, in the sweep's thread; the window says so once,
  // from its own thread.
  struct : platform::ErrorReporter {
    void ShowError(const QString& message) override {
      shown.emplace_back(message.toStdString(), QThread::currentThread() == QApplication::instance()->thread());
    }
    std::vector<std::pair<std::string, bool>> shown;
  } reporter;
  window.SetErrorReporter(&reporter);
  form.Edit2->setText(QStringLiteral("1e-20"));
  QTest::mouseClick(window.RunButton, Qt::LeftButton);
  WaitUntil([&] { return !window.Running(); });
  QApplication::processEvents();
  EXPECT_EQ(reporter.shown, (std::vector{std::pair(std::string("Floating point overflow"), true)}));
  EXPECT_EQ(window.MagnitudeChart->Title().Text(),
            QStringList(QStringLiteral("Magnitude \u2014 stopped by an error after 0 of 40 points")));
  window.SetErrorReporter(nullptr);
  form.Edit2->setText(QStringLiteral("0,003"));

  Sweep("999", "1000", 2);  // the bounds themselves are taken
  ASSERT_NE(window.Finished(), nullptr);
  EXPECT_TRUE(boxes.shown.empty());
  form.SetFileNameAsker([](const QString&, const QString&, const QString&) { return QStringLiteral("/no/such/folder/f"); });
  QTest::mouseClick(window.SaveCsvButton, Qt::LeftButton);
  QTest::mouseClick(window.SavePngButton, Qt::LeftButton);
  EXPECT_EQ(boxes.over, std::vector<const QWidget*>(2, &window)) << "a failed save";
}

}  // namespace
