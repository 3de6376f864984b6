// The filter language's operand type rules, applied to each operator and function node as the
// parser builds it. A rule sets the node's data type, may convert a date-string operand to the
// date-time type it meets, and raises EDatabaseError "Type mismatch in expression" when the
// operands do not fit. GETDATE() becomes a constant of the current date and time here.
#pragma once

#include "tessdb/filter/expr_node.h"

namespace tessdb {

void CheckOperatorTypes(TExprNode& node);
void CheckFunctionTypes(TExprNode& node);

}  // namespace tessdb
