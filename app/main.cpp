// Program entry: the main window first (the side windows' creation relies on it), then the About,
// web-page and new-device windows, then the message loop until the main window closes.
#include "app/application.h"
#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/form6.h"
#include "app/login_form.h"

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  InstallLoginPrompt();
  Form1 = new TForm1(QCoreApplication::applicationFilePath().toStdString());
  application.Own(Form1);
  Form6 = new TForm6;
  application.Own(Form6);
  Form2 = new TForm2;
  application.Own(Form2);
  Form3 = new TForm3;
  application.Own(Form3);
  Form1->show();
  return application.exec();
}
