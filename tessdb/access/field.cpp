#include "tessdb/access/field.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/locale.h"
#include "tessdb/access/dataset.h"
#include "tessdb/access/session_list.h"
#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/core/text_convert.h"

namespace tessdb {
namespace {

int32_t DataSizeOf(TFieldType type, int32_t size) {
  if (IsBlobType(type)) return 0;
  if (type == ftWideString || type == ftGuid) return size + 1;
  return StoredFieldSize(type, size).value_or(0);
}

[[noreturn]] void ConvertError(const std::string& text, const char* kind) {
  throw EConvertError("'" + text + "' is not a valid " + kind);
}

}  // namespace

// --- Text forms --------------------------------------------------------------------------------

std::string DateText(int32_t dayNumber) {
  const TCalendarDate date = DecodeDayNumber(dayNumber);
  const TLocaleSettings& locale = LocaleSettings();
  const std::string d = std::to_string(date.day), m = std::to_string(date.month),
                    y = std::to_string(date.year);
  const char s = locale.dateSeparator;
  switch (locale.dateOrder) {
    case TDateOrder::doDMY:
      return d + s + m + s + y;
    case TDateOrder::doYMD:
      return y + s + m + s + d;
    default:
      return m + s + d + s + y;
  }
}

std::string TimeText(int32_t ms) {
  const int64_t time = TimeOfDayMs(ms);
  char text[32];
  const char s = LocaleSettings().timeSeparator;
  std::snprintf(text, sizeof text, "%d%c%02d%c%02d", static_cast<int>(time / kMsPerHour), s,
                static_cast<int>(time / kMsPerMinute % 60), s,
                static_cast<int>(time / kMsPerSecond % 60));
  return text;
}

std::string DateTimeText(double timeStamp) {
  const int64_t ms = RoundToInt64(timeStamp);
  int64_t days = ms / kMsPerDay;
  int64_t rest = ms % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  return DateText(static_cast<int32_t>(days)) + " " + TimeText(static_cast<int32_t>(rest));
}

std::string FloatText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char text[64];
  std::snprintf(text, sizeof text, "%.15G", value);
  std::string result = text;
  // The toolkit's general format: "1E20", "1.5E-7" (no "+", no leading exponent zeros).
  const size_t e = result.find('E');
  if (e != std::string::npos) {
    std::string mantissa = result.substr(0, e);
    std::string exponent = result.substr(e + 1);
    const bool negative = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    result = mantissa + "E" + (negative ? "-" : "") + exponent;
  }
  const char separator = LocaleSettings().decimalSeparator;
  if (separator != '.') {
    for (char& c : result) {
      if (c == '.') c = separator;
    }
  }
  return result;
}

// --- Date-time values ---------------------------------------------------------------------------

double DateToValue(int32_t dayNumber) {
  const TCalendarDate date = DecodeDayNumber(dayNumber);
  if (dayNumber < 1 || !IsValidDate(date.year, date.month, date.day)) return 0;
  return static_cast<double>(dayNumber) - kDateDelta;
}

double TimeToValue(int32_t ms) {
  return static_cast<double>(TimeOfDayMs(ms)) / kMsPerDay;
}

double TimeStampToValue(double timeStamp) {
  const int64_t ms = RoundToInt64(timeStamp);
  const int64_t days = ms / kMsPerDay;
  const int64_t rest = ms % kMsPerDay;
  const double date = DateToValue(static_cast<int32_t>(days));
  if (date == 0 && days != kDateDelta) return 0;
  // Before 30 December 1899 the time still counts forward from midnight of the day.
  return date >= 0 ? date + static_cast<double>(rest) / kMsPerDay
                   : date - static_cast<double>(rest) / kMsPerDay;
}

int32_t ValueToDate(double value) {
  return static_cast<int32_t>(TruncToInt64(value) + kDateDelta);
}

int32_t ValueToTime(double value) {
  const double fraction = std::fabs(value - std::trunc(value));
  return static_cast<int32_t>(TimeOfDayMs(RoundToInt64(fraction * kMsPerDay)));
}

double ValueToTimeStamp(double value) {
  return static_cast<double>(ValueToDate(value)) * kMsPerDay + ValueToTime(value);
}

// --- TField -------------------------------------------------------------------------------------

TField::TField(TDataSet& dataSet, std::string fieldName, TFieldType dataType, int32_t size,
               int fieldNo)
    : dataSet_(dataSet),
      fieldName_(std::move(fieldName)),
      dataType_(dataType),
      size_(size),
      fieldNo_(fieldNo),
      dataSize_(DataSizeOf(dataType, size)) {}

