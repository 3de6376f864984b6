// Writes a device catalog file in the program's schema, through the engine's own write path:
// table "cellphone" (name String 40; index "nameindex" on name, primary and unique) and table
// "cellphoneconfig" (name String 40, type String 60, width and height Integer; index "typeindex"
// on type), encrypted with Blowfish in mode 1 under the catalog password. For tests and
// benchmarks; the build makes the sample catalog with the tessdb tool from data/phones.csv.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TCatalogModel {
  std::string vendor;
  std::string type;
  int32_t width = 0;
  int32_t height = 0;
};

// Creates the file at path (which must not exist) with the vendors and models in the order given.
void WriteCatalogFile(const std::string& path, const std::vector<std::string>& vendors,
                      const std::vector<TCatalogModel>& models);
