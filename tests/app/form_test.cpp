// The running program: the real main window driven by mouse and key events.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/Unit1.h"
#include "app/Unit2.h"

namespace {

constexpr platform::TColor Red = platform::RGB(255, 0, 0);

// Closes every error box as soon as it is shown, keeping its caption, text and icon.
class BoxWatcher {
 public:
  BoxWatcher() {
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text());
        captions.push_back(box->windowTitle());
        icons.push_back(box->icon());
        box->button(QMessageBox::Ok)->click();
      }
    });
    timer_.start();
  }

  std::vector<QString> texts;
  std::vector<QString> captions;
  std::vector<QMessageBox::Icon> icons;

 private:
  QTimer timer_;
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override { form.show(); }

  void Press(int x, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(form.Image2, button, {}, QPoint(x, 20));
  }
  void Move(int x) { QTest::mouseMove(form.Image2, QPoint(x, 20)); }
  void Release(int x, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(form.Image2, button, {}, QPoint(x, 20));
  }
  void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  // The first and last red column of the marker on row 10 of the strip, or -1.
  std::pair<int, int> MarkerColumns() const {
    int first = -1, last = -1;
    for (int x = 0; x < 217; ++x) {
      if (form.Image2->Canvas().PixelAt(x, 10) == Red) {
        if (first < 0) first = x;
        last = x;
      }
    }
    return {first, last};
  }

  TForm1 form{u','};
  const sim::Drive& d = form.Drive();
};

TEST_F(FormTest, StartsStoppedInStabilityResearchWithTheMarkerCentred) {
  EXPECT_TRUE(form.RadioButton1->isChecked());
  EXPECT_FALSE(form.Panel2->isVisible());
  EXPECT_FALSE(form.Button5->isVisible());
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(d.MarkerX, 108);
  EXPECT_EQ(MarkerColumns(), std::make_pair(104, 111));
}

TEST_F(FormTest, ModeSwitchesChangeTheLayoutAndStopTheTimer) {
  Press(108);
  Release(108);
  ASSERT_TRUE(form.Timer1->isActive());

  Click(form.RadioButton2);
  EXPECT_TRUE(form.Panel2->isVisible());
  EXPECT_TRUE(form.Button5->isVisible());
  EXPECT_FALSE(form.Timer1->isActive());

  Click(form.Button5);
  ASSERT_TRUE(form.Timer1->isActive());
  Click(form.RadioButton2);  // already selected: nothing happens
  EXPECT_TRUE(form.Timer1->isActive());

  Click(form.Button2);  // "Pause", then "Reset": the layout stays
  Click(form.Button4);
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_TRUE(form.Panel2->isVisible());
  EXPECT_TRUE(form.Button5->isVisible());

  Click(form.Button5);
  Click(form.RadioButton1);
  EXPECT_FALSE(form.Panel2->isVisible());
  EXPECT_FALSE(form.Button5->isVisible());
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(FormTest, PressAndReleaseWithoutAMoveStartsAZeroCommand) {
  Press(60);
  EXPECT_TRUE(d.Dragging);
  EXPECT_EQ(d.MarkerX, 108) << "the press does not move the marker";
  Release(60);
  EXPECT_FALSE(d.Dragging);
  EXPECT_TRUE(form.Timer1->isActive());
  form.Timer1Timer();
  EXPECT_EQ(d.Command, 0.0);
  EXPECT_EQ(d.DriveState[2], 0.0);
}

TEST_F(FormTest, DragClampsTheMarkerToTheStrip) {
  const struct {
    int x;
    std::pair<int, int> columns;
  } moves[] = {{150, {146, 153}}, {0, {36, 43}}, {-5, {36, 43}}, {216, {173, 180}}, {400, {173, 180}}};
  Press(200);  // anywhere on the strip
  for (const auto& m : moves) {
    Move(m.x);
    EXPECT_EQ(MarkerColumns(), m.columns) << "moved to " << m.x;
  }
  Release(400);  // captured: the release outside still ends the drag
  EXPECT_FALSE(d.Dragging);
  EXPECT_EQ(d.MarkerX, 177);
}

TEST_F(FormTest, OnlyTheLeftButtonCapturesThePointer) {
  Press(100, Qt::RightButton);  // any button starts the drag
  Move(150);
  EXPECT_EQ(d.MarkerX, 150);
  Move(300);  // outside, and nothing captured it
  EXPECT_EQ(d.MarkerX, 150);
  Release(300, Qt::RightButton);
  EXPECT_TRUE(d.Dragging) << "a release outside the strip does not reach it";
  Release(150, Qt::RightButton);
  EXPECT_FALSE(d.Dragging);
}

TEST_F(FormTest, StabilityRunSettlesUnderTheMarker) {
  Press(108);
  Move(158);
  Release(158);
  ASSERT_TRUE(form.Timer1->isActive());
  for (int tick = 0; tick < 400; ++tick) {
    form.Timer1Timer();
  }
  EXPECT_EQ(d.CarriageX, 50);
  const platform::RasterCanvas& picture = form.Image1->Canvas();
  EXPECT_EQ(picture.PixelAt(310, 30), platform::Grey(50));
  EXPECT_EQ(picture.PixelAt(419, 30), platform::Grey(50));
  EXPECT_EQ(picture.PixelAt(309, 30), platform::clWhite);
  EXPECT_EQ(picture.PixelAt(420, 30), platform::clWhite);
  // The marker at 158 stands over picture column 367, the settled carriage's pointer.
  EXPECT_EQ(picture.PixelAt(158 + 209, 119), platform::clBlack);
}

TEST_F(FormTest, ProcessReadsTheHarmonicInputAndStarts) {
  Click(form.RadioButton2);
  form.SpinEdit1->setText(QStringLiteral("7"));
  form.SpinEdit2->setText(QStringLiteral("20"));
  Click(form.Button5);
  EXPECT_EQ(d.Amplitude, 8);
  EXPECT_EQ(d.Frequency, 20);
  EXPECT_EQ(d.Kmotor, 1 / 0.75);
  EXPECT_TRUE(form.Timer1->isActive());

  // The marker follows the sine, the carriage follows the marker.
  for (int tick = 0; tick < 100; ++tick) {
    form.Timer1Timer();
  }
  EXPECT_NE(d.MarkerX, 108);
  EXPECT_EQ(MarkerColumns().first, d.MarkerX - 4);
}

TEST_F(FormTest, FailedProcessKeepsTheValuesReadBeforeTheFailure) {
  Click(form.RadioButton2);
  Click(form.Button5);  // the defaults, read once
  Click(form.Button2);
  const sim::Drive before = d;

  form.Edit1->setText(QStringLiteral("200"));
  form.Edit2->setText(QStringLiteral("0,004"));
  form.Edit3->setText(QStringLiteral("0"));
  form.Edit4->setText(QStringLiteral("0,03"));
  BoxWatcher boxes;
  Click(form.Button5);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], QStringLiteral("Floating point division by zero."));
  EXPECT_EQ(boxes.captions[0], QApplication::applicationName());
  EXPECT_EQ(boxes.icons[0], QMessageBox::Critical);
  EXPECT_EQ(d.Kamp, 200);
  EXPECT_EQ(d.Tamp, 0.004);
  EXPECT_EQ(d.Kmotor, before.Kmotor);
  EXPECT_EQ(d.Tmotor, before.Tmotor);
  EXPECT_EQ(d.B0, before.B0);
  EXPECT_FALSE(form.Timer1->isActive()) << "the timer is not started";
}

