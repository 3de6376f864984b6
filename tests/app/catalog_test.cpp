#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/wizard_state.h"
#include "wizard_fixture.h"

using Texts = std::vector<std::string>;

TEST_F(WizardTest, StartListsTheVendorsInNameOrder) {
  WriteCatalog({"Beta", "Alpha"}, {{"Alpha", "A1", 128, 160}});
  CreateWindow(folderPath_);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Items(form_->ListBox1), (Texts{"Alpha", "Beta"}));
  EXPECT_TRUE(form_->ListBox1->selectedItems().isEmpty());
}

TEST_F(WizardTest, AVendorClickListsItsModelsInTypeOrderWithTheirSizes) {
  WriteCatalog({"Alpha", "Beta"},
               {{"Alpha", "A2", 176, 220}, {"Beta", "B1", 96, 65}, {"Alpha", "A1", 128, 160}});
  CreateWindow(folderPath_);
  form_->ListBox1->setCurrentRow(0);
  EXPECT_EQ(Items(form_->ListBox2), (Texts{"A1", "A2"}));
  EXPECT_EQ(Items(form_->ListBox3), (Texts{"128", "176"}));
  EXPECT_EQ(Items(form_->ListBox4), (Texts{"160", "220"}));
  form_->ListBox1->setCurrentRow(1);
  EXPECT_EQ(Items(form_->ListBox2), (Texts{"B1"}));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, AVendorWithoutModelsEmptiesTheThreeLists) {
  CreateWindow(folderPath_);
  form_->ListBox1->setCurrentRow(0);
  ASSERT_EQ(form_->ListBox2->count(), 2);
  form_->ListBox1->setCurrentRow(1);
  EXPECT_EQ(form_->ListBox2->count(), 0);
  EXPECT_EQ(form_->ListBox3->count(), 0);
  EXPECT_EQ(form_->ListBox4->count(), 0);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, RefillingAfterReopeningListsEachVendorOnce) {
  CreateWindow(folderPath_);
  form_->CloseCatalog();
  form_->OpenCatalog(folderPath_ + "/aloha.alo");
  form_->FillVendorList();
  EXPECT_EQ(Items(form_->ListBox1), (Texts{"Alpha", "Beta"}));
}

TEST_F(WizardTest, AnEmptyVendorTableGivesAnEmptyList) {
  WriteCatalog({}, {{"Alpha", "A1", 128, 160}});
  CreateWindow(folderPath_);
  EXPECT_EQ(form_->ListBox1->count(), 0);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, AVendorIsLookedUpWithoutItsSurroundingBlanks) {
  WriteCatalog({" Alpha "}, {{"Alpha", "A1", 128, 160}});
  CreateWindow(folderPath_);
  EXPECT_EQ(Items(form_->ListBox1), (Texts{" Alpha "})) << "listed as stored";
  form_->ListBox1->setCurrentRow(0);
  EXPECT_EQ(Items(form_->ListBox2), (Texts{"A1"}));
}

TEST_F(WizardTest, AStarInAVendorComparesThePartBeforeItAsAPrefix) {
  WriteCatalog({"Al*", "Alpha"}, {{"Alps", "P9", 1, 2},
                                  {"Alpha", "A1", 128, 160},
                                  {"Beta", "B1", 3, 4},
                                  {"alpha", "a0", 5, 6}});
  CreateWindow(folderPath_);
  form_->ListBox1->setCurrentRow(0);
  // Case-sensitive: "alpha" is not listed; both Al... vendors are, in type order.
  EXPECT_EQ(Items(form_->ListBox2), (Texts{"A1", "P9"}));
}

TEST_F(WizardTest, AVendorWithAQuoteReachesTheErrorReportAndKeepsTheVendors) {
  WriteCatalog({"Alpha", "O'Neil"}, {{"Alpha", "A1", 128, 160}});
  CreateWindow(folderPath_);
  form_->ListBox1->setCurrentRow(1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, TMessageBoxKind::mbError);
  EXPECT_EQ(Items(form_->ListBox1), (Texts{"Alpha", "O'Neil"}));
  EXPECT_EQ(form_->ListBox2->count(), 0);
}

TEST_F(WizardTest, AnEmptyModelTableMakesTheFirstSearchFail) {
  WriteCatalog({"Alpha"}, {});
  CreateWindow(folderPath_);
  form_->ListBox1->setCurrentRow(0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "TessTable2: Record not found.");
}

TEST_F(WizardTest, AMissingCatalogIsReportedAndTheWindowOpensWithAnEmptyList) {
  const std::string path = folderPath_ + "/aloha.alo";
  ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
  CreateWindow(folderPath_);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, TMessageBoxKind::mbError);
  EXPECT_EQ(messages_[0].text, "Cannot open file " + path + ".");
  form_->show();
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(form_->ListBox1->count(), 0);
}

TEST_F(WizardTest, TheRoadFromPageOneToPageThreeWithARealCatalog) {
  CreateWindow(folderPath_);
  form_->ListBox1->setCurrentRow(0);
  form_->ListBox2->setCurrentRow(1);
  form_->Button4->click();
  EXPECT_EQ(form_->CurrentPage(), 2);
  EXPECT_EQ(DeviceWidth, 176);
  EXPECT_EQ(DeviceHeight, 220);
  form_->Edit1->setText(QString::fromStdString(picturePath_));
  form_->Button4->click();
  EXPECT_EQ(form_->CurrentPage(), 3);
  EXPECT_TRUE(messages_.empty());
}
