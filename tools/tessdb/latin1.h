// The engine's text is single-byte (Latin-1); the tool's terminal and JSON are UTF-8.
#pragma once

#include <string>

namespace tessdb_tool {

std::string Latin1ToUtf8(const std::string& latin1);
// Throws ToolError naming `what` when the text is not UTF-8 or has characters beyond U+00FF.
std::string Utf8ToLatin1(const std::string& utf8, const std::string& what);

}  // namespace tessdb_tool
