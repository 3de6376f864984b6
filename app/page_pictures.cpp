#include "app/page_pictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "app/form_style.h"

QPixmap BannerPicture(const QString& title) {
  QPixmap banner(513, 41);
  QPainter painter(&banner);
  QLinearGradient shade(0, 0, banner.width(), 0);
  shade.setColorAt(0, QColor(0, 0, 128));
  shade.setColorAt(1, QColor(166, 202, 240));
  painter.fillRect(banner.rect(), shade);
  QFont font = DialogFont();
  font.setPointSize(14);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(banner.rect().adjusted(12, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
  return banner;
}

QPixmap PhonePicture() {
  QPixmap phone(105, 217);
  phone.fill(Qt::transparent);
  QPainter painter(&phone);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(40, 40, 40), 2));
  painter.setBrush(QColor(70, 70, 80));
  painter.drawRoundedRect(QRectF(8, 4, 89, 209), 16, 16);
  painter.setBrush(QColor(166, 202, 240));
  painter.drawRect(QRectF(18, 30, 69, 90));
  painter.setBrush(QColor(200, 200, 200));
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) {
      painter.drawRoundedRect(QRectF(22 + column * 22, 132 + row * 18, 17, 12), 3, 3);
    }
  }
  return phone;
}
