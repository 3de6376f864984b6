#include "app/form_style.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QFont DialogFont() {
  QFont font;
  font.setFamilies({"MS Sans Serif", "DejaVu Sans", "Sans Serif"});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

void ApplyDialogStyle(QWidget* window, const std::string& caption, int clientWidth, int clientHeight) {
  window->setWindowTitle(QString::fromLatin1(caption));
  window->setFont(DialogFont());
  window->setFixedSize(clientWidth, clientHeight);
}

void CentreOnDesktop(QWidget* window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect desktop = screen->availableGeometry();
  window->move(desktop.center() - QPoint(window->width() / 2, window->height() / 2));
}
