// TField: one field of an open dataset, the object through which callers read and write the value
// of the current record.
//
// A data field always has a value while the dataset has a current record (fields cannot be null);
// with no record (an empty view) every field has no value and reads as empty text or 0. Values
// keep their stored form in the record buffer: a date is a day number (1 = 1 January of year 1),
// a time milliseconds since midnight, a date-time milliseconds since the same origin. AsDateTime
// converts to and from the toolkit's date-time value: days since 30 December 1899, the time of
// day as the fraction.
//
// Texts (AsString): strings up to the first NUL; whole numbers in decimal; floats in the shortest
// general form with up to 15 significant digits and the locale's decimal separator; Booleans
// "True"/"False"; dates, times and date-times in the locale's short date and long time; blob and
// memo fields their bytes. Blob and memo values travel through TTessBlobStream; AsString and
// SetAsString on them use such a stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tessdb/core/field_type.h"

namespace tessdb {

class TDataSet;

// The toolkit's date-time value of 30 December 1899 counts as day 693594 of the stored form.
constexpr int32_t kDateDelta = 693594;

class TField {
 public:
  TField(TDataSet& dataSet, std::string fieldName, TFieldType dataType, int32_t size, int fieldNo);

  TDataSet& DataSet() const { return dataSet_; }
  const std::string& FieldName() const { return fieldName_; }
  TFieldType DataType() const { return dataType_; }
  // Declared size of string types, 0 for other types.
  int32_t Size() const { return size_; }
  // 1-based number of the stored field.
  int FieldNo() const { return fieldNo_; }
  // Position in the dataset's field list.
  int Index() const { return index_; }
  // Bytes of the value in a record buffer (0 for blob types).
  int32_t DataSize() const { return dataSize_; }
  bool IsBlob() const { return IsBlobType(dataType_); }
  bool IsNull() const;

  std::string AsString() const;
  void SetAsString(const std::string& text);
  int32_t AsInteger() const;
  void SetAsInteger(int32_t value);
  int64_t AsLargeInt() const;
  void SetAsLargeInt(int64_t value);
  double AsFloat() const;
  void SetAsFloat(double value);
  bool AsBoolean() const;
  void SetAsBoolean(bool value);
  double AsDateTime() const;
  void SetAsDateTime(double value);
  // An attempt to clear the value: data fields keep their bytes.
  void Clear();

  // The value's bytes in their stored form (DataSize() bytes); false when there is no value.
  bool GetData(void* buffer) const;
  // Writes stored bytes (nullptr = no value); "General error" for blob and memo fields.
  void SetData(const void* buffer);

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

 private:
  friend class TDataSet;
  // The raw value, or false when there is none.
  bool ReadRaw(std::string& bytes) const;
  [[noreturn]] void TypeMismatch() const;

  TDataSet& dataSet_;
  std::string fieldName_;
  TFieldType dataType_;
  int32_t size_;
  int fieldNo_;
  int index_ = -1;
  int32_t dataSize_;
  bool modified_ = false;
};

// Text forms shared by fields and the tools: the locale's short date, long time, both, and the
// general float format.
std::string DateText(int32_t dayNumber);
std::string TimeText(int32_t ms);
std::string DateTimeText(double timeStamp);
std::string FloatText(double value);

// The toolkit's date-time value of stored forms and back; a stored date that is no valid date
// yields 0.
double DateToValue(int32_t dayNumber);
double TimeToValue(int32_t ms);
double TimeStampToValue(double timeStamp);
int32_t ValueToDate(double value);
int32_t ValueToTime(double value);
double ValueToTimeStamp(double value);

}  // namespace tessdb
