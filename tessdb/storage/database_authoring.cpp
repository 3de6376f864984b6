#include "tessdb/storage/database_authoring.h"

#include <algorithm>
#include <cctype>

#include "platform/file_system.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/core/field_type.h"
#include "tessdb/processing/compress_mgr.h"
#include "tessdb/processing/encrypt_mgr.h"
#include "tessdb/processing/password_check.h"

namespace tessdb {
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool IsValidName(const std::string& name) {
  return !name.empty() && name.size() <= static_cast<size_t>(kMaxNewNameLength) &&
         name.find('\0') == std::string::npos;
}

[[noreturn]] void Fail(const std::string& message) {
  throw EDatabaseError(message);
}

std::string TablePrefix(const TTableDefinition& table) {
  return "Table '" + table.name + "'";
}

void CheckFields(const TTableDefinition& table) {
  const std::string prefix = TablePrefix(table);
  if (table.fields.size() > static_cast<size_t>(kMaxFields)) {
    Fail(prefix + ": more than " + std::to_string(kMaxFields) + " fields");
  }
  int64_t recordSize = 0;
  for (size_t i = 0; i < table.fields.size(); ++i) {
    const TFieldEntry& field = table.fields[i];
    const std::string where = prefix + ", field '" + field.name + "'";
    if (!IsValidName(field.name)) {
      Fail(where + ": a name needs 1 to " + std::to_string(kMaxNewNameLength) + " characters");
    }
    for (size_t j = 0; j < i; ++j) {
      if (SameName(table.fields[j].name, field.name)) Fail(where + ": duplicate field name");
    }
    if (IsStringType(field.typeCode) && field.declaredSize < 0) {
      Fail(where + ": the size must not be negative");
    }
    const std::optional<int> size =
        IsStringType(field.typeCode) ? std::optional<int>(1) : StoredFieldSize(field.typeCode, 0);
    if (!size) {
      Fail(where + ": type " + FieldTypeName(field.typeCode) + " (" +
           std::to_string(field.typeCode) + ") cannot be stored");
    }
    recordSize += IsStringType(field.typeCode) ? int64_t{field.declaredSize} + 1 : *size;
    if (recordSize > INT32_MAX) Fail(where + ": the record grows too large");
  }
}

void CheckIndexes(const TTableDefinition& table) {
  const std::string prefix = TablePrefix(table);
  if (table.indexes.size() > static_cast<size_t>(kMaxIndexes)) {
    Fail(prefix + ": more than " + std::to_string(kMaxIndexes) + " indexes");
  }
  for (size_t i = 0; i < table.indexes.size(); ++i) {
    const TIndexEntry& index = table.indexes[i];
    const std::string where = prefix + ", index '" + index.name + "'";
    if (!IsValidName(index.name)) {
      Fail(where + ": a name needs 1 to " + std::to_string(kMaxNewNameLength) + " characters");
    }
    for (size_t j = 0; j < i; ++j) {
      if (SameName(table.indexes[j].name, index.name)) Fail(where + ": duplicate index name");
    }
    if (index.options & ~(tiPrimary | tiUnique | tiDescending | tiCaseInsensitive)) {
      Fail(where + ": unknown index options");
    }
    if (index.keyFields.empty() || index.keyFields.size() > static_cast<size_t>(kMaxKeyFields)) {
      Fail(where + ": an index needs 1 to " + std::to_string(kMaxKeyFields) + " key fields");
    }
    for (const int32_t fieldNo : index.keyFields) {
      if (fieldNo < 0 || static_cast<size_t>(fieldNo) >= table.fields.size()) {
        Fail(where + ": key field number " + std::to_string(fieldNo) + " names no field");
      }
    }
  }
}

void CheckAlgorithms(const TNewDatabase& settings) {
  if (settings.compressed) {
    if (settings.compression.size() >= static_cast<size_t>(kAlgoNameSize) ||
        TCompressMgr().IndexOfAlgo(settings.compression) < 0) {
      Fail(FormatMessage("Compression algorithm module '%s' not found", settings.compression));
    }
  }
  if (settings.encrypted) {
    if (settings.cipher.size() >= static_cast<size_t>(kAlgoNameSize) ||
        TEncryptMgr().IndexOfAlgo(settings.cipher) < 0) {
      Fail(FormatMessage("Encryption algorithm module '%s' not found", settings.cipher));
    }
    if (settings.mode > kMaxCipherMode) {
      Fail("Cipher mode " + std::to_string(settings.mode) + " is not one of 0 to 4");
    }
  }
}

// Reads exactly length bytes at position of an image under construction.
void ReadImage(TStream& stream, int64_t position, void* buffer, int64_t length) {
  stream.SetPosition(position);
  stream.ReadBuffer(buffer, length);
}

void WriteImage(TStream& stream, int64_t position, const void* buffer, int64_t length) {
  stream.SetPosition(position);
  stream.WriteBuffer(buffer, length);
}

}  // namespace

