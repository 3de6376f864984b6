// Authoring of new database files, for tools and tests: the engine itself only reads files and
// changes records, it never creates a file or a table.
//
// A new database is built in a stream: CreateDatabase writes the fixed areas (magic "TessDB",
// version "2.0", the data-processing block, an empty table directory), AddTable appends a table
// header at the end of the stream and enters it in the directory. The new table has no records,
// and its index entries hold tab position 0 and head 0, as the record-change level expects of an
// empty table. WriteNewFile stores a finished image in a file that must not exist yet, so a tool
// builds the whole database in memory and never leaves a half-made file behind.
//
// Every definition is checked before anything is written; a fault raises EDatabaseError naming
// the table and the field or index at fault.
#pragma once

#include <string>
#include <vector>

#include "tessdb/core/stream.h"
#include "tessdb/storage/file_format.h"

namespace tessdb {

// The data-processing settings of a new database.
struct TNewDatabase {
  bool compressed = false;
  uint8_t level = 1;  // compression level code, stored as given
  std::string compression = "ZLIB";
  bool encrypted = false;
  uint8_t mode = 0;  // cipher mode 0..4
  std::string cipher;
  bool verifyWrites = false;
  std::string password;  // its check text is stored when encrypted
};

// A table to add: fields in order; indexes with name, options and key field numbers (their tab
// position and head are ignored and written as 0).
struct TTableDefinition {
  std::string name;
  std::vector<TFieldEntry> fields;
  std::vector<TIndexEntry> indexes;
};

// Longest table, field or index name a new file gets, so every name slot keeps its terminator.
constexpr int kMaxNewNameLength = kNameSize - 1;
constexpr int kMaxCipherMode = 4;

// Writes the fixed areas of a new database to an empty stream. Unknown algorithm names fail
// with the managers' errors ("... algorithm module '%s' not found").
void CreateDatabase(TStream& stream, const TNewDatabase& settings);

// Appends a table to the database in the stream.
void AddTable(TStream& stream, const TTableDefinition& table);

// Checks one table definition on its own (names, limits, storable types, key fields).
void CheckTableDefinition(const TTableDefinition& table);

// Creates the file and writes the whole stream into it; fails with "File '%s' already exists"
// when the path exists, or with the stream's open error.
void WriteNewFile(const std::string& path, TStream& image);

}  // namespace tessdb