TEST_F(FormTest, StripClickInAccuracyResearchReadsTheMotorBoxAsTyped) {
  Click(form.RadioButton2);
  Click(form.Button5);
  ASSERT_EQ(d.Kmotor, 1 / 0.75);
  Press(60);
  EXPECT_FALSE(d.Dragging);
  Move(90);
  Release(90);
  EXPECT_EQ(d.Kmotor, 0.75);
  EXPECT_TRUE(form.Timer1->isActive()) << "left running";

  Click(form.Button2);
  Press(60);
  Release(60);
  EXPECT_FALSE(form.Timer1->isActive()) << "left stopped";
}

TEST_F(FormTest, FailedReleaseKeepsTheDragGoing) {
  form.Edit2->setText(QStringLiteral("abc"));
  BoxWatcher boxes;
  Press(108);
  Release(108);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], QStringLiteral("'abc' is not a valid floating point value."));
  EXPECT_TRUE(d.Dragging);
  EXPECT_FALSE(form.Timer1->isActive());
  Move(130);  // no button held: the marker still follows
  EXPECT_EQ(d.MarkerX, 130);

  form.Edit2->setText(QStringLiteral("0,003"));
  Release(130);
  EXPECT_FALSE(d.Dragging);
  EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(FormTest, ZeroFeedbackStopsTheRunWithOneBox) {
  form.Edit6->setText(QStringLiteral("0"));
  BoxWatcher boxes;
  Press(108);
  Move(130);
  Release(130);
  ASSERT_TRUE(form.Timer1->isActive());
  QTest::qWait(120);  // a dozen ticks' worth of time
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], QStringLiteral("Invalid floating point operation."));
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(FormTest, ExitClosesBothWindowsAndEndsTheProgram) {
  TForm2 form2;
  form.SetInstructionsWindow(&form2);
  Click(form.Button3);
  ASSERT_TRUE(form2.isVisible());
  Click(form.Button1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form2.isVisible());
  // With no window left open, the application's loop ends.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  }
}

}  // namespace
