// A typed value as the filter evaluates it: bytes in the stored format of its type (inside the
// record buffer, in a node's own buffer, or a blob's text) and how to read them as numbers,
// time stamps, Booleans or text.
//
// For text types size is the text length (the bytes before the NUL); for the other types it is
// the byte count of the stored value. Reads never go past size: a value shorter than its type
// (which only a damaged source could produce) reads as zero-filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "tessdb/core/date_time.h"
#include "tessdb/core/field_type.h"
#include "tessdb/filter/expr_types.h"

namespace tessdb {

struct TValueView {
  TFieldType type = ftUnknown;
  const uint8_t* data = nullptr;
  size_t size = 0;

  template <typename T>
  T Read() const {
    T value{};
    if (data != nullptr) std::memcpy(&value, data, size < sizeof(T) ? size : sizeof(T));
    return value;
  }

  std::string_view Text() const { return {reinterpret_cast<const char*>(data), size}; }

  // First byte of the value: how Booleans and the filter's result are read.
  bool FirstByte() const { return data != nullptr && size > 0 && data[0] != 0; }

  // Whole-number types as int64; float types truncated (clamped).
  int64_t AsInteger() const {
    switch (type) {
      case ftSmallint:
        return Read<int16_t>();
      case ftWord:
        return Read<uint16_t>();
      case ftInteger:
      case ftAutoInc:
      case ftDate:
      case ftTime:
        return Read<int32_t>();
      case ftLargeint:
        return Read<int64_t>();
      case ftFloat:
      case ftCurrency:
      case ftDateTime:
        return TruncToInt64(Read<double>());
      default:
        return 0;
    }
  }

  double AsFloat() const {
    if (type == ftFloat || type == ftCurrency || type == ftDateTime) return Read<double>();
    return static_cast<double>(AsInteger());
  }

  // Date-time types as time-stamp milliseconds (a time alone counts from day 0).
  double AsTimeStamp() const {
    if (type == ftDate) return static_cast<double>(Read<int32_t>()) * kMsPerDay;
    return AsFloat();
  }
};

}  // namespace tessdb
