#include "tessdb/filter/value_compare.h"

#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <string>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

template <typename T>
std::string Bytes(T value) {
  return std::string(reinterpret_cast<const char*>(&value), sizeof(T));
}

// A text in a stored slot of the given size, NUL-padded.
std::string Slot(const std::string& text, size_t size) {
  std::string slot = text;
  slot.resize(size, '\0');
  return slot;
}

TEST(CompareFieldValues, KeyAgainstStoredValue) {
  struct Case {
    TFieldType type;
    std::string key, stored;
    bool partial, ignoreCase;
    int expected;
  };
  const Case cases[] = {
      {ftString, Slot("Al", 21), Slot("Alpha", 21), true, false, 0},
      {ftString, Slot("Al", 21), Slot("Alpha", 21), false, false, -1},
      {ftString, Slot("Alpha", 21), Slot("Al", 21), false, false, 1},
      {ftString, Slot("alpha", 21), Slot("Alpha", 21), false, true, 0},
      {ftString, Slot("alpha", 21), Slot("Alpha", 21), false, false, 1},
      {ftString, Slot("al", 21), Slot("Alpha", 21), true, true, 0},
      {ftString, Slot("", 21), Slot("Alpha", 21), true, false, 0},
      {ftString, Slot("Alphabet", 21), Slot("Alpha", 21), true, false, 1},
      {ftString, Slot("Al*", 21), Slot("Alpha", 21), false, false, -1},
      {ftFixedChar, Slot("B", 4), Slot("A", 4), false, false, 1},
      {ftString, std::string(5, 'x'), Slot("xxxxx", 6), false, false, 0},  // no NUL in the key
      {ftMemo, "Al", "Alpha", true, false, -1},  // partial keys are for string fields
      {ftMemo, "b", std::string("a\0z", 3), false, false, 1},
      {ftInteger, Bytes<int32_t>(5), Bytes<int32_t>(7), false, false, -1},
      {ftInteger, Bytes<int32_t>(-1), Bytes<int32_t>(-1), true, false, 0},
      {ftSmallint, Bytes<int16_t>(-2), Bytes<int16_t>(1), false, false, -1},
      {ftWord, Bytes<uint16_t>(65535), Bytes<uint16_t>(1), false, false, 1},
      {ftLargeint, Bytes<int64_t>(int64_t{1} << 40), Bytes<int64_t>(1), false, false, 1},
      {ftAutoInc, Bytes<int32_t>(3), Bytes<int32_t>(3), false, false, 0},
      {ftFloat, Bytes(1.5), Bytes(2.5), false, false, -1},
      {ftFloat, Bytes(std::nan("")), Bytes(1.0), false, false, 1},
      {ftCurrency, Bytes(3.0), Bytes(3.0), false, false, 0},
      {ftDate, Bytes<int32_t>(731655), Bytes<int32_t>(731654), false, false, 1},
      {ftTime, Bytes<int32_t>(1000), Bytes<int32_t>(2000), false, false, -1},
      {ftDateTime, Bytes(5e10), Bytes(5e10), false, false, 0},
      {ftBoolean, Bytes<int16_t>(1), Bytes<int16_t>(0), false, false, 1},
      {ftBoolean, Bytes<int16_t>(0), Bytes<int16_t>(1), false, false, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareFieldValues(c.type, c.key.data(), c.key.size(), c.stored.data(),
                                 c.stored.size(), c.partial, c.ignoreCase),
              c.expected)
        << FieldTypeName(c.type) << " '" << c.key << "' vs '" << c.stored << "'";
  }
}

TEST(CompareFieldValues, TypesWithoutAValueSizeAreAGeneralError) {
  const char key[8] = {}, stored[8] = {};
  for (const TFieldType type : {ftWideString, ftBCD, ftUnknown, ftGuid}) {
    try {
      CompareFieldValues(type, key, 8, stored, 8, false, false);
      ADD_FAILURE() << FieldTypeName(type);
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "General error");
    }
  }
}

}  // namespace
}  // namespace tessdb
