// Parser of the filter language: turns an expression text into a typed node tree and evaluates
// the tree against a record. The grammar, lowest precedence first (binary operators associate to
// the left; keywords compare without regard to case):
//
//   expression  := conjunction { OR conjunction }
//   conjunction := negation { AND negation }
//   negation    := [ NOT ] comparison
//   comparison  := sum [ (= | <> | > | < | >= | <=) sum | LIKE sum | IN "(" expression {","
//   expression} ")" ] sum         := product { ("+" | "-") product } product     := primary { ("*"
//   | "/") primary } primary     := function "(" [ expression {"," expression} ] ")" | TRUE | FALSE
//   | field
//                  | [bracketed field] | number | 'string' | "(" expression ")"
//
// Every parse error raises EDatabaseError with the language's message text; a malformed number
// or date string raises EConvertError. Nesting deeper than kMaxNestingDepth, or a tree higher than
// kMaxTreeHeight, fails with EDatabaseError, so no text can exhaust the stack. This base knows no
// dataset: a concrete parser supplies the fields.
#pragma once

#include <cstdint>
#include <string>

#include "tessdb/core/field_type.h"
#include "tessdb/core/filter_options.h"
#include "tessdb/filter/expr_evaluator.h"
#include "tessdb/filter/expr_node.h"
#include "tessdb/filter/field_source.h"
#include "tessdb/filter/syntax_parser_base.h"

namespace tessdb {

constexpr int kMaxNestingDepth = 256;  // parentheses, function arguments and IN lists
constexpr int kMaxTreeHeight = 1024;   // operator chains such as a OR b OR c ...

class TExprParserBase : public TSyntaxParserBase, public TBlobTextReader {
 public:
  // Frees the previous tree, then builds the tree of text. After a failure the nodes built so
  // far stay until the next Parse, but there is no root: Evaluate raises.
  virtual void Parse(const std::string& text);
  // Evaluates the tree against the current record: true when the first byte of the root's value
  // is non-zero.
  virtual bool Evaluate(TFilterOptions options = 0);

  const TExprNodes& Nodes() const { return nodes_; }
  TFilterOptions Options() const { return options_; }

  virtual TFieldType GetFieldType(const std::string& name);
  // YEAR..SECOND: ftInteger; GETDATE: ftDateTime; any other name ftUnknown.
  virtual TFieldType GetFunctionType(const std::string& name);
  virtual bool IsFunctionName(const std::string& name);

 protected:
  virtual TExprNode* ParseExpr();
  virtual void CheckEnd();

  // The fields, supplied by the concrete parser.
  virtual TFilterFieldInfo GetFieldInfo(const std::string& name) = 0;
  virtual TFieldSlot GetFieldSlot(int fieldIndex) = 0;
  virtual const uint8_t* GetFilterRecordBuffer() = 0;

 private:
  TExprNode* ParseConjunction();
  TExprNode* ParseNegation();
  TExprNode* ParseComparison();
  TExprNode* ParseSum();
  TExprNode* ParseProduct();
  TExprNode* ParsePrimary();
  TExprNode* ParseFunction();
  TExprNode* NewFieldNode(const std::string& name);
  TExprNode* NewNumberNode(const std::string& text);
  TExprNode* NewOperatorNode(TExprOperator op, TExprNode* left, TExprNode* right);
  // Reads expressions up to ")" into list, the current token being the first of the list.
  void ParseList(std::vector<TExprNode*>& list);
  // Records the node's height and raises when the tree grows too high.
  void SetHeight(TExprNode& node);
  bool IsKeyword(const char* word) const;

  TExprNodes nodes_;
  TFilterOptions options_ = 0;
  int depth_ = 0;
};

}  // namespace tessdb
