// Side windows: modal dialogs opened from the main window, created anew for each use.
#pragma once

#include <QDialog>
#include <string>

#include "app/application.h"

// A dialog-style side window with a fixed client size, centred on the desktop.
class TSideWindow : public QDialog {
 public:
  TSideWindow(const std::string& caption, int clientWidth, int clientHeight);
};

// Creates a new instance owned by the application into `instance` (an earlier instance stays
// alive, hidden, until the program ends), shows it modally, releases it once its pending events
// are handled, and leaves `instance` empty.
template <typename TWindow>
void ShowSideWindow(TWindow*& instance) {
  instance = new TWindow();
  static_cast<TApplication*>(QApplication::instance())->Own(instance);
  instance->exec();
  instance->deleteLater();
  instance = nullptr;
}
