#include "app/side_window.h"

#include "app/form_style.h"

TSideWindow::TSideWindow(const std::string& caption, int clientWidth, int clientHeight) {
  ApplyDialogStyle(this, caption, clientWidth, clientHeight);
  CentreOnDesktop(this);
}
