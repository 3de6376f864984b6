// Databases for the access-layer tests, built by test code in a temporary folder: a small phone
// catalog (vendors and models, as the program's catalog is shaped) and a table with one field of
// every kind the dataset converts.
#pragma once

#include <string>
#include <vector>

#include "tessdb/core/stream.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/record_authoring.h"
#include "tests/tessdb/storage/temp_dir.h"

namespace tessdb::testing {

constexpr char kPassword[] = "secret";

// Vendors: name (String 20, primary index "nameindex"), country (String 10).
// Models: name (String 20), type (String 20), width, height (Integer); index "typeindex" on type
// (primary), "nameindex" on name, "widthdesc" on width descending. Notes: text (String 10), no
// index, records "c", "a", "b".
struct CatalogRows {
  std::vector<TRecordValues> vendors;
  std::vector<TRecordValues> models;
};

TRecordValues Vendor(const std::string& name, const std::string& country);
TRecordValues Model(const std::string& vendor, const std::string& type, int32_t width,
                    int32_t height);
// Five vendors (stored out of name order) and eight models.
CatalogRows DefaultCatalog();

// Writes the catalog database to dir; encrypted with kPassword when asked. Returns the path.
std::string WriteCatalog(const TempDir& dir, const std::string& fileName, bool encrypted,
                         const CatalogRows& rows = DefaultCatalog());

// "Kinds": id (AutoInc, primary), s (String 8), i (Integer), sm (Smallint), w (Word),
// b (Boolean), f (Float), d (Date), t (Time), dt (DateTime), big (Largeint), memo (Memo),
// data (Blob); no records.
std::string WriteKinds(const TempDir& dir, const std::string& fileName);

}  // namespace tessdb::testing
