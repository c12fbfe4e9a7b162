// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

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

}  // namespace
