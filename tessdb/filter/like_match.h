// The LIKE operator of the filter language: "%" matches any run of characters (also none), "_"
// exactly one character, every other character itself, over the whole text. Two rules at the end
// of the text differ from common wildcard matching: a "%" that is the pattern's last character
// matches (so '%' matches the empty text), but any other pattern left when the text has ended
// fails (so 'a%%' does not match "a").
//
// Runs in O(pattern length x text length) time and constant space: hostile patterns such as
// '%a%a%a%a%b' against long texts cannot stall the caller.
#pragma once

#include <string_view>

namespace tessdb {

// With ignoreCase, "a".."z" compare as their upper-case letters.
bool LikeMatch(std::string_view text, std::string_view pattern, bool ignoreCase);

}  // namespace tessdb
