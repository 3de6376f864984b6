#include "tessdb/core/text_convert.h"

#include <gtest/gtest.h>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

TEST(TextConvert, TrimRemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(" 176 "), "176");
  EXPECT_EQ(Trim("\t a b\r\n"), "a b");
  EXPECT_EQ(Trim("   "), "");
}

TEST(TextConvert, StrToIntAcceptsTheToolkitForms) {
  struct Case { const char* text; int32_t value; };
  const Case cases[] = {{"176", 176},        {"-5", -5},           {"+7", 7},
                        {"  12", 12},        {"$1F", 31},          {"0x10", 16},
                        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}};
  for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
}

TEST(TextConvert, StrToIntRefusesEverythingElseWithTheConversionMessage) {
  for (const char* text : {"", " ", "abc", "12 ", "1.5", "2147483648", "-2147483649", "$", "--1", "0x"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + text + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace tessdb
