#include "tools/tessdb/latin1.h"

#include "tools/tessdb/commands.h"

namespace tessdb_tool {

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  utf8.reserve(latin1.size());
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | byte >> 6);
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::string Utf8ToLatin1(const std::string& utf8, const std::string& what) {
  std::string latin1;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      latin1 += static_cast<char>(byte);
      continue;
    }
    const bool twoByteLatin1 = (byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size() &&
                               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80;
    if (!twoByteLatin1) {
      throw ToolError(what + " has characters that a database file cannot hold (only Latin-1)");
    }
    latin1 +=
        static_cast<char>((byte & 0x03) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
    ++i;
  }
  return latin1;
}

}  // namespace tessdb_tool
