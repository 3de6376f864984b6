#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {

TMessageBoxHandler& CurrentHandler() {
  static TMessageBoxHandler handler;
  return handler;
}

bool ShowRealMessageBox(const TMessageBoxRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(QString::fromLatin1(request.caption));
  box.setText(QString::fromLatin1(request.text));
  switch (request.kind) {
    case TMessageBoxKind::mbPlain:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case TMessageBoxKind::mbError:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case TMessageBoxKind::mbConfirmation:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  const int result = box.exec();
  return result == QMessageBox::Ok || result == QMessageBox::Yes;
}

}  // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
  TMessageBoxHandler previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(handler);
  return previous;
}

bool ShowMessageBox(TMessageBoxKind kind, const std::string& caption, const std::string& text) {
  const TMessageBoxRequest request{kind, caption, text};
  if (CurrentHandler()) return CurrentHandler()(request);
  return ShowRealMessageBox(request);
}
