#include "app/application.h"

#include "platform/message_box.h"
#include "tessdb/core/exceptions.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QString::fromStdString(Title()));
}

TApplication::~TApplication() {
  for (auto& window : owned_) delete window.data();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    HandleException(std::current_exception());
    return false;
  }
}

void TApplication::HandleException(std::exception_ptr error) {
  std::string message;
  try {
    std::rethrow_exception(error);
  } catch (const tessdb::EAbort&) {
    return;
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = "Unknown error";
  }
  ShowMessageBox(TMessageBoxKind::mbError, Title(), ErrorReportText(message));
}

void TApplication::Own(QWidget* window) { owned_.emplace_back(window); }

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}
