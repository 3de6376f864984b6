#include <string>

#include "tests/tessdb/filter/filter_fixture.h"

namespace tessdb::test {
namespace {

struct TErrorCase {
  const char* text;
  const char* message;  // "" when the text parses
};

class ParserTest : public FilterTest {
 protected:
  void Expect(std::initializer_list<TErrorCase> cases) {
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.text), c.message) << "text: " << c.text;
  }
};

TEST_F(ParserTest, TokensAndTheirErrors) {
  Expect({
      {"name='Alpha'", ""},
      {"name = 'O''Brien'", ""},
      {"name='O'Brien'", "Filter expression incorrectly terminated"},
      {"name = 'abc", "Unterminated string constant"},
      {"name = 'abc''", "Unterminated string constant"},
      {"[first name] = 'x'", ""},
      {"[first name = 'x'", "Unterminated field name"},
      {"[] = 'x'", "Field '' not found"},
      {"name # 'a'", "Invalid filter expression character: '#'"},
      {"name = 'a' ; ", "Invalid filter expression character: ';'"},
      {"int = 1 \x80", "Invalid filter expression character: '\x80'"},
      {"\x81x = 1", "Field '\x81x' not found"},
      {"int>=1 AND int<=100 AND int<>1 AND int>1 AND int<100 AND int=42", ""},
      {"name like 'A%' and int in (1, 42) or flag", ""},
      {"int = 1.5.5", "'1.5.5' is not a valid floating point value"},
      {"int = 1E", "'1E' is not a valid floating point value"},
      {"int = 1E+2", ""},
      {"int = 1e-2", ""},
      {"-int = 1", "'-' is not a valid floating point value"},
      {"int = - 1", "'-' is not a valid floating point value"},
      {"nosuch = 1", "Field 'nosuch' not found"},
      {"NOSUCH.x = 1", "Field 'NOSUCH.x' not found"},
      {"a[1]_b.c = 1", "Field 'a[1]_b.c' not found"},
  });
}

TEST_F(ParserTest, CommentsOnePerToken) {
  Expect({
      {"/* c */ name='a'", ""},
      {"name='a' /* c */", ""},
      {"name /**/ = /* x */ 'a'", ""},
      {"/* a*b */ name='a'", "Invalid filter expression character: '*'"},
      {"/* open name='a'", "Invalid filter expression character: ''"},
      {"/*/ name='a'", "Invalid filter expression character: ''"},
      {"name='a' /* c *", "Invalid filter expression character: '*'"},
      {"/* a */ /* b */ name='a'", "Expression expected but '/' found"},
      {"name = 'a'/* c */", ""},
  });
}

TEST_F(ParserTest, GrammarErrors) {
  Expect({
      {"", "Expression expected but nothing found"},
      {"   \t\n", "Expression expected but nothing found"},
      {"int = 1 name", "Filter expression incorrectly terminated"},
      {"int = 1 = 2", "Filter expression incorrectly terminated"},
      {"name = ", "Expression expected but nothing found"},
      {"name = )", "Expression expected but ')' found"},
      {"name = 'x' AND", "Expression expected but nothing found"},
      {"int = 1 AND -1 = int", "Expression expected but '-' found"},
      {"NOT", "Expression expected but nothing found"},
      {"NOT NOT flag", "Field 'NOT' not found"},
      {"(name = 'a'", "')' expected but nothing found"},
      {"(name = 'a' name", "')' expected but 'name' found"},
      {"name IN 'a'", "'(' expected but ''a'' found"},
      {"name IN", "'(' expected but nothing found"},
      {"name IN ()", "IN predicate list may not be empty"},
      {"name IN ('a' 'b')", "')' or ',' expected but ''b'' found"},
      {"name IN ('a',", "Expression expected but nothing found"},
      {"name IN ('a'", "')' or ',' expected but nothing found"},
      {"Upper(name", "')' or ',' expected but nothing found"},
      {"Upper(name name) = 'A'", "')' or ',' expected but 'name' found"},
      {"Upper (name) = 'ALPHA'", ""},
      {"uPPer(name) = 'ALPHA'", ""},
      {"Upper = 'x'", "Field 'Upper' not found"},
      {"GETDATE > stamp", "Field 'GETDATE' not found"},
      {"True(1)", "Filter expression incorrectly terminated"},
      {"[True] = flag", ""},
      {"name LIKE", "Expression expected but nothing found"},
      {"int + ", "Expression expected but nothing found"},
      {"int + * 2", "Expression expected but '*' found"},
  });
}

