#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

#include "app/application.h"
#include "platform/message_box.h"
#include "tessdb/core/exceptions.h"

TEST(ErrorReport, AppendsADotOnlyAfterCharactersAboveTheDot) {
  struct Case { const char* message; const char* shown; };
  const Case cases[] = {
      {"Cannot open file x", "Cannot open file x."}, {"Value 42", "Value 42."},
      {"Done.", "Done."},           {"Stop!", "Stop!"},  {"(a)", "(a)"},
      {"trailing ", "trailing "},   {"path/", "path/."}, {"", ""},
      {"a-", "a-"},                 {"a,", "a,"},        {"x\xe9", "x\xe9."},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorReportText(c.message), c.shown) << c.message;
}

namespace {

// An object whose event handler raises the error it is given.
class Raiser : public QObject {
 public:
  explicit Raiser(std::function<void()> raise) : raise_(std::move(raise)) {}
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) raise_();
    return QObject::event(event);
  }

 private:
  std::function<void()> raise_;
};

std::vector<TMessageBoxRequest> DispatchRaising(std::function<void()> raise) {
  std::vector<TMessageBoxRequest> shown;
  SetMessageBoxHandler([&](const TMessageBoxRequest& request) {
    shown.push_back(request);
    return true;
  });
  Raiser raiser(std::move(raise));
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&raiser, &event);
  SetMessageBoxHandler(nullptr);
  return shown;
}

}  // namespace

TEST(ErrorReport, AnErrorLeavingAHandlerIsShownWithTheTitleAndAnErrorIcon) {
  const auto shown = DispatchRaising([] { throw tessdb::EDatabaseError("Cannot open file x"); });
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, TMessageBoxKind::mbError);
  EXPECT_EQ(shown[0].caption, TApplication::Title());
  EXPECT_EQ(shown[0].text, "Cannot open file x.");
}

TEST(ErrorReport, TheSilentAbortIsNotShown) {
  EXPECT_TRUE(DispatchRaising([] { throw tessdb::EAbort(); }).empty());
}
