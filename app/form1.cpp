#include "app/form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/application.h"
#include "app/catalog_version.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form6.h"
#include "app/form_style.h"
#include "app/link_label.h"
#include "app/page_control.h"
#include "app/page_pictures.h"
#include "app/side_window.h"
#include "app/update_form.h"
#include "app/wizard_state.h"
#include "platform/message_box.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/core/text_convert.h"

TForm1* Form1 = nullptr;

namespace {

constexpr char kCaption[] = "Tessivo - 5 steps to send photo to cell phone";
constexpr int kPageCount = 5;

void ShowMessage(const std::string& text) {
  ShowMessageBox(TMessageBoxKind::mbPlain, TApplication::Title(), text);
}

// A handler connected to a widget's signal: its errors go to the default error report, so no
// exception crosses the toolkit's signal dispatch.
template <typename Handler>
auto Reporting(Handler handler) {
  return [handler] { RunReportingErrors(handler); };
}

// The row of the list's selected item, or -1 when none is selected.
int SelectedIndex(const QListWidget* list) {
  const auto selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.first());
}

std::string ItemText(const QListWidget* list, int index) {
  const QListWidgetItem* item = list->item(index);
  if (!item) throw tessdb::Exception("List index out of bounds (" + std::to_string(index) + ")");
  return item->text().toLatin1().toStdString();
}

// Keeps NavigationAllowed true for the lifetime of a wizard button's page change.
class NavigationScope {
 public:
  NavigationScope() { NavigationAllowed = true; }
  ~NavigationScope() { NavigationAllowed = false; }
};

QPushButton* MakeButton(QWidget* parent, const char* caption, int left, int top, int width,
                        int height) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setGeometry(left, top, width, height);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* caption, int left, int top) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLabel* MakePicture(QWidget* parent, const QPixmap& picture, int left, int top) {
  auto* label = new QLabel(parent);
  label->setPixmap(picture);
  label->setGeometry(left, top, picture.width(), picture.height());
  return label;
}

QListWidget* MakeListBox(QWidget* parent, int left, int top, int width, int height) {
  auto* list = new QListWidget(parent);
  list->setGeometry(left, top, width, height);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  return list;
}

}  // namespace

TForm1::TForm1(const std::string& executablePath) : executablePath_(executablePath) {
  ApplyDialogStyle(this, kCaption, 645, 441);
  PageControl1 = new TPageControl(this);
  PageControl1->setGeometry(16, 32, 617, 329);
  BuildPages();
  Button2 = MakeButton(this, "&About", 224, 376, 97, 33);
  Button3 = MakeButton(this, "<<&Previous", 376, 376, 105, 33);
  Button4 = MakeButton(this, "&Next>>", 512, 376, 113, 33);
  Button6 = MakeButton(this, "Send another photo", 512, 376, 113, 33);
  const QColor navy(0, 0, 128);
  Label5 = new TLinkLabel(this, "&Update Mobile Device Data", navy);
  Label5->move(24, 376);
  Label6 = new TLinkLabel(this, "Submit New Mobile Device", navy);
  Label6->move(24, 392);
  SetButtonVisibility(1);
  ConnectHandlers();
  CentreOnDesktop(this);
  RunReportingErrors([this] { FormCreate(); });
}

TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildPages() {
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  TabSheet4 = new QWidget;
  TabSheet5 = new QWidget;
  PageControl1->addTab(TabSheet1, "1.Select your mobile device");
  PageControl1->addTab(TabSheet2, "2.Select image");
  PageControl1->addTab(TabSheet3, "3.Edit image");
  PageControl1->addTab(TabSheet4, "4.Upload image");
  PageControl1->addTab(TabSheet5, "5.Send to mobile device");
  BuildPage1();
  BuildPage2();
  BuildPage4();
}

void TForm1::BuildPage1() {
  MakePicture(TabSheet1, BannerPicture("Select your mobile device"), 40, 16);
  MakePicture(TabSheet1, PhonePicture(), 40, 72);
  MakeLabel(TabSheet1, "Vendor", 168, 70);
  ListBox1 = MakeListBox(TabSheet1, 168, 88, 177, 193);
  MakeLabel(TabSheet1, "Model", 360, 70);
  ListBox2 = MakeListBox(TabSheet1, 360, 88, 193, 193);
  ListBox3 = MakeListBox(TabSheet1, 560, 88, 20, 193);
  ListBox4 = MakeListBox(TabSheet1, 584, 88, 20, 193);
  ListBox3->hide();
  ListBox4->hide();
}

void TForm1::BuildPage2() {
  MakePicture(TabSheet2, BannerPicture("Select image"), 40, 16);
  RadioButton1 = new QRadioButton("From local disk", TabSheet2);
  RadioButton1->setGeometry(40, 96, 200, 17);
  RadioButton1->setChecked(true);
  Edit1 = new QLineEdit(TabSheet2);
  Edit1->setGeometry(40, 136, 409, 21);
  SpeedButton1 = new QToolButton(TabSheet2);
  SpeedButton1->setText("..");
  SpeedButton1->setGeometry(456, 135, 23, 22);
}

void TForm1::BuildPage4() {
  MakeLabel(TabSheet4, "Click the button 'Upload' to upload the image you edited to the server", 40,
            96);
  SpeedButton2 = new QToolButton(TabSheet4);
  SpeedButton2->setText("Upload");
  SpeedButton2->setGeometry(248, 144, 113, 33);
}