TEST_F(ParserTest, NodesOfAComparison) {
  parser.Parse("name='Alpha'");
  const TExprNode& root = Root();
  EXPECT_EQ(root.kind, enOperator);
  EXPECT_EQ(root.op, coEQ);
  EXPECT_EQ(root.dataType, ftBoolean);
  EXPECT_EQ(root.left->kind, enField);
  EXPECT_EQ(root.left->name, "name");
  EXPECT_EQ(root.left->dataType, ftString);
  EXPECT_EQ(root.right->kind, enConst);
  EXPECT_EQ(root.right->Text(), "Alpha");
  EXPECT_EQ(root.right->partialLength, -1);
  EXPECT_EQ(parser.Nodes().Count(), 3u);

  struct Case {
    const char* text;
    const char* constant;
    int32_t partial;
  };
  const Case strings[] = {{"name = 'O''Brien'", "O'Brien", -1},
                          {"name='Alp*'", "Alp*", 3},
                          {"name='*a*'", "*a*", 0},
                          {"name=''", "", -1},
                          {"name=''''", "'", -1}};
  for (const auto& c : strings) {
    parser.Parse(c.text);
    EXPECT_EQ(Root().right->Text(), c.constant) << c.text;
    EXPECT_EQ(Root().right->partialLength, c.partial) << c.text;
  }

  // A literal keeps its first 256 characters; the rest is read and dropped.
  parser.Parse("name = '" + std::string(300, 'x') + "' AND flag");
  EXPECT_EQ(Root().left->right->Text(), std::string(256, 'x'));
  parser.Parse("name = '" + std::string(255, 'x') + "'''");
  EXPECT_EQ(Root().right->Text(), std::string(255, 'x') + "'");
}

TEST_F(ParserTest, NumberAndBooleanConstants) {
  struct Case {
    const char* text;
    TFieldType type;
    double value;
  };
  const Case cases[] = {{"int = 2147483647", ftInteger, 2147483647.0},
                        {"int = -2147483648", ftInteger, -2147483648.0},
                        {"int = 2147483648", ftFloat, 2147483648.0},
                        {"int = 007", ftInteger, 7},
                        {"int = 1.5", ftFloat, 1.5},
                        {"int = 2E3", ftFloat, 2000},
                        {"flag = TRUE", ftBoolean, 1},
                        {"flag = true", ftBoolean, 1},
                        {"flag = False", ftBoolean, 0}};
  for (const auto& c : cases) {
    parser.Parse(c.text);
    const TValueView value = Root().right->Value();
    EXPECT_EQ(value.type, c.type) << c.text;
    if (c.type == ftBoolean)
      EXPECT_EQ(value.FirstByte(), c.value != 0) << c.text;
    else
      EXPECT_EQ(value.AsFloat(), c.value) << c.text;
  }
  parser.Parse("[True] = flag");
  EXPECT_EQ(Root().left->kind, enField);
}

