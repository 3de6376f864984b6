// The fields a filter expression may name, as the filter parser sees them. The table dataset
// implements this over its fields and its filter record buffer; tests use an in-memory record.
//
// Contract: a field's index, type, blob kind and slot stay fixed between a Parse and the last
// Evaluate of that parse. FilterRecordBuffer() returns the current candidate record laid out as
// the record data area (each field's decoded stored bytes at its offset); it is asked once per
// evaluation, so the dataset may re-fill or even move the buffer between evaluations.
#pragma once

#include <cstdint>
#include <string>

#include "tessdb/core/field_type.h"

namespace tessdb {

struct TFilterFieldInfo {
  TFieldType dataType = ftUnknown;
  bool isBlob = false;  // the field's class is a blob kind: its value is read as text
  int index = -1;       // position in the dataset's field list
};

// Where a non-blob field's stored bytes lie in the record buffer.
struct TFieldSlot {
  int32_t offset = 0;
  int32_t size = 0;  // stored size of the field (text types: declared size + 1)
};

class TFilterFieldSource {
 public:
  virtual ~TFilterFieldSource() = default;

  // The field of that name, compared without regard to case. Raises EDatabaseError
  // "Field '%s' not found" when there is none.
  virtual TFilterFieldInfo FieldByName(const std::string& name) = 0;
  virtual TFieldSlot FieldSlot(int fieldIndex) = 0;
  // The current record's value of a blob field as text; replaces the content of text.
  virtual void BlobText(int fieldIndex, std::string& text) = 0;
  virtual const uint8_t* FilterRecordBuffer() = 0;
};

}  // namespace tessdb
