// Record changes of a loaded table: append, modify, delete. Each writes straight to the file
// under the lock, places new areas at the end of the file, keeps the index chains in order and
// the in-memory image in step, and tells its caller which list positions changed.
#include <algorithm>
#include <cstring>

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/crc32.h"
#include "tessdb/storage/table_io.h"

namespace tessdb {
namespace {

bool IsTextBufferType(TFieldType type) {
  return type == ftString || type == ftFixedChar || type == ftWideString || type == ftGuid;
}

}  // namespace

// Holds the file lock for one change; the image is brought up to date with the file first.
class TTableChange {
 public:
  explicit TTableChange(TTessTableIO& table) : table_(table) {
    table_.fileIO_.Lock(table_.lockRetryCount_, table_.lockWaitTime_);
    try {
      table_.BeginChange();
    } catch (...) {
      table_.fileIO_.Unlock();
      throw;
    }
  }
  ~TTableChange() { table_.fileIO_.Unlock(); }
  TTableChange(const TTableChange&) = delete;
  TTableChange& operator=(const TTableChange&) = delete;

  // Makes sure the header with the new change counter is in the file, and flushes on request.
  void Finish(bool flush) {
    if (!table_.headerWritten_) table_.WriteHeader();
    if (flush) table_.fileIO_.Flush();
  }

