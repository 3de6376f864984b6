// Options of filters and key searches: case-insensitive text comparison, and whether a text
// ending in '*' compares as a prefix (partial compare) or literally.
#pragma once

#include <cstdint>

namespace tessdb {

enum TFilterOption : uint8_t {
  foCaseInsensitive = 1 << 0,
  foNoPartialCompare = 1 << 1,
};

using TFilterOptions = uint8_t;

}  // namespace tessdb
