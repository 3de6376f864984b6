// TTessTableIO: the in-memory image of one table of an open database, and every read and change
// of its records.
//
// The first Open loads the table under the file lock: its header, the field and index
// definitions, the record layout, the whole record tab and one record list per order (list 0 =
// physical order of the live records, list i + 1 = order of index i as its stored chain gives
// it). The last Close unloads it. While loaded the object serves record reads into field
// buffers, single stored values for searches, key comparison and binary searches, and the record
// changes (AppendRecord, ModifyRecord, DeleteRecord), which write straight to the file under the
// lock and keep the image in step.
//
// Several processes: every change increments a change counter kept in the table header's bytes
// that readers ignore (offset kThChangeCounter). Before a change, a table whose header in the
// file differs from its loaded copy (another process changed it) reloads its image first and
// fires OnReloaded, so the datasets open on it refresh their views before the change notifies
// them.
//
// Safety: counts, positions and sizes from the file are checked before they are used; a damaged
// file fails with EDatabaseError, never with an out-of-bounds read.
//
// Thread safety: none; the engine's callers use a table from one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tessdb/core/field_type.h"
#include "tessdb/core/stream.h"
#include "tessdb/storage/field_buffers.h"
#include "tessdb/storage/file_format.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/record_list.h"
#include "tessdb/storage/table_defs.h"

namespace tessdb {

// Offset of the change counter (uint32) in the header's 16 bytes that readers do not interpret.
constexpr int kThChangeCounter = 4805;
// Rewrites of a blob whose read-back does not match before a change gives up.
constexpr int kMaxWriteAttempts = 3;

// Outcome of a key search: -2 empty list, 0 found, -1 the key sorts before the last probe,
// +1 after it. position is the found position or the last probe (-1 for an empty list).
struct TSearchResult {
  int position = -1;
  int outcome = -2;
};

class TTessTableIO {
 public:
  // The file object belongs to the database and must outlive this object.
  TTessTableIO(TTessDBFileIO& fileIO, std::string tableName);
  TTessTableIO(const TTessTableIO&) = delete;
  TTessTableIO& operator=(const TTessTableIO&) = delete;

  // The session's lock parameters, used for every Lock this table takes.
  void SetLockParameters(int lockRetryCount, int lockWaitTime);
  // Fired after the image was reloaded because another process changed the table.
  std::function<void()> OnReloaded;

  // The first Open loads the table ("Table '%s' not found", "General error", lock time-out,
  // damaged-file errors); a failed first open leaves the count at 0. The Close that brings the
  // count to 0 clears the definitions and frees the lists; extra Closes do nothing.
  void Open();
  void Close();
  int OpenCount() const { return openCount_; }
  bool Loaded() const { return tableNo_ >= 0 && !lists_.empty(); }

  const std::string& TableName() const { return tableName_; }
  int TableNo() const { return tableNo_; }
  const TTessFieldDefs& FieldDefs() const { return fieldDefs_; }
  const TTessIndexDefs& IndexDefs() const { return indexDefs_; }
  int32_t RecordSize() const { return recordSize_; }
  const TIntegerAry& FieldOffsets() const { return fieldOffsets_; }
  // Stored size of field f in the data area (20 for blob types).
  int32_t FieldSize(int f) const { return storedSizes_[static_cast<size_t>(f)]; }
  int AutoIncField() const { return autoIncField_; }
  const TTableHeaderBuffer& Header() const { return header_; }
  int32_t RecordCount() const { return GetInt32(&header_[kThRecordCount]); }
  const std::vector<TRecordTabItem>& RecordTab() const { return recordTab_; }
  const TIntegerAry& RecordTabBlocks() const { return recordTabBlocks_; }
  const TIntegerAry& IndexTabBlocks(int indexNo) const;
  // Field f's stored bytes are encrypted / compressed.
  bool FieldEncrypted(int f) const;
  bool FieldCompressed(int f) const;

  // List 0 = physical order, list i + 1 = index i. The reference stays valid while the table is
  // loaded; changes and reloads change the list's content.
  const TRecordList& GetList(int listNo) const;
  int ListCount() const { return static_cast<int>(lists_.size()); }
  // Builds list listNo if it does not exist yet; with reread the record tab is read first.
  void BuildList(int listNo, bool reread);

  // Fills the active field buffers with the record at position of list (under the lock). Blob
  // streams are given their descriptor's position and load on first use.
  void ReadRecord(TFieldBuffers& buffers, const TRecordList& list, int position);
  // Replaces the stream's content with field f's decoded value of record recordNo (no lock): a
  // non-blob field gives exactly its stored size of bytes.
  void ReadFieldValue(TStream& stream, int32_t recordNo, int fieldNo);

  // Sign of key minus stored value under the filter language's comparison rules; with partial a
  // text type compares only the key text's length.
  static int CompareValue(const void* key, size_t keySize, const void* stored, size_t storedSize,
                          bool partial, bool caseInsensitive, TFieldType type);

