#include <QApplication>
#include <QPointer>
#include <QTimer>

#include "app/form2.h"
#include "app/form3.h"
#include "app/form6.h"
#include "app/side_window.h"
#include "app/update_form.h"
#include "wizard_fixture.h"

TEST(SideWindows, HaveTheirCaptionsAndClientSizes) {
  struct Case { std::unique_ptr<QWidget> window; const char* caption; QSize size; };
  Case cases[] = {
      {std::make_unique<TForm6>(), "About", {389, 213}},
      {std::make_unique<TForm2>(), "Send Photo To Mobile Device", {523, 504}},
      {std::make_unique<TForm3>(), "Submit new mobile device", {504, 309}},
      {std::make_unique<TupdateForm>(), "Updating mobile device data", {411, 137}},
  };
  for (auto& c : cases) {
    EXPECT_EQ(c.window->windowTitle(), c.caption);
    EXPECT_EQ(c.window->size(), c.size) << c.caption;
  }
}

TEST(SideWindows, ShowSideWindowRunsANewModalInstanceAndReleasesIt) {
  TForm6* startInstance = new TForm6;
  QPointer<TForm6> earlier(startInstance);
  Form6 = startInstance;
  QPointer<QWidget> shown;
  QTimer::singleShot(0, [&] {
    shown = QApplication::activeModalWidget();
    if (shown) shown->close();
  });
  ShowSideWindow(Form6);
  EXPECT_EQ(Form6, nullptr);
  ASSERT_TRUE(earlier) << "the earlier instance stays alive";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(shown) << "the shown instance is released once its events are handled";
  delete earlier.data();
}
