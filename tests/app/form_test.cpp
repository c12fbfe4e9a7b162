// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The running program: the real main window driven by mouse and key events.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <tuple>

#include "app/Unit1.h"
#include "tests/app/box_watcher.h"

namespace {

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { form.show(); }
  void Press(int x, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(form.Image2, b, {}, QPoint(x, 20)); }
  void Move(int x) { QTest::mouseMove(form.Image2, QPoint(x, 20)); }
  void Release(int x, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(form.Image2, b, {}, QPoint(x, 20)); }
  void Tap(int x) { Press(x); Release(x); }
  void Drag(int from, int to) { Press(from); Move(to); Release(to); }
  void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  bool Running() const { return form.Timer1->isActive(); }
  bool AccuracyLayout() const { return form.Panel2->isVisible() && form.Button5->isVisible(); }
  TForm1 form{u','};
  const sim::Drive& d = form.Drive();
};

TEST_F(FormTest, StartsInStabilityResearchModeSwitchesStopTheTimerPauseHoldsAndResetRests) {
  EXPECT_TRUE(form.RadioButton1->isChecked() && form.Panel2->isHidden() && form.Button5->isHidden());
  EXPECT_FALSE(Running());
  Press(60);
  EXPECT_TRUE(d.Dragging);
  EXPECT_EQ(d.MarkerX, 108) << "the press does not move the marker";
  Release(60);
  EXPECT_FALSE(d.Dragging);
  ASSERT_TRUE(Running());
  form.Timer1Timer();
  EXPECT_EQ(std::tie(d.Command, d.DriveState[2]), std::tuple(0.0, 0.0)) << "no move, a zero command";

  Click(form.RadioButton2);
  EXPECT_TRUE(AccuracyLayout());
  EXPECT_FALSE(Running());

  Click(form.Button5);
  Click(form.RadioButton2);  // already selected: nothing happens
  EXPECT_TRUE(Running());
  Click(form.Button2);  // "Pause", then "Reset": the layout stays
  Click(form.Button4);
  EXPECT_FALSE(Running());
  EXPECT_TRUE(AccuracyLayout());

  Click(form.Button5);
  Click(form.RadioButton1);
  EXPECT_TRUE(form.Panel2->isHidden() && form.Button5->isHidden());
  EXPECT_FALSE(Running());

  // Pause stops a run where it stands, Reset returns it to rest; what reaches the screen is
  // pinned pixel for pixel in screen_test.cpp.
  Drag(108, 158);
  for (int tick = 0; tick < 30; ++tick) form.Timer1Timer();
  const auto where = std::tuple(d.CarriageX, d.DriveState, d.MarkerX, form.Series1->Count());
  Click(form.Button2);
  EXPECT_FALSE(Running());
  EXPECT_EQ(std::tuple(d.CarriageX, d.DriveState, d.MarkerX, form.Series1->Count()), where) << "paused";
  Click(form.Button4);
  EXPECT_FALSE(Running());
  EXPECT_EQ(std::tuple(d.CarriageX, d.DriveState[2], d.MarkerX), std::tuple(0, 0.0, 108)) << "at rest";
}

TEST_F(FormTest, DragClampsTheMarkerToTheStrip) {
  Press(200);  // anywhere on the strip; the marker jumps to the pointer at the first move
  // Beyond the strip the held pointer still moves the marker, to the nearest end.
  for (const auto& [x, markerX] : {std::pair(150, 150), {-5, 40}, {100, 100}, {400, 177}, {0, 40}, {216, 177}}) {
    Move(x);
    EXPECT_EQ(d.MarkerX, markerX) << "moved to " << x;
  }
  Release(400);  // captured: the release outside still ends the drag
  EXPECT_FALSE(d.Dragging);
  EXPECT_EQ(d.MarkerX, 177);

  Press(100, Qt::RightButton);  // any button starts the drag, only the left one captures the pointer
  Move(150);
  Move(300);  // outside, and nothing captured it
  EXPECT_EQ(d.MarkerX, 150);
  Release(300, Qt::RightButton);
  EXPECT_TRUE(d.Dragging) << "a release outside the strip does not reach it";
}

