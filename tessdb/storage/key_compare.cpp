// Key comparison of the table level (provisional rules until the filter's comparison is in).
#include <cctype>
#include <cstring>

#include "tessdb/storage/table_io.h"

namespace tessdb {
namespace {

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

template <typename T>
T ReadAs(const void* bytes, size_t size) {
  T value{};
  std::memcpy(&value, bytes, size < sizeof(T) ? size : sizeof(T));
  return value;
}

}  // namespace

int TTessTableIO::CompareValue(const void* key, size_t keySize, const void* stored,
                               size_t storedSize, bool partial, bool caseInsensitive,
                               TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftBoolean:
      return Sign(ReadAs<int16_t>(key, keySize), ReadAs<int16_t>(stored, storedSize));
    case ftWord:
      return Sign(ReadAs<uint16_t>(key, keySize), ReadAs<uint16_t>(stored, storedSize));
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
      return Sign(ReadAs<int32_t>(key, keySize), ReadAs<int32_t>(stored, storedSize));
    case ftLargeint:
      return Sign(ReadAs<int64_t>(key, keySize), ReadAs<int64_t>(stored, storedSize));
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
      return Sign(ReadAs<double>(key, keySize), ReadAs<double>(stored, storedSize));
    default: {
      size_t a = strnlen(static_cast<const char*>(key), keySize);
      size_t b = strnlen(static_cast<const char*>(stored), storedSize);
      if (partial && b > a) b = a;
      const auto* x = static_cast<const unsigned char*>(key);
      const auto* y = static_cast<const unsigned char*>(stored);
      for (size_t i = 0; i < a && i < b; ++i) {
        int cx = x[i], cy = y[i];
        if (caseInsensitive) {
          cx = std::toupper(cx);
          cy = std::toupper(cy);
        }
        if (cx != cy) return cx < cy ? -1 : 1;
      }
      return Sign(a, b);
    }
  }
}

}  // namespace tessdb
