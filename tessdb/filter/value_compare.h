// Comparison of two typed values under the filter language's rules: texts by the locale's
// collation (optionally ignoring case, optionally only up to a partial length), numbers by value,
// Booleans by their first byte, dates and times on one time-stamp scale.
//
// The filter's operators use CompareValueViews; the table level orders and searches keys with
// CompareFieldValues, which needs no expression text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tessdb/core/field_type.h"
#include "tessdb/core/filter_options.h"
#include "tessdb/filter/expr_value.h"

namespace tessdb {

// kUnordered: a floating-point operand is NaN; neither =, < nor > holds.
enum TCompareResult : int8_t { crLess = -1, crEqual = 0, crGreater = 1, crUnordered = 2 };

// partialLength >= 0 compares only that many leading characters of two texts (a shorter text
// counts as followed by NULs); -1 compares whole texts. Pairs the type rules refuse compare as
// time stamps when one side is date-time, else as numbers.
TCompareResult CompareValueViews(const TValueView& left, const TValueView& right,
                                 int32_t partialLength, bool caseInsensitive);

// Sign of key minus stored value (-1, 0, +1) for two values of one field type in their stored
// layout: texts are read up to their first NUL within the given sizes. With partial set, a text
// type compares only as many characters as the key text has. Raises EDatabaseError
// "General error" for a type without a value size.
int CompareFieldValues(TFieldType type, const void* key, size_t keySize, const void* stored,
                       size_t storedSize, bool partial, bool caseInsensitive);

}  // namespace tessdb
