// GUI tests run headless: the application object exists before any test, on the offscreen
// platform, and the settings store is redirected to a test location.
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "app/application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
