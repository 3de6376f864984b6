// Tokeniser of the filter language. It reads one token at a time from the expression text:
// blanks (codes below 33) and at most one /* comment */ before each token are skipped; strings
// keep at most 256 characters; "-" is the minus operator after an operand and otherwise starts a
// number. Every error raises EDatabaseError with the language's message text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessdb {

enum TTokenType : uint8_t {
  etEnd,
  etSymbol,
  etName,  // [bracketed name]
  etNumber,
  etString,
  etLParen,
  etRParen,
  etEQ,
  etNE,
  etGE,
  etLE,
  etGT,
  etLT,
  etADD,
  etSUB,
  etMUL,
  etDIV,
  etComma,
  etLIKE,
  etIN,
};

constexpr size_t kMaxStringLiteral = 256;

class TSyntaxParserBase {
 public:
  virtual ~TSyntaxParserBase() = default;

 protected:
  // Position after the blanks and the one comment that may precede a token.
  virtual size_t SkipBlanks(size_t pos);
  // Reads the token at pos into the current token; returns the position after it.
  virtual size_t ScanToken(size_t pos);

  // Starts reading text: no token yet, the previous token counts as the end of the text.
  void SetText(const std::string& text);
  void NextToken();
  // "nothing" at the end of the text, else the token's source text in single quotes.
  std::string TokenDescription() const;
  // The next character after pos that is not a blank, or 0 at the end.
  char NextNonBlank(size_t pos) const;

  std::string text_;
  std::string token_;  // string constants without quotes, names without brackets
  TTokenType tokenType_ = etEnd;
  TTokenType prevTokenType_ = etEnd;
  size_t position_ = 0;
  size_t tokenStart_ = 0;

 private:
  size_t ScanNumber(size_t pos);
};

}  // namespace tessdb
