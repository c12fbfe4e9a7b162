// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The lab report, read back from the PDF as a teacher reads it: the parameters as typed, the
// chosen log rows with each figure beside its column's name, the notes, the verdict; the same
// report on a printer; a report that cannot be written; the name asked once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageRanges>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/Unit1.h"
#include "app/frequency_response_window.h"
#include "app/journal.h"
#include "app/measurements_window.h"
#include "tests/app/box_watcher.h"

namespace {

// A poppler tool's output for the PDF at path; poppler-utils comes with scripts/setup.
QString Poppler(const QString& tool, QStringList arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(-1) || process.exitCode() != 0) {
    ADD_FAILURE() << tool.toStdString() << " did not run (scripts/setup installs poppler-utils): "
                  << process.errorString().toStdString() << process.readAllStandardError().toStdString();
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}
QString PdfText(const QString& path) { return Poppler(QStringLiteral("pdftotext"), {"-layout", path, "-"}); }

// The line whose text begins with `name`: what the report shows beside it.
std::string LineOf(const QString& text, const QString& name) {
  for (const QString& line : text.split(u'\n')) {
    if (line.trimmed().startsWith(name)) return line.simplified().toStdString();
  }
  return {};
}

sim::LogRecord Row(double kamp, const char* note) {
  sim::LogRecord r;
  r.parameters = {kamp, 0.003, 0.75, 0.02, 8, 0.2};
  r.note = note;
  return r;
}

// The main window on a journal of three runs, each with its note.
struct Lab {
  explicit Lab(const QString& dir) : store(dir, dir + QStringLiteral("/windows.ini")) {
    form.SetNameAsker([this] { return ++asked, name; });
    form.SetFileNameAsker([dir](const QString&, const QString& suggested, const QString&) {
      return QDir(dir).filePath(QFileInfo(suggested).fileName());
    });
    form.AttachStore(&store);
    form.show();
  }
  QString Export() {
    form.MenuExportReport->trigger();
    return PdfText(store.Folder() + QStringLiteral("/lab-report.pdf"));
  }
  app::LabStore store;
  TForm1 form{u','};
  std::optional<QString> name = QStringLiteral("Ada Lovelace");
  int asked = 0;
};

class LabReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::LogRecord step = Row(100, "first try");
    step.step.emplace().target = 50;
    step.step->riseTime = 0.0758;
    step.step->overshoot = 2.5332;
    sim::LogRecord harmonic = Row(3000, "swings");
    harmonic.harmonic = sim::HarmonicFigures{.amplitude = 21, .frequency = 10, .periods = 3, .carriageAmplitude = 20.74,
                                             .ratio = 0.9876, .phaseLag = 5, .errorAmplitude = 1.8, .steady = true};
    sim::LogRecord faster = Row(250, "faster");
    faster.step.emplace().target = -30;
    QFile journal(dir.filePath(QStringLiteral("journal.json")));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write(app::JournalBytes({step, harmonic, faster}));
  }
  QTemporaryDir dir;
};

