// Byte layout of a TessDB database file, and the decoding and encoding of its fixed areas.
//
// A database is one file: a 12-byte header (magic, version), the data-processing block at 2317,
// the table directory at 2789, then table headers, tab blocks, record data areas and blobs at the
// positions stored in the areas that point to them. Integers are little-endian; a char[N] slot
// holds text up to its first NUL (or all N bytes). Every stored position is absolute.
//
// The decoders here only interpret bytes already in memory; they check nothing against the file.
// Checking counts against the format's limits and positions against the file size is the job of
// the readers (TTessDBFileIO, table level), which know the file and name it in their errors.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tessdb/core/field_type.h"

namespace tessdb {

// Fixed areas.
constexpr int64_t kFileHeaderSize = 12;
constexpr int kMagicSize = 7;
constexpr int kVersionOffset = 7;
constexpr int kVersionSize = 5;
constexpr char kMagic[] = "TessDB";
constexpr char kCurrentVersion[] = "2.0";
constexpr char kIncompatibleVersion[] = "1.00";

constexpr int64_t kProcessingBlockOffset = 2317;
constexpr int kProcessingBlockSize = 472;
constexpr int64_t kDirectoryOffset = 2789;
constexpr int kDirectorySize = 1032;
// First byte after the fixed areas: the smallest position of a table header or any other area.
constexpr int64_t kFirstAreaOffset = 3821;

// Offsets inside the data-processing block.
constexpr int kPbCompressed = 0;
constexpr int kPbLevel = 1;
constexpr int kPbCompression = 2;
constexpr int kAlgoNameSize = 33;
constexpr int kPbEncrypted = 35;
constexpr int kPbMode = 36;
constexpr int kPbCipher = 37;
constexpr int kPbVerifyWrites = 70;
constexpr int kPbCheckText = 327;
constexpr int kCheckTextSize = 129;

// Offsets inside the table directory.
constexpr int kDirTableCount = 0;
constexpr int kDirPositions = 8;
constexpr int kMaxTables = 256;

// Table header and its entries.
constexpr int kTableHeaderSize = 4821;
constexpr int kNameSize = 33;  // table, field and index names: char[33]
constexpr int kThName = 0;
constexpr int kThRecordTabPosition = 33;
constexpr int kThRecordCount = 37;
constexpr int kThAutoIncValue = 41;
constexpr int kThFieldCount = 45;
constexpr int kThFields = 49;
constexpr int kThIndexCount = 4177;
constexpr int kThIndexes = 4181;
constexpr int kMaxFields = 96;
constexpr int kMaxIndexes = 8;
constexpr int kMaxKeyFields = 8;

constexpr int kFieldEntrySize = 43;
constexpr int kFeName = 0;
constexpr int kFeType = 33;
constexpr int kFeDeclaredSize = 34;
constexpr int kFeProcessMode = 38;

constexpr int kIndexEntrySize = 78;
constexpr int kIeName = 0;
constexpr int kIeOptions = 33;
constexpr int kIeKeyFields = 34;
constexpr int kIeTabPosition = 66;
constexpr int kIeHead = 70;

// TTDIndexOptions bits.
constexpr uint8_t tiPrimary = 1 << 0;
constexpr uint8_t tiUnique = 1 << 1;
constexpr uint8_t tiDescending = 1 << 2;
constexpr uint8_t tiCaseInsensitive = 1 << 3;

// Tab chains: blocks of an int32 next-block position (0 = last) and 1024 items.
constexpr int kTabItemsPerBlock = 1024;
constexpr int kTabNextSize = 4;
constexpr int kRecordTabItemSize = 5;
constexpr int kIndexTabItemSize = 8;
constexpr int64_t kRecordTabBlockSize =
    kTabNextSize + int64_t{kRecordTabItemSize} * kTabItemsPerBlock;
constexpr int64_t kIndexTabBlockSize =
    kTabNextSize + int64_t{kIndexTabItemSize} * kTabItemsPerBlock;

// Blob descriptor in a record's data area.
constexpr int kBdPosition = 0;
constexpr int kBdStoredSize = 4;
constexpr int kBdReservedSize = 8;
constexpr int kBlobAreaGranule = 64;

using TTableHeaderBuffer = std::array<uint8_t, kTableHeaderSize>;
using TProcessingBlockBuffer = std::array<uint8_t, kProcessingBlockSize>;
using TDirectoryBuffer = std::array<uint8_t, kDirectorySize>;
using TIntegerAry = std::vector<int32_t>;

inline int32_t GetInt32(const uint8_t* bytes) {
  return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                              uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
}

inline void PutInt32(uint8_t* bytes, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  bytes[0] = static_cast<uint8_t>(v);
  bytes[1] = static_cast<uint8_t>(v >> 8);
  bytes[2] = static_cast<uint8_t>(v >> 16);
  bytes[3] = static_cast<uint8_t>(v >> 24);
}

// The text of a char[size] slot: up to the first NUL, or all size bytes.
inline std::string GetText(const uint8_t* bytes, int size) {
  const void* nul = std::memchr(bytes, 0, static_cast<size_t>(size));
  const size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes)
                            : static_cast<size_t>(size);
  return std::string(reinterpret_cast<const char*>(bytes), length);
}

// Writes text into a char[size] slot, NUL-padded; the caller ensures text.size() < size.
void PutText(uint8_t* bytes, int size, const std::string& text);

