#include "tessdb/filter/type_rules.h"

#include "platform/locale.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/filter/date_string.h"
#include "tessdb/filter/expr_types.h"

namespace tessdb {
namespace {

void Require(bool condition) {
  if (!condition) throw EDatabaseError("Type mismatch in expression");
}

// A comparison or IN item: right is compared with left.
void CheckComparable(TExprNode& left, TExprNode& right, bool isInItem, TExprOperator op) {
  const TFieldType leftType = left.dataType;
  if (IsNumericType(leftType)) {
    Require(IsNumericType(right.dataType));
  } else if (IsDateTimeType(leftType)) {
    if (IsDateString(right))
      ConvertDateString(right, leftType);
    else
      Require(IsDateTimeType(right.dataType));
  } else if (IsTextType(leftType)) {
    if (!isInItem && IsDateTimeType(right.dataType)) {
      Require(IsDateString(left));
      ConvertDateString(left, right.dataType);
    } else {
      Require(IsTextType(right.dataType));
    }
  } else if (leftType == ftBoolean) {
    Require(right.dataType == ftBoolean);
    Require(isInItem || op == coEQ || op == coNE);
  } else {
    Require(isInItem);  // an IN list puts no condition on other left types
  }
}

TFieldType ArithmeticType(TExprNode& node) {
  TExprNode& left = *node.left;
  TExprNode& right = *node.right;
  const TFieldType leftType = left.dataType;
  if (IsNumericType(leftType) && IsNumericType(right.dataType)) {
    if (node.op == coDIV) return ftFloat;
    TFieldType type =
        NumericRank(right.dataType) > NumericRank(leftType) ? right.dataType : leftType;
    if (type == ftSmallint || type == ftWord) type = ftInteger;
    return type;
  }
  if (IsTextType(leftType)) {
    if (node.op == coADD && IsTextType(right.dataType)) return ftString;
    if (node.op == coSUB && IsDateString(left) && IsDateTimeType(right.dataType)) {
      ConvertDateString(left, ftDateTime);
      return ftFloat;
    }
    Require(false);
  }
  if (IsDateTimeType(leftType)) {
    if (node.op == coSUB) {
      if (IsDateString(right)) ConvertDateString(right, leftType);
      const TFieldType rightType = right.dataType;
      if (leftType == ftDate && (rightType == ftDate || IsNumericType(rightType))) return ftInteger;
      if (leftType == ftTime && (rightType == ftTime || IsNumericType(rightType))) return ftInteger;
      Require(IsDateTimeType(rightType) || IsNumericType(rightType));
      return ftFloat;
    }
    Require(node.op == coADD && IsNumericType(right.dataType));
    return leftType;
  }
  Require(false);
  return ftUnknown;
}

}  // namespace

void CheckOperatorTypes(TExprNode& node) {
  switch (node.op) {
    case coNOT:
      Require(node.left->dataType == ftBoolean);
      node.dataType = ftBoolean;
      break;
    case coAND:
    case coOR:
      Require(node.left->dataType == ftBoolean && node.right->dataType == ftBoolean);
      node.dataType = ftBoolean;
      break;
    case coLIKE:
      Require(IsTextType(node.left->dataType) && IsTextType(node.right->dataType));
      node.dataType = ftBoolean;
      break;
    case coIN:
      for (TExprNode* item : node.arguments) CheckComparable(*node.left, *item, true, coIN);
      node.dataType = ftBoolean;
      break;
    case coADD:
    case coSUB:
    case coMUL:
    case coDIV:
      node.dataType = ArithmeticType(node);
      break;
    default:
      CheckComparable(*node.left, *node.right, false, node.op);
      node.dataType = ftBoolean;
      break;
  }
}

void CheckFunctionTypes(TExprNode& node) {
  const auto& args = node.arguments;
  switch (node.function) {
    case fnUpper:
    case fnLower:
    case fnTrim:
    case fnTrimLeft:
    case fnTrimRight:
      Require(args.size() == 1 && IsTextType(args[0]->dataType));
      node.dataType = ftString;
      break;
    case fnSubstring:
      Require(args.size() == 3 && IsTextType(args[0]->dataType));
      for (size_t i = 1; i < 3; ++i)
        Require(args[i]->kind == enConst && args[i]->dataType == ftInteger);
      node.dataType = ftString;
      break;
    case fnYear:
    case fnMonth:
    case fnDay:
      Require(args.size() == 1 && (args[0]->dataType == ftDate || args[0]->dataType == ftDateTime));
      node.dataType = ftInteger;
      break;
    case fnHour:
    case fnMinute:
    case fnSecond:
      Require(args.size() == 1 && (args[0]->dataType == ftTime || args[0]->dataType == ftDateTime));
      node.dataType = ftInteger;
      break;
    case fnGetDate:
      Require(args.empty());
      // Fixed at parse time: every later evaluation sees the same moment.
      node.kind = enConst;
      node.dataType = ftDateTime;
      node.SetScalar(NowTimeStamp());
      break;
    default:
      Require(false);
  }
}

}  // namespace tessdb
