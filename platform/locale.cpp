#include "platform/locale.h"

#include <charconv>
#include <chrono>
#include <ctime>

#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

TLocaleSettings& MutableSettings() {
  static TLocaleSettings settings;
  return settings;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  if (prefix.empty() || text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (UpperAscii(text[i]) != UpperAscii(prefix[i])) return false;
  }
  return true;
}

// A position in a date or time text being scanned.
class TDateTimeScanner {
 public:
  TDateTimeScanner(std::string_view text, const TDateTimeLayout& layout)
      : text_(text), layout_(layout) {}

  size_t Position() const { return pos_; }
  void Restore(size_t position) { pos_ = position; }

  bool AtEnd() {
    SkipBlanks();
    return pos_ == text_.size();
  }

  bool ScanDatePart(int32_t& dayNumber) {
    int first, second, third, firstDigits, secondDigits, thirdDigits;
    if (!ScanNumber(first, firstDigits) || !ScanSeparator(layout_.dateSeparator) ||
        !ScanNumber(second, secondDigits) || !ScanSeparator(layout_.dateSeparator) ||
        !ScanNumber(third, thirdDigits))
      return false;
    int year, month, day, yearDigits;
    switch (layout_.dateOrder) {
      case TDateOrder::doMDY:
        month = first, day = second, year = third, yearDigits = thirdDigits;
        break;
      case TDateOrder::doDMY:
        day = first, month = second, year = third, yearDigits = thirdDigits;
        break;
      default:
        year = first, month = second, day = third, yearDigits = firstDigits;
        break;
    }
    if (yearDigits <= 2) year = ExpandTwoDigitYear(year);
    if (!IsValidDate(year, month, day)) return false;
    dayNumber = static_cast<int32_t>(EncodeDayNumber(year, month, day));
    return true;
  }

  bool ScanTimePart(int32_t& ms) {
    int marker = ScanMarker();
    int hour, minute = 0, second = 0, millisecond = 0, digits;
    if (!ScanNumber(hour, digits)) return false;
    if (ScanSeparator(layout_.timeSeparator)) {
      if (!ScanNumber(minute, digits)) return false;
      if (ScanSeparator(layout_.timeSeparator)) {
        if (!ScanNumber(second, digits)) return false;
        if (ScanSeparator(layout_.decimalSeparator) && !ScanNumber(millisecond, digits))
          return false;
      }
    }
    if (marker == 0) marker = ScanMarker();
    if (marker != 0) {
      if (hour < 1 || hour > 12) return false;
      hour = hour % 12 + (marker == 2 ? 12 : 0);
    }
    return EncodeTimeOfDay(hour, minute, second, millisecond, ms);
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') ++pos_;
  }

  // A run of digits that ends once the value has reached 1000; false without a digit.
  bool ScanNumber(int& value, int& digits) {
    SkipBlanks();
    value = 0;
    digits = 0;
    while (pos_ < text_.size() && IsDigit(text_[pos_]) && value < 1000) {
      value = value * 10 + (text_[pos_] - '0');
      ++digits;
      ++pos_;
    }
    return digits > 0;
  }

  bool ScanSeparator(char separator) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == separator) {
      ++pos_;
      return true;
    }
    return false;
  }

  // 1 for an AM marker, 2 for PM, 0 for none.
  int ScanMarker() {
    SkipBlanks();
    const std::string_view rest = text_.substr(pos_);
    for (const std::string_view am : {std::string_view(layout_.amString), std::string_view("AM")}) {
      if (StartsWithIgnoreCase(rest, am)) {
        pos_ += am.size();
        return 1;
      }
    }
    for (const std::string_view pm : {std::string_view(layout_.pmString), std::string_view("PM")}) {
      if (StartsWithIgnoreCase(rest, pm)) {
        pos_ += pm.size();
        return 2;
      }
    }
    return 0;
  }

  std::string_view text_;
  const TDateTimeLayout& layout_;
  size_t pos_ = 0;
};

int ClockYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace

const TLocaleSettings& LocaleSettings() {
  return MutableSettings();
}

void SetLocaleSettings(const TLocaleSettings& settings) {
  MutableSettings() = settings;
}

TDateTimeLayout LocaleDateTimeLayout() {
  const TLocaleSettings& settings = LocaleSettings();
  return {settings.dateOrder,        settings.dateSeparator, settings.timeSeparator,
          settings.decimalSeparator, settings.timeAMString,  settings.timePMString};
}

bool ScanDate(std::string_view text, const TDateTimeLayout& layout, int32_t& dayNumber) {
  TDateTimeScanner scanner(text, layout);
  return scanner.ScanDatePart(dayNumber) && scanner.AtEnd();
}

