#include "tessdb/filter/expr_parser_base.h"

#include <strings.h>
#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/locale.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/filter/expr_types.h"
#include "tessdb/filter/type_rules.h"

namespace tessdb {
namespace {

struct TFunctionName {
  const char* name;
  TExprFunction code;
};

constexpr TFunctionName kFunctions[] = {
    {"UPPER", fnUpper},    {"LOWER", fnLower},       {"SUBSTRING", fnSubstring},
    {"TRIM", fnTrim},      {"TRIMLEFT", fnTrimLeft}, {"TRIMRIGHT", fnTrimRight},
    {"YEAR", fnYear},      {"MONTH", fnMonth},       {"DAY", fnDay},
    {"HOUR", fnHour},      {"MINUTE", fnMinute},     {"SECOND", fnSecond},
    {"GETDATE", fnGetDate}};

TExprFunction FunctionCode(const std::string& name) {
  for (const auto& function : kFunctions) {
    if (strcasecmp(name.c_str(), function.name) == 0) return function.code;
  }
  return fnNone;
}

// A 32-bit integer literal: optional sign and decimal digits only.
bool TryParseInt32(const std::string& text, int32_t& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  if (begin == end || (*begin == '-' && begin + 1 == end)) return false;
  const auto [ptr, error] = std::from_chars(begin, end, value);
  return error == std::errc() && ptr == end;
}

[[noreturn]] void Expected(const char* format, const std::string& found) {
  throw EDatabaseError(FormatMessage(format, found));
}

}  // namespace

void TExprParserBase::Parse(const std::string& text) {
  nodes_.Clear();
  depth_ = 0;
  SetText(text);
  NextToken();
  TExprNode* root = ParseExpr();
  CheckEnd();
  nodes_.SetRoot(root);
}

bool TExprParserBase::Evaluate(TFilterOptions options) {
  options_ = options;
  TExprNode* root = nodes_.Root();
  if (root == nullptr) throw EDatabaseError("Filter expression has not been parsed");
  TExprEvaluator evaluator(options, GetFilterRecordBuffer(), *this);
  evaluator.Evaluate(*root);
  return root->Value().FirstByte();
}

TFieldType TExprParserBase::GetFieldType(const std::string& name) {
  return GetFieldInfo(name).dataType;
}

TFieldType TExprParserBase::GetFunctionType(const std::string& name) {
  const TExprFunction code = FunctionCode(name);
  if (code >= fnYear && code <= fnSecond) return ftInteger;
  if (code == fnGetDate) return ftDateTime;
  return ftUnknown;
}

bool TExprParserBase::IsFunctionName(const std::string& name) {
  return FunctionCode(name) != fnNone;
}

void TExprParserBase::CheckEnd() {
  if (tokenType_ != etEnd) throw EDatabaseError("Filter expression incorrectly terminated");
}

bool TExprParserBase::IsKeyword(const char* word) const {
  return tokenType_ == etSymbol && strcasecmp(token_.c_str(), word) == 0;
}

void TExprParserBase::SetHeight(TExprNode& node) {
  int32_t height = 0;
  if (node.left) height = std::max(height, node.left->height);
  if (node.right) height = std::max(height, node.right->height);
  for (const TExprNode* argument : node.arguments) height = std::max(height, argument->height);
  node.height = height + 1;
  if (node.height > kMaxTreeHeight) throw EDatabaseError("Filter expression too complex");
}

TExprNode* TExprParserBase::ParseExpr() {
  struct TDepthGuard {
    int& depth;
    explicit TDepthGuard(int& d) : depth(d) {
      if (++depth > kMaxNestingDepth) {
        --depth;
        throw EDatabaseError("Filter expression nested too deeply");
      }
    }
    ~TDepthGuard() { --depth; }
  };
  TDepthGuard guard(depth_);
  TExprNode* node = ParseConjunction();
  while (IsKeyword("OR")) {
    NextToken();
    node = NewOperatorNode(coOR, node, ParseConjunction());
  }
  return node;
}

TExprNode* TExprParserBase::ParseConjunction() {
  TExprNode* node = ParseNegation();
  while (IsKeyword("AND")) {
    NextToken();
    node = NewOperatorNode(coAND, node, ParseNegation());
  }
  return node;
}

TExprNode* TExprParserBase::ParseNegation() {
  if (IsKeyword("NOT")) {
    NextToken();
    return NewOperatorNode(coNOT, ParseComparison(), nullptr);
  }
  return ParseComparison();
}

TExprNode* TExprParserBase::ParseComparison() {
  TExprNode* left = ParseSum();
  TExprOperator op;
  switch (tokenType_) {
    case etEQ:
      op = coEQ;
      break;
    case etNE:
      op = coNE;
      break;
    case etGT:
      op = coGT;
      break;
    case etLT:
      op = coLT;
      break;
    case etGE:
      op = coGE;
      break;
    case etLE:
      op = coLE;
      break;
    case etLIKE:
      op = coLIKE;
      break;
    case etIN: {
      NextToken();
      if (tokenType_ != etLParen) Expected("'(' expected but %s found", TokenDescription());
      NextToken();
      if (tokenType_ == etRParen) throw EDatabaseError("IN predicate list may not be empty");
      TExprNode* node = nodes_.NewNode(enOperator);
      node->op = coIN;
      node->left = left;
      ParseList(node->arguments);
      SetHeight(*node);
      CheckOperatorTypes(*node);
      return node;
    }
    default:
      return left;
  }
  NextToken();
  return NewOperatorNode(op, left, ParseSum());
}

void TExprParserBase::ParseList(std::vector<TExprNode*>& list) {
  for (;;) {
    list.push_back(ParseExpr());
    if (tokenType_ == etComma) {
      NextToken();
      continue;
    }
    if (tokenType_ != etRParen) Expected("')' or ',' expected but %s found", TokenDescription());
    NextToken();
    return;
  }
}

TExprNode* TExprParserBase::ParseSum() {
  TExprNode* node = ParseProduct();
  while (tokenType_ == etADD || tokenType_ == etSUB) {
    const TExprOperator op = tokenType_ == etADD ? coADD : coSUB;
    NextToken();
    node = NewOperatorNode(op, node, ParseProduct());
  }
  return node;
}

TExprNode* TExprParserBase::ParseProduct() {
  TExprNode* node = ParsePrimary();
  while (tokenType_ == etMUL || tokenType_ == etDIV) {
    const TExprOperator op = tokenType_ == etMUL ? coMUL : coDIV;
    NextToken();
    node = NewOperatorNode(op, node, ParsePrimary());
  }
  return node;
}

TExprNode* TExprParserBase::ParsePrimary() {
  TExprNode* node = nullptr;
  switch (tokenType_) {
    case etSymbol:
      if (IsFunctionName(token_) && NextNonBlank(position_) == '(') return ParseFunction();
      if (IsKeyword("TRUE") || IsKeyword("FALSE")) {
        node = nodes_.NewNode(enConst);
        node->dataType = ftBoolean;
        node->SetBoolean(IsKeyword("TRUE"));
      } else {
        node = NewFieldNode(token_);
      }
      break;
    case etName:
      node = NewFieldNode(token_);
      break;
    case etNumber:
      node = NewNumberNode(token_);
      break;
    case etString: {
      node = nodes_.NewNode(enConst);
      node->dataType = ftString;
      node->SetText(token_);
      const size_t star = token_.find('*');
      node->partialLength = star == std::string::npos ? -1 : static_cast<int32_t>(star);
      break;
    }
    case etLParen:
      NextToken();
      node = ParseExpr();
      if (tokenType_ != etRParen) Expected("')' expected but %s found", TokenDescription());
      break;
    default:
      Expected("Expression expected but %s found", TokenDescription());
  }
  NextToken();
  return node;
}

TExprNode* TExprParserBase::ParseFunction() {
  TExprNode* node = nodes_.NewNode(enFunc);
  node->name = token_;
  node->function = FunctionCode(token_);
  node->dataType = GetFunctionType(token_);
  NextToken();  // the "("
  NextToken();
  if (tokenType_ == etRParen)
    NextToken();
  else
    ParseList(node->arguments);
  SetHeight(*node);
  CheckFunctionTypes(*node);
  return node;
}

TExprNode* TExprParserBase::NewFieldNode(const std::string& name) {
  const TFilterFieldInfo info = GetFieldInfo(name);
  TExprNode* node = nodes_.NewNode(enField);
  node->name = name;
  node->dataType = info.dataType;
  node->fieldIndex = info.index;
  node->blobField = info.isBlob || IsBlobType(info.dataType);
  if (!node->blobField) {
    const TFieldSlot slot = GetFieldSlot(info.index);
    // Raises "General error" for a type without a stored size; a slot that cannot hold the type
    // would make reads run past it.
    const int32_t minimum = ValueBufferSize(info.dataType, 0);
    if (slot.offset < 0 || slot.size < minimum) throw EDatabaseError("General error");
    node->fieldOffset = slot.offset;
    node->fieldSize = slot.size;
  }
  return node;
}

TExprNode* TExprParserBase::NewNumberNode(const std::string& text) {
  TExprNode* node = nodes_.NewNode(enConst);
  int32_t integer;
  if (TryParseInt32(text, integer)) {
    node->dataType = ftInteger;
    node->SetScalar(integer);
  } else {
    node->dataType = ftFloat;
    node->SetScalar(StrToFloat(text));
  }
  return node;
}

TExprNode* TExprParserBase::NewOperatorNode(TExprOperator op, TExprNode* left, TExprNode* right) {
  TExprNode* node = nodes_.NewNode(enOperator);
  node->op = op;
  node->left = left;
  node->right = right;
  SetHeight(*node);
  CheckOperatorTypes(*node);
  return node;
}

}  // namespace tessdb
