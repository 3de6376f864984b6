#include "tessdb/core/text_convert.h"

#include <limits>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

// Parses into a 64-bit value with the given limits; false on any malformed or out-of-range text.
bool ParseInteger(std::string_view text, int64_t min, int64_t max, int64_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  // Accumulate as a negative number so that the minimum of the range is reachable.
  const uint64_t limit = negative ? static_cast<uint64_t>(-(min + 1)) + 1 : static_cast<uint64_t>(max);
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    if (magnitude > (limit - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

[[noreturn]] void RaiseNotInteger(std::string_view text) {
  throw EConvertError(FormatMessage("'%s' is not a valid integer value", std::string(text)));
}

}  // namespace

std::string Trim(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return std::string(text.substr(first, last - first));
}

int32_t StrToInt(std::string_view text) {
  int64_t value;
  if (!ParseInteger(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                    value)) {
    RaiseNotInteger(text);
  }
  return static_cast<int32_t>(value);
}

int64_t StrToInt64(std::string_view text) {
  int64_t value;
  if (!ParseInteger(text, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
                    value)) {
    RaiseNotInteger(text);
  }
  return value;
}

}  // namespace tessdb
