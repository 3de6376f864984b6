#include "tools/tessdb/value_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

#include "tessdb/access/dataset.h"
#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"

namespace tessdb_tool {
namespace {

using tessdb::EConvertError;
using tessdb::TField;

[[noreturn]] void Invalid(const std::string& text, const char* what) {
  throw EConvertError("'" + text + "' is not a valid " + what);
}

int64_t ParseInteger(const std::string& text, int64_t low, int64_t high) {
  int64_t value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error == std::errc::invalid_argument || end != last) {
    Invalid(text, "integer value");
  }
  if (error == std::errc::result_out_of_range || value < low || value > high) {
    throw EConvertError("'" + text + "' is out of range");
  }
  return value;
}

double ParseFloat(const std::string& text) {
  double value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last) Invalid(text, "floating point value");
  return value;
}

// Exactly count digits at text[at..]; -1 when not.
int Digits(const std::string& text, size_t at, size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool ParseDate(const std::string& text, int32_t& dayNumber) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  if (year < 0 || month < 0 || day < 0 || !tessdb::IsValidDate(year, month, day)) return false;
  dayNumber = static_cast<int32_t>(tessdb::EncodeDayNumber(year, month, day));
  return true;
}

bool ParseTime(const std::string& text, int32_t& ms) {
  if (text.size() < 8 || text[2] != ':' || text[5] != ':') return false;
  const int hour = Digits(text, 0, 2), minute = Digits(text, 3, 2), second = Digits(text, 6, 2);
  int millisecond = 0;
  if (text.size() > 8) {
    const size_t fraction = text.size() - 9;
    if (text[8] != '.' || fraction < 1 || fraction > 3) return false;
    millisecond = Digits(text, 9, fraction);
    if (millisecond < 0) return false;
    for (size_t i = fraction; i < 3; ++i) millisecond *= 10;
  }
  if (hour < 0 || minute < 0 || second < 0) return false;
  return tessdb::EncodeTimeOfDay(hour, minute, second, millisecond, ms);
}

std::string DateForm(int64_t dayNumber) {
  const tessdb::TCalendarDate date = tessdb::DecodeDayNumber(dayNumber);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(date.year),
                date.month, date.day);
  return text;
}

std::string TimeForm(int64_t ms) {
  ms = tessdb::TimeOfDayMs(ms);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(ms / tessdb::kMsPerHour),
                static_cast<int>(ms / tessdb::kMsPerMinute % 60),
                static_cast<int>(ms / tessdb::kMsPerSecond % 60));
  std::string result = text;
  if (ms % 1000 != 0) {
    std::snprintf(text, sizeof text, ".%03d", static_cast<int>(ms % 1000));
    result += text;
  }
  return result;
}

