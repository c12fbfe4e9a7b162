// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Runs set side by side: kept traces under the live ones, hidden and cleared one by one,
// through Reset, mode changes and a restart; a log row's note and its run repeated.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "app/Unit1.h"
#include "app/journal.h"
#include "app/measurements_window.h"
#include "tests/app/box_watcher.h"
#include "tests/app/marker_release.h"

namespace {

QRgb Rgb(platform::TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

struct Bench {
  explicit Bench(app::LabStore* store = nullptr) {
    form.Timer1->setInterval(24 * 3600 * 1000);  // the test gives the ticks
    if (store != nullptr) form.AttachStore(store);
    form.show();
  }
  void Step(const char* gain, int ticks, bool reset = true) {
    if (reset) QTest::mouseClick(form.Button4, Qt::LeftButton);
    form.Edit1->setText(QString::fromLatin1(gain));
    ReleaseMarkerAt(form, 50);
    for (int i = 0; i < ticks; ++i) form.Timer1Timer();
  }
  QImage Chart() const { return form.Chart1->grab().toImage(); }
  // Where point k of a series is drawn.
  QPoint At(const chart::TChartSeries& s, int k) const { return {s.PointX(k), s.PointY(k)}; }
  // The first point of a kept run's trace at or past `mm`, as drawn now.
  QPoint Rising(std::size_t reference, double mm) const {
    form.Chart1->grab();  // the axes laid out for the values as they are now
    const chart::TChartSeries* s = form.ReferenceTrace(reference);
    int k = 0;
    while (k + 1 < s->Count() && s->YValues.ValueAt(k) < mm) ++k;
    return At(*s, k);
  }
  // Rows of column x in the legend's corner that have the colour.
  std::vector<int> LegendRows(const QImage& image, platform::TColor colour) const {
    const chart::TRect& plot = form.Chart1->ChartRect();
    std::vector<int> rows;
    for (int y = plot.Top; y < plot.Top + 60; ++y)
      if (image.pixel(plot.Left + 14, y) == Rgb(colour)) rows.push_back(y);
    return rows;
  }
  TForm1 form{u','};
};

// The same step at gain 100 and 1000 kept, 1900 live.
void KeepTwo(Bench& b, bool keep = true) {
  b.Step("100", 60, false);
  if (keep) b.form.KeepReferenceClick();
  b.Step("1000", 60);
  if (keep) b.form.MenuKeepReference->trigger();
  b.Step("1900", 60);
}

TEST(References, KeptRunsLieUnderTheLiveOneInTheirColoursNamedByWhatDiffers) {
  Bench b;
  BoxWatcher boxes;
  b.form.KeepReferenceClick();  // nothing on the oscilloscope yet
  KeepTwo(b);
  const auto& kept = b.form.References();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(std::tuple(kept[0].parameters.Kamp, kept[0].step, kept[0].time.size()), std::tuple(100, 50, 393u));
  EXPECT_EQ(b.form.ReferenceTitles(), (QStringList{"Kamp 100", "Kamp 1000"}));
  EXPECT_EQ(boxes.Text(0).substr(0, 46), "There is no run on the oscilloscope to keep: r");
  const auto& list = b.form.Chart1->SeriesList();
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(std::vector(list.end() - 3, list.end()),
            (std::vector<chart::TChartSeries*>{b.form.Series1.get(), b.form.Series2.get(), b.form.Series3.get()}))
      << "the live traces drawn last, over the kept ones";
  // Aligned on the step's start: at gain 100 the carriage is half way while at 1900 it has
  // long arrived; the live trace never passes there.
  const QImage image = b.Chart();
  const QPoint slow = b.Rising(0, 25), faster = b.Rising(1, 25);
  EXPECT_EQ(image.pixel(slow), Rgb(app::ReferenceColors[0]));
  EXPECT_EQ(image.pixel(faster), Rgb(app::ReferenceColors[1]));
  EXPECT_LT(faster.x(), slow.x()) << "gain 1000 rises sooner";
  EXPECT_LT(b.At(*b.form.Series1, 0).x(), faster.x()) << "the live trace spans the plot";
  // The legend: a framed black box, one stroke per kept run, in the order kept.
  const chart::TRect& plot = b.form.Chart1->ChartRect();
  EXPECT_EQ(std::tuple(image.pixel(plot.Left + 4, plot.Top + 4), image.pixel(plot.Left + 9, plot.Top + 4),
                       image.pixel(plot.Left + 5, plot.Top + 5)),
            std::tuple(Rgb(platform::clSilver), Rgb(platform::clSilver), Rgb(platform::clBlack)))
      << "the frame's corner and top edge 4 pixels into the plot";
  const auto first = b.LegendRows(image, app::ReferenceColors[0]), second = b.LegendRows(image, app::ReferenceColors[1]);
  ASSERT_EQ(std::pair(first.size(), second.size()), std::pair(std::size_t{2}, std::size_t{2}));
  EXPECT_LT(first.back(), second.front());
  int ink = 0;  // the names, in the frame's silver, right of the strokes
  for (int y = first.front() - 5; y <= first.back() + 5; ++y)
    for (int x = plot.Left + 22; x < plot.Left + 70; ++x) ink += image.pixel(x, y) == Rgb(platform::clSilver);
  EXPECT_GT(ink, 20);
  // The run at gain 100, logged when Reset ended it unsettled, kept again from its log row.
  b.form.MenuMeasurements->trigger();
  b.form.MeasurementsForm->RowMenu(b.form.MeasurementsForm->TableRowOf(0))->actions()[1]->trigger();
  ASSERT_EQ(b.form.References().size(), 3u);
  EXPECT_EQ(b.form.References()[2].actual, kept[0].actual);
  for (int i = 0; i < 2; ++i) b.form.KeepReferenceClick();
  EXPECT_EQ(b.form.References().size(), 4u);
  EXPECT_EQ(boxes.Text(1), "Four references are kept already: clear one first in View, References.");
}

TEST(References, HiddenAndClearedOneByOneFromTheMenuUntilThePictureIsAsNeverKept) {
  Bench b, plain;
  KeepTwo(b);
  KeepTwo(plain, false);
  const QPoint slow = b.Rising(0, 25), faster = b.Rising(1, 25);
  const auto menu = [&b] {
    emit b.form.MenuReferences->aboutToShow();
    QStringList texts;
    for (const QAction* a : b.form.MenuReferences->actions())
      if (!a->isSeparator()) texts << a->text() + (a->isEnabled() ? "" : " (off)") + (a->isChecked() ? " [x]" : "");
    return texts;
  };
  const auto trigger = [&b](const QString& text) {
    for (QAction* a : b.form.MenuReferences->actions())
      if (a->text() == text) a->trigger();
  };
  EXPECT_EQ(menu(), (QStringList{"Show Kamp 100 [x]", "Clear Kamp 100", "Show Kamp 1000 [x]", "Clear Kamp 1000",
                                 "Clear all references"}));
  trigger("Show Kamp 100");
  QImage image = b.Chart();
  EXPECT_NE(image.pixel(slow), Rgb(app::ReferenceColors[0]));
  EXPECT_EQ(image.pixel(faster), Rgb(app::ReferenceColors[1]));
  EXPECT_EQ(b.form.ReferenceTitles(), (QStringList{"", "Kamp 1000"}));
  EXPECT_TRUE(b.LegendRows(image, app::ReferenceColors[0]).empty());
  EXPECT_EQ(menu()[0], "Show Kamp 100");
  trigger("Show Kamp 100");
  EXPECT_EQ(b.Chart().pixel(slow), Rgb(app::ReferenceColors[0]));
  trigger("Clear Kamp 100");
  ASSERT_EQ(b.form.References().size(), 1u);
  image = b.Chart();
  EXPECT_EQ(image.pixel(faster), Rgb(app::ReferenceColors[1])) << "a kept run keeps its colour";
  EXPECT_NE(image.pixel(slow), Rgb(app::ReferenceColors[0]));
  menu();
  trigger("Clear all references");
  EXPECT_EQ(menu(), QStringList{"Clear all references (off)"});
  EXPECT_EQ(b.Chart(), plain.Chart());
}

TEST(References, KeptThroughResetModeChangesAndARestart) {
  QTemporaryDir dir;
  std::vector<app::Reference> before;
  {
    app::LabStore store(dir.path(), dir.filePath(QStringLiteral("windows.ini")));
    Bench b(&store);
    b.Step("100", 60, false);
    b.form.KeepReferenceClick();
    const QPoint slow = b.Rising(0, 25);
    QTest::mouseClick(b.form.Button4, Qt::LeftButton);
    EXPECT_EQ(b.form.ReferenceTitles(), QStringList{"reference 1"}) << "drawn after Reset, as it was kept";
    EXPECT_EQ(b.Chart().pixel(slow), Rgb(app::ReferenceColors[0]));
    QTest::mouseClick(b.form.RadioButton2, Qt::LeftButton);
    EXPECT_NE(b.Chart().pixel(slow), Rgb(app::ReferenceColors[0])) << "not in accuracy research";
    QTest::mouseClick(b.form.RadioButton1, Qt::LeftButton);
    EXPECT_EQ(b.Chart().pixel(slow), Rgb(app::ReferenceColors[0]));
    before = b.form.References();
  }
  app::LabStore store(dir.path(), dir.filePath(QStringLiteral("windows.ini")));
  Bench again(&store);
  const auto& after = again.form.References();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(std::tuple(after[0].parameters, after[0].step, after[0].start, after[0].time, after[0].actual),
            std::tuple(before[0].parameters, before[0].step, before[0].start, before[0].time, before[0].actual));
  EXPECT_EQ(again.form.ReferenceTitles(), QStringList{"reference 1"});
}

TEST(References, AKeptSineLiesOnALiveOneOfTheSameRunInPhase) {
  Bench b;
  QTest::mouseClick(b.form.RadioButton2, Qt::LeftButton);
  b.form.SpinEdit1->setText(QStringLiteral("50"));
  b.form.SpinEdit2->setText(QStringLiteral("20"));
  QTest::mouseClick(b.form.Button5, Qt::LeftButton);
  for (int i = 0; i < 400; ++i) b.form.Timer1Timer();
  b.form.KeepReferenceClick();
  // The same run again after a Reset, which starts the time axis afresh, and 37 ticks later
  // than the first began: only a shift by whole periods from the same phase lays one on the other.
  QTest::mouseClick(b.form.Button4, Qt::LeftButton);
  // Alone after the Reset, as it was kept: its error trace in its colour darkened, until hidden.
  b.form.Chart1->grab();
  const chart::TChartSeries& error = *b.form.Chart1->SeriesList()[1];
  ASSERT_EQ(error.Count(), 393);
  // The lowest point, clear of the axis line at 0, that starts a segment.
  int k = 100;
  for (int i = 100; i < 391; ++i)
    if (error.YValues.ValueAt(i) < error.YValues.ValueAt(k) && b.At(error, i + 1) != b.At(error, i)) k = i;
  const QPoint at = b.At(error, k);
  ASSERT_LT(error.YValues.ValueAt(k), -2);
  EXPECT_EQ(b.Chart().pixel(at), qRgb(0x7F, 0x4B, 0x68));
  b.form.ShowReference(0, false);
  EXPECT_NE(b.Chart().pixel(at), qRgb(0x7F, 0x4B, 0x68));
  b.form.ShowReference(0, true);
  for (int i = 0; i < 37; ++i) b.form.Timer1Timer();
  QTest::mouseClick(b.form.Button5, Qt::LeftButton);
  for (int i = 0; i < 400; ++i) b.form.Timer1Timer();
  const chart::TChartSeries &kept = *b.form.ReferenceTrace(0), &live = *b.form.Series1;
  // Both well past their start's transient: the kept run's last 150 points, the live one's
  // after its first 100.
  int compared = 0;
  for (int k = kept.Count() - 150, j = 100; k < kept.Count(); ++k) {
    while (j < live.Count() && live.XValues.ValueAt(j) < kept.XValues.ValueAt(k) - 1e-9) ++j;
    if (j == live.Count() || std::abs(live.XValues.ValueAt(j) - kept.XValues.ValueAt(k)) > 1e-9) continue;
    EXPECT_NEAR(kept.YValues.ValueAt(k), live.YValues.ValueAt(j), 1) << "at " << kept.XValues.ValueAt(k) << " s";
    ++compared;
  }
  EXPECT_GT(compared, 60);
}

TEST(References, LabelsNameOnlyWhatDiffers) {
  const auto runs = [](std::vector<std::pair<double, double>> kampTamp) {
    std::vector<std::vector<app::Setting>> all;
    for (auto [kamp, tamp] : kampTamp) all.push_back({{"Kamp", kamp}, {"Tamp", tamp}, {"Kfb", 0.2}});
    return all;
  };
  EXPECT_EQ(app::DifferingLabels(runs({{100, 0.003}, {100, 0.0045}, {1900, 0.003}}), u',', "run %1"),
            (QStringList{"Kamp 100, Tamp 0,003", "Kamp 100, Tamp 0,0045", "Kamp 1900, Tamp 0,003"}));
  auto longer = runs({{100, 0.003}, {100, 0.003}});
  longer[1].push_back({"step", 40});
  EXPECT_EQ(app::DifferingLabels(longer, u'.', "run %1"), (QStringList{"run 1", "step 40"}))
      << "a setting only one run has sets it apart";
  // Kept sines that differ in their command alone, named by it.
  app::Reference slow, fast;
  slow.accuracy = fast.accuracy = true;
  slow.amplitude = fast.amplitude = 10;
  std::tie(slow.frequency, fast.frequency) = std::pair(20, 40);
  EXPECT_EQ(app::ReferenceLabels({&slow, &fast}, {}, u','), (QStringList{"frequency 20", "frequency 40"}));
}

TEST(References, ANoteRoundTripsAndARowRunsAgainWithExactlyItsSettings) {
  QTemporaryDir dir;
  sim::LogRecord accuracyRow;
  {
    app::LabStore store(dir.path(), dir.filePath(QStringLiteral("windows.ini")));
    Bench b(&store);
    QTest::mouseClick(b.form.RadioButton2, Qt::LeftButton);
    b.form.Edit3->setText(QStringLiteral("0,3"));  // held as its reciprocal
    b.form.SpinEdit1->setText(QStringLiteral("30"));
    b.form.SpinEdit2->setText(QStringLiteral("20"));
    QTest::mouseClick(b.form.Button5, Qt::LeftButton);
    for (int i = 0; i < 400; ++i) b.form.Timer1Timer();
    QTest::mouseClick(b.form.Button4, Qt::LeftButton);
    accuracyRow = b.form.Measured().Log().Records().at(0);
    b.form.MenuMeasurements->trigger();
    MeasurementsWindow& w = *b.form.MeasurementsForm;
    const int column = w.LogTable->columnCount() - 1;
    ASSERT_EQ(w.LogTable->horizontalHeaderItem(column)->text(), QStringLiteral("note"));
    // Typed into the note's cell, as a student does.
    w.LogTable->setCurrentCell(w.TableRowOf(0), column);
    QTest::keyClick(w.LogTable, Qt::Key_L);  // the first key opens the cell with it
    auto* editor = w.LogTable->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("ag, \"small\""));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the cell takes the text once the key is through
    EXPECT_EQ(b.form.Measured().Log().Records()[0].note, "lag, \"small\"");
    // Its traces are still on hand this session; kept, they are read back after the restart below.
    w.RowMenu(w.TableRowOf(0))->actions()[1]->trigger();
    // Other settings, another mode, then a double-click on the row.
    QTest::mouseClick(b.form.RadioButton1, Qt::LeftButton);
    for (QLineEdit* e : {b.form.Edit1, b.form.Edit2, b.form.Edit3, b.form.Edit4, b.form.Edit5, b.form.Edit6})
      e->setText(QStringLiteral("7"));
    const QRect cell = w.LogTable->visualItemRect(w.LogTable->item(w.TableRowOf(0), 0));
    QTest::mouseClick(w.LogTable->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(w.LogTable->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(b.form.RadioButton2->isChecked());
    EXPECT_EQ(std::vector({b.form.Edit1->text(), b.form.Edit2->text(), b.form.Edit3->text(), b.form.Edit4->text(),
                           b.form.Edit5->text(), b.form.Edit6->text(), b.form.SpinEdit1->text(), b.form.SpinEdit2->text()}),
              std::vector<QString>({"100", "0,003", "0,3", "0,02", "8", "0,2", "30", "20"}));
    QTest::mouseClick(b.form.Button5, Qt::LeftButton);
    EXPECT_EQ(b.form.Measured().RunParameters(), accuracyRow.parameters) << "every parameter to the last bit";
    // Enter on a row does the same; another key does not.
    b.form.Edit1->setText(QStringLiteral("7"));
    w.LogTable->setCurrentCell(w.TableRowOf(0), 0);
    QTest::keyClick(w.LogTable, Qt::Key_Down);
    EXPECT_EQ(b.form.Edit1->text(), QStringLiteral("7"));
    QTest::keyClick(w.LogTable, Qt::Key_Return);
    EXPECT_EQ(b.form.Edit1->text(), QStringLiteral("100"));
  }
  app::LabStore store(dir.path(), dir.filePath(QStringLiteral("windows.ini")));
  Bench again(&store);
  again.form.MenuMeasurements->trigger();  // the table filled from the log leaves its notes alone
  EXPECT_EQ(sim::LogFields(again.form.Measured().Log().Records()[0]).back(), "lag, \"small\"") << "note, last";
  ASSERT_EQ(again.form.References().size(), 1u);
  const app::Reference& r = again.form.References()[0];
  EXPECT_EQ(std::tuple(r.amplitude, r.frequency, r.error.size()), std::tuple(31, 20, 393u));
}

}  // namespace
