#include <QTabBar>
#include <QTest>

#include "app/page_control.h"
#include "app/wizard_state.h"
#include "wizard_fixture.h"

namespace {
const char kGuardMessage[] = "Please click button \"<<Previous\" or \"Next>>\" .";
}

TEST_F(WizardTest, ClickingAnotherTabShowsTheGuardMessageAndKeepsThePage) {
  CreateWindow(folderPath_);
  form_->show();
  WalkTo(2);
  QTabBar* tabs = form_->PageControl1->tabBar();
  for (int tab : {0, 2, 4}) {
    messages_.clear();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    ASSERT_EQ(messages_.size(), 1u) << tab;
    EXPECT_EQ(messages_[0].text, kGuardMessage);
    EXPECT_EQ(form_->CurrentPage(), 2);
  }
  messages_.clear();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_TRUE(messages_.empty()) << "a click on the page shown is no change";
}

TEST_F(WizardTest, KeyboardPageSwitchingIsRefusedTheSameWay) {
  CreateWindow(folderPath_);
  form_->show();
  WalkTo(3);
  struct Key { QWidget* target; Qt::Key key; Qt::KeyboardModifiers modifiers; };
  const Key keys[] = {
      {form_->PageControl1, Qt::Key_Tab, Qt::ControlModifier},
      {form_->PageControl1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
      {form_->PageControl1, Qt::Key_PageDown, Qt::ControlModifier},
      {form_->PageControl1->tabBar(), Qt::Key_Right, Qt::NoModifier},
      {form_->PageControl1->tabBar(), Qt::Key_Left, Qt::NoModifier},
      {form_->PageControl1->tabBar(), Qt::Key_Home, Qt::NoModifier},
  };
  for (const auto& key : keys) {
    messages_.clear();
    QTest::keyClick(key.target, key.key, key.modifiers);
    ASSERT_EQ(messages_.size(), 1u) << key.key;
    EXPECT_EQ(messages_[0].text, kGuardMessage);
    EXPECT_EQ(form_->CurrentPage(), 3);
  }
}

TEST_F(WizardTest, TheGuardLetsChangesThroughWhileNavigationIsAllowed) {
  CreateWindow(folderPath_);
  form_->show();
  NavigationAllowed = true;
  QTabBar* tabs = form_->PageControl1->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
  EXPECT_EQ(form_->CurrentPage(), 4);
  EXPECT_TRUE(messages_.empty());
}
