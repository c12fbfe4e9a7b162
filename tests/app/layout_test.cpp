#include <gtest/gtest.h>

#include <QApplication>
#include <array>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QRadioButton>
#include <QTest>

#include "app/Unit1.h"
#include "app/Unit2.h"

namespace {

enum class Kind { Label, BoldLabel, Edit, Button, Radio, Spin, Other };

struct ControlRow {
  const char* name;
  const char* parent;  // "Form1", or the panel whose inside the position is measured in
  QRect geometry;
  Kind kind;
  const char* text;
  bool visibleAtStart;
};

// The layout, with the default texts written for a comma separator.
const ControlRow Layout[] = {
    {"Image1", "Form1", {216, 8, 489, 233}, Kind::Other, "", true},
    {"Image2", "Form1", {425, 152, 217, 41}, Kind::Other, "", true},
    {"Panel1", "Form1", {2, 152, 207, 257}, Kind::Other, "", true},
    {"Button1", "Form1", {8, 448, 57, 25}, Kind::Button, "Exit", true},
    {"Button2", "Form1", {8, 416, 57, 25}, Kind::Button, "Pause", true},
    {"Chart1", "Form1", {216, 248, 489, 225}, Kind::Other, "", true},
    {"Button3", "Form1", {144, 448, 57, 25}, Kind::Button, "Help", true},
    {"Button4", "Form1", {144, 416, 57, 25}, Kind::Button, "Reset", true},
    {"RadioButton1", "Form1", {32, 8, 145, 17}, Kind::Radio, "Sustainability research", true},
    {"RadioButton2", "Form1", {32, 24, 153, 25}, Kind::Radio, "Accuracy research", true},
    {"Panel2", "Form1", {2, 48, 207, 97}, Kind::Other, "", false},
    {"Button5", "Form1", {72, 416, 65, 25}, Kind::Button, "Process", false},
    {"Label1", "Panel1", {48, 4, 73, 16}, Kind::BoldLabel, "Initial data", true},
    {"Label2", "Panel1", {16, 26, 132, 16}, Kind::BoldLabel, "Converter amplifier", true},
    {"Label3", "Panel1", {8, 56, 28, 16}, Kind::Label, "Gain", true},
    {"Edit1", "Panel1", {152, 48, 41, 24}, Kind::Edit, "100", true},
    {"Label4", "Panel1", {8, 84, 97, 16}, Kind::Label, "Time constant, s", true},
    {"Edit2", "Panel1", {152, 76, 41, 24}, Kind::Edit, "0,003", true},
    {"Label5", "Panel1", {64, 104, 40, 16}, Kind::BoldLabel, "Motor", true},
    {"Label6", "Panel1", {8, 120, 95, 16}, Kind::Label, "Motor back emf ", true},
    {"Label15", "Panel1", {8, 134, 96, 16}, Kind::Label, "constant, sV/rad", true},
    {"Edit3", "Panel1", {152, 120, 41, 24}, Kind::Edit, "0,75", true},
    {"Label7", "Panel1", {8, 156, 97, 16}, Kind::Label, "Time constant, s", true},
    {"Edit4", "Panel1", {152, 148, 41, 24}, Kind::Edit, "0,02", true},
    {"Label8", "Panel1", {32, 176, 80, 16}, Kind::BoldLabel, "Lead screw", true},
    {"Label9", "Panel1", {8, 192, 94, 16}, Kind::Label, "screw pitch, mm", true},
    {"Edit5", "Panel1", {152, 184, 41, 24}, Kind::Edit, "8", true},
    {"Label10", "Panel1", {32, 216, 71, 16}, Kind::BoldLabel, "Feedback", true},
    {"Label11", "Panel1", {8, 232, 103, 16}, Kind::Label, "Coefficient, V/mm", true},
    {"Edit6", "Panel1", {152, 224, 41, 24}, Kind::Edit, "0,2", true},
    {"Label12", "Panel2", {32, 4, 104, 16}, Kind::BoldLabel, "Harmonic input", false},
    {"Label13", "Panel2", {8, 32, 88, 16}, Kind::Label, "Amplitude, mm", false},
    {"SpinEdit1", "Panel2", {144, 24, 49, 26}, Kind::Spin, "0", false},
    {"Label14", "Panel2", {8, 64, 101, 16}, Kind::Label, "Frequency, rad/s", false},
    {"SpinEdit2", "Panel2", {144, 56, 49, 26}, Kind::Spin, "0", false},
};

QString TextOf(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  return {};
}

// Where the control stands in the layout's terms: inside the window, or inside its panel.
QRect PlacedGeometry(QWidget* w, TForm1& form, const char* parent) {
  if (QString::fromLatin1(parent) == QLatin1String("Form1")) {
    return w->geometry();
  }
  auto* panel = form.findChild<platform::TPanel*>(QString::fromLatin1(parent));
  return QRect(w->mapTo(panel->Client(), QPoint(0, 0)), w->size());
}

TEST(MainWindowLayout, EveryControlAtItsPlaceWithItsTextAndFont) {
  TForm1 form(u',');
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Investigation of drive stability and accuracy"));
  EXPECT_EQ(form.pos(), QPoint(193, 107));
  EXPECT_EQ(form.size(), QSize(715, 488)) << "723 x 515 outside a frame of 4 + 19 + 4";
  EXPECT_FALSE(form.windowIcon().isNull());
  EXPECT_EQ(form.font().pixelSize(), 11);
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 10);
  EXPECT_TRUE(form.RadioButton1->isChecked());
  EXPECT_EQ(form.Image2->cursor().shape(), Qt::PointingHandCursor);