void TForm1::ConnectHandlers() {
  PageControl1->OnChanging = [this] {
    bool allowChange = true;
    PageControl1Changing(allowChange);
    return allowChange;
  };
  connect(Button2, &QPushButton::clicked, this, Reporting([this] { Button2Click(); }));
  connect(Button3, &QPushButton::clicked, this, Reporting([this] { Button3Click(); }));
  connect(Button4, &QPushButton::clicked, this, Reporting([this] { Button4Click(); }));
  connect(Button6, &QPushButton::clicked, this, Reporting([this] { Button6Click(); }));
  connect(ListBox1, &QListWidget::itemSelectionChanged, this, Reporting([this] { ListBox1Click(); }));
  connect(ListBox2, &QListWidget::itemSelectionChanged, this, Reporting([this] { ListBox2Click(); }));
  connect(SpeedButton1, &QToolButton::clicked, this, Reporting([this] { SpeedButton1Click(); }));
  connect(SpeedButton2, &QToolButton::clicked, this, Reporting([this] { SpeedButton2Click(); }));
  Label5->OnClick = Reporting([this] { Label5Click(); });
  Label6->OnClick = Reporting([this] { Label6Click(); });
}

void TForm1::FormCreate() {
  ReadCatalogVersion();
  // The program folder is the executable's folder: an executable here has no extension, so the
  // folder is never derived from a '.' in its name.
  ProgramFolder = QFileInfo(QString::fromStdString(executablePath_)).absolutePath().toStdString();
  const std::string tempFolder = ProgramFolder + kPathDelimiter + "temp";
  if (!QFileInfo(QString::fromStdString(tempFolder)).isDir() &&
      !QDir().mkdir(QString::fromStdString(tempFolder))) {
    throw tessdb::Exception("Cannot create " + tempFolder);
  }
  OpenCatalog(ProgramFolder + kPathDelimiter + "aloha.alo");
  FillVendorList();
  NavigationAllowed = false;
  ShowPage(1);
}

void TForm1::FormShow() { setWindowTitle(kCaption); }

void TForm1::FormClose() { CloseCatalog(); }

void TForm1::PageControl1Changing(bool& allowChange) {
  allowChange = NavigationAllowed;
  if (!allowChange) ShowMessage("Please click button \"<<Previous\" or \"Next>>\" .");
}

int TForm1::CurrentPage() const { return PageControl1->ActivePageIndex() + 1; }

void TForm1::ShowPage(int page) { PageControl1->SetActivePageIndex(page - 1); }

void TForm1::SetButtonVisibility(int page) {
  Button3->setVisible(page >= 2);
  Button4->setVisible(page <= 3);
  Button6->setVisible(page == 5);
}

void TForm1::Button4Click() {
  const int page = CurrentPage();
  if (page == 1) {
    if (SelectedIndex(ListBox1) < 0) {
      ShowMessage("You should select mobile device vendor");
      return;
    }
    const int model = SelectedIndex(ListBox2);
    if (model < 0) {
      ShowMessage("You should select mobile device model");
      return;
    }
    DeviceWidth = tessdb::StrToInt(tessdb::Trim(ItemText(ListBox3, model)));
    DeviceHeight = tessdb::StrToInt(tessdb::Trim(ItemText(ListBox4, model)));
  } else if (page == 2) {
    if (!QFileInfo(Edit1->text()).isFile()) {
      ShowMessage("Image file does not exists");
      return;
    }
  }
  NavigationScope navigation;
  const int newPage = page < kPageCount ? page + 1 : page;
  if (newPage != page) {
    ShowPage(newPage);
    if (newPage == 3) PreparePhotoStep();
  }
  SetButtonVisibility(newPage);
}

void TForm1::Button3Click() {
  NavigationScope navigation;
  const int page = CurrentPage();
  if (page >= 2) {
    ShowPage(page - 1);
    SetButtonVisibility(page - 1);
  }
}

void TForm1::Button6Click() {
  {
    NavigationScope navigation;
    ShowPage(1);
  }
  SetButtonVisibility(1);
  if (Form2) Form2->close();
}

void TForm1::ListBox1Click() {
  if (ListBox1->count() == 0) return;
  const int vendor = SelectedIndex(ListBox1);
  if (vendor < 0) return;
  FillModelList(tessdb::Trim(ItemText(ListBox1, vendor)));
}

void TForm1::ListBox2Click() { setWindowTitle(kCaption); }

void TForm1::SpeedButton1Click() {
  const QString file = QFileDialog::getOpenFileName(
      this, "Open", QString(),
      "All pictures (*.jpg *.jpeg *.bmp *.png *.gif *.tif *.tiff *.pcx *.ico);;All files (*)");
  if (!file.isEmpty()) Edit1->setText(file);
}

void TForm1::SpeedButton2Click() {}

void TForm1::Button2Click() { ShowSideWindow(Form6); }

void TForm1::Label5Click() { ShowSideWindow(updateForm); }

void TForm1::Label6Click() { ShowSideWindow(Form3); }

void TForm1::OpenCatalog(const std::string& path) { Catalog.OpenCatalog(path); }

void TForm1::CloseCatalog() { Catalog.CloseCatalog(); }

void TForm1::FillVendorList() { Catalog.FillVendorList(*ListBox1); }

void TForm1::FillModelList(const std::string& vendor) {
  Catalog.FillModelList(vendor, *ListBox2, *ListBox3, *ListBox4);
}

void TForm1::PreparePhotoStep() {}

void TForm1::showEvent(QShowEvent* event) {
  FormShow();
  QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}
