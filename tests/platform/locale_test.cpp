#include "platform/locale.h"

#include <gtest/gtest.h>
#include <cmath>

#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"
#include "tests/platform/locale_override.h"

namespace tessdb {
namespace {

using test::SettingsInYear;
using test::TLocaleOverride;

TEST(Locale, FloatTextFollowsTheDecimalSeparator) {
  struct Case {
    const char* text;
    char separator;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"1.5", '.', true, 1.5},  {"-2", '.', true, -2},       {"+4", '.', true, 4},
      {"1E3", '.', true, 1000}, {"1e-2", '.', true, 0.01},   {".5", '.', true, 0.5},
      {"5.", '.', true, 5},     {"2.5E+1", '.', true, 25},   {"", '.', false, 0},
      {"-", '.', false, 0},     {"1E", '.', false, 0},       {"1.2.3", '.', false, 0},
      {"abc", '.', false, 0},   {"1e400", '.', false, 0},    {"1,5", '.', false, 0},
      {"1 ", '.', false, 0},    {"inf", '.', false, 0},      {"1,5", ',', true, 1.5},
      {"1.5", ',', false, 0},   {"-0,25E1", ',', true, -2.5}};
  for (const auto& c : cases) {
    TLocaleSettings settings;
    settings.decimalSeparator = c.separator;
    TLocaleOverride locale(settings);
    double value = 0;
    EXPECT_EQ(TryStrToFloat(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
  }
  try {
    StrToFloat("1E");
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'1E' is not a valid floating point value");
  }
}

TEST(Locale, TwoDigitYearsLandInTheCenturyWindow) {
  struct Case {
    int currentYear, window, year, expected;
  };
  const Case cases[] = {{2026, 50, 0, 2000},  {2026, 50, 75, 2075}, {2026, 50, 76, 1976},
                        {2026, 50, 99, 1999}, {2026, 50, 4, 2004},  {2026, 0, 99, 2099},
                        {2026, 10, 15, 2115}, {2026, 10, 16, 2016}, {2026, 10, 14, 2114}};
  for (const auto& c : cases) {
    TLocaleSettings settings = SettingsInYear(c.currentYear);
    settings.twoDigitYearCenturyWindow = c.window;
    TLocaleOverride locale(settings);
    EXPECT_EQ(ExpandTwoDigitYear(c.year), c.expected) << c.year << " window " << c.window;
  }
}

TEST(Locale, DateAndTimeTextsInALayout) {
  TLocaleOverride locale(SettingsInYear(2026));
  const int32_t march15 = static_cast<int32_t>(EncodeDayNumber(2004, 3, 15));
  TDateTimeLayout mdy;
  TDateTimeLayout dmy{TDateOrder::doDMY, '.', ':', ',', "vorm.", "nachm."};
  TDateTimeLayout ymd{TDateOrder::doYMD, '-', ':', '.', "AM", "PM"};
  struct Case {
    const char* text;
    const TDateTimeLayout* layout;
    bool ok;
    int32_t day;
  };
  const Case dates[] = {{"3/15/2004", &mdy, true, march15}, {" 3 / 15 / 04 ", &mdy, true, march15},
                        {"15.3.2004", &dmy, true, march15}, {"2004-3-15", &ymd, true, march15},
                        {"04-03-15", &ymd, true, march15},  {"15/3/2004", &mdy, false, 0},
                        {"2/29/2003", &mdy, false, 0},      {"2/29/2004", &mdy, true, march15 - 15},
                        {"3/15", &mdy, false, 0},           {"3/15/2004 1:00", &mdy, false, 0},
                        {"1/1/20045", &mdy, false, 0},      {"1/1/0004", &mdy, true, 1096},
                        {"0/1/2004", &mdy, false, 0},       {"", &mdy, false, 0}};
  for (const auto& c : dates) {
    int32_t day = 0;
    EXPECT_EQ(ScanDate(c.text, *c.layout, day), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(day, c.day) << c.text;
    }
  }
  struct TimeCase {
    const char* text;
    const TDateTimeLayout* layout;
    bool ok;
    int32_t ms;
  };
  const TimeCase times[] = {{"10", &mdy, true, 36000000},
                            {"1:02:03.4", &mdy, true, 3723004},
                            {"10:00 PM", &mdy, true, 79200000},
                            {"pm 10:00", &mdy, true, 79200000},
                            {"12:00 AM", &mdy, true, 0},
                            {"12:30pm", &mdy, true, 45000000},
                            {"13:00 PM", &mdy, false, 0},
                            {"0:10 AM", &mdy, false, 0},
                            {"24:00", &mdy, false, 0},
                            {"1:60", &mdy, false, 0},
                            {"1:", &mdy, false, 0},
                            {"1:02:03,5", &dmy, true, 3723005},
                            {"2:00 nachm.", &dmy, true, 50400000},
                            {"2:00 PM", &dmy, true, 50400000},
                            {"AM", &mdy, false, 0},
                            {"1:02 AM PM", &mdy, false, 0}};
  for (const auto& c : times) {
    int32_t ms = 0;
    EXPECT_EQ(ScanTime(c.text, *c.layout, ms), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(ms, c.ms) << c.text;
    }
  }
  double stamp = 0;
  ASSERT_TRUE(ScanDateTime("3/15/2004 1:02 PM", mdy, stamp));
  EXPECT_EQ(stamp, static_cast<double>(march15) * kMsPerDay + 46920000);
  ASSERT_TRUE(ScanDateTime("3/15/2004", mdy, stamp));
  EXPECT_EQ(stamp, static_cast<double>(march15) * kMsPerDay);
  ASSERT_TRUE(ScanDateTime("1:02", mdy, stamp));
  EXPECT_EQ(stamp, 3720000);
  EXPECT_FALSE(ScanDateTime("3/15/2004 x", mdy, stamp));
}

TEST(Locale, ConversionsRaiseThePlatformMessages) {
  struct Case {
    const char* text;
    int kind;
    const char* message;
  };
  const Case cases[] = {{"10:00", 0, "'10:00' is not a valid date"},
                        {"3/15/2004", 1, "'3/15/2004' is not a valid time"},
                        {"x", 2, "'x' is not a valid date and time"}};
  for (const auto& c : cases) {
    try {
      if (c.kind == 0) StrToDate(c.text);
      if (c.kind == 1) StrToTime(c.text);
      if (c.kind == 2) StrToDateTime(c.text);
      ADD_FAILURE() << c.text;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(Locale, CollationOrdersBytesAndFoldsAsciiCase) {
  struct Case {
    const char* left;
    const char* right;
    bool ignoreCase;
    int sign;
  };
  const Case cases[] = {
      {"a", "b", false, -1},   {"B", "a", false, -1},    {"B", "a", true, 1},
      {"abc", "ABC", true, 0}, {"abc", "ABC", false, 1}, {"ab", "abc", false, -1},
      {"", "", false, 0},      {"\xe9", "z", false, 1},  {"\xe9", "\xc9", true, 1}};
  for (const auto& c : cases) {
    const int result =
        CompareLocaleText(c.left, strlen(c.left), c.right, strlen(c.right), c.ignoreCase);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.left << " " << c.right;
  }
}

TEST(Locale, NowIsAPlausibleLocalTimeStamp) {
  const double now = NowTimeStamp();
  const TCalendarDate date = DecodeDayNumber(static_cast<int64_t>(now) / kMsPerDay);
  EXPECT_GE(date.year, 2024);
  EXPECT_LE(date.year, 2100);
}

}  // namespace
}  // namespace tessdb
