#include "tessdb/storage/table_defs.h"

#include <algorithm>
#include <cctype>

namespace tessdb {

bool SameDefName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace tessdb
