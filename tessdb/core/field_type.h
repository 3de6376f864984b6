// Field type codes of the engine. The codes are stored in database files, so their values never
// change; they are the ordinal values of the toolkit's field type enumeration.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessdb {

enum TFieldType : uint8_t {
  ftUnknown = 0,
  ftString = 1,
  ftSmallint = 2,
  ftInteger = 3,
  ftWord = 4,
  ftBoolean = 5,
  ftFloat = 6,
  ftCurrency = 7,
  ftBCD = 8,
  ftDate = 9,
  ftTime = 10,
  ftDateTime = 11,
  ftBytes = 12,
  ftVarBytes = 13,
  ftAutoInc = 14,
  ftBlob = 15,
  ftMemo = 16,
  ftGraphic = 17,
  ftFmtMemo = 18,
  ftParadoxOle = 19,
  ftDBaseOle = 20,
  ftTypedBinary = 21,
  ftCursor = 22,
  ftFixedChar = 23,
  ftWideString = 24,
  ftLargeint = 25,
  ftADT = 26,
  ftArray = 27,
  ftReference = 28,
  ftDataSet = 29,
  ftOraBlob = 30,
  ftOraClob = 31,
  ftVariant = 32,
  ftInterface = 33,
  ftIDispatch = 34,
  ftGuid = 35,
};

constexpr int kLastFieldType = 35;

// Blob types are kept out of the record's data area: the record holds a 20-byte descriptor.
constexpr bool IsBlobType(int code) {
  return (code >= ftBlob && code <= ftTypedBinary) || code == ftOraBlob || code == ftOraClob;
}

constexpr bool IsStringType(int code) { return code == ftString || code == ftFixedChar; }

constexpr int kBlobDescriptorSize = 20;

// Bytes a field of this type occupies in a record's data area, or nullopt for a type the file
// format cannot store.
constexpr std::optional<int> StoredFieldSize(int code, int declaredSize) {
  switch (code) {
    case ftString:
    case ftFixedChar:
      return declaredSize + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftDate:
    case ftTime:
    case ftAutoInc:
      return 4;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
    case ftLargeint:
      return 8;
    default:
      if (IsBlobType(code)) return kBlobDescriptorSize;
      return std::nullopt;
  }
}

// The type's name without its "ft" prefix ("String", "Integer"), for tools and messages.
std::string FieldTypeName(int code);

// The code of a type name, with or without the "ft" prefix, in any case; nullopt when unknown.
std::optional<int> FieldTypeFromName(const std::string& name);

}  // namespace tessdb
