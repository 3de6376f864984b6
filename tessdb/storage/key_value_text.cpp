#include "tessdb/storage/key_value_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/locale.h"
#include "tessdb/core/date_time.h"

namespace tessdb {
namespace {

std::string DateText(int64_t dayNumber) {
  const TLocaleSettings& locale = LocaleSettings();
  const TCalendarDate date = DecodeDayNumber(dayNumber);
  const std::string y = std::to_string(date.year);
  const std::string m = std::to_string(date.month);
  const std::string d = std::to_string(date.day);
  const std::string s(1, locale.dateSeparator);
  switch (locale.dateOrder) {
    case TDateOrder::doDMY:
      return d + s + m + s + y;
    case TDateOrder::doYMD:
      return y + s + m + s + d;
    default:
      return m + s + d + s + y;
  }
}

std::string TimeText(int64_t ms) {
  ms = TimeOfDayMs(ms);
  const char separator = LocaleSettings().timeSeparator;
  char text[32];
  std::snprintf(text, sizeof text, "%d%c%02d%c%02d", static_cast<int>(ms / kMsPerHour), separator,
                static_cast<int>(ms / kMsPerMinute % 60), separator,
                static_cast<int>(ms / kMsPerSecond % 60));
  return text;
}

std::string FloatText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string result = text;
  const size_t point = result.find('.');
  if (point != std::string::npos) result[point] = LocaleSettings().decimalSeparator;
  return result;
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
      const int64_t ms = RoundToInt64(item.Get<double>());
      const int64_t rest = TimeOfDayMs(ms);
      return DateText((ms - rest) / kMsPerDay) + " " + TimeText(rest);
    }
    default:
      if (item.IsBlob()) return item.Text();
      return std::string();
  }
}

}  // namespace tessdb