bool TField::ReadRaw(std::string& bytes) const {
  // At least 8 bytes, so every number reads whole; short values stay in the string's own buffer.
  bytes.assign(std::max<size_t>(static_cast<size_t>(dataSize_), 8), '\0');
  return dataSet_.GetFieldData(*this, bytes.data());
}

bool TField::GetData(void* buffer) const {
  if (IsBlob()) throw EDatabaseError("General error");
  return dataSet_.GetFieldData(*this, buffer);
}

void TField::SetData(const void* buffer) {
  dataSet_.SetFieldData(*this, buffer);
}

bool TField::IsNull() const {
  if (IsBlob()) return dataSet_.GetBlobText(*this).empty();
  std::string bytes;
  return !ReadRaw(bytes);
}

void TField::Clear() {
  SetData(nullptr);
}

void TField::TypeMismatch() const {
  dataSet_.DatabaseError(FormatMessage("Type mismatch for field '%s'", fieldName_));
}

std::string TField::AsString() const {
  if (IsBlob()) return dataSet_.GetBlobText(*this);
  std::string raw;
  if (!ReadRaw(raw)) return std::string();
  if (dataType_ == ftString || dataType_ == ftFixedChar || dataType_ == ftWideString ||
      dataType_ == ftGuid) {
    raw.resize(strnlen(raw.data(), raw.size()));
    return raw;
  }
  const auto* p = reinterpret_cast<const uint8_t*>(raw.data());
  auto get = [p](auto value) {
    std::memcpy(&value, p, sizeof value);
    return value;
  };
  switch (dataType_) {
    case ftSmallint:
      return std::to_string(get(int16_t{}));
    case ftWord:
      return std::to_string(get(uint16_t{}));
    case ftInteger:
    case ftAutoInc:
      return std::to_string(get(int32_t{}));
    case ftLargeint:
      return std::to_string(get(int64_t{}));
    case ftBoolean:
      return get(int16_t{}) != 0 ? "True" : "False";
    case ftFloat:
    case ftCurrency:
      return FloatText(get(double{}));
    case ftDate:
      return DateText(get(int32_t{}));
    case ftTime:
      return TimeText(get(int32_t{}));
    case ftDateTime:
      return DateTimeText(get(double{}));
    default:
      return std::string();
  }
}

void TField::SetAsString(const std::string& text) {
  switch (dataType_) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid: {
      std::vector<uint8_t> bytes(static_cast<size_t>(dataSize_), 0);
      std::memcpy(bytes.data(), text.data(),
                  std::min(text.size(), static_cast<size_t>(std::max(dataSize_ - 1, 0))));
      SetData(bytes.data());
      return;
    }
    case ftSmallint:
    case ftWord:
    case ftInteger:
    case ftAutoInc:
      SetAsInteger(StrToInt(text));
      return;
    case ftLargeint:
      SetAsLargeInt(StrToInt64(text));
      return;
    case ftFloat:
    case ftCurrency: {
      double value = 0;
      if (!TryStrToFloat(Trim(text), value)) ConvertError(text, "floating point value");
      SetAsFloat(value);
      return;
    }
    case ftBoolean: {
      const std::string t = Trim(text);
      if (SameName(t, "True")) {
        SetAsBoolean(true);
      } else if (SameName(t, "False")) {
        SetAsBoolean(false);
      } else {
        ConvertError(text, "boolean value");
      }
      return;
    }
    case ftDate: {
      const int32_t day = StrToDate(text);
      SetData(&day);
      return;
    }
    case ftTime: {
      const int32_t ms = StrToTime(text);
      SetData(&ms);
      return;
    }
    case ftDateTime: {
      const double stamp = StrToDateTime(text);
      SetData(&stamp);
      return;
    }
    default:
      if (IsBlob()) {
        dataSet_.SetBlobText(*this, text);
        return;
      }
      TypeMismatch();
  }
}