  // Binary search of list (ordered by index indexNo) for the key values in buffers, over the
  // first keyFieldCount key fields (all when 0).
  TSearchResult SearchIndex(const TFieldBuffers& buffers, const TRecordList& list, bool partial,
                            int keyFieldCount, int indexNo);
  // As SearchIndex, but on equal keys goes on to the first (firstMatch) or last of them.
  TSearchResult SearchIndexBound(const TFieldBuffers& buffers, const TRecordList& list,
                                 bool partial, int keyFieldCount, bool firstMatch, int indexNo);
  // Where a record with the buffers' key values goes in index indexNo's list: after every equal
  // key.
  int InsertPosition(const TFieldBuffers& buffers, int indexNo);
  // The first index with tiPrimary, or -1.
  int PrimaryIndexNo() const;
  // The position in list 0 of the record at position of list, or -1.
  int ToPhysicalPosition(const TRecordList& list, int position) const;
  // The position in list toListNo of the record at position of list fromListNo, or -1; the
  // position itself when both lists are one.
  int ToListPosition(int fromListNo, int position, int toListNo) const;
  // Fails with "Invalid unique field value '%s'" when a primary or unique index already holds
  // the buffers' key values in a record other than the one at physicalPosition (-1: an insert).
  void CheckUnique(const TFieldBuffers& buffers, int physicalPosition = -1);

  // Record changes. Each takes the lock for its whole duration, writes straight to the file and
  // keeps the image in step; with flush set it ends with a Flush of the file.
  // Appends a record with the buffers' values (auto-increment filled in, strings normalised in
  // the buffers).
  void AppendRecord(TFieldBuffers& buffers, bool flush, const TAppendNotification& notify);
  // Rewrites the active fields of the record at physicalPosition and moves it in each index.
  void ModifyRecord(TFieldBuffers& buffers, int physicalPosition, const TModifyNotification& notify,
                    bool flush);
  // Marks the record at physicalPosition deleted and removes it from every list.
  void DeleteRecord(int physicalPosition, bool flush);

 private:
  friend class TTableChange;

  // Load steps.
  void Load();
  void LoadImage(const TTableHeaderBuffer& header);
  void ClearImage();
  void BuildAllLists();
  void BuildPhysicalList(TRecordList& list) const;
  void BuildIndexList(int indexNo, TRecordList& list);

  // Reading.
  void CheckBuffers(const TFieldBuffers& buffers) const;
  void CheckListPosition(const TRecordList& list, int position) const;
  // Field f's decoded stored value of the record whose data area is at dataPosition, into the
  // scratch buffer (non-blob) or the scratch stream (blob); returns its address and size.
  std::pair<const uint8_t*, size_t> ReadStoredValue(int32_t dataPosition, int fieldNo);
  int CompareKeys(const TFieldBuffers& buffers, const TRecordListItem& item, bool partial,
                  int keyFieldCount, const TTessIndexDef& index);
  std::string KeyText(const TFieldBuffers& buffers, const TTessIndexDef& index) const;

  // Changes.
  void BeginChange();
  int ResolvePhysicalPosition(int32_t recordNo) const;
  void WriteHeader();
  void WriteTabBlock(int64_t position, int itemSize, const uint8_t* firstItem);
  int64_t IndexItemPosition(int indexNo, int32_t recordNo) const;
  TIndexTabItem ReadIndexItem(int indexNo, int32_t recordNo);
  void WriteIndexItem(int indexNo, int32_t recordNo, int32_t next);
  void SetIndexHead(int indexNo, int32_t head);
  int32_t IndexHead(int indexNo) const;
  void InsertIntoIndex(int indexNo, const TRecordListItem& item, const TFieldBuffers& buffers,
                       const TAppendNotification& notify);
  void MoveInIndex(int indexNo, int oldPosition, const TFieldBuffers& buffers,
                   const TModifyNotification& notify);
  void NormaliseStrings(TFieldBuffers& buffers) const;
  // Replaces encoded with the encoded form of field fieldNo's blob stream.
  void EncodeBlob(int fieldNo, TOptimBlobStream& blob, TMemoryStream& encoded);
  // Writes a blob's encoded bytes at position, then zero filler up to fillTo; with the file's
  // write-verify flag it reads them back and rewrites up to kMaxWriteAttempts times.
  void WriteBlob(int fieldNo, TOptimBlobStream& blob, TMemoryStream& encoded, int64_t position,
                 int64_t fillTo);
  int64_t CheckedPosition(int64_t position) const;
  [[noreturn]] void Damaged() const;

  TTessDBFileIO& fileIO_;
  std::string tableName_;
  int lockRetryCount_ = kDefaultLockRetryCount;
  int lockWaitTime_ = kDefaultLockWaitTime;
  int openCount_ = 0;
  int tableNo_ = -1;
  TTessFieldDefs fieldDefs_;
  TTessIndexDefs indexDefs_;
  int32_t recordSize_ = 0;
  TIntegerAry fieldOffsets_;
  TIntegerAry storedSizes_;
  int autoIncField_ = -1;
  TTableHeaderBuffer header_{};
  std::vector<TRecordTabItem> recordTab_;
  TIntegerAry recordTabBlocks_;
  std::vector<TIntegerAry> indexTabBlocks_;
  std::vector<TRecordList> lists_;
  std::vector<bool> listBuilt_;
  // Reused by record reads and key searches, so the hot paths do not allocate.
  std::vector<uint8_t> recordScratch_;
  std::vector<uint8_t> valueScratch_;
  TMemoryStream blobScratch_;
  bool headerWritten_ = false;  // during a change: the header with the new counter is in the file
};

}  // namespace tessdb
