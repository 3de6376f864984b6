// An in-memory record with named fields, standing in for a table dataset behind the filter
// parser. The record buffer is laid out as a record's data area: each non-blob field's stored
// bytes at its offset; blob values are kept beside it as texts.
#pragma once

#include <strings.h>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/core/field_type.h"
#include "tessdb/filter/field_source.h"

namespace tessdb::test {

class TTestRecordSource : public TFilterFieldSource {
 public:
  struct TField {
    std::string name;
    TFieldType type;
    TFieldSlot slot;
  };

  // Adds a field after the existing ones; blob types take the 20-byte descriptor slot.
  int AddField(const std::string& name, TFieldType type, int declaredSize = 0) {
    const int size = StoredFieldSize(type, declaredSize).value_or(8);
    fields_.push_back({name, type, {static_cast<int32_t>(record_.size()), size}});
    record_.resize(record_.size() + size);
    return static_cast<int>(fields_.size()) - 1;
  }

  // One field of every stored type, plus fields whose names need brackets or clash with
  // keywords.
  static TTestRecordSource WithEveryType() {
    TTestRecordSource source;
    source.AddField("name", ftString, 20);
    source.AddField("code", ftFixedChar, 8);
    source.AddField("small", ftSmallint);
    source.AddField("int", ftInteger);
    source.AddField("word", ftWord);
    source.AddField("flag", ftBoolean);
    source.AddField("price", ftFloat);
    source.AddField("cost", ftCurrency);
    source.AddField("day", ftDate);
    source.AddField("at", ftTime);
    source.AddField("stamp", ftDateTime);
    source.AddField("id", ftAutoInc);
    source.AddField("big", ftLargeint);
    source.AddField("notes", ftMemo);
    source.AddField("data", ftBlob);
    source.AddField("pic", ftGraphic);
    source.AddField("fmt", ftFmtMemo);
    source.AddField("ole", ftParadoxOle);
    source.AddField("dbole", ftDBaseOle);
    source.AddField("typed", ftTypedBinary);
    source.AddField("orablob", ftOraBlob);
    source.AddField("oraclob", ftOraClob);
    source.AddField("first name", ftString, 20);
    source.AddField("True", ftBoolean);
    source.AddField("other", ftString, 20);
    return source;
  }

  const std::vector<TField>& Fields() const { return fields_; }
  std::vector<uint8_t>& Record() { return record_; }

  void Clear() {
    std::fill(record_.begin(), record_.end(), 0);
    blobs_.clear();
  }

  void SetText(const std::string& name, std::string_view text) {
    const TField& field = Field(name);
    if (IsBlobType(field.type)) {
      blobs_[Index(name)] = std::string(text);
      return;
    }
    uint8_t* slot = record_.data() + field.slot.offset;
    std::memset(slot, 0, field.slot.size);
    std::memcpy(slot, text.data(), std::min<size_t>(text.size(), field.slot.size - 1));
  }

  void SetInt(const std::string& name, int64_t value) {
    const TField& field = Field(name);
    switch (field.type) {
      case ftSmallint:
      case ftBoolean:
        Put(field, static_cast<int16_t>(value));
        break;
      case ftWord:
        Put(field, static_cast<uint16_t>(value));
        break;
      case ftLargeint:
        Put(field, value);
        break;
      case ftFloat:
      case ftCurrency:
      case ftDateTime:
        Put(field, static_cast<double>(value));
        break;
      default:
        Put(field, static_cast<int32_t>(value));
        break;
    }
  }

  void SetFloat(const std::string& name, double value) { Put(Field(name), value); }
  void SetBool(const std::string& name, bool value) { SetInt(name, value ? 1 : 0); }
  void SetDate(const std::string& name, int year, int month, int day) {
    SetInt(name, EncodeDayNumber(year, month, day));
  }
  void SetTime(const std::string& name, int hour, int minute, int second, int ms = 0) {
    int32_t value = 0;
    EncodeTimeOfDay(hour, minute, second, ms, value);
    SetInt(name, value);
  }
  void SetDateTime(const std::string& name, int year, int month, int day, int hour, int minute,
                   int second, int ms = 0) {
    int32_t time = 0;
    EncodeTimeOfDay(hour, minute, second, ms, time);
    SetFloat(name, static_cast<double>(EncodeDayNumber(year, month, day)) * kMsPerDay + time);
  }

  int BlobReads() const { return blobReads_; }

  TFilterFieldInfo FieldByName(const std::string& name) override {
    const int index = Index(name);
    if (index < 0) throw EDatabaseError(FormatMessage("Field '%s' not found", name));
    return {fields_[index].type, IsBlobType(fields_[index].type), index};
  }
  TFieldSlot FieldSlot(int fieldIndex) override { return fields_.at(fieldIndex).slot; }
  void BlobText(int fieldIndex, std::string& text) override {
    ++blobReads_;
    const auto found = blobs_.find(fieldIndex);
    if (found == blobs_.end())
      text.clear();
    else
      text.assign(found->second);
  }
  const uint8_t* FilterRecordBuffer() override { return record_.data(); }

 private:
  int Index(const std::string& name) const {
    for (size_t i = 0; i < fields_.size(); ++i) {
      if (strcasecmp(fields_[i].name.c_str(), name.c_str()) == 0) return static_cast<int>(i);
    }
    return -1;
  }
  const TField& Field(const std::string& name) const { return fields_.at(Index(name)); }
  template <typename T>
  void Put(const TField& field, T value) {
    std::memcpy(record_.data() + field.slot.offset, &value, sizeof(T));
  }

  std::vector<TField> fields_;
  std::vector<uint8_t> record_;
  std::map<int, std::string> blobs_;
  int blobReads_ = 0;
};

}  // namespace tessdb::test
