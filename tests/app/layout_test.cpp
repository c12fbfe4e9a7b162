// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The two windows as they open: places, texts, fonts, colours, tab order.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QTest>
#include <tuple>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "tests/support/reference_image.h"

namespace {

TEST(MainWindowLayout, BothResearchLayoutsAsTheReferencesShowThem) {
  TForm1 form(u',');
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Investigation of drive stability and accuracy"));
  form.layout()->activate();  // the menu bar above, the client area below it
  EXPECT_EQ(form.geometry().topLeft(), QPoint(193, 107));
  EXPECT_EQ(form.ClientArea()->size(), QSize(715, 488)) << "723 x 515 outside a frame of 4 + 19 + 4";
  // A missing resource gives an icon that is not null but has no size.
  EXPECT_EQ(std::tuple(form.windowIcon().availableSizes().isEmpty(), form.Timer1->isActive(), form.Timer1->interval()),
            std::tuple(false, false, 10));
  EXPECT_EQ(form.Image2->cursor().shape(), Qt::PointingHandCursor);
  // Unshown, no box has the focus and no cursor blinks: the grab depends on nothing else.
  const QImage stability = form.ClientArea()->grab().toImage();
  form.RadioButton2->setChecked(true);
  EXPECT_TRUE(MatchesReference(Stacked({stability, form.ClientArea()->grab().toImage()}), "main-window"));
  TForm1 point(u'.');
  EXPECT_EQ(QStringList({point.Edit2->text(), point.Edit3->text(), point.Edit4->text(), point.Edit6->text()}),
            QStringList({"0.003", "0.75", "0.02", "0.2"}));
}

// The controls the focus visits from `start` on, one Tab at a time.
std::string TabChain(QWidget* start, int steps) {
  std::string chain;
  for (start->setFocus(); steps-- > 0; QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab)) {
    chain += QApplication::focusWidget()->objectName().toStdString() + ' ';
  }
  return chain;
}

TEST(MainWindowLayout, TabOrderWithOnlyTheSelectedRadioButtonAsStop) {
  TForm1 form(u',');
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  // The chart takes no keyboard focus: nothing on it answers a key. The marker strip does, in
  // stability research, where the harmonic group stands in accuracy research.
  EXPECT_EQ(TabChain(form.Edit1, 13),
            "Edit1 Edit2 Edit3 Edit4 Edit5 Edit6 Button1 Button2 Button3 Button4 RadioButton1 Image2 Edit1 ");
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);  // the harmonic group joins
  EXPECT_EQ(TabChain(form.Button4, 6), "Button4 RadioButton2 SpinEdit1 SpinEdit2 Button5 Edit1 ");
}

TEST(InstructionsWindow, CorrectedLinesAndTheNewSectionReadOnlyOnPaleYellow) {
  TForm2 form;
  EXPECT_EQ(std::tuple(form.windowTitle(), form.geometry()), std::tuple(QStringLiteral("Instructions"), QRect(192, 107, 407, 516)));
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(MatchesReference(form.grab().toImage(), "instructions"));  // the box, its colour, font and bars
  const QStringList lines = form.Memo1->toPlainText().split(u'\n');
  ASSERT_EQ(lines.size(), 88);
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("accuracy "))) << "trailing blanks belong to the line";
  for (int empty : {5, 14, 24, 41, 48, 58, 69, 77, 84, 87}) EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
  EXPECT_EQ(lines[18], QStringLiteral("harmonic input signal, as well as the \"Process\" button."));
  EXPECT_EQ(lines[6], QStringLiteral("Stability research."));
  // The words a student can trust, and the traces' colours as the oscilloscope draws them.
  const QString text = lines.join(u'\n');
  for (const char* wrong : {"self-propelled", "caliper", "Sustainability", "blue line", " green line", "red line"}) {
    EXPECT_FALSE(text.contains(QString::fromLatin1(wrong))) << wrong;
  }
  for (const char* right : {"automatic control system", "carriage movement is the aqua line",
                            "yellow-green line", "the error - the orange line", "Measurements (Ctrl+M)",
                            "(Shift: 10 mm)", "one second on the clock is 0.2 s", "from where the carriage stands",
                            "timed from the ramp's end", "File, Open log brings", "press Reset before the next run",
                            "Frequency response (Ctrl+B)", "0.1 to 1000 rad/s", "Root locus (Ctrl+R)",
                            "Escape or Ctrl+W"}) {
    EXPECT_TRUE(text.contains(QString::fromLatin1(right))) << right;
  }

  form.show();
  // Each line keeps its own row: none is wider than the box shows.
  const int room = form.Memo1->viewport()->width() - 2 * static_cast<int>(form.Memo1->document()->documentMargin());
  const QFontMetrics metrics(form.Memo1->font());
  for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), room) << line.toStdString();
  form.Memo1->setFocus();
  QTest::keyClicks(form.Memo1, QStringLiteral("typed"));
  EXPECT_EQ(form.Memo1->toPlainText(), TForm2::InstructionsText()) << "read-only";
  form.close();
  EXPECT_FALSE(form.testAttribute(Qt::WA_QuitOnClose)) << "closing the main window ends the program";
}

}  // namespace
