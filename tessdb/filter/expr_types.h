// How the filter language groups the field types: integer, numeric, date-time, text, Boolean,
// the numeric rank that types arithmetic, and the size of a value of each type.
#pragma once

#include <cstdint>

#include "tessdb/core/field_type.h"

namespace tessdb {

constexpr bool IsIntegerType(TFieldType type) {
  return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc;
}

constexpr bool IsNumericType(TFieldType type) {
  return IsIntegerType(type) || type == ftLargeint || type == ftFloat || type == ftCurrency;
}

// Integer arithmetic and comparison apply; ftLargeint counts here, unlike the integer group.
constexpr bool IsWholeNumberType(TFieldType type) {
  return IsIntegerType(type) || type == ftLargeint;
}

constexpr bool IsDateTimeType(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime;
}

constexpr bool IsTextType(TFieldType type) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob:
      return true;
    default:
      return false;
  }
}

// Rank of a numeric type in arithmetic: the result takes the higher-ranked operand's type.
constexpr int NumericRank(TFieldType type) {
  switch (type) {
    case ftSmallint:
      return 1;
    case ftWord:
      return 2;
    case ftInteger:
    case ftAutoInc:
      return 3;
    case ftLargeint:
      return 4;
    case ftFloat:
      return 5;
    case ftCurrency:
      return 6;
    default:
      return 0;
  }
}

// Bytes of a value buffer of the type (text types: textLength + 1; blob types 0). Raises
// EDatabaseError "General error" for a type without a value size.
int32_t ValueBufferSize(TFieldType type, int32_t textLength);

}  // namespace tessdb
