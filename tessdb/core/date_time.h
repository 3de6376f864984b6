// Calendar arithmetic on the engine's stored date and time values, independent of any locale.
//
// Stored forms (the file format's): a date is an int32 day number, 1 = 1 January of year 1,
// counting every day since in the proleptic Gregorian calendar; a time is int32 milliseconds since
// midnight; a date-time is a double holding day number * kMsPerDay + milliseconds since midnight.
// Every function here is total: day numbers outside the years 1..9999 (damaged records) still
// decode to some calendar date without overflow.
#pragma once

#include <cstdint>

namespace tessdb {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kMsPerHour = 3600000;
constexpr int64_t kMsPerMinute = 60000;
constexpr int64_t kMsPerSecond = 1000;

struct TCalendarDate {
  int64_t year;
  int month;  // 1..12
  int day;    // 1..31
};

constexpr bool IsLeapYear(int64_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int64_t year, int month);

// True for a real date of the years 1 to 9999.
bool IsValidDate(int64_t year, int month, int day);

// Day number of a calendar date (no validation; use IsValidDate first).
int64_t EncodeDayNumber(int64_t year, int month, int day);

TCalendarDate DecodeDayNumber(int64_t dayNumber);

// Milliseconds since midnight; false unless hour < 24, minute < 60, second < 60, ms < 1000.
bool EncodeTimeOfDay(int hour, int minute, int second, int millisecond, int32_t& ms);

// The floor-modulo of ms by one day, so negative or oversized times still give a time of day.
int64_t TimeOfDayMs(int64_t ms);

// A double rounded to the nearest integer, clamped into int64 (NaN gives 0): date-time values
// come from stored bytes, and converting an out-of-range double would be undefined behaviour.
int64_t RoundToInt64(double value);
// The same, truncating toward zero.
int64_t TruncToInt64(double value);

}  // namespace tessdb
