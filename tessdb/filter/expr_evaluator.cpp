#include "tessdb/filter/expr_evaluator.h"

#include <cstring>

#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/filter/like_match.h"
#include "tessdb/filter/value_compare.h"

namespace tessdb {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

// Two's-complement wrapping, as the stored integer types behave.
int32_t Wrap32(uint64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

void SetTrimmed(TExprNode& node, std::string_view text, bool leading, bool trailing) {
  size_t begin = 0, end = text.size();
  if (leading)
    while (begin < end && IsBlank(text[begin])) ++begin;
  if (trailing)
    while (end > begin && IsBlank(text[end - 1])) --end;
  node.SetText(text.substr(begin, end - begin));
}

}  // namespace

void TExprEvaluator::Evaluate(TExprNode& node) {
  switch (node.kind) {
    case enConst:
      return;
    case enField:
      EvaluateField(node);
      return;
    case enFunc:
      for (TExprNode* argument : node.arguments) Evaluate(*argument);
      ApplyFunction(node);
      return;
    case enOperator:
      EvaluateOperator(node);
      return;
  }
}

void TExprEvaluator::EvaluateField(TExprNode& node) {
  if (node.blobField) {
    std::string& text = node.TextHolder();
    blobs_.ReadBlobText(node.fieldIndex, text);
    text.resize(strnlen(text.c_str(), text.size()));  // a text ends at its first NUL
    node.PublishText();
    return;
  }
  if (record_ == nullptr) throw EDatabaseError("No record buffer to filter");
  const uint8_t* data = record_ + node.fieldOffset;
  const size_t size = static_cast<size_t>(node.fieldSize);
  // The slot bounds the text even when a damaged record holds no NUL.
  node.PointAt(
      data, IsTextType(node.dataType) ? strnlen(reinterpret_cast<const char*>(data), size) : size);
}

void TExprEvaluator::EvaluateOperator(TExprNode& node) {
  const bool caseInsensitive = (options_ & foCaseInsensitive) != 0;
  TExprNode& left = *node.left;
  switch (node.op) {
    case coNOT:
      Evaluate(left);
      node.SetBoolean(!left.Value().FirstByte());
      return;
    case coAND:
      Evaluate(left);
      if (!left.Value().FirstByte()) return node.SetBoolean(false);
      Evaluate(*node.right);
      return node.SetBoolean(node.right->Value().FirstByte());
    case coOR:
      Evaluate(left);
      if (left.Value().FirstByte()) return node.SetBoolean(true);
      Evaluate(*node.right);
      return node.SetBoolean(node.right->Value().FirstByte());
    case coLIKE:
      Evaluate(left);
      Evaluate(*node.right);
      return node.SetBoolean(LikeMatch(left.Text(), node.right->Text(), caseInsensitive));
    case coIN: {
      Evaluate(left);
      for (TExprNode* item : node.arguments) Evaluate(*item);
      const bool noPartial = (options_ & foNoPartialCompare) != 0;
      for (const TExprNode* item : node.arguments) {
        const int32_t partial = noPartial ? -1 : item->partialLength;
        if (CompareValueViews(left.Value(), item->Value(), partial, caseInsensitive) == crEqual)
          return node.SetBoolean(true);
      }
      return node.SetBoolean(false);
    }
    case coADD:
    case coSUB:
    case coMUL:
    case coDIV:
      Evaluate(left);
      Evaluate(*node.right);
      return ApplyArithmetic(node);
    default:
      break;
  }
  Evaluate(left);
  TExprNode& right = *node.right;
  Evaluate(right);
  const int32_t partial = (options_ & foNoPartialCompare) != 0 ? -1 : right.partialLength;
  const TCompareResult result =
      CompareValueViews(left.Value(), right.Value(), partial, caseInsensitive);
  bool value = false;
  switch (node.op) {
    case coEQ:
      value = result == crEqual;
      break;
    case coNE:
      value = result != crEqual;
      break;
    case coLT:
      value = result == crLess;
      break;
    case coGE:
      value = result != crLess;
      break;
    case coGT:
      value = result == crGreater;
      break;
    case coLE:
      value = result != crGreater;
      break;
    default:
      break;
  }
  node.SetBoolean(value);
}

void TExprEvaluator::ApplyArithmetic(TExprNode& node) {
  const TValueView a = node.left->Value();
  const TValueView b = node.right->Value();
  if (IsTextType(a.type)) {  // the type rules leave only text + text here
    std::string& text = node.TextHolder();
    text.assign(a.Text());
    text.append(b.Text());
    return node.PublishText();
  }
  if (IsDateTimeType(a.type)) {
    if (node.op == coADD) {
      const int64_t n = b.AsInteger();  // whole days (ftDate, ftDateTime) or milliseconds (ftTime)
      if (a.type == ftDateTime)
        return node.SetScalar(a.AsFloat() + static_cast<double>(n) * kMsPerDay);
      return node.SetScalar(
          Wrap32(static_cast<uint64_t>(a.AsInteger()) + static_cast<uint64_t>(n)));
    }
    if (node.dataType == ftInteger) {  // date - date or days, time - time or milliseconds
      return node.SetScalar(
          Wrap32(static_cast<uint64_t>(a.AsInteger()) - static_cast<uint64_t>(b.AsInteger())));
    }
    if (IsNumericType(b.type))
      return node.SetScalar(a.AsTimeStamp() - static_cast<double>(b.AsInteger()) * kMsPerDay);
    return node.SetScalar(a.AsTimeStamp() - b.AsTimeStamp());
  }
  if (node.op == coDIV) {
    const double divisor = b.AsFloat();
    if (divisor == 0) throw EZeroDivide();
    return node.SetScalar(a.AsFloat() / divisor);
  }
  if (node.dataType == ftFloat || node.dataType == ftCurrency) {
    const double x = a.AsFloat(), y = b.AsFloat();
    return node.SetScalar(node.op == coADD ? x + y : node.op == coSUB ? x - y : x * y);
  }
  const uint64_t x = static_cast<uint64_t>(a.AsInteger());
  const uint64_t y = static_cast<uint64_t>(b.AsInteger());
  const uint64_t result = node.op == coADD ? x + y : node.op == coSUB ? x - y : x * y;
  if (node.dataType == ftLargeint) return node.SetScalar(static_cast<int64_t>(result));
  node.SetScalar(Wrap32(result));
}

void TExprEvaluator::ApplyFunction(TExprNode& node) {
  const TValueView argument = node.arguments.empty() ? TValueView{} : node.arguments[0]->Value();
  switch (node.function) {
    case fnUpper:
    case fnLower: {
      std::string& text = node.TextHolder();
      text.assign(argument.Text());
      const char from = node.function == fnUpper ? 'a' : 'A';
      for (char& c : text) {
        if (c >= from && c <= from + 25)
          c = static_cast<char>(c + (node.function == fnUpper ? -32 : 32));
      }
      return node.PublishText();
    }
    case fnTrim:
      return SetTrimmed(node, argument.Text(), true, true);
    case fnTrimLeft:
      return SetTrimmed(node, argument.Text(), true, false);
    case fnTrimRight:
      return SetTrimmed(node, argument.Text(), false, true);
    case fnSubstring: {
      const std::string_view text = argument.Text();
      const int64_t start = node.arguments[1]->Value().AsInteger();
      const int64_t length = node.arguments[2]->Value().AsInteger();
      const size_t begin = start < 1 ? 0 : static_cast<size_t>(start - 1);
      if (begin >= text.size() || length <= 0) return node.SetText({});
      return node.SetText(text.substr(begin, static_cast<size_t>(length)));
    }
    case fnYear:
    case fnMonth:
    case fnDay: {
      int64_t dayNumber = argument.AsInteger();
      if (argument.type == ftDateTime) {
        const int64_t ms = RoundToInt64(argument.Read<double>());
        dayNumber = (ms - TimeOfDayMs(ms)) / kMsPerDay;
      }
      const TCalendarDate date = DecodeDayNumber(dayNumber);
      const int64_t part = node.function == fnYear    ? date.year
                           : node.function == fnMonth ? date.month
                                                      : date.day;
      return node.SetScalar(Wrap32(static_cast<uint64_t>(part)));
    }
    case fnHour:
    case fnMinute:
    case fnSecond: {
      const int64_t ms = argument.type == ftDateTime ? RoundToInt64(argument.Read<double>())
                                                     : argument.AsInteger();
      const int64_t timeOfDay = TimeOfDayMs(ms);
      const int64_t part = node.function == fnHour     ? timeOfDay / kMsPerHour
                           : node.function == fnMinute ? timeOfDay / kMsPerMinute % 60
                                                       : timeOfDay / kMsPerSecond % 60;
      return node.SetScalar(static_cast<int32_t>(part));
    }
    default:
      return;  // GETDATE became a constant while parsing
  }
}

}  // namespace tessdb
