// Evaluation of a filter's node tree against one record. Each node leaves its value in itself
// (see TExprNode): non-blob field references point into the record buffer, blob fields are read
// as text through the field reader on every evaluation, AND and OR evaluate their right operand
// only when it decides the result.
//
// Evaluation allocates nothing for non-blob fields; only blob texts and text results (string
// functions, concatenation) fill text holders, whose capacity is kept between evaluations.
// Errors of the platform pass through: EZeroDivide for a division by zero, and whatever the blob
// reader raises.
#pragma once

#include <cstdint>
#include <string>

#include "tessdb/core/filter_options.h"
#include "tessdb/filter/expr_node.h"

namespace tessdb {

class TBlobTextReader {
 public:
  virtual ~TBlobTextReader() = default;
  // The current record's value of a blob field as text; replaces the content of text.
  virtual void ReadBlobText(int fieldIndex, std::string& text) = 0;
};

class TExprEvaluator {
 public:
  // record: the buffer that non-blob field references read (may be null when none is used).
  TExprEvaluator(TFilterOptions options, const uint8_t* record, TBlobTextReader& blobs)
      : options_(options), record_(record), blobs_(blobs) {}

  void Evaluate(TExprNode& node);

 private:
  void EvaluateField(TExprNode& node);
  void EvaluateOperator(TExprNode& node);
  void ApplyFunction(TExprNode& node);
  void ApplyArithmetic(TExprNode& node);

  TFilterOptions options_;
  const uint8_t* record_;
  TBlobTextReader& blobs_;
};

}  // namespace tessdb
