// The main window: a five-page wizard that leads from choosing a phone to sending it a photo.
//
// Pages change only through the wizard's own buttons (Next, Previous, "Send another photo"); the
// tab guard refuses every change the user starts on the tabs. Each navigation sets the three
// buttons' visibility from the page it ends on, and NavigationAllowed is false again after it,
// also when an error interrupts it.
#pragma once

#include <QWidget>
#include <string>

#include "app/catalog/device_catalog.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;
class TLinkLabel;
class TPageControl;

class TForm1 : public QWidget {
 public:
  // `executablePath` is the program's own path; the program folder is taken from it.
  explicit TForm1(const std::string& executablePath);
  ~TForm1() override;

  TPageControl* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QWidget* TabSheet4;
  QWidget* TabSheet5;
  QPushButton* Button2;  // About
  QPushButton* Button3;  // Previous
  QPushButton* Button4;  // Next
  QPushButton* Button6;  // Send another photo
  TLinkLabel* Label5;    // update link
  TLinkLabel* Label6;    // new-device link
  QListWidget* ListBox1; // vendors
  QListWidget* ListBox2; // models
  QListWidget* ListBox3; // widths, hidden, parallel to ListBox2
  QListWidget* ListBox4; // heights, hidden, parallel to ListBox2
  QRadioButton* RadioButton1;
  QLineEdit* Edit1;      // picture path
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;  // Upload

  // The device catalog: TessDatabase1, TessTable1 (vendors) and TessTable2 (models).
  TDeviceCatalog Catalog;

  // Handlers.
  void FormCreate();
  void FormShow();
  void FormClose();
  void PageControl1Changing(bool& allowChange);
  void Button4Click();
  void Button3Click();
  void Button6Click();
  void ListBox1Click();
  void ListBox2Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void Button2Click();
  void Label5Click();
  void Label6Click();

  // Device catalog operations.
  void OpenCatalog(const std::string& path);
  void CloseCatalog();
  void FillVendorList();
  void FillModelList(const std::string& vendor);

  // The photo step, run when Next enters page 3.
  void PreparePhotoStep();

  // Page shown, from 1 to 5.
  int CurrentPage() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildPages();
  void BuildPage1();
  void BuildPage2();
  void BuildPage4();
  void ConnectHandlers();
  void ShowPage(int page);
  void SetButtonVisibility(int page);

  std::string executablePath_;
};

extern TForm1* Form1;
