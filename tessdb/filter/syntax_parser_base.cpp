#include "tessdb/filter/syntax_parser_base.h"

#include "platform/locale.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) < 33;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsSymbol(char c) {
  const auto code = static_cast<unsigned char>(c);
  return IsLetter(c) || c == '_' || (code >= 129 && code <= 254);
}

bool ContinuesSymbol(char c) {
  return IsLetter(c) || IsDigit(c) || c == '.' || c == '[' || c == ']' || c == '_';
}

bool EqualsIgnoreCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; i < text.size() && word[i] != 0; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != word[i]) return false;
  }
  return i == text.size() && word[i] == 0;
}

[[noreturn]] void InvalidCharacter(const std::string& character) {
  throw EDatabaseError(FormatMessage("Invalid filter expression character: '%s'", character));
}

}  // namespace

void TSyntaxParserBase::SetText(const std::string& text) {
  text_ = text;
  token_.clear();
  tokenType_ = etEnd;
  prevTokenType_ = etEnd;
  position_ = 0;
  tokenStart_ = 0;
}

size_t TSyntaxParserBase::SkipBlanks(size_t pos) {
  const size_t length = text_.size();
  while (pos < length && IsBlank(text_[pos])) ++pos;
  if (pos + 1 < length && text_[pos] == '/' && text_[pos + 1] == '*') {
    const size_t star = text_.find('*', pos + 2);
    if (star == std::string::npos) InvalidCharacter("");
    if (star + 1 >= length || text_[star + 1] != '/') InvalidCharacter(text_.substr(star, 1));
    pos = star + 2;
    while (pos < length && IsBlank(text_[pos])) ++pos;
  }
  return pos;
}

size_t TSyntaxParserBase::ScanNumber(size_t pos) {
  const char separator = LocaleSettings().decimalSeparator;
  const size_t start = pos;
  for (; pos < text_.size(); ++pos) {
    const char c = text_[pos];
    if (IsDigit(c) || c == 'E' || c == 'e' || c == separator) continue;
    if ((c == '+' || c == '-') && (pos == start || text_[pos - 1] == 'E' || text_[pos - 1] == 'e'))
      continue;
    break;
  }
  // «IN (1, 2)» with a comma decimal separator: a comma followed by a space ends the list item.
  if (separator == ',' && pos > start + 1 && text_[pos - 1] == ',' && pos < text_.size() &&
      text_[pos] == ' ')
    --pos;
  tokenType_ = etNumber;
  token_.assign(text_, start, pos - start);
  return pos;
}

size_t TSyntaxParserBase::ScanToken(size_t pos) {
  const size_t length = text_.size();
  token_.clear();
  if (pos >= length) {
    tokenType_ = etEnd;
    return pos;
  }
  const char c = text_[pos];
  if (c == '\'') {
    ++pos;
    for (;;) {
      if (pos >= length) throw EDatabaseError("Unterminated string constant");
      if (text_[pos] == '\'') {
        if (pos + 1 < length && text_[pos + 1] == '\'') {
          if (token_.size() < kMaxStringLiteral) token_ += '\'';
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      if (token_.size() < kMaxStringLiteral) token_ += text_[pos];
      ++pos;
    }
    tokenType_ = etString;
    return pos;
  }
  if (c == '[') {
    const size_t close = text_.find(']', pos + 1);
    if (close == std::string::npos) throw EDatabaseError("Unterminated field name");
    token_.assign(text_, pos + 1, close - pos - 1);
    tokenType_ = etName;
    return close + 1;
  }
  if (StartsSymbol(c)) {
    const size_t start = pos;
    for (++pos; pos < length && ContinuesSymbol(text_[pos]); ++pos) {
    }
    token_.assign(text_, start, pos - start);
    tokenType_ = etSymbol;
    if (EqualsIgnoreCase(token_, "LIKE"))
      tokenType_ = etLIKE;
    else if (EqualsIgnoreCase(token_, "IN"))
      tokenType_ = etIN;
    return pos;
  }
  if (c == '-' &&
      (prevTokenType_ == etSymbol || prevTokenType_ == etName || prevTokenType_ == etNumber ||
       prevTokenType_ == etString || prevTokenType_ == etRParen)) {
    tokenType_ = etSUB;
    return pos + 1;
  }
  if (IsDigit(c) || c == '-') return ScanNumber(pos);
  switch (c) {
    case '(':
      tokenType_ = etLParen;
      return pos + 1;
    case ')':
      tokenType_ = etRParen;
      return pos + 1;
    case '*':
      tokenType_ = etMUL;
      return pos + 1;
    case '+':
      tokenType_ = etADD;
      return pos + 1;
    case ',':
      tokenType_ = etComma;
      return pos + 1;
    case '/':
      tokenType_ = etDIV;
      return pos + 1;
    case '=':
      tokenType_ = etEQ;
      return pos + 1;
    case '<':
      if (pos + 1 < length && text_[pos + 1] == '=') {
        tokenType_ = etLE;
        return pos + 2;
      }
      if (pos + 1 < length && text_[pos + 1] == '>') {
        tokenType_ = etNE;
        return pos + 2;
      }
      tokenType_ = etLT;
      return pos + 1;
    case '>':
      if (pos + 1 < length && text_[pos + 1] == '=') {
        tokenType_ = etGE;
        return pos + 2;
      }
      tokenType_ = etGT;
      return pos + 1;
    default:
      InvalidCharacter(std::string(1, c));
  }
}

void TSyntaxParserBase::NextToken() {
  prevTokenType_ = tokenType_;
  position_ = SkipBlanks(position_);
  tokenStart_ = position_;
  position_ = ScanToken(position_);
}

std::string TSyntaxParserBase::TokenDescription() const {
  if (tokenType_ == etEnd) return "nothing";
  std::string description(1, '\'');
  description.append(text_, tokenStart_, position_ - tokenStart_);
  description += '\'';
  return description;
}

char TSyntaxParserBase::NextNonBlank(size_t pos) const {
  while (pos < text_.size() && IsBlank(text_[pos])) ++pos;
  return pos < text_.size() ? text_[pos] : 0;
}

}  // namespace tessdb
