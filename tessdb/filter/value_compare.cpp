#include "tessdb/filter/value_compare.h"

#include <cstring>

#include "platform/locale.h"
#include "tessdb/filter/expr_types.h"

namespace tessdb {
namespace {

template <typename T>
TCompareResult CompareOrdered(T left, T right) {
  if (left == right) return crEqual;
  if (left < right) return crLess;
  if (left > right) return crGreater;
  return crUnordered;
}

TCompareResult FromSign(int sign) {
  return sign < 0 ? crLess : sign > 0 ? crGreater : crEqual;
}

size_t TextLength(const void* data, size_t size) {
  if (data == nullptr) return 0;
  return strnlen(static_cast<const char*>(data), size);
}

}  // namespace

TCompareResult CompareValueViews(const TValueView& left, const TValueView& right,
                                 int32_t partialLength, bool caseInsensitive) {
  if (IsTextType(left.type) && IsTextType(right.type)) {
    size_t leftLength = left.size;
    size_t rightLength = right.size;
    if (partialLength >= 0) {
      const size_t limit = static_cast<size_t>(partialLength);
      if (leftLength > limit) leftLength = limit;
      if (rightLength > limit) rightLength = limit;
    }
    return FromSign(CompareLocaleText(reinterpret_cast<const char*>(left.data), leftLength,
                                      reinterpret_cast<const char*>(right.data), rightLength,
                                      caseInsensitive));
  }
  if (left.type == ftBoolean && right.type == ftBoolean) {
    const uint8_t a = left.size > 0 ? left.data[0] : 0;
    const uint8_t b = right.size > 0 ? right.data[0] : 0;
    return CompareOrdered(a, b);
  }
  if (IsDateTimeType(left.type) || IsDateTimeType(right.type))
    return CompareOrdered(left.AsTimeStamp(), right.AsTimeStamp());
  if (IsWholeNumberType(left.type) && IsWholeNumberType(right.type))
    return CompareOrdered(left.AsInteger(), right.AsInteger());
  return CompareOrdered(left.AsFloat(), right.AsFloat());
}

int CompareFieldValues(TFieldType type, const void* key, size_t keySize, const void* stored,
                       size_t storedSize, bool partial, bool caseInsensitive) {
  ValueBufferSize(type, 0);  // raises "General error" for a type without a value size
  TValueView keyView{type, static_cast<const uint8_t*>(key), keySize};
  TValueView storedView{type, static_cast<const uint8_t*>(stored), storedSize};
  int32_t partialLength = -1;
  if (IsTextType(type)) {
    keyView.size = TextLength(key, keySize);
    storedView.size = TextLength(stored, storedSize);
    if (partial && (IsStringType(type) || type == ftWideString || type == ftGuid))
      partialLength = static_cast<int32_t>(keyView.size);
  }
  const TCompareResult result =
      CompareValueViews(keyView, storedView, partialLength, caseInsensitive);
  // An unordered pair is neither equal nor less: it sorts after.
  return result == crUnordered ? 1 : result;
}

}  // namespace tessdb
