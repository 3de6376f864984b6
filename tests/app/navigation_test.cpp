#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/wizard_state.h"
#include "wizard_fixture.h"

namespace {

const char kVendorMessage[] = "You should select mobile device vendor";
const char kModelMessage[] = "You should select mobile device model";
const char kImageMessage[] = "Image file does not exists";

}  // namespace

TEST_F(WizardTest, StartsOnPageOneWithOnlyNextShown) {
  CreateWindow(folderPath_);
  EXPECT_EQ(form_->CurrentPage(), 1);
  EXPECT_EQ(VisibleButtons(), "-S-");
  EXPECT_FALSE(NavigationAllowed);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, NextPreviousAndSendAnotherFollowTheVisibilityTable) {
  CreateWindow(folderPath_);
  ChooseModel("128", "160");
  form_->Edit1->setText(QString::fromStdString(picturePath_));
  // Previous (P), Next (N), Send another (A) → page reached and visible buttons after it.
  struct Step { char button; int page; const char* visible; };
  const Step steps[] = {
      {'P', 1, "-S-"}, {'N', 2, "SS-"}, {'N', 3, "SS-"}, {'N', 4, "S--"}, {'P', 3, "SS-"},
      {'N', 4, "S--"}, {'P', 3, "SS-"}, {'P', 2, "SS-"}, {'P', 1, "-S-"}, {'N', 2, "SS-"},
  };
  for (const auto& step : steps) {
    QPushButton* button = step.button == 'P' ? form_->Button3 : step.button == 'N' ? form_->Button4
                                                                                     : form_->Button6;
    button->click();
    EXPECT_EQ(form_->CurrentPage(), step.page) << step.button;
    EXPECT_EQ(VisibleButtons(), step.visible) << step.button << " to page " << step.page;
    EXPECT_FALSE(NavigationAllowed);
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, PageFiveRowsAndSendAnotherPhotoKeepTheSelections) {
  CreateWindow(folderPath_);
  WalkTo(4);
  // Page 5 is reached by a confirmed upload; the wizard's own Next does the move here.
  form_->Button4->click();
  EXPECT_EQ(form_->CurrentPage(), 5);
  EXPECT_EQ(VisibleButtons(), "S-S");
  form_->Button3->click();
  EXPECT_EQ(form_->CurrentPage(), 4);
  EXPECT_EQ(VisibleButtons(), "S--");
  form_->Button4->click();
  form_->Button6->click();
  EXPECT_EQ(form_->CurrentPage(), 1);
  EXPECT_EQ(VisibleButtons(), "-S-");
  EXPECT_EQ(form_->ListBox1->currentRow(), 0);
  EXPECT_EQ(form_->ListBox2->currentRow(), 0);
  EXPECT_EQ(form_->Edit1->text().toStdString(), picturePath_);
}

TEST_F(WizardTest, PageOneNeedsAVendorThenAModel) {
  CreateWindow(folderPath_);
  form_->Button4->click();
  form_->ListBox1->setCurrentRow(0);
  form_->Button4->click();
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].text, kVendorMessage);
  EXPECT_EQ(messages_[1].text, kModelMessage);
  EXPECT_EQ(messages_[1].kind, TMessageBoxKind::mbPlain);
  EXPECT_EQ(form_->CurrentPage(), 1);
  EXPECT_EQ(VisibleButtons(), "-S-");
}

TEST_F(WizardTest, NextOnPageOneStoresTheTrimmedSizeOfTheSelectedModel) {
  CreateWindow(folderPath_);
  ChooseModel(" 176 ", "220\t");
  form_->Button4->click();
  EXPECT_EQ(form_->CurrentPage(), 2);
  EXPECT_EQ(DeviceWidth, 176);
  EXPECT_EQ(DeviceHeight, 220);
}

TEST_F(WizardTest, AWidthThatIsNotANumberReachesTheErrorReportAndThePageStays) {
  CreateWindow(folderPath_);
  ChooseModel("12a", "160");
  form_->Button4->click();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, TMessageBoxKind::mbError);
  EXPECT_EQ(messages_[0].text, "'12a' is not a valid integer value.");
  EXPECT_EQ(form_->CurrentPage(), 1);
  EXPECT_FALSE(NavigationAllowed);
}

TEST_F(WizardTest, PageTwoNeedsAnExistingFile) {
  CreateWindow(folderPath_);
  WalkTo(2);
  for (const std::string& path : {std::string(), folderPath_, folderPath_ + "/missing.jpg"}) {
    messages_.clear();
    form_->Edit1->setText(QString::fromStdString(path));
    form_->Button4->click();
    ASSERT_EQ(messages_.size(), 1u) << path;
    EXPECT_EQ(messages_[0].text, kImageMessage);
    EXPECT_EQ(form_->CurrentPage(), 2);
  }
  form_->Edit1->setText(QString::fromStdString(picturePath_));
  form_->Button4->click();
  EXPECT_EQ(form_->CurrentPage(), 3);
}
