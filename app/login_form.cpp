#include "app/login_form.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>

#include "app/form_style.h"
#include "tessdb/access/login_prompt.h"

namespace {

constexpr int kWidth = 281;
constexpr int kHeight = 154;

// Masks each character of a password edit with '*'.
class AsteriskStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_LineEdit_PasswordCharacter) return '*';
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

}  // namespace

TTessDBLoginForm::TTessDBLoginForm(const std::string& databasePath) {
  setWindowTitle("Database Login");
  setFixedSize(kWidth, kHeight);
  setLayoutDirection(QApplication::layoutDirection());
  CentreOnDesktop(this);

  BackPanel = new QFrame(this);
  BackPanel->setGeometry(8, 8, kWidth - 16, 75);
  BackPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  BackPanel->setLineWidth(2);

  DatabaseLabel = new QLabel("Database:", BackPanel);
  DatabaseLabel->move(12, 15);
  DatabaseLabel->adjustSize();
  PasswordLabel = new QLabel("Password:", BackPanel);
  PasswordLabel->move(12, 45);
  PasswordLabel->adjustSize();

  const int editWidth = BackPanel->contentsRect().width() - 98;
  DatabaseEdit = new QLineEdit(QString::fromLatin1(databasePath), BackPanel);
  DatabaseEdit->setGeometry(86, 12, editWidth, 21);
  DatabaseEdit->setReadOnly(true);
  DatabaseEdit->setFocusPolicy(Qt::NoFocus);
  QPalette face = DatabaseEdit->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  DatabaseEdit->setPalette(face);

  PasswordEdit = new QLineEdit(BackPanel);
  PasswordEdit->setGeometry(86, 42, editWidth, 21);
  PasswordEdit->setEchoMode(QLineEdit::Password);
  auto* asterisks = new AsteriskStyle;
  asterisks->setParent(PasswordEdit);
  PasswordEdit->setStyle(asterisks);

  OkButton = new QPushButton("&OK", this);
  OkButton->setGeometry(109, 94, 75, 25);
  OkButton->setDefault(true);
  CancelButton = new QPushButton("&Cancel", this);
  CancelButton->setGeometry(191, 94, 75, 25);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

  PasswordEdit->setFocus();
}

std::optional<std::string> ShowLoginDialog(const std::string& databasePath) {
  TTessDBLoginForm form(databasePath);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.PasswordEdit->text().toLatin1().toStdString();
}

void InstallLoginPrompt() { tessdb::SetLoginPrompt(ShowLoginDialog); }
