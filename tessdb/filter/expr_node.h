// The typed expression tree of a filter text. TExprNodes owns every node one parse creates;
// TExprNode is one field reference, constant, function call or operator.
//
// A node's value is a TValueView over bytes in the value's stored format: for a non-blob field
// reference the bytes inside the record buffer (never copied), for a blob field or a text result
// the node's text holder, for other results the node's own 8-byte scalar buffer. Text values are
// followed by a NUL where the node owns them. Nodes live until the next Parse or until the parser
// is freed; pointers between nodes stay valid that long.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tessdb/core/field_type.h"
#include "tessdb/filter/expr_value.h"

namespace tessdb {

enum TExprNodeKind : uint8_t { enField = 0, enConst = 1, enFunc = 2, enOperator = 3 };

enum TExprOperator : uint8_t {
  coNone = 0,
  coEQ = 3,
  coNE = 4,
  coGT = 5,
  coLT = 6,
  coGE = 7,
  coLE = 8,
  coNOT = 9,
  coAND = 10,
  coOR = 11,
  coADD = 12,
  coSUB = 13,
  coMUL = 14,
  coDIV = 15,
  coLIKE = 17,
  coIN = 18,
};

enum TExprFunction : uint8_t {
  fnNone = 0,
  fnUpper = 1,
  fnLower = 2,
  fnSubstring = 3,
  fnTrim = 4,
  fnTrimLeft = 5,
  fnTrimRight = 6,
  fnYear = 7,
  fnMonth = 8,
  fnDay = 9,
  fnHour = 10,
  fnMinute = 11,
  fnSecond = 12,
  fnGetDate = 13,
};

constexpr bool IsComparisonOperator(TExprOperator op) {
  return op >= coEQ && op <= coLE;
}

class TExprNodes;

class TExprNode {
 public:
  explicit TExprNode(TExprNodes* owner, TExprNodeKind kind) : owner(owner), kind(kind) {}
  TExprNode(const TExprNode&) = delete;
  TExprNode& operator=(const TExprNode&) = delete;

  TExprNodes* owner;
  TExprNodeKind kind;
  TExprOperator op = coNone;
  TExprFunction function = fnNone;
  std::string name;  // field or function name
  TFieldType dataType = ftUnknown;
  TExprNode* left = nullptr;          // first operand; the only one for NOT
  TExprNode* right = nullptr;         // second operand
  std::vector<TExprNode*> arguments;  // function arguments or the IN list
  bool blobField = false;
  int32_t fieldIndex = -1;
  int32_t fieldOffset = 0;  // non-blob fields: where the value lies in the record buffer
  int32_t fieldSize = 0;
  // String constants: characters before the first "*" of the literal, or -1 without one.
  int32_t partialLength = -1;
  int32_t height = 1;  // of the subtree rooted here: bounds the evaluation's recursion

  // The current value (valid after the node was evaluated; constants always).
  TValueView Value() const { return {dataType, value_, valueSize_}; }
  std::string_view Text() const { return Value().Text(); }

  // The value points at bytes the node does not own (a record buffer slot).
  void PointAt(const uint8_t* data, size_t size) {
    value_ = data;
    valueSize_ = size;
  }
  // The text holder, to be filled and then published with PublishText().
  std::string& TextHolder() { return textHolder_; }
  void PublishText() {
    PointAt(reinterpret_cast<const uint8_t*>(textHolder_.c_str()), textHolder_.size());
  }
  void SetText(std::string_view text) {
    textHolder_.assign(text);
    PublishText();
  }
  void SetBoolean(bool value) {
    scalar_[0] = value ? 1 : 0;
    PointAt(scalar_, 1);
  }
  template <typename T>
  void SetScalar(T value) {
    static_assert(sizeof(T) <= sizeof(scalar_));
    std::memcpy(scalar_, &value, sizeof(T));
    PointAt(scalar_, sizeof(T));
  }

 private:
  const uint8_t* value_ = nullptr;
  size_t valueSize_ = 0;
  std::string textHolder_;
  alignas(8) uint8_t scalar_[8] = {};
};

class TExprNodes {
 public:
  TExprNode* NewNode(TExprNodeKind kind);
  // Frees every node.
  void Clear();

  TExprNode* Root() const { return root_; }
  void SetRoot(TExprNode* root) { root_ = root; }
  size_t Count() const { return nodes_.size(); }

 private:
  std::vector<std::unique_ptr<TExprNode>> nodes_;  // in creation order
  TExprNode* root_ = nullptr;
};

}  // namespace tessdb