TEST_F(FormTest, ProcessAndTheStripReadTheBoxesInAccuracyResearch) {
  Click(form.RadioButton2);
  form.SpinEdit1->setText(QStringLiteral("7"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  Click(form.Button5);
  EXPECT_EQ(std::tie(d.Amplitude, d.Frequency), std::tuple(8, 20));
  EXPECT_TRUE(Running());

  Drag(60, 90);  // no drag in accuracy research, but the release reads the boxes
  EXPECT_EQ(d.Kmotor, 0.75);
  EXPECT_TRUE(Running()) << "left running";
  Click(form.Button2);
  Tap(60);
  EXPECT_FALSE(Running()) << "left stopped";

  // "Process" takes the motor box's reciprocal in extended precision; that of 1e400 underflows
  // to 0, silently.
  BoxWatcher boxes;
  const std::pair<const char*, long double> rows[] = {
      {"1,3", 1.3L}, {"0,65", 0.65L}, {"2,3", 2.3L}, {"0,07", 0.07L}, {"1e400", 1e400L}};
  for (const auto& [text, value] : rows) {
    form.Edit3->setText(QString::fromLatin1(text));
    Click(form.Button5);
    EXPECT_EQ(d.Kmotor, static_cast<double>(1 / value)) << text;
  }
  EXPECT_TRUE(boxes.shown.empty());
}

// The parameters and the harmonic settings a reading stores, and the coefficients it computes.
auto Reading(const sim::Drive& d) {
  return std::tuple(d.Kamp, d.Tamp, d.Kmotor, d.Tmotor, d.Pitch, d.Kfb, d.B0, d.A1, d.A2, d.A3, d.Amplitude, d.Frequency);
}

TEST_F(FormTest, AFailedReadingChangesNothingAndTheRunGoesOnAsItWas) {
  Click(form.RadioButton2);
  form.SpinEdit1->setText(QStringLiteral("29"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  Click(form.Button5);
  ASSERT_TRUE(Running());
  const auto before = Reading(d);
  // Each row fails at a different step; the earlier boxes all read well.
  // A text that does not read leaves the focus on its box, the text selected for retyping.
  const std::tuple<QLineEdit*, const char*, const char*, QLineEdit*> rows[] = {
      {form.SpinEdit1, "3.0", "'3.0' is not a valid integer value.", form.SpinEdit1},
      {form.Edit5, "8 mm", "'8 mm' is not a valid floating point value.", form.Edit5},
      {form.Edit2, "0", "Floating point division by zero.", nullptr},  // in the coefficients: no box at fault
      {form.Edit3, "1e-400", "Floating point overflow.", form.Edit3},      // its reciprocal is beyond a double
  };
  for (const auto& [edit, text, message, focus] : rows) {
    form.Edit1->setText(QStringLiteral("150"));
    form.Edit6->setText(QStringLiteral("0,4"));
    const QString good = edit->text();
    edit->setText(QString::fromLatin1(text));
    BoxWatcher boxes;
    Click(form.Button5);
    EXPECT_EQ(boxes.shown, BoxWatcher::One(message)) << text;
    EXPECT_EQ(Reading(d), before) << text;
    EXPECT_TRUE(Running()) << text;
    EXPECT_EQ(form.focusWidget(), focus != nullptr ? static_cast<QWidget*>(focus) : form.Button5) << text;
    EXPECT_EQ(edit->selectedText(), focus != nullptr ? QString::fromLatin1(text) : QString()) << text;
    edit->setText(good);
  }
  // The release reads the stability way, and fails alike.
  form.Edit4->setText(QStringLiteral("x"));
  BoxWatcher boxes;
  Tap(60);
  EXPECT_EQ(Reading(d), before);
}

TEST_F(FormTest, AReleaseEndsTheDragEvenWhenItsReadingFails) {
  form.Edit2->setText(QStringLiteral("abc"));
  BoxWatcher boxes;
  Tap(108);
  EXPECT_EQ(boxes.shown, BoxWatcher::One("'abc' is not a valid floating point value."));
  EXPECT_FALSE(d.Dragging);
  EXPECT_FALSE(Running());
  Move(130);  // no button held: the marker stays
  EXPECT_EQ(d.MarkerX, 108);
  form.Edit2->setText(QStringLiteral("0,003"));
  Drag(108, 130);
  EXPECT_FALSE(d.Dragging);
  EXPECT_TRUE(Running());
}

}  // namespace
