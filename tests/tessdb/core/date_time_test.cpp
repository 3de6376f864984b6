#include "tessdb/core/date_time.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace tessdb {
namespace {

TEST(DateTime, DayNumbersCountFromFirstJanuaryOfYearOne) {
  struct Case {
    int year, month, day;
    int64_t number;
  };
  // Ordinals as the proleptic Gregorian calendar of Python's datetime gives them.
  const Case cases[] = {{1, 1, 1, 1},
                        {1970, 1, 1, 719163},
                        {2004, 3, 15, 731655},
                        {2000, 2, 29, 730179},
                        {9999, 12, 31, 3652059}};
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeDayNumber(c.year, c.month, c.day), c.number) << c.year;
    const TCalendarDate date = DecodeDayNumber(c.number);
    EXPECT_EQ(date.year, c.year);
    EXPECT_EQ(date.month, c.month);
    EXPECT_EQ(date.day, c.day);
  }
  for (int64_t n = -800; n < 800000; n += 97) {
    const TCalendarDate date = DecodeDayNumber(n);
    EXPECT_EQ(EncodeDayNumber(date.year, date.month, date.day), n);
  }
  // Damaged values decode without overflow.
  for (const int64_t n : {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
                          int64_t{0}, int64_t{-1}}) {
    const TCalendarDate date = DecodeDayNumber(n);
    EXPECT_GE(date.month, 1);
    EXPECT_LE(date.month, 12);
  }
}

TEST(DateTime, ValidityAndTimeOfDay) {
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_FALSE(IsValidDate(0, 1, 1));
  EXPECT_FALSE(IsValidDate(10000, 1, 1));
  EXPECT_FALSE(IsValidDate(2004, 13, 1));
  int32_t ms = 0;
  EXPECT_TRUE(EncodeTimeOfDay(23, 59, 59, 999, ms));
  EXPECT_EQ(ms, kMsPerDay - 1);
  EXPECT_FALSE(EncodeTimeOfDay(24, 0, 0, 0, ms));
  EXPECT_EQ(TimeOfDayMs(-1), kMsPerDay - 1);
  EXPECT_EQ(TimeOfDayMs(kMsPerDay + 5), 5);
  EXPECT_EQ(RoundToInt64(std::nan("")), 0);
  EXPECT_EQ(RoundToInt64(2.5), 3);
  EXPECT_EQ(TruncToInt64(-2.7), -2);
  EXPECT_GT(RoundToInt64(1e300), int64_t{9000000000000000000});
  EXPECT_LT(TruncToInt64(-1e300), int64_t{-9000000000000000000});
}

}  // namespace
}  // namespace tessdb
