#include "tessdb/filter/like_match.h"

namespace tessdb {
namespace {

char Fold(char c, bool ignoreCase) {
  return ignoreCase && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

// Greedy matching with one resumption point, the last "%" seen. Whether a "%" at j matches from
// text position i is monotone in i (it can always consume more), so resuming from the latest "%"
// covers every earlier choice; each resumption advances that "%"'s start, which bounds the work
// by pattern x text. The two end-of-text rules are checked where the text ends.
bool LikeMatch(std::string_view text, std::string_view pattern, bool ignoreCase) {
  const size_t textLength = text.size();
  const size_t patternLength = pattern.size();
  size_t i = 0, j = 0;
  bool haveStar = false;
  size_t starJ = 0, starI = 0;
  for (;;) {
    if (j < patternLength && pattern[j] == '%') {
      if (j + 1 == patternLength) return true;
      if (i == textLength) return false;
      haveStar = true;
      starJ = j;
      starI = i;
      ++j;
      continue;
    }
    if (i == textLength) {
      if (j == patternLength) return true;
      // More pattern than text: a later start for the last "%" leaves even less text.
      return false;
    }
    if (j < patternLength &&
        (pattern[j] == '_' || Fold(pattern[j], ignoreCase) == Fold(text[i], ignoreCase))) {
      ++i;
      ++j;
      continue;
    }
    if (!haveStar) return false;
    // Let the last "%" swallow one more character and retry from there.
    i = starI + 1;
    j = starJ;
  }
}

}  // namespace tessdb