TEST_F(LabReportTest, ThePdfHoldsTheParametersAsTypedTheChosenRowsTheirNotesAndTheVerdict) {
  Lab lab(dir.path());
  lab.form.Edit1->setText(QStringLiteral("3000"));
  QString text = lab.Export();
  EXPECT_TRUE(text.contains(QStringLiteral("Student: Ada Lovelace"))) << text.toStdString();
  EXPECT_EQ(LineOf(text, QStringLiteral("Investigation")), "Investigation of drive stability and accuracy");
  EXPECT_EQ(LineOf(text, QStringLiteral("Research")), "Research Stability research");
  EXPECT_EQ(LineOf(text, QStringLiteral("Amplifier gain, Kamp")), "Amplifier gain, Kamp 3000");
  EXPECT_EQ(LineOf(text, QStringLiteral("Amplifier time constant")), "Amplifier time constant, Tamp 0,003 s");
  EXPECT_EQ(LineOf(text, QStringLiteral("Amplitude")), "") << "none in stability research";
  EXPECT_TRUE(text.simplified().contains(QStringLiteral("Theory, from the coefficients: unstable; the loop turns "
                                                        "critical at a gain of 2007, where it swings at")));
  // Every row, in log order, each figure in its row's column beside the column's name.
  EXPECT_EQ(LineOf(text, QStringLiteral("Column")), "Column Row 1 Row 2 Row 3");
  EXPECT_EQ(LineOf(text, QStringLiteral("Kamp")), "Kamp 100 3000 250");
  EXPECT_EQ(LineOf(text, QStringLiteral("overshoot (%)")), "overshoot (%) 2,533");
  EXPECT_EQ(LineOf(text, QStringLiteral("amplitude ratio")), "amplitude ratio 0,9876");
  EXPECT_EQ(LineOf(text, QStringLiteral("note")), "note first try swings faster");

  // Rows chosen in a table sorted by gain, highest first: the first and the last shown.
  QTest::mouseClick(lab.form.RadioButton2, Qt::LeftButton);
  lab.form.SpinEdit1->setText(QStringLiteral("30"));
  lab.form.Edit1->setText(QStringLiteral("100"));
  lab.form.MenuMeasurements->trigger();
  QTableWidget* table = lab.form.MeasurementsForm->LogTable;
  table->sortItems(1, Qt::DescendingOrder);
  for (const int row : {0, 2}) {
    table->selectionModel()->select(table->model()->index(row, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  text = lab.Export();
  EXPECT_EQ(LineOf(text, QStringLiteral("Research")), "Research Accuracy research");
  EXPECT_EQ(LineOf(text, QStringLiteral("Amplitude")), "Amplitude 30 mm");
  EXPECT_TRUE(text.simplified().contains(QStringLiteral("coefficients: stable;")));
  EXPECT_EQ(LineOf(text, QStringLiteral("Column")), "Column Row 1 Row 2");
  EXPECT_EQ(LineOf(text, QStringLiteral("Kamp")), "Kamp 100 3000");
  EXPECT_EQ(LineOf(text, QStringLiteral("note")), "note first try swings");
  EXPECT_EQ(lab.asked, 1) << "the name is asked once";

  // The frequency response joins the oscilloscope once a sweep has run to its end: each picture
  // once, whole, every pixel of its aliased lines kept ("image", not "jpeg").
  const auto pictures = [pdf = dir.filePath(QStringLiteral("lab-report.pdf"))] {
    // page, number, type, width, height, colour, components, bits, encoding, ...
    const QRegularExpression row(QStringLiteral(R"(^ *\d+ +\d+ +image +(\d+) +(\d+) +\w+ +\d+ +\d+ +(\w+) .*)"));
    QStringList list = Poppler(QStringLiteral("pdfimages"), {"-list", pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    return list.replaceInStrings(row, QStringLiteral("\\1x\\2 \\3")).join(u';').toStdString();
  };
  EXPECT_EQ(pictures(), "489x225 image");
  FrequencyResponseWindow& sweep = *lab.form.FrequencyForm;
  sweep.CountEdit->setValue(2);
  QTest::mouseClick(sweep.RunButton, Qt::LeftButton);
  while (sweep.Running()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  text = lab.Export();
  const QSize size = sweep.Picture().size();
  EXPECT_EQ(pictures(), QStringLiteral("489x225 image;%1x%2 image").arg(size.width()).arg(size.height()).toStdString());
  EXPECT_TRUE(text.contains(QStringLiteral("Frequency response")));
}

TEST_F(LabReportTest, APrintedReportIsTheExportedOne) {
  Lab lab(dir.path());
  const QString exported = lab.Export();
  QString chosen = dir.filePath(QStringLiteral("printed.pdf"));
  QPageRanges pages;
  lab.form.SetPrinterChooser([&](QPrinter& printer) {
    printer.setPageRanges(pages);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(chosen);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(18, 15, 18, 12), QPageLayout::Millimeter);
    return !chosen.isEmpty();
  });
  lab.form.MenuPrint->trigger();
  ASSERT_FALSE(exported.isEmpty());
  EXPECT_EQ(PdfText(chosen), exported);
  // The second page alone, as the print dialog's range asks.
  const QStringList exportedPages = exported.split(u'\f', Qt::SkipEmptyParts);
  ASSERT_GE(exportedPages.size(), 2);
  pages.addPage(2);
  lab.form.MenuPrint->trigger();
  EXPECT_EQ(PdfText(chosen).split(u'\f', Qt::SkipEmptyParts), QStringList{exportedPages[1]});

  chosen.clear();  // cancelled: nothing printed, nothing said
  BoxWatcher boxes;
  lab.form.MenuPrint->trigger();
  EXPECT_TRUE(boxes.shown.empty());
}

// Each command fails with one box that names the cause, and leaves no file (a full disk is in
// exports_test.cpp, through the same writer); a cancelled name or file dialog writes nothing and
// says nothing.
TEST_F(LabReportTest, AReportThatCannotBeWrittenSaysWhyAndLeavesNothing) {
  Lab lab(dir.path());
  const QString gone = dir.filePath(QStringLiteral("gone/report.pdf"));
  lab.form.SetPrinterChooser([&](QPrinter& printer) { return printer.setOutputFileName(gone), true; });
  lab.form.SetFileNameAsker([gone](const QString&, const QString&, const QString&) { return gone; });
  BoxWatcher boxes;
  lab.form.MenuExportReport->trigger();
  lab.form.MenuPrint->trigger();
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.Text(0), "Cannot write " + gone.toStdString() + ": No such file or directory.");
  EXPECT_EQ(boxes.Text(1), "Cannot print to " + gone.toStdString() + ": the printer did not start.");

  Lab other(dir.filePath(QStringLiteral("other")));
  other.name.reset();
  other.form.MenuExportReport->trigger();
  other.form.MenuPrint->trigger();
  other.name = QStringLiteral("Grace Hopper");
  other.form.SetFileNameAsker([](const QString&, const QString&, const QString&) { return QString(); });
  other.form.MenuExportReport->trigger();
  EXPECT_EQ(boxes.shown.size(), 2u) << "nothing more said";
  for (const QString& folder : {dir.path(), other.store.Folder()})
    EXPECT_EQ(QDir(folder).entryList({"*.pdf*"}, QDir::Files | QDir::Hidden), QStringList()) << folder.toStdString();
  EXPECT_EQ(other.asked, 3) << "asked until answered";
}

// Remembered in the store's settings for the next start; without a store for this start only.
TEST_F(LabReportTest, TheNameIsAskedOnceAndRemembered) {
  { Lab lab(dir.path()); lab.Export(); }
  Lab again(dir.path());
  again.name = QStringLiteral("someone else");
  EXPECT_TRUE(again.Export().contains(QStringLiteral("Student: Ada Lovelace")));
  EXPECT_EQ(again.asked, 0);

  for (int start = 1; start <= 2; ++start) {
    TForm1 bare{u','};
    int asked = 0;
    bare.SetNameAsker([&] { return ++asked, std::optional(QStringLiteral("Ada")); });
    bare.SetFileNameAsker([&](const QString&, const QString&, const QString&) { return dir.filePath("bare.pdf"); });
    for (int i = 0; i < 2; ++i) bare.MenuExportReport->trigger();
    EXPECT_EQ(asked, 1) << "start " << start;
    EXPECT_TRUE(PdfText(dir.filePath("bare.pdf")).contains(QStringLiteral("Student: Ada")));
  }
}

}  // namespace
