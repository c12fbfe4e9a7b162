// The two windows as they open: places, texts, fonts, tab order, the oscilloscope's settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QTest>
#include <tuple>

#include "app/Unit1.h"
#include "app/Unit2.h"

namespace {

// Box: no text. Fixed: 13 px text, exact geometry. Grows, Bold: may widen to fit a substitute font.
enum class Kind { Box, Fixed, Grows, Bold };
// The geometry inside the window, or inside the panel; the texts written for a comma separator.
struct ControlRow { const char* name; QRect geometry; Kind kind; const char* text; bool visibleAtStart; };

const ControlRow Layout[] = {
    {"Image1", {216, 8, 489, 233}, Kind::Box, "", true},
    {"Image2", {425, 152, 217, 41}, Kind::Box, "", true},
    {"Panel1", {2, 152, 207, 257}, Kind::Box, "", true},
    {"Button1", {8, 448, 57, 25}, Kind::Fixed, "Exit", true},
    {"Button2", {8, 416, 57, 25}, Kind::Fixed, "Pause", true},
    {"Chart1", {216, 248, 489, 225}, Kind::Box, "", true},
    {"Button3", {144, 448, 57, 25}, Kind::Fixed, "Help", true},
    {"Button4", {144, 416, 57, 25}, Kind::Fixed, "Reset", true},
    {"RadioButton1", {32, 8, 145, 17}, Kind::Grows, "Stability research", true},
    {"RadioButton2", {32, 24, 153, 25}, Kind::Grows, "Accuracy research", true},
    {"Panel2", {2, 48, 207, 97}, Kind::Box, "", false},
    {"Button5", {72, 416, 65, 25}, Kind::Fixed, "Process", false},
    {"Label1", {48, 4, 73, 16}, Kind::Bold, "Initial data", true},
    {"Label2", {16, 26, 132, 16}, Kind::Bold, "Converter amplifier", true},
    {"Label3", {8, 56, 28, 16}, Kind::Grows, "Gain", true},
    {"Edit1", {152, 48, 41, 24}, Kind::Fixed, "100", true},
    {"Label4", {8, 84, 97, 16}, Kind::Grows, "Time constant, s", true},
    {"Edit2", {152, 76, 41, 24}, Kind::Fixed, "0,003", true},
    {"Label5", {64, 104, 40, 16}, Kind::Bold, "Motor", true},
    {"Label6", {8, 120, 95, 16}, Kind::Grows, "Motor back emf ", true},
    {"Label15", {8, 134, 96, 16}, Kind::Grows, "constant, sV/rad", true},
    {"Edit3", {152, 120, 41, 24}, Kind::Fixed, "0,75", true},
    {"Label7", {8, 156, 97, 16}, Kind::Grows, "Time constant, s", true},
    {"Edit4", {152, 148, 41, 24}, Kind::Fixed, "0,02", true},
    {"Label8", {32, 176, 80, 16}, Kind::Bold, "Lead screw", true},
    {"Label9", {8, 192, 94, 16}, Kind::Grows, "screw pitch, mm", true},
    {"Edit5", {152, 184, 41, 24}, Kind::Fixed, "8", true},
    {"Label10", {32, 216, 71, 16}, Kind::Bold, "Feedback", true},
    {"Label11", {8, 232, 103, 16}, Kind::Grows, "Coefficient, V/mm", true},
    {"Edit6", {152, 224, 41, 24}, Kind::Fixed, "0,2", true},
    {"Label12", {32, 4, 104, 16}, Kind::Bold, "Harmonic input", false},
    {"Label13", {8, 32, 88, 16}, Kind::Grows, "Amplitude, mm", false},
    {"SpinEdit1", {144, 24, 49, 26}, Kind::Fixed, "0", false},
    {"Label14", {8, 64, 101, 16}, Kind::Grows, "Frequency, rad/s", false},
    {"SpinEdit2", {144, 56, 49, 26}, Kind::Fixed, "0", false},
};

TEST(MainWindowLayout, EveryControlAtItsPlaceWithItsTextAndFont) {
  TForm1 form(u',');
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Investigation of drive stability and accuracy"));
  form.layout()->activate();  // the menu bar above, the client area below it
  EXPECT_EQ(form.geometry().topLeft(), QPoint(193, 107));
  EXPECT_EQ(form.ClientArea()->size(), QSize(715, 488)) << "723 x 515 outside a frame of 4 + 19 + 4";
  EXPECT_EQ(std::tuple(form.windowIcon().isNull(), form.font().pixelSize()), std::tuple(false, 11));
  EXPECT_EQ(std::tuple(form.Timer1->isActive(), form.Timer1->interval()), std::tuple(false, 10));
  EXPECT_EQ(form.Image2->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(std::tuple(form.Label16->text(), form.Label16->font().pixelSize(), form.Label16->pos(),
                       form.Label16->palette().color(QPalette::WindowText)),
            std::tuple(QStringLiteral("Tallberg"), 11, QPoint(72, 456), QColor(0x80, 0x80, 0x80)));
  EXPECT_EQ(form.Image1->Canvas().PixelAt(260, 25), platform::Grey(50)) << "the table's left end, at rest";

  for (const ControlRow& row : Layout) {
    SCOPED_TRACE(row.name);
    QWidget* w = form.findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->isVisibleTo(&form), row.visibleAtStart);
    EXPECT_EQ(w->property("text").toString(), QString::fromLatin1(row.text));
    const bool grows = row.kind == Kind::Grows || row.kind == Kind::Bold;
    EXPECT_EQ(w->geometry(), row.geometry.adjusted(0, 0, grows ? w->width() - row.geometry.width() : 0, 0));
    EXPECT_GE(w->width(), std::max(row.geometry.width(), grows ? w->sizeHint().width() : 0)) << "fits its text";
    if (row.kind != Kind::Box) {
      EXPECT_EQ(std::tuple(w->font().pixelSize(), w->font().bold()), std::tuple(13, row.kind == Kind::Bold));
    }
    // A grown control overlaps nothing that the layout's own figures do not already overlap.
    for (const ControlRow* other = Layout; other != &row; ++other) {
      QWidget* v = form.findChild<QWidget*>(QString::fromLatin1(other->name));
      if (v->parentWidget() == w->parentWidget() && v->geometry().intersects(w->geometry())) {
        EXPECT_TRUE(other->geometry.intersects(row.geometry)) << "overlaps " << other->name;
      }
    }
  }
  TForm1 point(u'.');
  EXPECT_EQ(QStringList({point.Edit2->text(), point.Edit3->text(), point.Edit4->text(), point.Edit6->text()}),
            QStringList({"0.003", "0.75", "0.02", "0.2"}));
}

TEST(MainWindowLayout, TheOscilloscopeWithItsSettings) {
  TForm1 form(u',');
  chart::TChart& chart = *form.Chart1;
  const chart::TChartFont& font = chart.Title().Font();
  EXPECT_EQ(std::tuple(chart.Title().Text(), font.Name(), font.Height(), font.Bold(), font.Color()),
            std::tuple(QStringList{"Oscilloscope"}, QStringLiteral("Tahoma"), 13, true, platform::clBlue));
  EXPECT_EQ(std::tuple(chart.MarginLeft(), chart.MarginTop(), chart.MarginRight(), chart.MarginBottom(), chart.Color(),
                       chart.BackColor(), chart.Legend().Visible(), chart.View3D()),
            std::tuple(1, 2, 1, 2, platform::clMenu, platform::clBlack, false, false));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  chart.repaint();
  EXPECT_EQ(chart.Canvas().Buffer()->PixelAt(2, 1), platform::clSilver) << "the gradient's top row";
  EXPECT_EQ(chart.Canvas().Buffer()->PixelAt(2, chart.height() - 2), platform::clWhite) << "its bottom row";
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
  EXPECT_EQ(std::tuple(form.windowTitle(), form.geometry(), form.Memo1->geometry()),
            std::tuple(QStringLiteral("Instructions"), QRect(192, 107, 407, 516), QRect(8, 8, 393, 465)));
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(std::tuple(form.Memo1->palette().color(QPalette::Base), form.Memo1->font().pixelSize()),
            std::tuple(QColor(255, 255, 215), 13));
  EXPECT_EQ(std::tuple(form.Memo1->verticalScrollBarPolicy(), form.Memo1->horizontalScrollBarPolicy(),
                       form.Memo1->lineWrapMode()),
            std::tuple(Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff, QPlainTextEdit::WidgetWidth));
  const QStringList lines = form.Memo1->toPlainText().split(u'\n');
  ASSERT_EQ(lines.size(), 42);
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("accuracy "))) << "trailing blanks belong to the line";
  for (int empty : {5, 14, 24, 41}) EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
  EXPECT_EQ(lines[18], QStringLiteral("harmonic input signal, as well as the \"Process\" button."));
  EXPECT_EQ(lines[6], QStringLiteral("Stability research."));
  // The words a student can trust, and the traces' colours as the oscilloscope draws them.
  const QString text = lines.join(u'\n');
  for (const char* wrong : {"self-propelled", "caliper", "Sustainability", "blue line", " green line", "red line"}) {
    EXPECT_FALSE(text.contains(QString::fromLatin1(wrong))) << wrong;
  }
  for (const char* right : {"automatic control system", "carriage movement is the aqua line",
                            "yellow-green line", "the error - the orange line", "Measurements (Ctrl+M)"}) {
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
