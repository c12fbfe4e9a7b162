// SPDX-FileCopyrightText: 2026 The drivelab authors
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu bar above the layout: its commands, their keys, and the client area below it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <map>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/frequency_response_window.h"
#include "app/measurements_window.h"
#include "app/root_locus_window.h"
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
  form.resize(900, 700);  // the controls keep their places
  QApplication::processEvents();
  EXPECT_EQ(form.Chart1->mapTo(&form, QPoint()), QPoint(216, 248 + bar->height()));
}

// The tool windows close from the keyboard as a dialog does; the main window does not.
TEST_F(MenuTest, F1ShowsTheInstructionsAboutNamesTheProgramKeysCloseToolWindowsAndExitClosesEveryWindow) {
  for (int twice = 0; twice < 2; ++twice) QTest::keyClick(&form, Qt::Key_F1);
  EXPECT_TRUE(form2.isVisible());
  const auto windows = QApplication::topLevelWidgets();
  EXPECT_EQ(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return qobject_cast<TForm2*>(w) && w->isVisible(); }),
            1) << "one instructions window";
  for (QWidget* window : std::initializer_list<QWidget*>{&form2, form.MeasurementsForm, form.FrequencyForm, form.RootLocusForm}) {
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
      window->show();
      window->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(window));
      QTest::keySequence(window, keys);
      EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString() << " " << keys.toString().toStdString();
    }
  }
  {
    BoxWatcher boxes;
    form.MenuAbout->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string& about = boxes.shown[0];
    for (const char* part : {"About drivelab|drivelab ", "GNU General Public License, version 3 or (at your option) any later",
                             "GNU Lesser General Public License", "Liberation Sans",
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
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible());
  QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.MeasurementsForm->isVisible()) << "the further windows go with the main one";
  EXPECT_FALSE(form2.isVisible());
}

// The letter after a lone '&', if any.
QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'&') {
      if (text[i + 1] != u'&') return text[i + 1].toLower();
      ++i;
    }
  }
  return {};
}

// Alt+letter reaches one thing in a window, and one command in an open menu.
TEST_F(MenuTest, NoTwoMnemonicsInAnyWindowOrMenuAreTheSame) {
  std::vector<std::pair<QString, QStringList>> places;  // where, and the texts that carry mnemonics there
  for (QWidget* window : std::initializer_list<QWidget*>{&form, &form2, form.MeasurementsForm, form.FrequencyForm}) {
    QStringList texts;
    for (const QWidget* w : window->findChildren<QWidget*>()) {  // its own, not those of the windows it owns
      const auto* label = qobject_cast<const QLabel*>(w);
      if (w->window() != window) continue;
      if (const auto* b = qobject_cast<const QAbstractButton*>(w)) texts << b->text();
      if (label != nullptr && label->buddy() != nullptr) texts << label->text();
    }
    for (const QAction* menu : window == &form ? form.menuBar()->actions() : QList<QAction*>()) texts << menu->text();
    places.emplace_back(window->windowTitle(), texts);
  }
  for (const QMenu* menu : form.menuBar()->findChildren<QMenu*>()) {
    places.emplace_back(menu->title(), QStringList());
    for (const QAction* a : menu->actions()) places.back().second << a->text();
  }
  int letters = 0;
  for (const auto& [where, texts] : places) {
    std::map<QChar, QString> seen;
    for (const QString& text : texts) {
      const QChar letter = Mnemonic(text);
      letters += !letter.isNull();
      EXPECT_TRUE(letter.isNull() || seen.emplace(letter, text).second)
          << where.toStdString() << ": " << text.toStdString() << " and " << seen[letter].toStdString();
    }
  }
  EXPECT_GT(letters, 25) << "the walk found the windows' mnemonics";
}

}  // namespace
