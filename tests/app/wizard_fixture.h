// A main window created in a fresh program folder that holds a small device catalog (vendors
// Alpha and Beta; models A1 128 x 160 and A2 176 x 220 of Alpha), with every message box recorded
// instead of shown.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QListWidget;

#include "app/catalog/catalog_file.h"
#include "app/form1.h"
#include "platform/message_box.h"

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main window as if the executable lived in `folder`.
  void CreateWindow(const std::string& folder);
  std::string ProgramPath() const { return folderPath_ + "/tessivo"; }

  // Writes the catalog file of the program folder (replacing the standard one).
  void WriteCatalog(const std::vector<std::string>& vendors,
                    const std::vector<TCatalogModel>& models);
  // Selects vendor Alpha and model A1, with the size texts of A1 replaced by the given ones.
  void ChooseModel(const std::string& width, const std::string& height);
  // The texts of a list's items.
  static std::vector<std::string> Items(const QListWidget* list);
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
