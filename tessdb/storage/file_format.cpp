#include "tessdb/storage/file_format.h"

#include <algorithm>

#include "tessdb/core/exceptions.h"
#include "tessdb/core/field_type.h"

namespace tessdb {

void PutText(uint8_t* bytes, int size, const std::string& text) {
  std::memset(bytes, 0, static_cast<size_t>(size));
  std::memcpy(bytes, text.data(), std::min(text.size(), static_cast<size_t>(size)));
}

TProcessingBlock DecodeProcessingBlock(const TProcessingBlockBuffer& block) {
  TProcessingBlock result;
  result.compressed = block[kPbCompressed] != 0;
  result.level = block[kPbLevel];
  result.compression = GetText(&block[kPbCompression], kAlgoNameSize);
  result.encrypted = block[kPbEncrypted] != 0;
  result.mode = block[kPbMode];
  result.cipher = GetText(&block[kPbCipher], kAlgoNameSize);
  result.verifyWrites = block[kPbVerifyWrites] != 0;
  result.checkText = GetText(&block[kPbCheckText], kCheckTextSize);
  return result;
}

TProcessingBlockBuffer EncodeProcessingBlock(const TProcessingBlock& block) {
  TProcessingBlockBuffer result{};
  result[kPbCompressed] = block.compressed ? 1 : 0;
  result[kPbLevel] = block.level;
  PutText(&result[kPbCompression], kAlgoNameSize, block.compression);
  result[kPbEncrypted] = block.encrypted ? 1 : 0;
  result[kPbMode] = block.mode;
  PutText(&result[kPbCipher], kAlgoNameSize, block.cipher);
  result[kPbVerifyWrites] = block.verifyWrites ? 1 : 0;
  PutText(&result[kPbCheckText], kCheckTextSize, block.checkText);
  return result;
}

TFieldEntry DecodeFieldEntry(const uint8_t* entry) {
  TFieldEntry field;
  field.name = GetText(entry + kFeName, kNameSize);
  field.typeCode = entry[kFeType];
  field.declaredSize = GetInt32(entry + kFeDeclaredSize);
  field.processMode = entry[kFeProcessMode];
  return field;
}

void EncodeFieldEntry(const TFieldEntry& field, uint8_t* entry) {
  std::memset(entry, 0, kFieldEntrySize);
  PutText(entry + kFeName, kNameSize, field.name);
  entry[kFeType] = field.typeCode;
  PutInt32(entry + kFeDeclaredSize, field.declaredSize);
  entry[kFeProcessMode] = field.processMode;
}

TIndexEntry DecodeIndexEntry(const uint8_t* entry) {
  TIndexEntry index;
  index.name = GetText(entry + kIeName, kNameSize);
  index.options = entry[kIeOptions];
  for (int k = 0; k < kMaxKeyFields; ++k) {
    const int32_t fieldNo = GetInt32(entry + kIeKeyFields + 4 * k);
    if (fieldNo == -1) break;
    index.keyFields.push_back(fieldNo);
  }
  index.tabPosition = GetInt32(entry + kIeTabPosition);
  index.head = GetInt32(entry + kIeHead);
  return index;
}

void EncodeIndexEntry(const TIndexEntry& index, uint8_t* entry) {
  std::memset(entry, 0, kIndexEntrySize);
  PutText(entry + kIeName, kNameSize, index.name);
  entry[kIeOptions] = index.options;
  for (int k = 0; k < kMaxKeyFields; ++k) {
    const bool used = static_cast<size_t>(k) < index.keyFields.size();
    PutInt32(entry + kIeKeyFields + 4 * k, used ? index.keyFields[static_cast<size_t>(k)] : -1);
  }
  PutInt32(entry + kIeTabPosition, index.tabPosition);
  PutInt32(entry + kIeHead, index.head);
}

TTableHeader DecodeTableHeader(const TTableHeaderBuffer& buffer) {
  TTableHeader header;
  header.name = GetText(&buffer[kThName], kNameSize);
  header.recordTabPosition = GetInt32(&buffer[kThRecordTabPosition]);
  header.recordCount = GetInt32(&buffer[kThRecordCount]);
  header.autoIncValue = GetInt32(&buffer[kThAutoIncValue]);
  header.fieldCount = GetInt32(&buffer[kThFieldCount]);
  header.indexCount = GetInt32(&buffer[kThIndexCount]);
  const int fields = std::clamp(header.fieldCount, 0, kMaxFields);
  for (int i = 0; i < fields; ++i) {
    header.fields.push_back(DecodeFieldEntry(&buffer[kThFields + i * kFieldEntrySize]));
  }
  const int indexes = std::clamp(header.indexCount, 0, kMaxIndexes);
  for (int i = 0; i < indexes; ++i) {
    header.indexes.push_back(DecodeIndexEntry(&buffer[kThIndexes + i * kIndexEntrySize]));
  }
  return header;
}

TTableHeaderBuffer EncodeTableHeader(const TTableHeader& header) {
  TTableHeaderBuffer buffer{};
  PutText(&buffer[kThName], kNameSize, header.name);
  PutInt32(&buffer[kThRecordTabPosition], header.recordTabPosition);
  PutInt32(&buffer[kThRecordCount], header.recordCount);
  PutInt32(&buffer[kThAutoIncValue], header.autoIncValue);
  const size_t fields = std::min<size_t>(header.fields.size(), kMaxFields);
  PutInt32(&buffer[kThFieldCount], static_cast<int32_t>(fields));
  for (size_t i = 0; i < fields; ++i) {
    EncodeFieldEntry(header.fields[i], &buffer[kThFields + i * kFieldEntrySize]);
  }
  const size_t indexes = std::min<size_t>(header.indexes.size(), kMaxIndexes);
  PutInt32(&buffer[kThIndexCount], static_cast<int32_t>(indexes));
  for (size_t i = 0; i < indexes; ++i) {
    EncodeIndexEntry(header.indexes[i], &buffer[kThIndexes + i * kIndexEntrySize]);
  }
  return buffer;
}

std::string TableHeaderDefect(const TTableHeader& header) {
  if (header.fieldCount < 0 || header.fieldCount > kMaxFields) return "field count out of range";
  if (header.indexCount < 0 || header.indexCount > kMaxIndexes) return "index count out of range";
  if (header.recordCount < 0) return "negative record count";
  for (const TIndexEntry& index : header.indexes) {
    for (const int32_t fieldNo : index.keyFields) {
      if (fieldNo < 0 || fieldNo >= header.fieldCount) return "key field out of range";
    }
  }
  return {};
}

TRecordLayout ComputeRecordLayout(const std::vector<TFieldEntry>& fields,
                                  const std::string& fileName) {
  TRecordLayout layout;
  int64_t offset = 0;
  for (const TFieldEntry& field : fields) {
    if (IsStringType(field.typeCode) && field.declaredSize < 0) {
      throw EDatabaseError(DamagedFileMessage(fileName));
    }
    // String sizes are computed here in 64 bits: a damaged declared size must not overflow.
    std::optional<int64_t> size;
    if (IsStringType(field.typeCode)) {
      size = int64_t{field.declaredSize} + 1;
    } else if (const std::optional<int> fixed = StoredFieldSize(field.typeCode, 0)) {
      size = *fixed;
    }
    if (!size) throw EDatabaseError("General error");
    layout.fieldOffsets.push_back(static_cast<int32_t>(offset));
    layout.storedSizes.push_back(static_cast<int32_t>(*size));
    offset += *size;
    if (offset > INT32_MAX) throw EDatabaseError(DamagedFileMessage(fileName));
  }
  layout.recordSize = static_cast<int32_t>(offset);
  return layout;
}

std::string DamagedFileMessage(const std::string& fileName) {
  return FormatMessage("Database file '%s' is damaged", fileName);
}

}  // namespace tessdb
