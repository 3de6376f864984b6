// A filter parser over the test record, with one standard record loaded and helpers that turn a
// parse or an evaluation into a value a table of cases can compare.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "tessdb/core/exceptions.h"
#include "tessdb/filter/filter_parser.h"
#include "tests/platform/locale_override.h"
#include "tests/tessdb/filter/test_record_source.h"

namespace tessdb::test {

constexpr TFilterOptions kCI = foCaseInsensitive;
constexpr TFilterOptions kNoPartial = foNoPartialCompare;

class FilterTest : public ::testing::Test {
 protected:
  FilterTest()
      : locale_(SettingsInYear(2026)), source(TTestRecordSource::WithEveryType()), parser(source) {
    LoadStandardRecord();
  }

  void LoadStandardRecord() {
    source.Clear();
    source.SetText("name", "Alpha");
    source.SetText("code", "AB12");
    source.SetInt("small", -5);
    source.SetInt("int", 42);
    source.SetInt("word", 65535);
    source.SetBool("flag", true);
    source.SetFloat("price", 2.5);
    source.SetFloat("cost", 10.25);
    source.SetDate("day", 2004, 3, 15);
    source.SetTime("at", 13, 45, 30, 250);
    source.SetDateTime("stamp", 2004, 3, 15, 13, 45, 30, 250);
    source.SetInt("id", 7);
    source.SetInt("big", 5000000000);
    source.SetText("notes", "  Memo text  ");
    source.SetText("data", "blob");
    source.SetText("first name", "John");
    source.SetBool("True", false);
    source.SetText("other", "Al*");
  }

  bool Eval(const std::string& text, TFilterOptions options = 0) {
    parser.Parse(text);
    return parser.Evaluate(options);
  }

  // The message of the error that parsing (and, when it parses, evaluating) raises, or "" when
  // none is raised.
  std::string ErrorOf(const std::string& text) {
    try {
      parser.Parse(text);
      parser.Evaluate(0);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }

  const TExprNode& Root() const { return *parser.Nodes().Root(); }

  TLocaleOverride locale_;
  TTestRecordSource source;
  TFilterParser parser;
};

}  // namespace tessdb::test
