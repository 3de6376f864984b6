#include "tessdb/core/field_type.h"

#include <array>
#include <strings.h>

namespace tessdb {
namespace {

constexpr std::array<const char*, kLastFieldType + 1> kTypeNames = {
    "Unknown",   "String",    "Smallint",   "Integer",  "Word",      "Boolean",     "Float",
    "Currency",  "BCD",       "Date",       "Time",     "DateTime",  "Bytes",       "VarBytes",
    "AutoInc",   "Blob",      "Memo",       "Graphic",  "FmtMemo",   "ParadoxOle",  "DBaseOle",
    "TypedBinary", "Cursor",  "FixedChar",  "WideString", "Largeint", "ADT",        "Array",
    "Reference", "DataSet",   "OraBlob",    "OraClob",  "Variant",   "Interface",   "IDispatch",
    "Guid"};

}  // namespace

std::string FieldTypeName(int code) {
  if (code < 0 || code > kLastFieldType) return "Unknown";
  return kTypeNames[code];
}

std::optional<int> FieldTypeFromName(const std::string& name) {
  std::string bare = name;
  if (bare.size() > 2 && strncasecmp(bare.c_str(), "ft", 2) == 0) bare = bare.substr(2);
  for (int code = 0; code <= kLastFieldType; ++code) {
    if (strcasecmp(bare.c_str(), kTypeNames[code]) == 0) return code;
  }
  return std::nullopt;
}

}  // namespace tessdb
