// Writes a picture of the main window, as it looks after start-up, to the PNG file named by the
// first argument. Used by scripts/screenshot to keep the README's picture current.
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/form1.h"
#include "platform/message_box.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wizard_screenshot FILE.png\n");
    return 2;
  }
  TApplication application(argc, argv);
  const QString target = QString::fromLocal8Bit(argv[1]);
  // The screenshot runs beside the program, so it opens the same catalog.
  Form1 = new TForm1(QCoreApplication::applicationFilePath().toStdString());
  application.Own(Form1);
  Form1->show();
  int status = 0;
  QTimer::singleShot(500, [&] {
    if (!Form1->grab().save(target)) status = 1;
    application.quit();
  });
  application.exec();
  return status;
}
