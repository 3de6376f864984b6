// Authoring of records, for tools and tests: appends records to a table of a database held in a
// stream, through the engine's own write path (TTessTableIO::AppendRecord), so a new file gets
// exactly the areas the engine itself would write.
//
// A record is one value per field, in field order, each given as the bytes of the field's value
// in its stored layout: a string type its text (cut to the declared size), a blob its content,
// any other type its little-endian bytes (StoredBytes builds them); missing trailing values and
// shorter byte strings count as zeros. An ftAutoInc value of 0 takes the table's next number.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tessdb/core/stream.h"

namespace tessdb {

using TRecordValues = std::vector<std::string>;

// The bytes of a number, date or time value in its stored layout.
template <typename T>
std::string StoredBytes(T value) {
  std::string bytes(sizeof(T), '\0');
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

// Opens the database in image (with password when it is encrypted), appends the records to the
// table in order and closes it again. Fails with the engine's errors, and with "Invalid password"
// when the password does not open an encrypted database.
void AppendRecords(TStream& image, const std::string& password, const std::string& tableName,
                   const std::vector<TRecordValues>& records);

}  // namespace tessdb
