// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window without a mouse: keyboard-only runs in both research modes, and what a
// screen reader hears of every input.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <tuple>

#include "app/Unit1.h"
#include "tests/app/marker_release.h"

namespace {

class KeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  // Tab from wherever the focus is until `target` has it; false when a round trip misses it.
  bool TabTo(QWidget* target) {
    for (int i = 0; i < 30 && QApplication::focusWidget() != target; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return QApplication::focusWidget() == target;
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  void Ticks(TForm1& f, int n) {
    f.Timer1->stop();
    for (int i = 0; i < n; ++i) f.Timer1Timer();
  }

  TForm1 form{u','};
  const sim::Drive& d = form.Drive();
};

TEST_F(KeyboardTest, AStabilityRunFromTheKeyboardIsTheMouseRunAndEnterIsProcessInAccuracyResearch) {
  ASSERT_EQ(QApplication::focusWidget(), form.Edit1) << "the window opens with the focus on the gain";
  for (int tab = 0; tab < 11; ++tab) Key(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), form.Image2) << "after the buttons and the research mode";
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int markerX;
  } keys[] = {{Qt::Key_Right, Qt::ShiftModifier, 118}, {Qt::Key_Right, {}, 119}, {Qt::Key_Left, {}, 118},
              {Qt::Key_Right, Qt::ShiftModifier, 128}, {Qt::Key_Right, Qt::ShiftModifier, 138},
              {Qt::Key_Right, Qt::ShiftModifier, 148}, {Qt::Key_Right, Qt::ShiftModifier, 158}};
  for (const auto& k : keys) {
    Key(k.key, k.modifiers);
    EXPECT_EQ(d.MarkerX, k.markerX);
  }
  EXPECT_FALSE(form.Timer1->isActive()) << "moving is not releasing";
  Key(Qt::Key_Return);
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_FALSE(d.Dragging);
  Ticks(form, 300);

  TForm1 mouse{u','};  // the same run with the mouse
  mouse.show();
  ReleaseMarkerAt(mouse, 50);
  Ticks(mouse, 300);
  EXPECT_EQ(d.DriveState, mouse.Drive().DriveState);
  EXPECT_EQ(form.Measured().Step().Figures().riseTime, mouse.Measured().Step().Figures().riseTime);

  for (int i = 0; i < 20; ++i) Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(d.MarkerX, 177) << "held within the strip, as a drag";
  for (int i = 0; i < 20; ++i) Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(d.MarkerX, 40);

  // An accuracy run from the keyboard, with Enter for "Process".
  form.Edit1->setFocus();
  Key(Qt::Key_Return);  // stability research: Enter in a box does nothing
  EXPECT_FALSE(form.Timer1->isActive());

  ASSERT_TRUE(TabTo(form.RadioButton1));
  Key(Qt::Key_Down);  // the radio buttons' own keys choose the mode
  ASSERT_TRUE(form.RadioButton2->isChecked());
  ASSERT_TRUE(TabTo(form.SpinEdit1));
  QTest::keyClicks(form.SpinEdit1, QStringLiteral("75"));
  Key(Qt::Key_Enter);
  EXPECT_EQ(form.SpinEdit1->text(), QStringLiteral("50")) << "limited as a click on \"Process\" would";
  EXPECT_EQ(d.Amplitude, 51);
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_EQ(QApplication::focusWidget(), form.SpinEdit1) << "the focus stays for the next value";

  ASSERT_TRUE(TabTo(form.SpinEdit2));
  QTest::keyClicks(form.SpinEdit2, QStringLiteral("20"));
  Key(Qt::Key_Return);
  EXPECT_EQ(d.Frequency, 20);
  ASSERT_TRUE(TabTo(form.Edit1));
  form.Edit1->selectAll();
  QTest::keyClicks(form.Edit1, QStringLiteral("150"));
  Key(Qt::Key_Return);
  EXPECT_EQ(d.Kamp, 150.0);
  EXPECT_EQ(form.Measured().Measuring(), sim::Measurements::Kind::Harmonic);
}

TEST_F(KeyboardTest, EveryInputHasItsNameBuddyAndATooltipWithItsUnit) {
  const std::tuple<QWidget*, QLabel*, const char*, const char*> inputs[] = {
      {form.Edit1, form.Label3, "Gain", "volts out per volt in"},
      {form.Edit2, form.Label4, "Amplifier time constant", "seconds"},
      {form.Edit3, form.Label15, "Motor back emf constant", "reciprocal"},
      {form.Edit4, form.Label7, "Motor time constant", "seconds"},
      {form.Edit5, form.Label9, "Screw pitch", "millimetres per turn"},
      {form.Edit6, form.Label11, "Feedback coefficient", "volts per millimetre"},
      {form.SpinEdit1, form.Label13, "Amplitude", "one more"},
      {form.SpinEdit2, form.Label14, "Frequency", "radians per second"},
      {form.Image2, nullptr, "Target marker", "arrow keys"}};
  for (const auto& [input, label, name, unit] : inputs) {
    EXPECT_EQ(QAccessible::queryAccessibleInterface(input)->text(QAccessible::Name), QString::fromLatin1(name));
    EXPECT_TRUE(label == nullptr || label->buddy() == input) << name;
    EXPECT_TRUE(input->toolTip().contains(QString::fromLatin1(unit))) << input->toolTip().toStdString();
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form.Edit2)->text(QAccessible::Value), QStringLiteral("0,003"));
}

}  // namespace
