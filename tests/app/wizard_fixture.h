// A main window created in a fresh program folder, with every message box recorded instead of
// shown.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/message_box.h"

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window as if the executable lived in `folder`.
  void CreateWindow(const std::string& folder);
  std::string ProgramPath() const { return folderPath_ + "/tessivo"; }

  // Fills page 1's lists with one vendor and one model of the given size texts, both selected.
  void ChooseModel(const std::string& width, const std::string& height);
  // Goes from page 1 to page n with the wizard's own buttons.
  void WalkTo(int page);
  // The visibility of Previous, Next and "Send another photo".
  std::string VisibleButtons() const;

  QTemporaryDir folder_;
  std::string folderPath_;
  std::unique_ptr<TForm1> form_;
  std::vector<TMessageBoxRequest> messages_;
  std::string picturePath_;
};
