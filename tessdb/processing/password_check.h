// The password check text stored in a database file: the Base64 variant of the SHA-0 digest of
// the password's bytes (no terminator; the empty password hashes the empty message).
// Comparison with the stored text is exact and case-sensitive.
#pragma once

#include <string>

namespace tessdb {

std::string PasswordCheckText(const std::string& password);

}  // namespace tessdb