void CreateDatabase(TStream& stream, const TNewDatabase& settings) {
  CheckAlgorithms(settings);
  if (stream.Size() != 0) Fail("A new database needs an empty stream");

  std::vector<uint8_t> image(static_cast<size_t>(kFirstAreaOffset), 0);
  PutText(&image[0], kMagicSize, kMagic);
  PutText(&image[kVersionOffset], kVersionSize, kCurrentVersion);

  TProcessingBlock block;
  block.compressed = settings.compressed;
  block.level = settings.level;
  block.compression = settings.compressed ? settings.compression : std::string();
  block.encrypted = settings.encrypted;
  block.mode = settings.encrypted ? settings.mode : 0;
  block.cipher = settings.encrypted ? settings.cipher : std::string();
  block.verifyWrites = settings.verifyWrites;
  block.checkText = settings.encrypted ? PasswordCheckText(settings.password) : std::string();
  const TProcessingBlockBuffer encoded = EncodeProcessingBlock(block);
  std::copy(encoded.begin(), encoded.end(), image.begin() + kProcessingBlockOffset);
  // The directory stays zero: no tables.
  WriteImage(stream, 0, image.data(), static_cast<int64_t>(image.size()));
}

void CheckTableDefinition(const TTableDefinition& table) {
  if (!IsValidName(table.name)) {
    Fail(TablePrefix(table) + ": a name needs 1 to " + std::to_string(kMaxNewNameLength) +
         " characters");
  }
  CheckFields(table);
  CheckIndexes(table);
}

void AddTable(TStream& stream, const TTableDefinition& table) {
  CheckTableDefinition(table);
  if (stream.Size() < kFirstAreaOffset) Fail("The stream holds no database");
  TDirectoryBuffer directory;
  ReadImage(stream, kDirectoryOffset, directory.data(), kDirectorySize);
  const int32_t count = GetInt32(&directory[kDirTableCount]);
  if (count < 0 || count > kMaxTables) Fail("The stream holds no database");
  if (count == kMaxTables) {
    Fail(TablePrefix(table) + ": a database holds at most " + std::to_string(kMaxTables) +
         " tables");
  }
  for (int32_t i = 0; i < count; ++i) {
    uint8_t name[kNameSize];
    ReadImage(stream, GetInt32(&directory[kDirPositions + 4 * i]), name, kNameSize);
    if (SameName(GetText(name, kNameSize), table.name)) {
      Fail(TablePrefix(table) + ": a table of that name exists already");
    }
  }

  TTableHeader header;
  header.name = table.name;
  header.fields = table.fields;
  for (TIndexEntry index : table.indexes) {
    index.tabPosition = 0;
    index.head = 0;
    header.indexes.push_back(index);
  }
  const int64_t position = stream.Size();
  if (position + kTableHeaderSize > INT32_MAX) Fail("The database file is full");
  const TTableHeaderBuffer encoded = EncodeTableHeader(header);
  WriteImage(stream, position, encoded.data(), kTableHeaderSize);

  PutInt32(&directory[kDirPositions + 4 * count], static_cast<int32_t>(position));
  PutInt32(&directory[kDirTableCount], count + 1);
  WriteImage(stream, kDirectoryOffset, directory.data(), kDirectorySize);
}

void WriteNewFile(const std::string& path, TStream& image) {
  if (platform::FileExists(path)) Fail(FormatMessage("File '%s' already exists", path));
  try {
    platform::File file = platform::File::CreateNew(path);
    std::vector<uint8_t> bytes(static_cast<size_t>(image.Size()));
    ReadImage(image, 0, bytes.data(), static_cast<int64_t>(bytes.size()));
    file.WriteAt(0, bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Sync();
  } catch (const platform::FileError& error) {
    throw EStreamError("Cannot create file \"" + path + "\". " + error.what());
  }
}

}  // namespace tessdb
