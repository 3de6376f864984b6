#include <gtest/gtest.h>

#include "app/wizard_state.h"

TEST(FolderOfFile, TakesTheFolderOnlyWhenTheLastPartHasADot) {
  struct Case { const char* path; const char* folder; };
  const Case cases[] = {
      {"C:\\Program Files\\Tessivo\\tessivo.exe", "C:\\Program Files\\Tessivo"},
      {"C:\\tessivo.exe", "C:\\"},
      {"/opt/tessivo/tessivo.bin", "/opt/tessivo"},
      {"/opt/tessivo/tessivo", ""},
      {"C:\\Tools\\run", ""},
      {"tessivo.exe", ""},
      {"", ""},
      {"/a.b/tessivo", ""},
      {"/tessivo.x", ""},
      {"C:/tessivo.exe", "C:/"},
  };
  for (const auto& c : cases) EXPECT_EQ(FolderOfFile(c.path), c.folder) << c.path;
}
