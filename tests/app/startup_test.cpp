#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QStandardPaths>
#include <QTabBar>

#include "app/catalog_version.h"
#include "app/page_control.h"
#include "app/wizard_state.h"
#include "platform/registry.h"
#include "wizard_fixture.h"

TEST_F(WizardTest, StartCreatesTheTempFolderBesideTheProgram) {
  CreateWindow(folderPath_);
  EXPECT_EQ(ProgramFolder, folderPath_);
  EXPECT_TRUE(QDir(QString::fromStdString(folderPath_ + "/temp")).exists());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, StartLeavesAnExistingTempFolderAlone) {
  ASSERT_TRUE(QDir(QString::fromStdString(folderPath_)).mkdir("temp"));
  QFile kept(QString::fromStdString(folderPath_ + "/temp/1000000001.jpg"));
  ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
  kept.close();
  CreateWindow(folderPath_);
  EXPECT_TRUE(kept.exists());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(WizardTest, ATempFolderThatCannotBeCreatedIsReportedAndTheWindowStillOpens) {
  const std::string missing = folderPath_ + "/no/such/folder";
  CreateWindow(missing);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].kind, TMessageBoxKind::mbError);
  EXPECT_EQ(messages_[0].text, "Cannot create " + missing + "/temp.");
  EXPECT_FALSE(QDir(QString::fromStdString(missing)).exists()) << "parents are not created";
  form_->show();
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(form_->ListBox1->count(), 0);
  EXPECT_EQ(form_->CurrentPage(), 1);
}

TEST_F(WizardTest, TheWindowHasItsCaptionSizeAndTabs) {
  CreateWindow(folderPath_);
  form_->show();
  EXPECT_EQ(form_->windowTitle(), "Tessivo - 5 steps to send photo to cell phone");
  EXPECT_EQ(form_->size(), QSize(645, 441));
  EXPECT_EQ(form_->PageControl1->geometry(), QRect(16, 32, 617, 329));
  const char* captions[] = {"1.Select your mobile device", "2.Select image", "3.Edit image",
                            "4.Upload image", "5.Send to mobile device"};
  ASSERT_EQ(form_->PageControl1->count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(form_->PageControl1->tabText(i), captions[i]);
  EXPECT_EQ(form_->ListBox1->geometry(), QRect(168, 88, 177, 193));
  EXPECT_EQ(form_->ListBox2->geometry(), QRect(360, 88, 193, 193));
  EXPECT_FALSE(form_->ListBox3->isVisibleTo(form_.get()));
  EXPECT_FALSE(form_->ListBox4->isVisibleTo(form_.get()));
}

TEST(CatalogVersion, ReadsTheRegistryValueOrTheEmptyText) {
  QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                "/Quobari/registry.ini");
  CatalogVersion = "stale";
  ReadCatalogVersion();
  EXPECT_EQ(CatalogVersion, "");
  WriteRegistryString("\\Software\\Quobari\\", "alohaver", "2.07");
  ReadCatalogVersion();
  EXPECT_EQ(CatalogVersion, "2.07");
}
