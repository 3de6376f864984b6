// The engine's own Base64 variant, used for password check texts. It differs from standard
// Base64: within each three-byte group (the last one completed with zero bytes) only the
// characters up to the last nonzero 6-bit value are emitted, and the padding ("==" or "=") is
// appended once at the end from the input length alone. "abc" -> "YWJj", {0x41,0,0} -> "QQ",
// {0,0,0} -> "", {0x41} -> "QQ==".
#pragma once

#include <cstddef>
#include <string>

namespace tessdb {

std::string Base64Variant(const void* data, size_t length);

}  // namespace tessdb
