#include "tessdb/processing/base64_variant.h"

#include <cstdint>

namespace tessdb {

std::string Base64Variant(const void* data, size_t length) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::string text;
  text.reserve((length + 2) / 3 * 4 + 2);
  for (size_t at = 0; at < length; at += 3) {
    uint32_t group = uint32_t{bytes[at]} << 16;
    if (at + 1 < length) group |= uint32_t{bytes[at + 1]} << 8;
    if (at + 2 < length) group |= bytes[at + 2];
    const int values[4] = {static_cast<int>(group >> 18), static_cast<int>((group >> 12) & 63),
                           static_cast<int>((group >> 6) & 63), static_cast<int>(group & 63)};
    int last = 3;
    while (last >= 0 && values[last] == 0) --last;
    for (int i = 0; i <= last; ++i) text += kAlphabet[values[i]];
  }
  if (length % 3 == 1) text += "==";
  if (length % 3 == 2) text += "=";
  return text;
}

}  // namespace tessdb
