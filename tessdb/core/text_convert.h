// Text-to-number conversions with the toolkit's rules and messages, shared by the engine (field
// texts) and the program (sizes typed or read from the catalog).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessdb {

// The text without leading and trailing blanks and control characters (bytes up to ' ').
std::string Trim(std::string_view text);

// A whole number in decimal, or hexadecimal after '$' or "0x", with an optional sign; leading
// blanks are allowed, nothing may follow. Raises EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);

}  // namespace tessdb