bool ScanTime(std::string_view text, const TDateTimeLayout& layout, int32_t& ms) {
  TDateTimeScanner scanner(text, layout);
  return scanner.ScanTimePart(ms) && scanner.AtEnd();
}

bool ScanDateTime(std::string_view text, const TDateTimeLayout& layout, double& timeStamp) {
  TDateTimeScanner scanner(text, layout);
  int32_t dayNumber, ms = 0;
  if (scanner.ScanDatePart(dayNumber)) {
    if (!scanner.AtEnd() && !(scanner.ScanTimePart(ms) && scanner.AtEnd())) return false;
    timeStamp = static_cast<double>(dayNumber) * kMsPerDay + ms;
    return true;
  }
  scanner.Restore(0);
  if (!(scanner.ScanTimePart(ms) && scanner.AtEnd())) return false;
  timeStamp = ms;
  return true;
}

int ExpandTwoDigitYear(int year) {
  const TLocaleSettings& settings = LocaleSettings();
  const int currentYear = settings.currentYear != 0 ? settings.currentYear : ClockYear();
  if (settings.twoDigitYearCenturyWindow <= 0) return year + currentYear / 100 * 100;
  const int windowStart = currentYear - settings.twoDigitYearCenturyWindow;
  year += windowStart / 100 * 100;
  if (year < windowStart) year += 100;
  return year;
}

int32_t StrToDate(std::string_view text) {
  int32_t dayNumber;
  if (!ScanDate(text, LocaleDateTimeLayout(), dayNumber))
    throw EConvertError(FormatMessage("'%s' is not a valid date", std::string(text)));
  return dayNumber;
}

int32_t StrToTime(std::string_view text) {
  int32_t ms;
  if (!ScanTime(text, LocaleDateTimeLayout(), ms))
    throw EConvertError(FormatMessage("'%s' is not a valid time", std::string(text)));
  return ms;
}

bool TryStrToDateTime(std::string_view text, double& timeStamp) {
  return ScanDateTime(text, LocaleDateTimeLayout(), timeStamp);
}

double StrToDateTime(std::string_view text) {
  double timeStamp;
  if (!TryStrToDateTime(text, timeStamp))
    throw EConvertError(FormatMessage("'%s' is not a valid date and time", std::string(text)));
  return timeStamp;
}

bool TryStrToFloat(std::string_view text, double& value) {
  const char separator = LocaleSettings().decimalSeparator;
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  // Rewrite into the one form from_chars reads: no sign, '.' as separator.
  std::string plain;
  int mantissaDigits = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++mantissaDigits) plain += text[pos];
  if (pos < text.size() && text[pos] == separator) {
    plain += '.';
    for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++mantissaDigits)
      plain += text[pos];
  }
  if (mantissaDigits == 0) return false;
  if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
    plain += 'e';
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) plain += text[pos++];
    int exponentDigits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++exponentDigits) plain += text[pos];
    if (exponentDigits == 0) return false;
  }
  if (pos != text.size()) return false;
  double parsed;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), parsed);
  if (error != std::errc() || end != plain.data() + plain.size()) return false;
  value = negative ? -parsed : parsed;
  return true;
}

double StrToFloat(std::string_view text) {
  double value;
  if (!TryStrToFloat(text, value))
    throw EConvertError(
        FormatMessage("'%s' is not a valid floating point value", std::string(text)));
  return value;
}

double NowTimeStamp() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  const int64_t dayNumber = EncodeDayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const int64_t msOfDay = local.tm_hour * kMsPerHour + local.tm_min * kMsPerMinute +
                          local.tm_sec * kMsPerSecond + (ms < 0 ? 0 : ms);
  return static_cast<double>(dayNumber * kMsPerDay + msOfDay);
}

int CompareLocaleText(const char* left, size_t leftLength, const char* right, size_t rightLength,
                      bool ignoreCase) {
  const size_t common = leftLength < rightLength ? leftLength : rightLength;
  for (size_t i = 0; i < common; ++i) {
    unsigned char a = static_cast<unsigned char>(left[i]);
    unsigned char b = static_cast<unsigned char>(right[i]);
    if (ignoreCase) {
      a = static_cast<unsigned char>(UpperAscii(static_cast<char>(a)));
      b = static_cast<unsigned char>(UpperAscii(static_cast<char>(b)));
    }
    if (a != b) return a < b ? -1 : 1;
  }
  if (leftLength == rightLength) return 0;
  return leftLength < rightLength ? -1 : 1;
}

}  // namespace tessdb