  for (const auto& row : Layout) {
    SCOPED_TRACE(row.name);
    auto* w = form.findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(w, nullptr);
    const QRect placed = PlacedGeometry(w, form, row.parent);
    EXPECT_EQ(w->isVisibleTo(&form), row.visibleAtStart);
    EXPECT_EQ(TextOf(w), QString::fromLatin1(row.text));
    if (row.kind == Kind::Other) {
      EXPECT_EQ(placed, row.geometry);
      continue;
    }
    EXPECT_EQ(w->font().pixelSize(), 13);
    EXPECT_EQ(w->font().bold(), row.kind == Kind::BoldLabel);
    if (row.kind == Kind::Label || row.kind == Kind::BoldLabel || row.kind == Kind::Radio) {
      // May grow to fit a wider substitute font, never shrink.
      EXPECT_EQ(placed.topLeft(), row.geometry.topLeft());
      EXPECT_EQ(placed.height(), row.geometry.height());
      EXPECT_GE(placed.width(), row.geometry.width());
      EXPECT_GE(placed.width(), w->sizeHint().width());
    } else {
      EXPECT_EQ(placed, row.geometry);
    }
  }

  EXPECT_EQ(form.Label16->text(), QStringLiteral("Tallberg"));
  EXPECT_EQ(form.Label16->font().pixelSize(), 11);
  EXPECT_EQ(form.Label16->pos(), QPoint(72, 456));
  EXPECT_EQ(form.Label16->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
}

TEST(MainWindowLayout, OpensWithTheMachineAtRest) {
  TForm1 form(u',');
  const platform::RasterCanvas& picture = form.Image1->Canvas();
  EXPECT_EQ(picture.PixelAt(260, 25), platform::Grey(50)) << "the table's left end at rest";
  EXPECT_EQ(picture.PixelAt(259, 25), platform::clWhite);
  EXPECT_EQ(picture.PixelAt(315, 90), platform::Grey(20)) << "the nut";
  EXPECT_EQ(picture.PixelAt(20, 90), platform::RGB(170, 200, 170)) << "the motor";
  EXPECT_EQ(form.Drive().MarkerX, 108);
  EXPECT_EQ(form.Drive().StepsPerTick, 40);
  EXPECT_DOUBLE_EQ(form.Drive().TraceTime[0], -0.784);
}

TEST(MainWindowLayout, TheOscilloscopeWithItsSettings) {
  TForm1 form(u',');
  chart::TChart& chart = *form.Chart1;
  EXPECT_EQ(chart.geometry(), QRect(216, 248, 489, 225));
  EXPECT_EQ(chart.Title().Text(), QStringList{QStringLiteral("Oscilloscope")});
  EXPECT_EQ(chart.Title().Font().Name(), QStringLiteral("Tahoma"));
  EXPECT_EQ(chart.Title().Font().Height(), 13);
  EXPECT_TRUE(chart.Title().Font().Bold());
  EXPECT_EQ(chart.Title().Font().Color(), platform::clBlue);
  EXPECT_EQ((std::array{chart.MarginLeft(), chart.MarginTop(), chart.MarginRight(), chart.MarginBottom()}),
            (std::array{1, 2, 1, 2}));
  EXPECT_EQ(chart.Color(), platform::clMenu);
  EXPECT_TRUE(chart.Gradient().Visible());
  EXPECT_EQ(chart.Gradient().StartColor(), platform::clWhite);
  EXPECT_EQ(chart.Gradient().EndColor(), platform::clSilver);
  EXPECT_FALSE(chart.Legend().Visible());
  EXPECT_FALSE(chart.View3D());
  EXPECT_EQ(chart.BackColor(), platform::clBlack);
  EXPECT_EQ(chart.BackWall().Brush().Style(), chart::bsSolid) << "made solid by the brush colour";
  EXPECT_TRUE(chart.RepaintEnabled());
}

TEST(MainWindowLayout, DefaultTextsUseThePointSeparatorToo) {
  TForm1 form(u'.');
  EXPECT_EQ(form.Edit2->text(), QStringLiteral("0.003"));
  EXPECT_EQ(form.Edit3->text(), QStringLiteral("0.75"));
  EXPECT_EQ(form.Edit4->text(), QStringLiteral("0.02"));
  EXPECT_EQ(form.Edit6->text(), QStringLiteral("0.2"));
}

TEST(MainWindowLayout, GrownControlsOverlapNothingNew) {
  TForm1 form(u',');
  form.Panel2->show();
  form.Button5->show();
  // Pairs of siblings: what overlaps now must already overlap in the layout's own figures.
  for (const auto& a : Layout) {
    for (const auto& b : Layout) {
      if (&a >= &b || QString::fromLatin1(a.parent) != QString::fromLatin1(b.parent)) continue;
      auto* wa = form.findChild<QWidget*>(QString::fromLatin1(a.name));
      auto* wb = form.findChild<QWidget*>(QString::fromLatin1(b.name));
      const bool overlapsNow = PlacedGeometry(wa, form, a.parent).intersects(PlacedGeometry(wb, form, b.parent));
      if (overlapsNow && !a.geometry.intersects(b.geometry)) {
        ADD_FAILURE() << a.name << " overlaps " << b.name;
      }
    }
  }
  // And every text fits its control's width.
  for (QLabel* label : form.findChildren<QLabel*>()) {
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width())
        << label->objectName().toStdString();
  }
}

