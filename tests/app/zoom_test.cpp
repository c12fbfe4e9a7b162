// The oscilloscope under the mouse: zoom, undo, scroll and wheel on the real main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include "app/Unit1.h"

namespace {

class ZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A stability run toward +50 mm, a second of model time into it.
    QTest::mousePress(form.Image2, Qt::LeftButton, {}, QPoint(108, 20));
    QTest::mouseMove(form.Image2, QPoint(158, 20));
    QTest::mouseRelease(form.Image2, Qt::LeftButton, {}, QPoint(158, 20));
    form.Timer1->stop();  // ticks are called here, not by the clock
    Ticks(500);
  }

  void Ticks(int n) {
    for (int i = 0; i < n; ++i) form.Timer1Timer();
    Paint();
  }
  void Paint() {
    chart.Invalidate();
    QApplication::processEvents();
  }
  void Drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(&chart, button, {}, from);
    QTest::mouseMove(&chart, to);
    QTest::mouseRelease(&chart, button, {}, to);
    Paint();
  }
  struct Range {
    double min, max;
    bool automatic;
  };
  static Range Of(const chart::TChartAxis& a) { return {a.Minimum(), a.Maximum(), a.Automatic()}; }

  TForm1 form{u','};
  chart::TChart& chart = *form.Chart1;
  chart::TChartAxis& bottom = chart.BottomAxis();
  chart::TChartAxis& left = chart.LeftAxis();
  chart::TChartAxis& right = chart.RightAxis();
};

TEST_F(ZoomTest, ADragDownAndRightZoomsAndOneBackUndoes) {
  const double t0 = bottom.PixelToValue(100), t1 = bottom.PixelToValue(200);
  const double y0 = left.PixelToValue(150), y1 = left.PixelToValue(60);
  Drag(Qt::LeftButton, {100, 60}, {200, 150});
  EXPECT_TRUE(chart.Zoomed());
  EXPECT_FALSE(bottom.Automatic());
  EXPECT_DOUBLE_EQ(bottom.Minimum(), t0);
  EXPECT_DOUBLE_EQ(bottom.Maximum(), t1);
  EXPECT_DOUBLE_EQ(left.Minimum(), y0);
  EXPECT_DOUBLE_EQ(left.Maximum(), y1);

  // The time axis stays where it was zoomed while the run goes on.
  Ticks(50);
  EXPECT_DOUBLE_EQ(bottom.RangeMin, t0);
  EXPECT_DOUBLE_EQ(bottom.RangeMax, t1);

  Drag(Qt::LeftButton, {200, 150}, {100, 60});
  EXPECT_FALSE(chart.Zoomed());
  EXPECT_TRUE(bottom.Automatic());
  EXPECT_EQ(left.Minimum(), -120);
  EXPECT_EQ(right.Maximum(), 120);
  Ticks(1);
  EXPECT_DOUBLE_EQ(bottom.RangeMax, form.Drive().TraceTime[sim::TraceNewest]) << "following the data again";
}

TEST_F(ZoomTest, AShortDragDoesNothing) {
  Drag(Qt::LeftButton, {100, 60}, {110, 150});  // only 10 pixels wide
  EXPECT_FALSE(chart.Zoomed());
  EXPECT_TRUE(bottom.Automatic());
  EXPECT_EQ(left.Minimum(), -120);
}

TEST_F(ZoomTest, ARightDragScrollsTheContentWithThePointer) {
  const Range before = Of(bottom);
  const double tenPixels = bottom.PixelToValue(160) - bottom.PixelToValue(150);
  Drag(Qt::RightButton, {150, 100}, {160, 100});
  EXPECT_FALSE(bottom.Automatic());
  EXPECT_NEAR(bottom.Minimum(), before.min - tenPixels, 1e-12);
  EXPECT_NEAR(bottom.Maximum(), before.max - tenPixels, 1e-12);
  EXPECT_EQ(left.Minimum(), -120) << "no vertical component, no vertical scroll";

  const double tenDown = left.PixelToValue(100) - left.PixelToValue(110);
  Drag(Qt::RightButton, {150, 100}, {150, 110});
  EXPECT_NEAR(left.Minimum(), -120 + tenDown, 1e-9);
  EXPECT_NEAR(right.Maximum(), 120 + tenDown, 1e-9);
}

TEST_F(ZoomTest, ScrollingEndsWhenThePointerLeavesThePlot) {
  QTest::mousePress(&chart, Qt::RightButton, {}, QPoint(150, 100));
  QTest::mouseMove(&chart, QPoint(155, 100));
  const double moved = bottom.Minimum();
  QTest::mouseMove(&chart, QPoint(chart.ChartRect().Right + 5, 100));
  EXPECT_FALSE(chart.ZoomScroll().ScrollRecord().Active);
  QTest::mouseMove(&chart, QPoint(120, 100));
  EXPECT_EQ(bottom.Minimum(), moved);
  QTest::mouseRelease(&chart, Qt::RightButton, {}, QPoint(120, 100));
}

TEST_F(ZoomTest, OneUndoReturnsToBeforeTheFirstZoomOrScroll) {
  Drag(Qt::LeftButton, {100, 60}, {200, 150});
  Drag(Qt::RightButton, {150, 100}, {170, 120});
  Drag(Qt::LeftButton, {120, 80}, {180, 140});
  EXPECT_TRUE(chart.Zoomed());
  Drag(Qt::LeftButton, {180, 140}, {120, 80});
  EXPECT_TRUE(bottom.Automatic());
  EXPECT_TRUE(bottom.AutomaticMinimum());
  EXPECT_FALSE(left.Automatic());
  EXPECT_EQ(left.Minimum(), -120);
  EXPECT_EQ(left.Maximum(), 120);
  EXPECT_EQ(right.Minimum(), -120);
  EXPECT_FALSE(chart.ZoomScroll().AxesSaved());
}

TEST_F(ZoomTest, AWheelNotchDownShiftsTheVerticalAxesByThreePercent) {
  QWheelEvent notch(QPointF(150, 100), chart.mapToGlobal(QPointF(150, 100)), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&chart, &notch);
  EXPECT_NEAR(left.Minimum(), -112.8, 1e-12);
  EXPECT_NEAR(left.Maximum(), 127.2, 1e-12);
  EXPECT_NEAR(right.Minimum(), -112.8, 1e-12);
  EXPECT_TRUE(bottom.Automatic()) << "the time axis is not shifted";
}

TEST_F(ZoomTest, TheRubberBandIsDrawnOverEveryPaintWhileDragging) {
  const platform::RasterCanvas& buffer = *chart.Canvas().Buffer();
  const platform::TColor plain = buffer.PixelAt(150, 60);
  QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(100, 60));
  QTest::mouseMove(&chart, QPoint(200, 150));
  QApplication::processEvents();
  const platform::TColor band = buffer.PixelAt(150, 60);
  EXPECT_NE(band, plain);
  Ticks(3);  // full paints while the drag goes on
  EXPECT_EQ(buffer.PixelAt(150, 60), band) << "the band survives the repaints";
  QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(200, 150));
  Paint();
  EXPECT_TRUE(chart.Zoomed());
}

}  // namespace
