#include "app/link_label.h"

#include <QMouseEvent>

TLinkLabel::TLinkLabel(QWidget* parent, const std::string& caption, const QColor& color)
    : QLabel(parent), caption_(caption) {
  QString shown = QString::fromLatin1(caption);
  shown.remove('&');
  setText(shown);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, color);
  setPalette(colours);
  setCursor(Qt::PointingHandCursor);
  adjustSize();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) {
    OnClick();
  }
  QLabel::mouseReleaseEvent(event);
}
