// TTessDBLoginForm: the dialog that asks for a database's password when a table opens on an
// encrypted database and no password was given. The program installs it as the engine's login
// prompt (InstallLoginPrompt); it is built anew for each question and freed afterwards.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class TTessDBLoginForm : public QDialog {
 public:
  explicit TTessDBLoginForm(const std::string& databasePath);

  QFrame* BackPanel;
  QLabel* DatabaseLabel;
  QLabel* PasswordLabel;
  QLineEdit* DatabaseEdit;
  QLineEdit* PasswordEdit;
  QPushButton* OkButton;
  QPushButton* CancelButton;
};

// Shows the dialog modally: the password entered, or nullopt when it was cancelled.
std::optional<std::string> ShowLoginDialog(const std::string& databasePath);

// Makes the dialog the engine's login prompt.
void InstallLoginPrompt();
