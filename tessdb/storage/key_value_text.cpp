#include "tessdb/storage/key_value_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tessdb {
namespace {

constexpr int64_t kMsPerDayValue = 86400000;

// Day number (1 = 1 January of year 1) to a proleptic Gregorian date.
void CivilFromDayNumber(int64_t dayNumber, int64_t& year, int& month, int& day) {
  const int64_t z = dayNumber - 1 + 306;  // days since 1 March of year 0
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

std::string DateText(int64_t dayNumber) {
  int64_t year;
  int month;
  int day;
  CivilFromDayNumber(dayNumber, year, month, day);
  char text[48];
  std::snprintf(text, sizeof text, "%d/%d/%" PRId64, month, day, year);
  return text;
}

std::string TimeText(int64_t ms) {
  ms %= kMsPerDayValue;
  if (ms < 0) ms += kMsPerDayValue;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));
  return text;
}

std::string FloatText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

std::string KeyValueText(const TFieldBufferItem& item) {
  switch (item.Type()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      return item.Text();
    case ftSmallint:
      return std::to_string(item.Get<int16_t>());
    case ftWord:
      return std::to_string(item.Get<uint16_t>());
    case ftInteger:
    case ftAutoInc:
      return std::to_string(item.Get<int32_t>());
    case ftLargeint:
      return std::to_string(item.Get<int64_t>());
    case ftBoolean:
      return item.Get<int16_t>() != 0 ? "True" : "False";
    case ftFloat:
    case ftCurrency:
      return FloatText(item.Get<double>());
    case ftDate:
      return DateText(item.Get<int32_t>());
    case ftTime:
      return TimeText(item.Get<int32_t>());
    case ftDateTime: {
      const double stamp = item.Get<double>();
      if (!std::isfinite(stamp) || std::fabs(stamp) > 9.0e15) return std::string();
      const auto ms = static_cast<int64_t>(stamp);
      int64_t days = ms / kMsPerDayValue;
      int64_t rest = ms % kMsPerDayValue;
      if (rest < 0) {
        rest += kMsPerDayValue;
        --days;
      }
      return DateText(days) + " " + TimeText(rest);
    }
    default:
      if (item.IsBlob()) return item.Text();
      return std::string();
  }
}

}  // namespace tessdb
