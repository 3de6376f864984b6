#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/login_form.h"
#include "tessdb/access/login_prompt.h"
#include "tessdb/access/tess_table.h"
#include "wizard_fixture.h"

namespace {

// Answers the next login dialog: types the text and presses the button.
void AnswerLoginDialog(const char* password, bool ok) {
  QTimer::singleShot(0, [password, ok] {
    auto* form = dynamic_cast<TTessDBLoginForm*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->PasswordEdit, password);
    (ok ? form->OkButton : form->CancelButton)->click();
  });
}

}  // namespace

TEST(LoginForm, HasTheDialogLayout) {
  TTessDBLoginForm form("/data/aloha.alo");
  EXPECT_EQ(form.windowTitle(), "Database Login");
  EXPECT_EQ(form.size(), QSize(281, 154));
  EXPECT_EQ(form.BackPanel->geometry(), QRect(8, 8, 265, 75));
  EXPECT_EQ(form.DatabaseLabel->text(), "Database:");
  EXPECT_EQ(form.DatabaseLabel->pos(), QPoint(12, 15));
  EXPECT_EQ(form.PasswordLabel->text(), "Password:");
  EXPECT_EQ(form.PasswordLabel->pos(), QPoint(12, 45));
  EXPECT_EQ(form.DatabaseEdit->text(), "/data/aloha.alo");
  EXPECT_TRUE(form.DatabaseEdit->isReadOnly());
  EXPECT_EQ(form.DatabaseEdit->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(form.DatabaseEdit->geometry().topLeft(), QPoint(86, 12));
  EXPECT_EQ(form.PasswordEdit->geometry().topLeft(), QPoint(86, 42));
  EXPECT_EQ(form.PasswordEdit->height(), 21);
  EXPECT_EQ(form.PasswordEdit->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(form.PasswordEdit->text().isEmpty());
  EXPECT_EQ(form.OkButton->text(), "&OK");
  EXPECT_EQ(form.OkButton->pos(), QPoint(109, 94));
  EXPECT_TRUE(form.OkButton->isDefault());
  EXPECT_EQ(form.CancelButton->text(), "&Cancel");
  EXPECT_EQ(form.CancelButton->pos(), QPoint(191, 94));
}

TEST(LoginForm, OkYieldsTheTypedPasswordAndCancelYieldsNothing) {
  AnswerLoginDialog("qelvon", true);
  EXPECT_EQ(ShowLoginDialog("/data/aloha.alo"), std::optional<std::string>("qelvon"));
  AnswerLoginDialog("qelvon", false);
  EXPECT_EQ(ShowLoginDialog("/data/aloha.alo"), std::nullopt);
}

TEST(LoginForm, InstalledAsTheEnginePrompt) {
  EXPECT_EQ(tessdb::PromptForPassword("x"), std::nullopt) << "no prompt installed: cancel";
  InstallLoginPrompt();
  AnswerLoginDialog("secret", true);
  EXPECT_EQ(tessdb::PromptForPassword("/data/aloha.alo"), std::optional<std::string>("secret"));
  tessdb::SetLoginPrompt(nullptr);
}

namespace {

// A catalog table opened with no password given, as a program that leaves it to the user.
class LoginThroughTable : public WizardTest {
 protected:
  void OpenModels(tessdb::TTessTable& table) {
    table.SetDatabaseName(folderPath_ + "/aloha.alo");
    table.SetTableName("cellphoneconfig");
    table.Open();
  }
};

}  // namespace

TEST_F(LoginThroughTable, OkWithTheRightPasswordOpensTheTable) {
  InstallLoginPrompt();
  tessdb::TTessTable table;
  AnswerLoginDialog("qelvon", true);
  RunReportingErrors([&] { OpenModels(table); });
  EXPECT_TRUE(messages_.empty());
  ASSERT_TRUE(table.Active());
  EXPECT_EQ(table.RecordCount(), 2);
  tessdb::SetLoginPrompt(nullptr);
}

TEST_F(LoginThroughTable, CancelAbortsWithoutAnErrorReport) {
  InstallLoginPrompt();
  tessdb::TTessTable table;
  AnswerLoginDialog("", false);
  RunReportingErrors([&] { OpenModels(table); });
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(table.Active());
  tessdb::SetLoginPrompt(nullptr);
}
