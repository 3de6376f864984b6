#include <cmath>
#include <string>

#include "tests/tessdb/filter/filter_fixture.h"

namespace tessdb::test {
namespace {

struct TCase {
  const char* text;
  TFilterOptions options;
  bool expected;
};

class EvaluateTest : public FilterTest {
 protected:
  void Expect(std::initializer_list<TCase> cases) {
    for (const auto& c : cases) {
      try {
        EXPECT_EQ(Eval(c.text, c.options), c.expected) << c.text << " options " << int(c.options);
      } catch (const Exception& e) {
        ADD_FAILURE() << c.text << ": " << e.Message();
      }
    }
  }
};

TEST_F(EvaluateTest, TextComparisonsWithCaseAndPartialRules) {
  Expect({
      {"name='Alpha'", 0, true},
      {"name='alpha'", 0, false},
      {"name='ALPHA'", 0, false},
      {"name='Alpha '", 0, false},
      {"name='alpha'", kCI, true},
      {"name='ALPHA'", kCI, true},
      {"name<>'alpha'", kCI, false},
      {"name='Al*'", 0, true},
      {"name='Al*'", kNoPartial, false},
      {"name='al*'", kCI, true},
      {"name='al*'", 0, false},
      {"name='*'", 0, true},
      {"name='*x'", 0, true},
      {"name='*'", kNoPartial, false},
      {"'Al*' = name", 0, false},
      {"other='Al*'", kNoPartial, true},
      {"other='Al*'", 0, true},
      {"name='Alphabet*'", 0, false},
      {"name<'Alphabet*'", 0, true},
      {"name>='Al*'", 0, true},
      {"name>'Al*'", 0, false},
      {"name<='Al*'", 0, true},
      {"name>'Al'", 0, true},
      {"name<'Alpha'", 0, false},
      {"name<'b'", 0, true},
      {"name<'b'", kCI, true},
      {"name<'B'", kCI, true},
      {"notes = '  Memo text  '", 0, true},
      {"notes = data", 0, false},
      {"notes < data", 0, true},
      {"code = 'AB12'", 0, true},
      {"[first name] = 'John'", 0, true},
      {"name IN ('x', 'Al*')", 0, true},
      {"name IN ('x', 'Al*')", kNoPartial, false},
      {"name IN ('x', 'alpha')", kCI, true},
      {"name IN ('x', 'alpha')", 0, false},
      {"'Alpha' IN (other, name)", 0, true},
      {"other IN ('Al*')", kNoPartial, true},
  });
}

TEST_F(EvaluateTest, NumericBooleanAndDateComparisons) {
  Expect({
      {"int = 42", 0, true},
      {"int = 42.0", 0, true},
      {"int < 42.5", 0, true},
      {"small < 0", 0, true},
      {"small = -5", 0, true},
      {"word = 65535", 0, true},
      {"word > small", 0, true},
      {"big > 4294967296", 0, true},
      {"big = 5000000000", 0, true},
      {"big > int", 0, true},
      {"price = 2.5", 0, true},
      {"cost > price", 0, true},
      {"price < 3", 0, true},
      {"id = 7", 0, true},
      {"int <> 42", 0, false},
      {"int >= 42", 0, true},
      {"int <= 41", 0, false},
      {"int IN (1, 42)", 0, true},
      {"int IN (1, 2)", 0, false},
      {"int IN (41.5, 42.0)", 0, true},
      {"flag = TRUE", 0, true},
      {"flag <> TRUE", 0, false},
      {"[True] = False", 0, true},
      {"flag = [True]", 0, false},
      {"flag IN (FALSE)", 0, false},
      {"day = '3/15/2004'", 0, true},
      {"day < '3/16/2004'", 0, true},
      {"day > '3/16/2004'", 0, false},
      {"day = '03/15/04'", 0, true},
      {"stamp = '3/15/2004 1:45:30.250 PM'", 0, true},
      {"stamp = '3/15/2004 13:45:30.250'", 0, true},
      {"stamp > '3/15/2004'", 0, true},
      {"stamp > day", 0, true},
      {"day < stamp", 0, true},
      {"at = '13:45:30.250'", 0, true},
      {"at = 'PM 1:45:30.250'", 0, true},
      {"at > '1:00 pm'", 0, true},
      {"at < '12:00 AM'", 0, false},
      {"'3/15/2004' = day", 0, true},
      {"day IN ('1/1/2000', '3/15/2004')", 0, true},
  });
}

TEST_F(EvaluateTest, PrecedenceAndAssociativity) {
  Expect({
      {"int = 42 OR int = 1 AND int = 2", 0, true},
      {"(int = 42 OR int = 1) AND int = 2", 0, false},
      {"NOT int = 1", 0, true},
      {"NOT flag AND [True]", 0, false},
      {"NOT (flag AND [True])", 0, true},
      {"int - 2 - 10 = 30", 0, true},
      {"int / 2 / 3 = 7", 0, true},
      {"int + 2 * 3 = 48", 0, true},
      {"(int + 2) * 3 = 132", 0, true},
      {"int - -1 = 43", 0, true},
      {"int--1 = 43", 0, true},
      {"int-1 = 41", 0, true},
      {"int = 40 + 2", 0, true},
      {"1 + 1 = 2", 0, true},
      {"int>40 AND int<50", 0, true},
      {"name='Alpha'OR int=1", 0, true},
      {"name = 'A' + 'lpha'", 0, true},
  });
}

TEST_F(EvaluateTest, Functions) {
  Expect({
      {"Upper(name) = 'ALPHA'", 0, true},
      {"upper(name) = 'ALPHA'", 0, true},
      {"UPPER (name) = 'ALPHA'", 0, true},
      {"Lower(name) = 'alpha'", 0, true},
      {"Lower(Upper(name)) = 'alpha'", 0, true},
      {"Upper(notes) = '  MEMO TEXT  '", 0, true},
      {"Upper('a\xe9z') = 'A\xe9Z'", 0, true},
      {"Trim(notes) = 'Memo text'", 0, true},
      {"TrimLeft(notes) = 'Memo text  '", 0, true},
      {"TrimRight(notes) = '  Memo text'", 0, true},
      {"Trim('   ') = ''", 0, true},
      {"Substring(name, 2, 3) = 'lph'", 0, true},
      {"Substring(name, 4, 10) = 'ha'", 0, true},
      {"Substring(name, 5, 1) = 'a'", 0, true},
      {"Substring(name, 6, 2) = ''", 0, true},
      {"Substring(name, 9, 2) = ''", 0, true},
      {"Substring(name, 1, 0) = ''", 0, true},
      {"Substring(notes, 3, 4) = 'Memo'", 0, true},
      {"Year(day) = 2004", 0, true},
      {"Month(day) = 3", 0, true},
      {"Day(day) = 15", 0, true},
      {"Year(stamp) = 2004", 0, true},
      {"Month(stamp) = 3", 0, true},
      {"Day(stamp) = 15", 0, true},
      {"Hour(at) = 13", 0, true},
      {"Minute(at) = 45", 0, true},
      {"Second(at) = 30", 0, true},
      {"Hour(stamp) = 13", 0, true},
      {"Minute(stamp) = 45", 0, true},
      {"Second(stamp) = 30", 0, true},
      {"Year(GETDATE()) >= 2024", 0, true},
      {"GETDATE() > stamp", 0, true},
  });
}

// Whether the expression's root has the expected type and value after one evaluation.
struct TValueCase {
  const char* text;
  TFieldType type;
  double number;
  const char* text_value;
};

TEST_F(EvaluateTest, ArithmeticResultsAndTypes) {
  const double march15 = static_cast<double>(EncodeDayNumber(2004, 3, 15));
  const double stamp = march15 * kMsPerDay + 49530250;
  const TValueCase cases[] = {
      {"int + 1", ftInteger, 43, nullptr},
      {"small + small", ftInteger, -10, nullptr},
      {"word + 1", ftInteger, 65536, nullptr},
      {"small * word", ftInteger, -327675, nullptr},
      {"word - word", ftInteger, 0, nullptr},
      {"int + big", ftLargeint, 5000000042.0, nullptr},
      {"big * 2", ftLargeint, 10000000000.0, nullptr},
      {"int + price", ftFloat, 44.5, nullptr},
      {"cost + int", ftCurrency, 52.25, nullptr},
      {"price + cost", ftCurrency, 12.75, nullptr},
      {"price * 2", ftFloat, 5, nullptr},
      {"int / 4", ftFloat, 10.5, nullptr},
      {"small / small", ftFloat, 1, nullptr},
      {"id + int", ftAutoInc, 49, nullptr},
      {"int + id", ftInteger, 49, nullptr},
      {"2147483647 + 1", ftInteger, -2147483648.0, nullptr},
      {"-2147483648 - 1", ftInteger, 2147483647.0, nullptr},
      {"65536 * 65536", ftInteger, 0, nullptr},
      {"1.5E1 + 1", ftFloat, 16, nullptr},
      {"int - -1", ftInteger, 43, nullptr},
      {"int--1", ftInteger, 43, nullptr},
      {"name + 'x'", ftString, 0, "Alphax"},
      {"name + notes", ftString, 0, "Alpha  Memo text  "},
      {"'' + ''", ftString, 0, ""},
      {"day + 1", ftDate, march15 + 1, nullptr},
      {"day + 1.9", ftDate, march15 + 1, nullptr},
      {"day - 1", ftInteger, march15 - 1, nullptr},
      {"day - '3/1/2004'", ftInteger, 14, nullptr},
      {"day - day", ftInteger, 0, nullptr},
      {"at + 1000", ftTime, 49531250, nullptr},
      {"at - '13:00'", ftInteger, 2730250, nullptr},
      {"at - at", ftInteger, 0, nullptr},
      {"at - 250", ftInteger, 49530000, nullptr},
      {"stamp + 1", ftDateTime, stamp + kMsPerDay, nullptr},
      {"stamp + 1.9", ftDateTime, stamp + kMsPerDay, nullptr},
      {"stamp - 1", ftFloat, stamp - kMsPerDay, nullptr},
      {"stamp - '3/15/2004'", ftFloat, 49530250, nullptr},
      {"stamp - stamp", ftFloat, 0, nullptr},
      {"'3/16/2004' - stamp", ftFloat, 86400000 - 49530250, nullptr},
      {"stamp - day", ftFloat, 49530250, nullptr},
      {"Year(day)", ftInteger, 2004, nullptr},
      {"Substring(name, 2, 2) + Upper(code)", ftString, 0, "lpAB12"},
  };
  for (const auto& c : cases) {
    try {
      parser.Parse(c.text);
      parser.Evaluate(0);
    } catch (const Exception& e) {
      ADD_FAILURE() << c.text << ": " << e.Message();
      continue;
    }
    const TValueView value = Root().Value();
    EXPECT_EQ(value.type, c.type) << c.text;
    if (c.text_value != nullptr)
      EXPECT_EQ(value.Text(), c.text_value) << c.text;
    else
      EXPECT_EQ(value.AsFloat(), c.number) << c.text;
  }
}

TEST_F(EvaluateTest, DivisionByZeroRaisesTheFloatingPointError) {
  for (const char* text : {"int / 0 = 1", "price / (int - 42) > 0", "0 / 0 = 1"}) {
    parser.Parse(text);
    try {
      parser.Evaluate(0);
      ADD_FAILURE() << text;
    } catch (const EZeroDivide& e) {
      EXPECT_EQ(e.Message(), "Floating point division by zero");
    }
  }
}

TEST_F(EvaluateTest, AndOrEvaluateTheRightSideOnlyWhenItDecides) {
  Expect({
      {"int = 0 AND int / 0 = 1", 0, false},
      {"int = 42 OR int / 0 = 1", 0, true},
      {"NOT (int = 0 AND int / 0 = 1)", 0, true},
  });
  EXPECT_THROW(Eval("int = 42 AND int / 0 = 1"), EZeroDivide);
  EXPECT_THROW(Eval("int = 0 OR int / 0 = 1"), EZeroDivide);
  const int reads = source.BlobReads();
  EXPECT_FALSE(Eval("int = 0 AND notes = 'x'"));
  EXPECT_EQ(source.BlobReads(), reads);
  // IN evaluates every item, even after a match.
  EXPECT_THROW(Eval("int IN (42, int / 0)"), EZeroDivide);
}

TEST_F(EvaluateTest, ResultIsTheFirstByteOfTheRootValue) {
  Expect({{"name", 0, true},
          {"int", 0, true},
          {"flag", 0, true},
          {"[True]", 0, false},
          {"notes", 0, true},
          {"pic", 0, false},
          {"TRUE", 0, true},
          {"'' + ''", 0, false}});
  source.SetInt("int", 256);  // first byte of the little-endian value is 0
  EXPECT_FALSE(Eval("int"));
  source.SetText("name", "");
  EXPECT_FALSE(Eval("name"));
  source.SetInt("True", 256);  // a stored Boolean is read by its first byte
  EXPECT_FALSE(Eval("[True]"));
}

TEST_F(EvaluateTest, FieldsFollowTheRecordBuffer) {
  parser.Parse("name = 'Alpha' AND int > 40 AND notes LIKE '%Memo%'");
  EXPECT_TRUE(parser.Evaluate(0));
  source.SetText("name", "Beta");
  EXPECT_FALSE(parser.Evaluate(0));
  source.SetText("name", "Alpha");
  source.SetText("notes", "none");
  EXPECT_FALSE(parser.Evaluate(0));
  source.SetText("notes", "Memo");
  const int reads = source.BlobReads();
  EXPECT_TRUE(parser.Evaluate(0));
  EXPECT_TRUE(parser.Evaluate(0));
  EXPECT_EQ(source.BlobReads(), reads + 2);  // a blob is read on every evaluation
  // The buffer may move between evaluations.
  std::vector<uint8_t> moved = source.Record();
  source.Record().swap(moved);
  std::fill(moved.begin(), moved.end(), 0xFF);
  EXPECT_TRUE(parser.Evaluate(0));
}

TEST_F(EvaluateTest, DamagedRecordsStayInsideTheirSlots) {
  // A text slot without its NUL: the slot's size ends the text.
  const auto& field = source.Fields()[0];
  std::fill_n(source.Record().begin() + field.slot.offset, field.slot.size, 'x');
  EXPECT_TRUE(Eval("name = '" + std::string(field.slot.size, 'x') + "'"));
  EXPECT_TRUE(Eval("name LIKE '%x'"));
  EXPECT_TRUE(Eval("Upper(name) = '" + std::string(field.slot.size, 'X') + "'"));
  // Date-time values that are no real dates still decode.
  source.SetFloat("stamp", std::nan(""));
  EXPECT_FALSE(Eval("stamp = stamp"));
  EXPECT_TRUE(Eval("stamp <> stamp"));
  EXPECT_FALSE(Eval("Year(stamp) = 2004"));
  source.SetFloat("stamp", 1e300);
  EXPECT_FALSE(Eval("Hour(stamp) = 99"));
  EXPECT_NO_THROW(Eval("Day(stamp + 1) = 1 AND Minute(stamp + 1) = 1"));
  source.SetInt("day", -2147483647 - 1);
  EXPECT_FALSE(Eval("Year(day) = 2004"));
  EXPECT_FALSE(Eval("day + 2147483647 = day"));
  source.SetInt("at", -1);
  EXPECT_TRUE(Eval("Hour(at) = 23"));
  // A blob text ends at its first NUL.
  source.SetText("notes", std::string("ab\0cd", 5));
  EXPECT_TRUE(Eval("notes = 'ab'"));
}

TEST_F(EvaluateTest, CommaDecimalSeparator) {
  TLocaleSettings settings = SettingsInYear(2026);
  settings.decimalSeparator = ',';
  TLocaleOverride locale(settings);
  Expect({
      {"int IN (1, 42)", 0, true},
      {"int IN (1 , 42)", 0, true},
      {"price = 2,5", 0, true},
      {"int IN (1,42)", 0, false},  // one item: 1,42
      {"price IN (2,5)", 0, true},
  });
}

}  // namespace
}  // namespace tessdb::test
