// The menu bar above the layout: its commands, their keys, and the client area below it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/measurements_window.h"
#include "tests/app/box_watcher.h"

namespace {

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetInstructionsWindow(&form2);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  TForm1 form{u','};
  TForm2 form2;
};

TEST_F(MenuTest, TheLayoutLiesUnchangedBelowTheBarAndTheWindowGrowsByItsHeight) {
  const QMenuBar* bar = form.menuBar();
  const int h = bar->height();
  ASSERT_GT(h, 10);
  EXPECT_EQ(bar->geometry(), QRect(0, 0, 715, h));
  EXPECT_EQ(form.size(), QSize(715, 488 + h));
  EXPECT_EQ(form.ClientArea()->geometry(), QRect(0, h, 715, 488));
  EXPECT_EQ(form.Chart1->mapTo(&form, QPoint()), QPoint(216, 248 + h));
  form.resize(900, 700);  // the controls keep their places
  QApplication::processEvents();
  EXPECT_EQ(form.Chart1->mapTo(&form, QPoint()), QPoint(216, 248 + bar->height()));
}

TEST_F(MenuTest, F1ShowsTheInstructionsAboutNamesTheProgramAndExitClosesEveryWindow) {
  QTest::keyClick(&form, Qt::Key_F1);
  EXPECT_TRUE(form2.isVisible());
  form2.hide();
  {
    BoxWatcher boxes;
    form.MenuAbout->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string& about = boxes.shown[0];
    for (const char* part : {"About drivelab|drivelab ", "GNU Lesser General Public License", "Liberation Sans",
                             "SIL Open Font License", "DejaVu Sans"}) {
      EXPECT_NE(about.find(part), std::string::npos) << part;
    }
    EXPECT_NE(about.find(QStringLiteral("drivelab " DRIVELAB_TEST_VERSION).toStdString()), std::string::npos);
  }
  form2.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_M, Qt::ControlModifier);
  EXPECT_TRUE(form.MeasurementsForm->isVisible()) << "Ctrl+M";
  form.activateWindow();  // the other windows took the focus
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.MeasurementsForm->isVisible()) << "the further windows go with the main one";
  EXPECT_FALSE(form2.isVisible());
}

}  // namespace