template <typename T>
T Raw(const TField& field) {
  uint8_t bytes[16] = {};
  field.GetData(bytes);
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

template <typename T>
void SetRaw(TField& field, T value) {
  field.SetData(&value);
}

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string Base64Encode(const std::string& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t n = static_cast<uint8_t>(bytes[i]) << 16 |
                       static_cast<uint8_t>(bytes[i + 1]) << 8 | static_cast<uint8_t>(bytes[i + 2]);
    out += kBase64[n >> 18];
    out += kBase64[n >> 12 & 63];
    out += kBase64[n >> 6 & 63];
    out += kBase64[n & 63];
  }
  if (i < bytes.size()) {
    uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    out += kBase64[n >> 18];
    out += kBase64[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Decode(const std::string& text) {
  if (text.size() % 4 != 0) Invalid(text, "base64 text");
  std::string out;
  uint32_t n = 0;
  int bits = 0;
  size_t padding = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '=') {
      if (i + 2 < text.size()) Invalid(text, "base64 text");
      ++padding;
      continue;
    }
    const char* at = std::strchr(kBase64, c);
    if (c == '\0' || at == nullptr || padding > 0) Invalid(text, "base64 text");
    n = n << 6 | static_cast<uint32_t>(at - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>(n >> bits & 0xFF);
    }
  }
  return out;
}

std::string FieldText(const TField& field) {
  using namespace tessdb;
  switch (field.DataType()) {
    case ftDate:
      return DateForm(Raw<int32_t>(field));
    case ftTime:
      return TimeForm(Raw<int32_t>(field));
    case ftDateTime: {
      const int64_t ms = RoundToInt64(Raw<double>(field));
      int64_t days = ms / kMsPerDay;
      int64_t rest = ms % kMsPerDay;
      if (rest < 0) {
        rest += kMsPerDay;
        --days;
      }
      return DateForm(days) + " " + TimeForm(rest);
    }
    default:
      if (field.IsBlob()) return Base64Encode(field.AsString());
      return field.AsString();
  }
}

void SetFieldText(TField& field, const std::string& text) {
  using namespace tessdb;
  if (text.empty()) return;
  switch (field.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
      field.SetAsString(text);
      return;
    case ftSmallint:
      SetRaw(field, static_cast<int16_t>(ParseInteger(text, -32768, 32767)));
      return;
    case ftWord:
      SetRaw(field, static_cast<uint16_t>(ParseInteger(text, 0, 65535)));
      return;
    case ftInteger:
    case ftAutoInc:
      SetRaw(field, static_cast<int32_t>(ParseInteger(text, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max())));
      return;
    case ftLargeint:
      SetRaw(field, ParseInteger(text, std::numeric_limits<int64_t>::min(),
                                 std::numeric_limits<int64_t>::max()));
      return;
    case ftFloat:
    case ftCurrency:
      SetRaw(field, ParseFloat(text));
      return;
    case ftBoolean: {
      std::string lower;
      for (const char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      if (lower == "true" || lower == "1") {
        SetRaw(field, int16_t{1});
      } else if (lower == "false" || lower == "0") {
        SetRaw(field, int16_t{0});
      } else {
        Invalid(text, "boolean value");
      }
      return;
    }
    case ftDate: {
      int32_t day;
      if (!ParseDate(text, day)) Invalid(text, "date");
      SetRaw(field, day);
      return;
    }
    case ftTime: {
      int32_t ms;
      if (!ParseTime(text, ms)) Invalid(text, "time");
      SetRaw(field, ms);
      return;
    }
    case ftDateTime: {
      const size_t blank = text.find(' ');
      int32_t day = 0;
      int32_t ms = 0;
      if (blank == std::string::npos || !ParseDate(text.substr(0, blank), day) ||
          !ParseTime(text.substr(blank + 1), ms)) {
        Invalid(text, "date and time");
      }
      SetRaw(field, static_cast<double>(day) * kMsPerDay + ms);
      return;
    }
    default:
      if (field.IsBlob()) {
        field.SetAsString(Base64Decode(text));
        return;
      }
      throw EConvertError("Field '" + field.FieldName() + "' has a type the tool cannot write");
  }
}

std::string LocateText(const TField& field, const std::string& text) {
  using namespace tessdb;
  switch (field.DataType()) {
    case ftDate: {
      int32_t day;
      if (!ParseDate(text, day)) Invalid(text, "date");
      return DateText(day);
    }
    case ftTime: {
      int32_t ms;
      if (!ParseTime(text, ms)) Invalid(text, "time");
      return TimeText(ms);
    }
    case ftDateTime: {
      const size_t blank = text.find(' ');
      int32_t day = 0;
      int32_t ms = 0;
      if (blank == std::string::npos || !ParseDate(text.substr(0, blank), day) ||
          !ParseTime(text.substr(blank + 1), ms)) {
        Invalid(text, "date and time");
      }
      return DateTimeText(static_cast<double>(day) * kMsPerDay + ms);
    }
    case ftFloat:
    case ftCurrency:
      return FloatText(ParseFloat(text));
    default:
      return text;
  }
}

}  // namespace tessdb_tool
