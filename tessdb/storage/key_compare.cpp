// Key comparison of the table level: the filter language's comparison of two values of one
// field type (the rules its comparison operators apply), so that key searches order texts,
// numbers, dates and Booleans exactly as filters compare them.
#include "tessdb/filter/value_compare.h"
#include "tessdb/storage/table_io.h"

namespace tessdb {

int TTessTableIO::CompareValue(const void* key, size_t keySize, const void* stored,
                               size_t storedSize, bool partial, bool caseInsensitive,
                               TFieldType type) {
  return CompareFieldValues(type, key, keySize, stored, storedSize, partial, caseInsensitive);
}

}  // namespace tessdb
