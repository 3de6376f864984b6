#include "tessdb/core/field_type.h"

#include <gtest/gtest.h>

namespace tessdb {
namespace {

TEST(FieldType, StoredSizesFollowTheFileFormat) {
  struct Case { int code; int declared; std::optional<int> size; };
  const Case cases[] = {
      {ftString, 40, 41}, {ftFixedChar, 0, 1}, {ftSmallint, 0, 2}, {ftInteger, 0, 4},
      {ftWord, 0, 2},     {ftBoolean, 0, 2},  {ftFloat, 0, 8},    {ftCurrency, 0, 8},
      {ftDate, 0, 4},     {ftTime, 0, 4},     {ftDateTime, 0, 8}, {ftAutoInc, 0, 4},
      {ftBlob, 0, 20},    {ftTypedBinary, 0, 20}, {ftOraBlob, 0, 20}, {ftOraClob, 0, 20},
      {ftLargeint, 0, 8}, {ftUnknown, 0, std::nullopt}, {ftBCD, 0, std::nullopt},
      {ftBytes, 0, std::nullopt}, {ftCursor, 0, std::nullopt}, {ftWideString, 10, std::nullopt},
      {ftADT, 0, std::nullopt}, {ftGuid, 0, std::nullopt}, {36, 0, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(StoredFieldSize(c.code, c.declared), c.size) << c.code;
}

TEST(FieldType, NamesRoundTripInAnyCaseWithOrWithoutPrefix) {
  EXPECT_EQ(FieldTypeName(ftString), "String");
  EXPECT_EQ(FieldTypeFromName("string"), ftString);
  EXPECT_EQ(FieldTypeFromName("ftAutoInc"), ftAutoInc);
  EXPECT_EQ(FieldTypeFromName("LARGEINT"), ftLargeint);
  EXPECT_EQ(FieldTypeFromName("Text"), std::nullopt);
  for (int code = 0; code <= kLastFieldType; ++code) EXPECT_EQ(FieldTypeFromName(FieldTypeName(code)), code);
}

}  // namespace
}  // namespace tessdb
