// The application object: the program's title, its default error report, and ownership of the
// windows created "owned by the application".
//
// Every exception that leaves an event handler is caught in notify() and shown by the default
// error report; no exception crosses a Qt event dispatch. The silent abort (EAbort) is dropped.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <string>
#include <vector>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;

  static std::string Title() { return "Tessivo"; }

  // The default error report for the exception being handled (call from a catch block) or for
  // the given one.
  static void HandleException(std::exception_ptr error);

  // Keeps a window alive until the program ends, unless it is released earlier.
  void Own(QWidget* window);

 private:
  std::vector<QPointer<QWidget>> owned_;
};

// The text the default error report shows: a '.' is appended when the last character comes after
// '.' in character order (letters and digits do; '.', '!', ')' and blanks do not).
std::string ErrorReportText(const std::string& message);

// Runs a handler body with the default error report around it, for work that does not come from
// an event dispatch (the main window's creation handler).
template <typename Body>
void RunReportingErrors(Body&& body) {
  try {
    body();
  } catch (...) {
    TApplication::HandleException(std::current_exception());
  }
}
