// Locale adapter of the engine: the user's number, date and time conventions and text collation,
// without Qt. The engine asks here for everything that depends on the user's settings, so a
// program or a test can install other settings (a ',' decimal separator, day-month-year dates).
//
// The default is the C locale: '.' decimal separator, month/day/year dates with '/', "AM"/"PM",
// byte-order collation with ASCII case folding, and two-digit years placed in a window of 50 years
// around the current year. Settings are process-wide; install them before the engine runs.
//
// Text-to-value conversions come in two forms: Try* (false on failure) and StrTo* (raise
// EConvertError with the platform's message, e.g. "'x' is not a valid date").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessdb {

enum class TDateOrder : uint8_t { doMDY, doDMY, doYMD };

struct TLocaleSettings {
  char decimalSeparator = '.';
  char dateSeparator = '/';
  char timeSeparator = ':';
  TDateOrder dateOrder = TDateOrder::doMDY;
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  // A year written with one or two digits lands in the 100 years starting this many years before
  // the current year; 0 puts it in the current century.
  int twoDigitYearCenturyWindow = 50;
  // The year the window is centred on; 0 = the current year of the clock.
  int currentYear = 0;
};

const TLocaleSettings& LocaleSettings();
void SetLocaleSettings(const TLocaleSettings& settings);

// How a date, time or date-time text is laid out: the fixed forms of the engine's languages and
// the locale's own form are both described by one layout.
struct TDateTimeLayout {
  TDateOrder dateOrder = TDateOrder::doMDY;
  char dateSeparator = '/';
  char timeSeparator = ':';
  char decimalSeparator = '.';
  std::string amString = "AM";
  std::string pmString = "PM";
};

// The layout of the installed locale.
TDateTimeLayout LocaleDateTimeLayout();

// Scanners for a whole text in a layout. Numbers are runs of digits that stop once their value
// has reached 1000; blanks may separate the parts; a date has all three parts; a time is
// H[:M[:S[.ms]]] with an optional AM/PM marker (the layout's or the literal "AM"/"PM", any case)
// before or after it, in which case the hour is 1..12. Results are the stored forms: day number,
// milliseconds since midnight, time-stamp milliseconds.
bool ScanDate(std::string_view text, const TDateTimeLayout& layout, int32_t& dayNumber);
bool ScanTime(std::string_view text, const TDateTimeLayout& layout, int32_t& ms);
// A date with an optional time, or a time alone.
bool ScanDateTime(std::string_view text, const TDateTimeLayout& layout, double& timeStamp);

// One- and two-digit years through the century window.
int ExpandTwoDigitYear(int year);

// The locale forms.
int32_t StrToDate(std::string_view text);
int32_t StrToTime(std::string_view text);
double StrToDateTime(std::string_view text);
bool TryStrToDateTime(std::string_view text, double& timeStamp);

// A decimal number with optional sign, the locale's decimal separator and an optional exponent.
bool TryStrToFloat(std::string_view text, double& value);
double StrToFloat(std::string_view text);

// Local date and time now, as time-stamp milliseconds.
double NowTimeStamp();

// The locale's collation of two texts: < 0, 0, > 0. Identical texts are equal; with ignoreCase
// texts that differ only in the letter case of "a".."z" are equal too.
int CompareLocaleText(const char* left, size_t leftLength, const char* right, size_t rightLength,
                      bool ignoreCase);

}  // namespace tessdb
