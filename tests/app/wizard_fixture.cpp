#include "wizard_fixture.h"

#include <QFile>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>

#include "app/page_control.h"
#include "app/wizard_state.h"

void WizardTest::SetUp() {
  ASSERT_TRUE(folder_.isValid());
  folderPath_ = folder_.path().toStdString();
  SetMessageBoxHandler([this](const TMessageBoxRequest& request) {
    messages_.push_back(request);
    return true;
  });
  picturePath_ = folderPath_ + "/photo.jpg";
  QFile picture(QString::fromStdString(picturePath_));
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.write("not really a picture");
  picture.close();
  WriteCatalog({"Alpha", "Beta"}, {{"Alpha", "A1", 128, 160}, {"Alpha", "A2", 176, 220}});
}

void WizardTest::WriteCatalog(const std::vector<std::string>& vendors,
                              const std::vector<TCatalogModel>& models) {
  const std::string path = folderPath_ + "/aloha.alo";
  QFile::remove(QString::fromStdString(path));
  WriteCatalogFile(path, vendors, models);
}

std::vector<std::string> WizardTest::Items(const QListWidget* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
  return items;
}

void WizardTest::TearDown() {
  form_.reset();
  SetMessageBoxHandler(nullptr);
  NavigationAllowed = false;
}

void WizardTest::CreateWindow(const std::string& folder) {
  form_ = std::make_unique<TForm1>(folder + "/tessivo");
  Form1 = form_.get();
}

void WizardTest::ChooseModel(const std::string& width, const std::string& height) {
  form_->ListBox1->setCurrentRow(0);
  ASSERT_EQ(form_->ListBox2->count(), 2) << "the models of Alpha";
  form_->ListBox3->item(0)->setText(QString::fromStdString(width));
  form_->ListBox4->item(0)->setText(QString::fromStdString(height));
  form_->ListBox2->setCurrentRow(0);
}

void WizardTest::WalkTo(int page) {
  ChooseModel("128", "160");
  form_->Edit1->setText(QString::fromStdString(picturePath_));
  while (form_->CurrentPage() < page) form_->Button4->click();
  ASSERT_EQ(form_->CurrentPage(), page);
}

std::string WizardTest::VisibleButtons() const {
  std::string row;
  for (const QPushButton* button : {form_->Button3, form_->Button4, form_->Button6}) {
    row += button->isVisibleTo(form_.get()) ? 'S' : '-';
  }
  return row;
}
