// Date strings: string constants of a filter whose text reads as a date, a time or a date-time,
// in the fixed form (M/D/Y dates, H:M:S.ms times with optional AM/PM) or the locale's form. The
// type rules convert such a constant when it meets a date-time operand.
#pragma once

#include "tessdb/core/field_type.h"
#include "tessdb/filter/expr_node.h"

namespace tessdb {

// A string constant that the fixed date-time form or the locale date-time conversion accepts.
bool IsDateString(const TExprNode& node);

// Replaces the constant's value and type by the text converted to ftDate (day number), ftTime
// (milliseconds since midnight) or ftDateTime (time-stamp milliseconds): the fixed form first,
// then the locale's conversion, whose failure raises EConvertError.
void ConvertDateString(TExprNode& node, TFieldType type);

}  // namespace tessdb
