// The filter parser of a dataset: the filter language over the fields of one field source.
//
// Typical use, once per filter text and then once per candidate record:
//   TFilterParser parser(source);
//   parser.Parse("name='Nokia'");          // raises EDatabaseError / EConvertError
//   ... load the record into source.FilterRecordBuffer() ...
//   bool accepted = parser.Evaluate(filterOptions);
// The source must outlive the parser.
#pragma once

#include "tessdb/filter/expr_parser_base.h"
#include "tessdb/filter/field_source.h"

namespace tessdb {

class TFilterParser : public TExprParserBase {
 public:
  explicit TFilterParser(TFilterFieldSource& source) : source_(source) {}

  TFilterFieldSource& Source() const { return source_; }

  void ReadBlobText(int fieldIndex, std::string& text) override {
    source_.BlobText(fieldIndex, text);
  }

 protected:
  TFilterFieldInfo GetFieldInfo(const std::string& name) override {
    return source_.FieldByName(name);
  }
  TFieldSlot GetFieldSlot(int fieldIndex) override { return source_.FieldSlot(fieldIndex); }
  const uint8_t* GetFilterRecordBuffer() override { return source_.FilterRecordBuffer(); }

 private:
  TFilterFieldSource& source_;
};

}  // namespace tessdb
