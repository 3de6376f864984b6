#include "tessdb/processing/password_check.h"

#include "tessdb/processing/base64_variant.h"
#include "tessdb/processing/sha0.h"

namespace tessdb {

std::string PasswordCheckText(const std::string& password) {
  const THash_SHA::Digest digest = THash_SHA::Calc(password);
  return Base64Variant(digest.data(), digest.size());
}

}  // namespace tessdb
