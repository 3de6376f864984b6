#include "tessdb/filter/expr_node.h"

namespace tessdb {

void TExprNode::SetNumber(int64_t integer, double floating) {
  switch (dataType) {
    case ftSmallint:
      SetScalar(static_cast<int16_t>(integer));
      break;
    case ftWord:
      SetScalar(static_cast<uint16_t>(integer));
      break;
    case ftLargeint:
      SetScalar(integer);
      break;
    case ftFloat:
    case ftCurrency:
    case ftDateTime:
      SetScalar(floating);
      break;
    default:
      SetScalar(static_cast<int32_t>(integer));
      break;
  }
}

TExprNode* TExprNodes::NewNode(TExprNodeKind kind) {
  nodes_.push_back(std::make_unique<TExprNode>(this, kind));
  return nodes_.back().get();
}

void TExprNodes::Clear() {
  root_ = nullptr;
  nodes_.clear();
}

}  // namespace tessdb
