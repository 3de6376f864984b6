#include "tessdb/core/date_time.h"

#include <cmath>
#include <limits>

namespace tessdb {
namespace {

// Day number of 1 January 1970, the origin of the civil-day algorithms below.
constexpr int64_t kUnixEpochDayNumber = 719163;

// Floor division for possibly negative numerators.
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Clamps a finite double into the range where the int64 conversion is defined.
double ClampForInt64(double value) {
  constexpr double kLimit = 9.2e18;
  if (std::isnan(value)) return 0;
  if (value > kLimit) return kLimit;
  if (value < -kLimit) return -kLimit;
  return value;
}

}  // namespace

int DaysInMonth(int64_t year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int64_t year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

// Days-from-civil and civil-from-days after H. Hinnant's public-domain algorithms, shifted so
// that 1 January of year 1 is day 1.
int64_t EncodeDayNumber(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kUnixEpochDayNumber;
}

TCalendarDate DecodeDayNumber(int64_t dayNumber) {
  // Keep the arithmetic far from int64 overflow; such values only come from damaged bytes.
  constexpr int64_t kLimit = int64_t{1} << 50;
  if (dayNumber > kLimit) dayNumber = kLimit;
  if (dayNumber < -kLimit) dayNumber = -kLimit;
  const int64_t z = dayNumber - kUnixEpochDayNumber + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

bool EncodeTimeOfDay(int hour, int minute, int second, int millisecond, int32_t& ms) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return false;
  ms = static_cast<int32_t>(hour * kMsPerHour + minute * kMsPerMinute + second * kMsPerSecond +
                            millisecond);
  return true;
}

int64_t TimeOfDayMs(int64_t ms) {
  return ms - FloorDiv(ms, kMsPerDay) * kMsPerDay;
}

int64_t RoundToInt64(double value) {
  return static_cast<int64_t>(std::llround(ClampForInt64(value)));
}

int64_t TruncToInt64(double value) {
  return static_cast<int64_t>(ClampForInt64(value));
}

}  // namespace tessdb
