#include "tessdb/filter/like_match.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

#include "tests/tessdb/filter/filter_fixture.h"

namespace tessdb {
namespace {

// The five matching rules, applied literally by recursion: the reference the fast matcher must
// agree with.
bool ReferenceLike(const std::string& text, size_t i, const std::string& pattern, size_t j) {
  if (j < pattern.size() && pattern[j] == '%' && j + 1 == pattern.size()) return true;  // rule 1
  if (i == text.size()) return j == pattern.size();                                     // rule 2
  if (j < pattern.size() && pattern[j] == '%')                                          // rule 3
    return ReferenceLike(text, i, pattern, j + 1) || ReferenceLike(text, i + 1, pattern, j);
  if (j == pattern.size()) return false;  // rule 4
  if (pattern[j] != '_' && pattern[j] != text[i]) return false;
  return ReferenceLike(text, i + 1, pattern, j + 1);  // rule 5
}

TEST(LikeMatch, FollowsTheFiveRules) {
  struct Case {
    const char* text;
    const char* pattern;
    bool ignoreCase;
    bool match;
  };
  const Case cases[] = {
      {"Alpha", "a%", true, true},    {"Alpha", "a%", false, false}, {"Al", "A_", false, true},
      {"Alp", "A_", false, false},    {"", "%", false, true},        {"a", "a%%", false, false},
      {"ab", "a%%", false, true},     {"a", "a%", false, true},      {"", "%%", false, false},
      {"x", "%%", false, true},       {"abc", "%b%", false, true},   {"abc", "%c", false, true},
      {"abc", "%d", false, false},    {"abc", "a_c", false, true},   {"abc", "a_", false, false},
      {"Alpha", "Al*", false, false}, {"Al*", "Al*", false, true},   {"ab", "a%b", false, true},
      {"aXb", "a%b", false, true},    {"", "", false, true},         {"a", "", false, false},
      {"", "a", false, false},        {"", "_", false, false},       {"ALPHA", "al_ha", true, true},
      {"\xe9", "\xc9", true, false},  {"a%b", "a%b", false, true},   {"aab", "%ab", false, true},
      {"abab", "%ab", false, true},   {"abac", "%ab", false, false}, {"b", "%a%", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(LikeMatch(c.text, c.pattern, c.ignoreCase), c.match)
        << "'" << c.text << "' LIKE '" << c.pattern << "'";
  }
}

TEST(LikeMatch, AgreesWithTheRulesOnEveryShortPattern) {
  std::mt19937 random(20261211);
  const char patternChars[] = {'a', 'b', '%', '_'};
  for (int round = 0; round < 40000; ++round) {
    std::string text, pattern;
    const int textLength = random() % 7;
    const int patternLength = random() % 7;
    for (int i = 0; i < textLength; ++i) text += static_cast<char>('a' + random() % 2);
    for (int i = 0; i < patternLength; ++i) pattern += patternChars[random() % 4];
    ASSERT_EQ(LikeMatch(text, pattern, false), ReferenceLike(text, 0, pattern, 0))
        << "'" << text << "' LIKE '" << pattern << "'";
  }
}

TEST(LikeMatch, ManyPercentSignsAgainstALongText) {
  // Backtracking over every split would take astronomically long here.
  std::string pattern;
  for (int i = 0; i < 40; ++i) pattern += "%a";
  EXPECT_FALSE(LikeMatch(std::string(20000, 'a'), pattern + "%b", false));
  EXPECT_TRUE(LikeMatch(std::string(20000, 'a') + "b", pattern + "%b", false));
  EXPECT_FALSE(LikeMatch(std::string(20000, 'a'), std::string(200, '%') + "b", false));
}

class LikeFilterTest : public test::FilterTest {};

TEST_F(LikeFilterTest, ThroughTheParser) {
  struct Case {
    const char* name;
    const char* pattern;
    TFilterOptions options;
    bool match;
  };
  const Case cases[] = {{"Alpha", "a%", test::kCI, true},
                        {"Alpha", "a%", 0, false},
                        {"Al", "A_", 0, true},
                        {"Alp", "A_", 0, false},
                        {"", "%", 0, true},
                        {"a", "a%%", 0, false},
                        {"Al*", "Al*", test::kNoPartial, true},
                        {"Alpha", "Al*", 0, false},
                        {"it's", "%''%", 0, true}};
  for (const auto& c : cases) {
    source.SetText("name", c.name);
    EXPECT_EQ(Eval(std::string("name LIKE '") + c.pattern + "'", c.options), c.match)
        << c.name << " LIKE " << c.pattern;
  }
  source.SetText("notes", std::string(50000, 'a'));
  std::string pattern;
  for (int i = 0; i < 60; ++i) pattern += "%a";
  EXPECT_FALSE(Eval("notes LIKE '" + pattern + "%b'"));
}

}  // namespace
}  // namespace tessdb