int64_t TField::AsLargeInt() const {
  std::string raw;
  if (!ReadRaw(raw)) return 0;
  const auto* p = reinterpret_cast<const uint8_t*>(raw.data());
  auto get = [p](auto value) {
    std::memcpy(&value, p, sizeof value);
    return value;
  };
  switch (dataType_) {
    case ftSmallint:
      return get(int16_t{});
    case ftWord:
      return get(uint16_t{});
    case ftInteger:
    case ftAutoInc:
      return get(int32_t{});
    case ftLargeint:
      return get(int64_t{});
    case ftBoolean:
      return get(int16_t{}) != 0 ? 1 : 0;
    case ftFloat:
    case ftCurrency:
      return RoundToInt64(get(double{}));
    case ftString:
    case ftFixedChar:
      return StrToInt64(AsString());
    default:
      TypeMismatch();
  }
}

int32_t TField::AsInteger() const {
  return static_cast<int32_t>(AsLargeInt());
}

void TField::SetAsLargeInt(int64_t value) {
  switch (dataType_) {
    case ftSmallint: {
      const auto v = static_cast<int16_t>(value);
      SetData(&v);
      return;
    }
    case ftWord: {
      const auto v = static_cast<uint16_t>(value);
      SetData(&v);
      return;
    }
    case ftInteger:
    case ftAutoInc: {
      const auto v = static_cast<int32_t>(value);
      SetData(&v);
      return;
    }
    case ftLargeint:
      SetData(&value);
      return;
    case ftBoolean:
      SetAsBoolean(value != 0);
      return;
    case ftFloat:
    case ftCurrency:
      SetAsFloat(static_cast<double>(value));
      return;
    case ftString:
    case ftFixedChar:
      SetAsString(std::to_string(value));
      return;
    default:
      TypeMismatch();
  }
}

void TField::SetAsInteger(int32_t value) {
  SetAsLargeInt(value);
}

double TField::AsFloat() const {
  switch (dataType_) {
    case ftFloat:
    case ftCurrency: {
      std::string raw;
      if (!ReadRaw(raw)) return 0;
      double value;
      std::memcpy(&value, raw.data(), sizeof value);
      return value;
    }
    case ftDate:
    case ftTime:
    case ftDateTime:
      return AsDateTime();
    case ftString:
    case ftFixedChar:
      return StrToFloat(Trim(AsString()));
    default:
      return static_cast<double>(AsLargeInt());
  }
}

void TField::SetAsFloat(double value) {
  switch (dataType_) {
    case ftFloat:
    case ftCurrency:
      SetData(&value);
      return;
    case ftDate:
    case ftTime:
    case ftDateTime:
      SetAsDateTime(value);
      return;
    case ftString:
    case ftFixedChar:
      SetAsString(FloatText(value));
      return;
    default:
      SetAsLargeInt(RoundToInt64(value));
  }
}

bool TField::AsBoolean() const {
  if (dataType_ == ftBoolean) return AsLargeInt() != 0;
  if (dataType_ == ftString || dataType_ == ftFixedChar) {
    const std::string text = AsString();
    return !text.empty() && (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
  }
  TypeMismatch();
}

void TField::SetAsBoolean(bool value) {
  if (dataType_ == ftBoolean) {
    const int16_t v = value ? 1 : 0;
    SetData(&v);
    return;
  }
  if (dataType_ == ftString || dataType_ == ftFixedChar) {
    SetAsString(value ? "True" : "False");
    return;
  }
  TypeMismatch();
}

double TField::AsDateTime() const {
  std::string raw;
  if (dataType_ != ftDate && dataType_ != ftTime && dataType_ != ftDateTime) {
    if (dataType_ == ftString || dataType_ == ftFixedChar) {
      return TimeStampToValue(StrToDateTime(AsString()));
    }
    TypeMismatch();
  }
  if (!ReadRaw(raw)) return 0;
  if (dataType_ == ftDateTime) {
    double stamp;
    std::memcpy(&stamp, raw.data(), sizeof stamp);
    return TimeStampToValue(stamp);
  }
  int32_t value;
  std::memcpy(&value, raw.data(), sizeof value);
  return dataType_ == ftDate ? DateToValue(value) : TimeToValue(value);
}

void TField::SetAsDateTime(double value) {
  switch (dataType_) {
    case ftDate: {
      const int32_t day = ValueToDate(value);
      SetData(&day);
      return;
    }
    case ftTime: {
      const int32_t ms = ValueToTime(value);
      SetData(&ms);
      return;
    }
    case ftDateTime: {
      const double stamp = ValueToTimeStamp(value);
      SetData(&stamp);
      return;
    }
    case ftString:
    case ftFixedChar:
      SetAsString(DateTimeText(ValueToTimeStamp(value)));
      return;
    default:
      TypeMismatch();
  }
}

}  // namespace tessdb