TEST_F(ParserTest, TypeRules) {
  const char* accepted[] = {"int = 1.5",
                            "small < big",
                            "price >= word",
                            "cost <> id",
                            "day = '3/15/2004'",
                            "stamp > '3/15/2004 10:00'",
                            "at = '10:30'",
                            "'3/15/2004' = day",
                            "day < stamp",
                            "name = 'x'",
                            "name = notes",
                            "notes = data",
                            "code = name",
                            "pic = fmt",
                            "flag = TRUE",
                            "flag <> FALSE",
                            "name LIKE 'a%'",
                            "notes LIKE name",
                            "int IN (1, 2.5, big)",
                            "name IN ('a', notes)",
                            "day IN ('3/15/2004', day, stamp)",
                            "flag IN (TRUE)",
                            "int + small = 1",
                            "name + 'x' = 'y'",
                            "day - 1 = 0",
                            "day + 1 = day",
                            "at - 1 = 0",
                            "stamp + 1.5 > stamp",
                            "'3/15/2004' - stamp > 0",
                            "day - '3/1/2004' = 14",
                            "stamp - day > 0",
                            "Upper(name) = 'A'",
                            "Lower(notes) = 'a'",
                            "Trim(code) = 'a'",
                            "Substring(name, 1, 2) = 'Al'",
                            "Year(day) = 2004",
                            "Day(stamp) = 1",
                            "Hour(at) = 1",
                            "Second(stamp) = 1",
                            "Year(GETDATE()) > 2000",
                            "flag AND NOT flag OR flag",
                            "(int = 1) = TRUE"};
  for (const char* text : accepted) EXPECT_EQ(ErrorOf(text), "") << text;

  const char* refused[] = {"int = 'x'",
                           "int = name",
                           "name = 1",
                           "day = 1",
                           "day = name",
                           "day = 'abc'",
                           "flag = 1",
                           "flag < TRUE",
                           "flag >= TRUE",
                           "name LIKE 1",
                           "int LIKE 'a'",
                           "int IN ('a')",
                           "name IN (1)",
                           "flag IN (1)",
                           "day IN (1)",
                           "NOT int",
                           "int AND flag",
                           "flag OR name",
                           "name - 'x'",
                           "name * 'x'",
                           "name + 1",
                           "flag + 1",
                           "day * 2",
                           "day / 2",
                           "day + day",
                           "day + '3/1/2004'",
                           "int + name",
                           "Upper(int) = 'A'",
                           "Upper(name, name) = 'A'",
                           "Upper() = 'A'",
                           "Substring(name, 1, int) = 'A'",
                           "Substring(name, 1.5, 2) = 'A'",
                           "Substring(name, 1) = 'A'",
                           "Year(at) = 1",
                           "Year(name) = 1",
                           "Hour(day) = 1",
                           "GETDATE(1) > stamp",
                           "'x' = day",
                           "'abc' - stamp > 0",
                           "day = '2/29/2003'",
                           "at = '13:00 PM'",
                           "int = TRUE"};
  for (const char* text : refused) EXPECT_EQ(ErrorOf(text), "Type mismatch in expression") << text;
}

TEST_F(ParserTest, DateStringsConvertToTheTypeTheyMeet) {
  const int64_t march15 = EncodeDayNumber(2004, 3, 15);
  struct Case {
    const char* text;
    TFieldType type;
    double value;
    const char* error;
  };
  const Case cases[] = {
      {"day = '3/15/2004'", ftDate, double(march15), ""},
      {"day = '03/15/04'", ftDate, double(march15), ""},
      {"day = ' 3 / 15 / 2004 '", ftDate, double(march15), ""},
      {"day = '3/15/76'", ftDate, double(EncodeDayNumber(1976, 3, 15)), ""},
      {"day = '3/15/75'", ftDate, double(EncodeDayNumber(2075, 3, 15)), ""},
      {"day = '1/1/0004'", ftDate, double(EncodeDayNumber(4, 1, 1)), ""},
      {"at = '10:00'", ftTime, 36000000, ""},
      {"at = '10'", ftTime, 36000000, ""},
      {"at = '10:00 PM'", ftTime, 79200000, ""},
      {"at = 'pm 10:00'", ftTime, 79200000, ""},
      {"at = '12:00 AM'", ftTime, 0, ""},
      {"at = '12:30 PM'", ftTime, 45000000, ""},
      {"at = '1:02:03.4'", ftTime, 3723004, ""},
      {"stamp = '3/15/2004 1:02 PM'", ftDateTime, double(march15) * kMsPerDay + 46920000, ""},
      {"stamp = '3/15/2004'", ftDateTime, double(march15) * kMsPerDay, ""},
      {"stamp = '1:02'", ftDateTime, 3720000, ""},
      {"day = '10:00'", ftDate, 0, "'10:00' is not a valid date"},
      {"day = '3/15/2004 10:00'", ftDate, 0, "'3/15/2004 10:00' is not a valid date"},
      {"at = '3/15/2004'", ftTime, 0, "'3/15/2004' is not a valid time"},
      {"day IN ('x10:00', '10:00')", ftDate, 0, "Type mismatch in expression"},
      {"day IN ('3/15/2004', '10:00')", ftDate, 0, "'10:00' is not a valid date"},
  };
  for (const auto& c : cases) {
    const std::string error = ErrorOf(c.text);
    EXPECT_EQ(error, c.error) << c.text;
    if (!error.empty()) continue;
    const TValueView value = Root().right->Value();
    EXPECT_EQ(value.type, c.type) << c.text;
    EXPECT_EQ(value.AsFloat(), c.value) << c.text;
  }
  // A text on the left meets the date-time on the right.
  parser.Parse("'3/15/2004' = day");
  EXPECT_EQ(Root().left->dataType, ftDate);
  // The locale's own form counts too, beside the fixed one.
  TLocaleSettings german = SettingsInYear(2026);
  german.dateOrder = TDateOrder::doDMY;
  german.dateSeparator = '.';
  german.decimalSeparator = ',';
  TLocaleOverride locale(german);
  EXPECT_TRUE(Eval("day = '15.03.2004'"));
  EXPECT_TRUE(Eval("day = '3/15/2004'"));
  EXPECT_TRUE(Eval("at = '13:45:30,250'"));
}

