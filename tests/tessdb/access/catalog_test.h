// The shared base of the dataset tests: the default catalog, unencrypted, in a temporary folder,
// and the text of the error an action raises.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"
#include "tests/tessdb/access/access_fixture.h"

namespace tessdb::testing {

// The message of the engine error the action raises; "<abort>" for the silent abort, "<none>"
// when it raises nothing.
inline std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EAbort&) {
    return "<abort>";
  } catch (const Exception& error) {
    return error.Message();
  }
  return "<none>";
}

class CatalogTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = WriteCatalog(dir_, "aloha.alo", false); }

  void Open(TTessTable& table, const std::string& tableName, const std::string& indexName) {
    table.SetDatabaseName(path_);
    table.SetTableName(tableName);
    table.SetIndexName(indexName);
    table.Open();
  }

  TempDir dir_;
  std::string path_;
};

}  // namespace tessdb::testing