std::vector<std::string> TabChain(QWidget* start, int steps) {
  std::vector<std::string> chain;
  start->setFocus(Qt::OtherFocusReason);
  for (int i = 0; i < steps; ++i) {
    QWidget* focused = QApplication::focusWidget();
    chain.push_back(focused ? focused->objectName().toStdString() : "(none)");
    QTest::keyClick(focused, Qt::Key_Tab);
  }
  return chain;
}

TEST(MainWindowLayout, TabOrderWithOnlyTheSelectedRadioButtonAsStop) {
  TForm1 form(u',');
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

  using Chain = std::vector<std::string>;
  // The chart takes no keyboard focus: nothing on it answers a key.
  EXPECT_EQ(TabChain(form.Edit1, 12),
            (Chain{"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Button1", "Button2", "Button3",
                   "Button4", "RadioButton1", "Edit1"}));

  // The accuracy layout: the other radio button takes the stop, the harmonic group joins.
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  ASSERT_TRUE(form.RadioButton2->isChecked());
  form.Panel2->show();
  form.Button5->show();
  EXPECT_EQ(TabChain(form.Button4, 6),
            (Chain{"Button4", "RadioButton2", "SpinEdit1", "SpinEdit2", "Button5", "Edit1"}));
}

TEST(InstructionsWindow, TwentySixLinesReadOnlyOnPaleYellow) {
  TForm2 form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Instructions"));
  EXPECT_EQ(form.pos(), QPoint(192, 107));
  EXPECT_EQ(form.size(), QSize(407, 516));
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form.Memo1->geometry(), QRect(8, 8, 393, 465));
  EXPECT_EQ(form.Memo1->palette().color(QPalette::Base), QColor(255, 255, 215));
  EXPECT_EQ(form.Memo1->font().pixelSize(), 13);
  EXPECT_EQ(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);

  const QStringList lines = form.Memo1->toPlainText().split(u'\n');
  ASSERT_EQ(lines.size(), 26);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("     The program")));
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral("accuracy "))) << "trailing blanks belong to the line";
  for (int empty : {5, 14, 24, 25}) {
    EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
  }
  EXPECT_EQ(lines[6], QStringLiteral("Sustainability study."));
  EXPECT_EQ(lines[18], QStringLiteral("harmonic input signal, as well as the \"Process\" button."));
  EXPECT_EQ(lines[23], QStringLiteral("movement - the blue line and the error - the red line."));

  form.show();
  form.Memo1->setFocus();
  QTest::keyClicks(form.Memo1, QStringLiteral("typed"));
  QTest::keyClick(form.Memo1, Qt::Key_Delete);
  EXPECT_EQ(form.Memo1->toPlainText(), TForm2::InstructionsText()) << "typing changes nothing";

  form.resize(600, 700);
  EXPECT_EQ(form.Memo1->geometry(), QRect(8, 8, 393, 465));
}

TEST(InstructionsWindow, HelpShowsOneWindowAndCloseOnlyHidesIt) {
  TForm1 form1(u',');
  TForm2 form2;
  form1.SetInstructionsWindow(&form2);
  form1.show();
  QTest::mouseClick(form1.Button3, Qt::LeftButton);
  QTest::mouseClick(form1.Button3, Qt::LeftButton);
  EXPECT_TRUE(form2.isVisible());
  int shown = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    shown += qobject_cast<TForm2*>(w) != nullptr && w->isVisible();
  }
  EXPECT_EQ(shown, 1);

  form2.Memo1->verticalScrollBar()->setValue(form2.Memo1->verticalScrollBar()->maximum());
  const int scrolled = form2.Memo1->verticalScrollBar()->value();
  form2.close();
  EXPECT_FALSE(form2.isVisible());
  QTest::mouseClick(form1.Button3, Qt::LeftButton);
  EXPECT_TRUE(form2.isVisible());
  EXPECT_EQ(form2.Memo1->verticalScrollBar()->value(), scrolled) << "shown again as it was left";
  EXPECT_TRUE(form1.isVisible()) << "not modal";

  EXPECT_FALSE(form2.testAttribute(Qt::WA_QuitOnClose)) << "closing the main window ends the program";
  QTest::mouseClick(form1.Button1, Qt::LeftButton);
  EXPECT_FALSE(form1.isVisible());
}

}  // namespace
