// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The oscilloscope under the mouse: zoom, undo, scroll and wheel on the real main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "app/Unit1.h"
#include "tests/app/marker_release.h"

namespace {

class ZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A stability run toward +50 mm, a second of model time into it; the ticks are called here.
    ReleaseMarkerAt(form, 50);
    form.Timer1->stop();
    Ticks(500);
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form.Timer1Timer();
    Paint();
  }
  void Paint() { chart.Invalidate(); QApplication::processEvents(); }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(&chart, button, {}, from);
    QTest::mouseMove(&chart, to);
    QTest::mouseRelease(&chart, button, {}, to);
    Paint();
  }
  void ExpectVerticalAxes(double min, double max) {
    for (const chart::TChartAxis* axis : {&left, &chart.RightAxis()}) {
      EXPECT_NEAR(axis->Minimum(), min, 1e-9);
      EXPECT_NEAR(axis->Maximum(), max, 1e-9);
    }
  }

  TForm1 form{u','};
  chart::TChart& chart = *form.Chart1;
  chart::TChartAxis& bottom = chart.BottomAxis();
  chart::TChartAxis& left = chart.LeftAxis();
};

TEST_F(ZoomTest, ADragDownAndRightZoomsUnderItsBandAShortOneDoesNothingOneBackUndoesEveryZoomAndScroll) {
  Drag(Qt::LeftButton, {100, 60}, {110, 150});  // only 10 pixels wide
  EXPECT_FALSE(chart.Zoomed());
  EXPECT_TRUE(bottom.Automatic());

  const double t0 = bottom.PixelToValue(100), t1 = bottom.PixelToValue(200);
  const double y0 = left.PixelToValue(150), y1 = left.PixelToValue(60);
  Drag(Qt::LeftButton, {100, 60}, {200, 150});
  EXPECT_TRUE(chart.Zoomed());
  EXPECT_DOUBLE_EQ(left.Minimum(), y0);
  EXPECT_DOUBLE_EQ(left.Maximum(), y1);
  Ticks(50);  // the time axis stays where it was zoomed while the run goes on
  EXPECT_DOUBLE_EQ(bottom.RangeMin, t0);
  EXPECT_DOUBLE_EQ(bottom.RangeMax, t1);

  // A scroll and a second zoom on top: one drag back returns to before the first zoom.
  Drag(Qt::RightButton, {150, 100}, {170, 120});
  Drag(Qt::LeftButton, {120, 80}, {180, 140});
  Drag(Qt::LeftButton, {180, 140}, {120, 80});
  EXPECT_FALSE(chart.Zoomed());
  ExpectVerticalAxes(-120, 120);
  Ticks(1);
  EXPECT_DOUBLE_EQ(bottom.RangeMax, form.Drive().TraceTime[sim::TraceNewest]) << "following the data again";

  // The rubber band is drawn over every paint while the drag goes on.
  const platform::TColor plain = chart.Canvas().Buffer()->PixelAt(150, 60);
  QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(100, 60));
  QTest::mouseMove(&chart, QPoint(200, 150));
  Ticks(3);  // full paints while the drag goes on
  EXPECT_NE(chart.Canvas().Buffer()->PixelAt(150, 60), plain) << "the band's top edge survives the repaints";
  QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(200, 150));
}

TEST_F(ZoomTest, ARightDragScrollsTheContentWithThePointerUntilItLeavesThePlot) {
  const double min = bottom.Minimum(), max = bottom.Maximum();
  const double tenPixels = bottom.PixelToValue(160) - bottom.PixelToValue(150);
  Drag(Qt::RightButton, {150, 100}, {160, 100});
  EXPECT_FALSE(bottom.Automatic());
  EXPECT_NEAR(bottom.Minimum(), min - tenPixels, 1e-12);
  EXPECT_NEAR(bottom.Maximum(), max - tenPixels, 1e-12);
  ExpectVerticalAxes(-120, 120);  // no vertical component, no vertical scroll

  const double tenDown = left.PixelToValue(100) - left.PixelToValue(110);
  QTest::mousePress(&chart, Qt::RightButton, {}, QPoint(150, 100));
  QTest::mouseMove(&chart, QPoint(150, 110));
  ExpectVerticalAxes(-120 + tenDown, 120 + tenDown);
  QTest::mouseMove(&chart, QPoint(chart.ChartRect().Right + 5, 110));
  QTest::mouseMove(&chart, QPoint(150, 140));  // back inside: the scroll has ended
  ExpectVerticalAxes(-120 + tenDown, 120 + tenDown);
  QTest::mouseRelease(&chart, Qt::RightButton, {}, QPoint(150, 140));
}

TEST_F(ZoomTest, ResetZoomUndoesAndTheWheelShiftsTheVerticalAxes) {
  Drag(Qt::LeftButton, {100, 60}, {200, 150});
  form.MenuResetZoom->trigger();  // View, Reset zoom: the same as a drag back
  EXPECT_FALSE(chart.Zoomed());
  ExpectVerticalAxes(-120, 120);

  // A wheel notch down shifts the vertical axes by 3 % of their range, and only them.
  QWheelEvent notch(QPointF(150, 100), chart.mapToGlobal(QPointF(150, 100)), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&chart, &notch);
  ExpectVerticalAxes(-112.8, 127.2);
  EXPECT_TRUE(bottom.Automatic());
}

}  // namespace
