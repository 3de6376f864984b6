// The pictures of wizard pages 1 and 2: a banner (513 x 41) and a phone (105 x 217), drawn in
// code so the program carries no binary resources.
#pragma once

#include <QPixmap>
#include <QString>

QPixmap BannerPicture(const QString& title);
QPixmap PhonePicture();