TEST_F(ParserTest, NestingAndTreeHeightAreBounded) {
  const auto nested = [](const std::string& open, int depth, const std::string& inner) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    text += std::string(depth, ')');
    return text;
  };
  EXPECT_EQ(ErrorOf(nested("(", 200, "int = 42")), "");
  EXPECT_TRUE(parser.Evaluate(0));
  EXPECT_EQ(ErrorOf(nested("(", 300, "int = 42")), "Filter expression nested too deeply");
  EXPECT_EQ(ErrorOf(nested("(", 100000, "int = 42")), "Filter expression nested too deeply");
  EXPECT_EQ(ErrorOf(nested("Upper(", 300, "name") + " = 'A'"),
            "Filter expression nested too deeply");
  EXPECT_EQ(ErrorOf(nested("NOT (", 300, "flag")), "Filter expression nested too deeply");
  EXPECT_EQ(ErrorOf(nested("int IN (", 300, "1")), "Filter expression nested too deeply");

  std::string chain = "int";
  for (int i = 0; i < 500; ++i) chain += " + 1";
  EXPECT_EQ(ErrorOf(chain + " = 542"), "");
  EXPECT_TRUE(parser.Evaluate(0));
  for (int i = 0; i < 100000; ++i) chain += " + 1";
  EXPECT_EQ(ErrorOf(chain + " = 1"), "Filter expression too complex");

  // After a failed parse nothing is left to evaluate.
  EXPECT_THROW(parser.Evaluate(0), EDatabaseError);
}

TEST_F(ParserTest, ParseReplacesThePreviousTree) {
  parser.Parse("int = 42");
  EXPECT_TRUE(parser.Evaluate(0));
  EXPECT_THROW(parser.Parse("int = "), EDatabaseError);
  EXPECT_THROW(parser.Evaluate(0), EDatabaseError);
  parser.Parse("int = 1");
  EXPECT_FALSE(parser.Evaluate(0));
  TFilterParser fresh(source);
  try {
    fresh.Evaluate(0);
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Filter expression has not been parsed");
  }
}

TEST_F(ParserTest, GetDateIsFixedAtParseTime) {
  parser.Parse("stamp < GETDATE()");
  const TExprNode& now = *Root().right;
  EXPECT_EQ(now.kind, enConst);
  EXPECT_EQ(now.dataType, ftDateTime);
  const double parsedAt = now.Value().AsFloat();
  EXPECT_NEAR(parsedAt, NowTimeStamp(), 60000);
  EXPECT_TRUE(parser.Evaluate(0));
  EXPECT_EQ(Root().right->Value().AsFloat(), parsedAt);
}

TEST_F(ParserTest, FunctionTypes) {
  EXPECT_EQ(parser.GetFunctionType("year"), ftInteger);
  EXPECT_EQ(parser.GetFunctionType("SECOND"), ftInteger);
  EXPECT_EQ(parser.GetFunctionType("GetDate"), ftDateTime);
  EXPECT_EQ(parser.GetFunctionType("UPPER"), ftUnknown);
  for (const char* name : {"UPPER", "lower", "Substring", "TRIM", "TRIMLEFT", "TRIMRIGHT", "YEAR",
                           "MONTH", "DAY", "HOUR", "MINUTE", "SECOND", "GETDATE"})
    EXPECT_TRUE(parser.IsFunctionName(name)) << name;
  EXPECT_FALSE(parser.IsFunctionName("LEN"));
  EXPECT_EQ(parser.GetFieldType("stamp"), ftDateTime);
  EXPECT_THROW(parser.GetFieldType("nosuch"), EDatabaseError);
}

}  // namespace
}  // namespace tessdb::test