 private:
  TTessTableIO& table_;
};

void TTessTableIO::BeginChange() {
  if (!Loaded()) {
    throw EDatabaseError(FormatMessage("Table '%s' is not open", tableName_));
  }
  TTableHeaderBuffer fileHeader;
  fileIO_.ReadTableHeader(tableNo_, fileHeader);
  if (fileHeader != header_) {
    // Another process changed the table since we loaded it (or a change of ours failed half
    // way): work on the file's state, and let the open datasets follow.
    LoadImage(fileHeader);
    if (OnReloaded) OnReloaded();
  }
  const auto counter = static_cast<uint32_t>(GetInt32(&header_[kThChangeCounter]));
  PutInt32(&header_[kThChangeCounter], static_cast<int32_t>(counter + 1));
  headerWritten_ = false;
}

void TTessTableIO::WriteHeader() {
  fileIO_.WriteTableHeader(tableNo_, header_);
  headerWritten_ = true;
}

int TTessTableIO::ResolvePhysicalPosition(int32_t recordNo) const {
  const TRecordList& physical = lists_[0];
  const auto it = std::lower_bound(
      physical.begin(), physical.end(), recordNo,
      [](const TRecordListItem& item, int32_t number) { return item.recordNo < number; });
  if (it == physical.end() || it->recordNo != recordNo) {
    throw EDatabaseError("Record has been deleted by another user");
  }
  return static_cast<int>(it - physical.begin());
}

void TTessTableIO::WriteTabBlock(int64_t position, int itemSize, const uint8_t* firstItem) {
  std::vector<uint8_t> block(
      static_cast<size_t>(kTabNextSize + int64_t{itemSize} * kTabItemsPerBlock), 0);
  if (firstItem != nullptr)
    std::memcpy(&block[kTabNextSize], firstItem, static_cast<size_t>(itemSize));
  fileIO_.WriteRange(position, block.data(), static_cast<int64_t>(block.size()));
}

int64_t TTessTableIO::IndexItemPosition(int indexNo, int32_t recordNo) const {
  const TIntegerAry& blocks = indexTabBlocks_[static_cast<size_t>(indexNo)];
  if (recordNo < 0 || recordNo >= RecordCount() ||
      static_cast<size_t>(recordNo / kTabItemsPerBlock) >= blocks.size()) {
    Damaged();
  }
  return TabItemPosition(blocks, recordNo, kIndexTabItemSize);
}

TIndexTabItem TTessTableIO::ReadIndexItem(int indexNo, int32_t recordNo) {
  uint8_t bytes[kIndexTabItemSize];
  fileIO_.ReadRange(IndexItemPosition(indexNo, recordNo), bytes, kIndexTabItemSize);
  return DecodeIndexTabItem(bytes);
}

void TTessTableIO::WriteIndexItem(int indexNo, int32_t recordNo, int32_t next) {
  uint8_t bytes[kIndexTabItemSize];
  EncodeIndexTabItem({recordNo, next}, bytes);
  fileIO_.WriteRange(IndexItemPosition(indexNo, recordNo), bytes, kIndexTabItemSize);
}

void TTessTableIO::SetIndexHead(int indexNo, int32_t head) {
  PutInt32(&header_[kThIndexes + indexNo * kIndexEntrySize + kIeHead], head);
  WriteHeader();
}

void TTessTableIO::NormaliseStrings(TFieldBuffers& buffers) const {
  for (int f = 0; f < buffers.Count(); ++f) {
    TFieldBufferItem& item = buffers[f];
    if (!item.Active() || !IsTextBufferType(item.Type()) || item.Size() <= 0) continue;
    auto* text = reinterpret_cast<char*>(item.Buffer());
    const size_t length = strnlen(text, static_cast<size_t>(item.Size() - 1));
    std::memset(text + length, 0, static_cast<size_t>(item.Size()) - length);
  }
}

void TTessTableIO::EncodeBlob(int fieldNo, TOptimBlobStream& blob, TMemoryStream& encoded) {
  // A stream still waiting to load (a record read and then written as another) loads first: its
  // load decodes through the file object, which must not happen inside the encoding call.
  TMemoryStream& plain = blob.Content();
  encoded.Clear();
  fileIO_.EncodeData(plain, encoded, FieldCompressed(fieldNo), FieldEncrypted(fieldNo));
}

void TTessTableIO::WriteBlob(int fieldNo, TOptimBlobStream& blob, TMemoryStream& encoded,
                             int64_t position, int64_t fillTo) {
  const int64_t h = encoded.Size();
  const int64_t total = fillTo - position;
  if (total <= 0) return;
  encoded.SetSize(total);  // the filler: zero bytes up to fillTo
  if (!fileIO_.VerifyWrites()) {
    fileIO_.WriteRange(position, encoded.Memory(), total);
    return;
  }
  TMemoryStream& plain = blob.Content();
  const uint32_t expected = Crc32(plain.Memory(), static_cast<size_t>(plain.Size()));
  TMemoryStream readBack;
  TMemoryStream decoded;
  for (int attempt = 1; attempt <= kMaxWriteAttempts; ++attempt) {
    fileIO_.WriteRange(position, encoded.Memory(), total);
    readBack.Clear();
    readBack.SetSize(h);
    fileIO_.ReadRange(position, readBack.Memory(), h);
    decoded.Clear();
    bool same = false;
    try {
      fileIO_.DecodeData(readBack, decoded, FieldCompressed(fieldNo), FieldEncrypted(fieldNo));
      same = Crc32(decoded.Memory(), static_cast<size_t>(decoded.Size())) == expected;
    } catch (const std::exception&) {
      // Bytes that do not even decode are a mismatch like any other.
    }
    if (same) return;
    EncodeBlob(fieldNo, blob, encoded);
    if (encoded.Size() != h) break;  // the encoder itself is unstable: give up at once
    encoded.SetSize(total);
  }
  throw EDatabaseError(FormatMessage(
      "Blob field '%s' could not be written: the data read back differs from the data written",
      fieldDefs_[fieldNo].name));
}

void TTessTableIO::AppendRecord(TFieldBuffers& buffers, bool flush,
                                const TAppendNotification& notify) {
  CheckBuffers(buffers);
  // Texts are cut before the unique check, so that it sees the keys as they will be stored.
  NormaliseStrings(buffers);
  TTableChange change(*this);
  CheckUnique(buffers);
  const int32_t n = RecordCount();
  if (n == INT32_MAX) throw EDatabaseError(FormatMessage("Table '%s' is full", tableName_));

  // Auto-increment: 0 takes the next value; a larger explicit value raises the counter.
  int32_t autoIncValue = 0;
  if (autoIncField_ >= 0) {
    TFieldBufferItem& item = buffers[autoIncField_];
    const int32_t last = GetInt32(&header_[kThAutoIncValue]);
    autoIncValue = item.Active() ? item.Get<int32_t>() : 0;
    if (autoIncValue == 0) {
      autoIncValue = static_cast<int32_t>(static_cast<uint32_t>(last) + 1);
      if (item.Active()) item.Set<int32_t>(autoIncValue);
      PutInt32(&header_[kThAutoIncValue], autoIncValue);
    } else if (autoIncValue > last) {
      PutInt32(&header_[kThAutoIncValue], autoIncValue);
    }
  }

  // The record-tab item of record n, and where its data area goes.
  const int64_t end = fileIO_.FileSize();
  if (end + kRecordTabBlockSize + recordSize_ > INT32_MAX) {
    throw EDatabaseError(FormatMessage("Database file '%s' is full", fileIO_.FileName()));
  }
  const auto blocksNeeded = static_cast<size_t>(n / kTabItemsPerBlock);
  int64_t dataPosition;
  uint8_t tabItem[kRecordTabItemSize] = {};
  if (n % kTabItemsPerBlock != 0) {
    if (recordTabBlocks_.size() != blocksNeeded + 1) Damaged();
    dataPosition = end;
    EncodeRecordTabItem({static_cast<int32_t>(dataPosition), 0}, tabItem);
    fileIO_.WriteRange(TabItemPosition(recordTabBlocks_, n, kRecordTabItemSize), tabItem,
                       kRecordTabItemSize);
  } else {
    if (recordTabBlocks_.size() != blocksNeeded) Damaged();
    dataPosition = end + kRecordTabBlockSize;
    EncodeRecordTabItem({static_cast<int32_t>(dataPosition), 0}, tabItem);
    if (n == 0) {
      PutInt32(&header_[kThRecordTabPosition], static_cast<int32_t>(end));
    } else {
      uint8_t next[kTabNextSize];
      PutInt32(next, static_cast<int32_t>(end));
      fileIO_.WriteRange(recordTabBlocks_.back(), next, kTabNextSize);
    }
    recordTabBlocks_.push_back(static_cast<int32_t>(end));
    WriteTabBlock(end, kRecordTabItemSize, tabItem);
  }
  recordTab_.push_back({static_cast<int32_t>(dataPosition), 0});
  PutInt32(&header_[kThRecordCount], n + 1);
  WriteHeader();

  std::vector<uint8_t> image(static_cast<size_t>(recordSize_), 0);
  bool hasBlobs = false;
  for (int f = 0; f < buffers.Count(); ++f)
    hasBlobs = hasBlobs || (buffers[f].IsBlob() && buffers[f].Active());
  // The data area is reserved first, so that the blobs follow it.
  if (hasBlobs) fileIO_.WriteRange(dataPosition, image.data(), recordSize_);

  TMemoryStream encoded;
  for (int f = 0; f < buffers.Count(); ++f) {
    TFieldBufferItem& item = buffers[f];
    uint8_t* slot = image.data() + fieldOffsets_[static_cast<size_t>(f)];
    if (!item.Active()) {
      if (f == autoIncField_) {
        fileIO_.EncodeBuffer(reinterpret_cast<const uint8_t*>(&autoIncValue), slot,
                             FieldEncrypted(f), FieldSize(f));
      }
      continue;
    }
    if (item.IsBlob()) {
      EncodeBlob(f, *item.Blob(), encoded);
      const int64_t h = encoded.Size();
      const int64_t position = fileIO_.FileSize();
      const int64_t reserved = ReservedBlobSize(h);
      if (position + reserved > INT32_MAX) {
        throw EDatabaseError(FormatMessage("Database file '%s' is full", fileIO_.FileName()));
      }
      EncodeBlobDescriptor(
          {static_cast<int32_t>(position), static_cast<int32_t>(h), static_cast<int32_t>(reserved)},
          slot);
      WriteBlob(f, *item.Blob(), encoded, position, position + reserved);
    } else {
      fileIO_.EncodeBuffer(item.Buffer(), slot, FieldEncrypted(f), item.Size());
    }
  }
  fileIO_.WriteRange(dataPosition, image.data(), recordSize_);

  const TRecordListItem listItem{static_cast<int32_t>(dataPosition), n};
  lists_[0].push_back(listItem);
  if (notify) notify(-1, -1, listItem);
  for (int i = 0; i < indexDefs_.Count(); ++i) InsertIntoIndex(i, listItem, buffers, notify);
  change.Finish(flush);
}

void TTessTableIO::InsertIntoIndex(int indexNo, const TRecordListItem& item,
                                   const TFieldBuffers& buffers,
                                   const TAppendNotification& notify) {
  const int p = InsertPosition(buffers, indexNo);
  if (notify) notify(indexNo, p, item);
  TRecordList& list = lists_[static_cast<size_t>(indexNo) + 1];
  list.insert(list.begin() + p, item);

  const int32_t n = item.recordNo;
  TIntegerAry& blocks = indexTabBlocks_[static_cast<size_t>(indexNo)];
  const auto blocksNeeded = static_cast<size_t>(n / kTabItemsPerBlock);
  if (n % kTabItemsPerBlock == 0) {
    if (blocks.size() != blocksNeeded) Damaged();
    const int64_t end = fileIO_.FileSize();
    if (end + kIndexTabBlockSize > INT32_MAX) {
      throw EDatabaseError(FormatMessage("Database file '%s' is full", fileIO_.FileName()));
    }
    if (!blocks.empty()) {
      uint8_t next[kTabNextSize];
      PutInt32(next, static_cast<int32_t>(end));
      fileIO_.WriteRange(blocks.back(), next, kTabNextSize);
    }
    if (n == 0) {
      PutInt32(&header_[kThIndexes + indexNo * kIndexEntrySize + kIeTabPosition],
               static_cast<int32_t>(end));
      WriteHeader();
    }
    blocks.push_back(static_cast<int32_t>(end));
    WriteTabBlock(end, kIndexTabItemSize, nullptr);
  } else if (blocks.size() != blocksNeeded + 1) {
    Damaged();
  }

  if (n == 0) {
    WriteIndexItem(indexNo, 0, -1);  // the head of an empty table's index is already 0
  } else if (p > 0) {
    const int32_t before = list[static_cast<size_t>(p) - 1].recordNo;
    const int32_t next = ReadIndexItem(indexNo, before).next;
    WriteIndexItem(indexNo, n, next);
    WriteIndexItem(indexNo, before, n);
  } else {
    WriteIndexItem(indexNo, n, IndexHead(indexNo));
    SetIndexHead(indexNo, n);
  }
}

void TTessTableIO::ModifyRecord(TFieldBuffers& buffers, int physicalPosition,
                                const TModifyNotification& notify, bool flush) {
  CheckBuffers(buffers);
  CheckListPosition(GetList(0), physicalPosition);
  NormaliseStrings(buffers);
  const int32_t recordNo = lists_[0][static_cast<size_t>(physicalPosition)].recordNo;
  TTableChange change(*this);
  const int x = ResolvePhysicalPosition(recordNo);

  const int64_t dataPosition = CheckedPosition(lists_[0][static_cast<size_t>(x)].dataPosition);
  std::vector<uint8_t> image(static_cast<size_t>(recordSize_));
  fileIO_.ReadRange(dataPosition, image.data(), recordSize_);
  // An auto-increment value 0 keeps the stored one, in every auto-increment field; the buffer
  // takes it, so that the unique check and the index moves see the key the record keeps.
  std::vector<bool> kept(static_cast<size_t>(buffers.Count()), false);
  for (int f = 0; f < buffers.Count(); ++f) {
    TFieldBufferItem& item = buffers[f];
    if (!item.Active() || fieldDefs_[f].typeCode != ftAutoInc || item.Get<int32_t>() != 0) continue;
    fileIO_.DecodeBuffer(image.data() + fieldOffsets_[static_cast<size_t>(f)], item.Buffer(),
                         FieldEncrypted(f), item.Size());
    kept[static_cast<size_t>(f)] = true;
  }
  CheckUnique(buffers, x);

  TMemoryStream encoded;
  for (int f = 0; f < buffers.Count(); ++f) {
    TFieldBufferItem& item = buffers[f];
    if (!item.Active()) continue;
    const int32_t offset = fieldOffsets_[static_cast<size_t>(f)];
    uint8_t* slot = image.data() + offset;
    if (item.IsBlob()) {
      // A stream still waiting to load this very blob holds exactly what the file holds.
      if (item.Blob()->SourcePosition() == dataPosition + offset) continue;
      EncodeBlob(f, *item.Blob(), encoded);
      const int64_t h = encoded.Size();
      const TBlobDescriptor old = DecodeBlobDescriptor(slot);
      const int64_t oldPosition = old.position;
      const int64_t oldReserved = old.reservedSize;
      const int64_t end = fileIO_.FileSize();
      if (oldReserved < 0 || (oldReserved > 0 && (oldPosition < kFirstAreaOffset ||
                                                  oldPosition + oldReserved > end))) {
        Damaged();
      }
      int64_t position = oldPosition;
      int64_t reserved = oldReserved;
      if (oldReserved < h) {
        // Grows in place only when its area ends the file; otherwise it moves to the end.
        if (oldReserved == 0 || oldPosition + oldReserved != end) position = end;
        reserved = ReservedBlobSize(h);
        if (position + reserved > INT32_MAX) {
          throw EDatabaseError(FormatMessage("Database file '%s' is full", fileIO_.FileName()));
        }
      }
      WriteBlob(f, *item.Blob(), encoded, position,
                position + std::min(ReservedBlobSize(h), reserved));
      EncodeBlobDescriptor(
          {static_cast<int32_t>(position), static_cast<int32_t>(h), static_cast<int32_t>(reserved)},
          slot);
    } else if (fieldDefs_[f].typeCode == ftAutoInc) {
      if (kept[static_cast<size_t>(f)]) continue;
      const int32_t value = item.Get<int32_t>();
      fileIO_.EncodeBuffer(item.Buffer(), slot, FieldEncrypted(f), item.Size());
      if (value > GetInt32(&header_[kThAutoIncValue])) {
        PutInt32(&header_[kThAutoIncValue], value);
        WriteHeader();
      }
    } else {
      fileIO_.EncodeBuffer(item.Buffer(), slot, FieldEncrypted(f), item.Size());
    }
  }
  fileIO_.WriteRange(dataPosition, image.data(), recordSize_);

  std::vector<int> oldPositions(static_cast<size_t>(indexDefs_.Count()));
  for (int i = 0; i < indexDefs_.Count(); ++i)
    oldPositions[static_cast<size_t>(i)] = ToListPosition(0, x, i + 1);
  for (int i = 0; i < indexDefs_.Count(); ++i) {
    if (oldPositions[static_cast<size_t>(i)] >= 0) {
      MoveInIndex(i, oldPositions[static_cast<size_t>(i)], buffers, notify);
    }
  }
  change.Finish(flush);
}

void TTessTableIO::MoveInIndex(int indexNo, int oldPosition, const TFieldBuffers& buffers,
                               const TModifyNotification& notify) {
  TRecordList& list = lists_[static_cast<size_t>(indexNo) + 1];
  const int o = oldPosition;
  const TRecordListItem item = list[static_cast<size_t>(o)];
  list.erase(list.begin() + o);
  int j;
  try {
    j = InsertPosition(buffers, indexNo);
  } catch (...) {
    list.insert(list.begin() + o, item);
    throw;
  }
  list.insert(list.begin() + o, item);
  const int n = o < j ? j + 1 : j;  // counted with the record still in the list
  if (n == o) return;
  if (notify) notify(indexNo, o, n);

  const int32_t r = item.recordNo;
  const int32_t oldNext = ReadIndexItem(indexNo, r).next;
  if (o > 0) {
    WriteIndexItem(indexNo, list[static_cast<size_t>(o) - 1].recordNo, oldNext);
  } else {
    SetIndexHead(indexNo, oldNext);
  }
  if (n > 0) {
    const int32_t before = list[static_cast<size_t>(n) - 1].recordNo;
    WriteIndexItem(indexNo, r, ReadIndexItem(indexNo, before).next);
    WriteIndexItem(indexNo, before, r);
  } else {
    WriteIndexItem(indexNo, r, IndexHead(indexNo));
    SetIndexHead(indexNo, r);
  }
  list.erase(list.begin() + o);
  list.insert(list.begin() + j, item);
}

void TTessTableIO::DeleteRecord(int physicalPosition, bool flush) {
  CheckListPosition(GetList(0), physicalPosition);
  const int32_t recordNo = lists_[0][static_cast<size_t>(physicalPosition)].recordNo;
  TTableChange change(*this);
  const int x = ResolvePhysicalPosition(recordNo);
  fileIO_.MarkRecordDeleted(TabItemPosition(recordTabBlocks_, recordNo, kRecordTabItemSize));
  recordTab_[static_cast<size_t>(recordNo)].deleted = 1;
  std::vector<int> positions(static_cast<size_t>(indexDefs_.Count()));
  for (int i = 0; i < indexDefs_.Count(); ++i)
    positions[static_cast<size_t>(i)] = ToListPosition(0, x, i + 1);
  for (int i = 0; i < indexDefs_.Count(); ++i) {
    const int p = positions[static_cast<size_t>(i)];
    if (p >= 0)
      lists_[static_cast<size_t>(i) + 1].erase(lists_[static_cast<size_t>(i) + 1].begin() + p);
  }
  lists_[0].erase(lists_[0].begin() + x);
  change.Finish(flush);
}

}  // namespace tessdb
