// The window's three pictures — the machine, the marker strip and the oscilloscope — through
// runs of both researches, against reference images.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/Unit1.h"
#include "tests/app/marker_release.h"
#include "tests/support/reference_image.h"

namespace {

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }
  void Ticks(int n) {
    form.Timer1->stop();  // ticks are called here, not by the clock
    while (n-- > 0) form.Timer1Timer();
    QApplication::processEvents();
  }
  QImage Window() const {
    return Stacked({form.Image1->Canvas().Image(), form.Image2->Canvas().Image(),
                    form.Chart1->Canvas().Buffer()->Image()});
  }
  TForm1 form{u','};
};

TEST_F(Pictures, AStabilityRunOnItsWayAndSettledAt49) {
  ReleaseMarkerAt(form, 50);
  Ticks(30);
  EXPECT_TRUE(MatchesReference(Window(), "stability-rising"));
  Ticks(370);
  EXPECT_EQ(std::tuple(form.Series1->Count(), form.Series2->Count(), form.Series3->Count()), std::tuple(393, 393, 0));
  EXPECT_EQ(form.Drive().CarriageX, 50);
  EXPECT_TRUE(MatchesReference(Window(), "stability-settled"));
}

TEST_F(Pictures, AnAccuracyRunWithItsErrorTrace) {
  QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
  form.SpinEdit1->setText(QStringLiteral("50"));
  form.SpinEdit2->setText(QStringLiteral("30"));
  QTest::mouseClick(form.Button5, Qt::LeftButton);
  Ticks(250);
  EXPECT_TRUE(MatchesReference(Window(), "accuracy"));
}

// An accuracy run painted tick by tick on two windows, one chart drawing the plain way:
// the oscilloscope's pictures agree on every tick, error trace included.
TEST(OscilloscopeDrawing, AnAccuracyRunPaintsAlikeBothWays) {
  TForm1 fast{u','}, plain{u','};
  plain.Chart1->Canvas().SetPlainDrawing(true);
  for (TForm1* form : {&fast, &plain}) {
    form->RadioButton2->setChecked(true);
    form->SpinEdit1->setText(QStringLiteral("50"));
    form->SpinEdit2->setText(QStringLiteral("30"));
    form->Button5Click();
    form->Timer1->stop();
  }
  const chart::TRect rect{0, 0, fast.Chart1->width(), fast.Chart1->height()};
  for (int tick = 0; tick < 150; ++tick) {
    for (TForm1* form : {&fast, &plain}) {
      form->Timer1Timer();
      form->Chart1->DrawChart(nullptr, rect);
    }
    ASSERT_TRUE(fast.Chart1->Canvas().Buffer()->Image() == plain.Chart1->Canvas().Buffer()->Image()) << tick;
  }
  EXPECT_EQ(fast.Series3->Count(), 393) << "the error trace is drawn";
}

}  // namespace
