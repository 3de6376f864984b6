// Writes a picture of the main window, as it looks after start-up, to the PNG file named by the
// first argument; with a vendor name as second argument that vendor is clicked first, so its
// models are listed. Used by scripts/screenshot to keep the README's picture current.
#include <QListWidget>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/form1.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wizard_screenshot FILE.png [VENDOR]\n");
    return 2;
  }
  TApplication application(argc, argv);
  const QString target = QString::fromLocal8Bit(argv[1]);
  // The screenshot runs beside the program, so it opens the same catalog.
  Form1 = new TForm1(QCoreApplication::applicationFilePath().toStdString());
  application.Own(Form1);
  Form1->show();
  if (argc > 2) {
    const auto found = Form1->ListBox1->findItems(QString::fromLocal8Bit(argv[2]), Qt::MatchExactly);
    if (!found.isEmpty()) Form1->ListBox1->setCurrentItem(found.first());
  }
  int status = 0;
  QTimer::singleShot(500, [&] {
    if (!Form1->grab().save(target)) status = 1;
    application.quit();
  });
  application.exec();
  return status;
}
