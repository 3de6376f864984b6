#include "tessdb/filter/expr_node.h"

namespace tessdb {

TExprNode* TExprNodes::NewNode(TExprNodeKind kind) {
  nodes_.push_back(std::make_unique<TExprNode>(this, kind));
  return nodes_.back().get();
}

void TExprNodes::Clear() {
  root_ = nullptr;
  nodes_.clear();
}

}  // namespace tessdb