// The data-processing block, decoded.
struct TProcessingBlock {
  bool compressed = false;
  uint8_t level = 1;
  std::string compression;
  bool encrypted = false;
  uint8_t mode = 0;
  std::string cipher;
  bool verifyWrites = false;
  std::string checkText;
};

TProcessingBlock DecodeProcessingBlock(const TProcessingBlockBuffer& block);
// Encodes into a zeroed block; texts longer than their slot leave no terminator and are cut.
TProcessingBlockBuffer EncodeProcessingBlock(const TProcessingBlock& block);

struct TFieldEntry {
  std::string name;
  uint8_t typeCode = 0;
  int32_t declaredSize = 0;
  uint8_t processMode = 0;  // 0 = the field's bytes are processed

  bool Processed() const { return processMode == 0; }
};

struct TIndexEntry {
  std::string name;
  uint8_t options = 0;
  TIntegerAry keyFields;    // up to the first -1, at most kMaxKeyFields
  int32_t tabPosition = 0;  // 0 = no index tab yet
  int32_t head = 0;
};

// A table header, decoded. Counts are taken as stored (possibly out of range); the entry lists
// hold min(count, limit) entries, never reading past the header.
struct TTableHeader {
  std::string name;
  int32_t recordTabPosition = 0;
  int32_t recordCount = 0;
  int32_t autoIncValue = 0;
  int32_t fieldCount = 0;
  int32_t indexCount = 0;
  std::vector<TFieldEntry> fields;
  std::vector<TIndexEntry> indexes;
};

TTableHeader DecodeTableHeader(const TTableHeaderBuffer& buffer);
// Encodes name, counts, positions and entries into a zeroed buffer; the field and index counts
// are the list sizes (the caller keeps them within the limits).
TTableHeaderBuffer EncodeTableHeader(const TTableHeader& header);

TFieldEntry DecodeFieldEntry(const uint8_t* entry);
void EncodeFieldEntry(const TFieldEntry& field, uint8_t* entry);
TIndexEntry DecodeIndexEntry(const uint8_t* entry);
void EncodeIndexEntry(const TIndexEntry& index, uint8_t* entry);

// Why a decoded header cannot be used, or empty when it can: counts outside 0..limit, negative
// record count, key field numbers that name no field.
std::string TableHeaderDefect(const TTableHeader& header);

// Where each field of a record lives in the record's data area.
struct TRecordLayout {
  TIntegerAry fieldOffsets;
  TIntegerAry storedSizes;
  int32_t recordSize = 0;
};

// Lays out the fields in order with the stored size of each type (20 for blob types). Fails with
// "General error" for a type code without a stored size, and with the damaged-file error of
// fileName when a declared size is negative or the record would not fit an int32.
TRecordLayout ComputeRecordLayout(const std::vector<TFieldEntry>& fields,
                                  const std::string& fileName);

// Record-tab item: where a record's data area is and whether the record is deleted.
struct TRecordTabItem {
  int32_t dataPosition = 0;
  uint8_t deleted = 0;
};

// Index-tab item: record number k and the record after k in the index's order (-1 = last).
struct TIndexTabItem {
  int32_t recordNo = 0;
  int32_t next = -1;
};

inline TRecordTabItem DecodeRecordTabItem(const uint8_t* item) {
  return {GetInt32(item), item[4]};
}
inline void EncodeRecordTabItem(const TRecordTabItem& value, uint8_t* item) {
  PutInt32(item, value.dataPosition);
  item[4] = value.deleted;
}
inline TIndexTabItem DecodeIndexTabItem(const uint8_t* item) {
  return {GetInt32(item), GetInt32(item + 4)};
}
inline void EncodeIndexTabItem(const TIndexTabItem& value, uint8_t* item) {
  PutInt32(item, value.recordNo);
  PutInt32(item + 4, value.next);
}

// The 20-byte descriptor a blob field keeps in the record's data area (the last 8 bytes zero).
struct TBlobDescriptor {
  int32_t position = 0;
  int32_t storedSize = 0;
  int32_t reservedSize = 0;
};

inline TBlobDescriptor DecodeBlobDescriptor(const uint8_t* descriptor) {
  return {GetInt32(descriptor + kBdPosition), GetInt32(descriptor + kBdStoredSize),
          GetInt32(descriptor + kBdReservedSize)};
}
inline void EncodeBlobDescriptor(const TBlobDescriptor& value, uint8_t* descriptor) {
  std::memset(descriptor, 0, kBlobDescriptorSize);
  PutInt32(descriptor + kBdPosition, value.position);
  PutInt32(descriptor + kBdStoredSize, value.storedSize);
  PutInt32(descriptor + kBdReservedSize, value.reservedSize);
}
// The area reserved for a blob of storedSize bytes: rounded down to a multiple of 64, plus 64.
constexpr int64_t ReservedBlobSize(int64_t storedSize) {
  return storedSize - storedSize % kBlobAreaGranule + kBlobAreaGranule;
}

// Position of item k of a tab chain given its block positions.
inline int64_t TabItemPosition(const TIntegerAry& blocks, int32_t k, int itemSize) {
  return int64_t{blocks[static_cast<size_t>(k / kTabItemsPerBlock)]} + kTabNextSize +
         int64_t{k % kTabItemsPerBlock} * itemSize;
}

// Number of blocks a chain of count items occupies.
constexpr int64_t TabBlockCount(int64_t count) {
  return (count + kTabItemsPerBlock - 1) / kTabItemsPerBlock;
}

// The message of a damaged file: "Database file '<name>' is damaged".
std::string DamagedFileMessage(const std::string& fileName);

}  // namespace tessdb
