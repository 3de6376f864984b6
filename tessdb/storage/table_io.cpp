#include "tessdb/storage/table_io.h"

#include <algorithm>
#include <cstring>

#include "tessdb/core/exceptions.h"

namespace tessdb {

TTessTableIO::TTessTableIO(TTessDBFileIO& fileIO, std::string tableName)
    : fileIO_(fileIO), tableName_(std::move(tableName)) {}

void TTessTableIO::SetLockParameters(int lockRetryCount, int lockWaitTime) {
  lockRetryCount_ = lockRetryCount;
  lockWaitTime_ = lockWaitTime;
}

void TTessTableIO::Open() {
  if (openCount_ == 0) Load();
  ++openCount_;
}

void TTessTableIO::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0) ClearImage();
}

void TTessTableIO::ClearImage() {
  fieldDefs_.Clear();
  indexDefs_.Clear();
  lists_.clear();
  listBuilt_.clear();
  recordTab_.clear();
  recordTabBlocks_.clear();
  indexTabBlocks_.clear();
  blobScratch_.Clear();
}

void TTessTableIO::Load() {
  TFileLockGuard lock(fileIO_, lockRetryCount_, lockWaitTime_);
  std::vector<std::string> names;
  fileIO_.GetTableNames(names);
  tableNo_ = -1;
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameDefName(names[i], tableName_)) {
      tableNo_ = static_cast<int>(i);
      break;
    }
  }
  if (tableNo_ < 0) throw EDatabaseError(FormatMessage("Table '%s' not found", tableName_));
  TTableHeaderBuffer header;
  fileIO_.ReadTableHeader(tableNo_, header);
  LoadImage(header);
}

void TTessTableIO::LoadImage(const TTableHeaderBuffer& header) {
  header_ = header;
  const TTableHeader decoded = DecodeTableHeader(header_);
  indexTabBlocks_.assign(decoded.indexes.size(), {});

  fieldDefs_.Clear();
  for (const TFieldEntry& field : decoded.fields) {
    fieldDefs_.Add({field.name, field.typeCode, field.declaredSize, field.processMode});
  }
  indexDefs_.Clear();
  for (const TIndexEntry& index : decoded.indexes) {
    indexDefs_.Add({index.name, index.options, index.keyFields});
  }

  // The layout comes before the lists: "General error" for a type without a stored size is the
  // answer to such a table whatever else is wrong with it.
  TRecordLayout layout = ComputeRecordLayout(decoded.fields, fileIO_.FileName());
  fieldOffsets_ = std::move(layout.fieldOffsets);
  storedSizes_ = std::move(layout.storedSizes);
  recordSize_ = layout.recordSize;
  autoIncField_ = -1;
  for (int f = 0; f < fieldDefs_.Count(); ++f) {
    if (fieldDefs_[f].typeCode == ftAutoInc) {
      autoIncField_ = f;
      break;
    }
  }

  // Every record's data area lies in the file, so a record larger than the file is damage (and
  // must not size a buffer).
  if (GetInt32(&header_[kThRecordCount]) > 0 && recordSize_ > fileIO_.FileSize()) Damaged();
  fileIO_.ReadRecordTab(header_, recordTab_, recordTabBlocks_);
  // A reload keeps the list objects (only their content changes), so references that callers
  // took with GetList stay valid.
  lists_.resize(decoded.indexes.size() + 1);
  for (TRecordList& list : lists_) list.clear();
  listBuilt_.assign(lists_.size(), false);
  BuildAllLists();
}

void TTessTableIO::BuildAllLists() {
  for (int k = 0; k < ListCount(); ++k) BuildList(k, false);
}

const TIntegerAry& TTessTableIO::IndexTabBlocks(int indexNo) const {
  return indexTabBlocks_.at(static_cast<size_t>(indexNo));
}

bool TTessTableIO::FieldEncrypted(int f) const {
  return fileIO_.Encrypted() && fieldDefs_[f].processMode == 0;
}

bool TTessTableIO::FieldCompressed(int f) const {
  return fileIO_.Compressed() && IsBlobType(fieldDefs_[f].typeCode) &&
         fieldDefs_[f].processMode == 0;
}

const TRecordList& TTessTableIO::GetList(int listNo) const {
  if (listNo < 0 || listNo >= ListCount()) {
    throw EDatabaseError(FormatMessage("List index out of bounds (%s)", std::to_string(listNo)));
  }
  return lists_[static_cast<size_t>(listNo)];
}

void TTessTableIO::BuildList(int listNo, bool reread) {
  GetList(listNo);  // range check
  if (listBuilt_[static_cast<size_t>(listNo)]) return;
  if (reread) {
    TFileLockGuard lock(fileIO_, lockRetryCount_, lockWaitTime_);
    fileIO_.ReadRecordTab(header_, recordTab_, recordTabBlocks_);
  }
  TRecordList& list = lists_[static_cast<size_t>(listNo)];
  list.clear();
  if (listNo == 0) {
    BuildPhysicalList(list);
  } else {
    BuildIndexList(listNo - 1, list);
  }
  listBuilt_[static_cast<size_t>(listNo)] = true;
}

void TTessTableIO::BuildPhysicalList(TRecordList& list) const {
  list.reserve(recordTab_.size());
  for (size_t n = 0; n < recordTab_.size(); ++n) {
    if (recordTab_[n].deleted == 0) {
      list.push_back({recordTab_[n].dataPosition, static_cast<int32_t>(n)});
    }
  }
}

void TTessTableIO::BuildIndexList(int indexNo, TRecordList& list) {
  TIntegerAry& blocks = indexTabBlocks_[static_cast<size_t>(indexNo)];
  std::vector<TIndexTabItem> items;
  fileIO_.ReadIndexTab(header_, indexNo, items, blocks);
  if (blocks.empty()) return;  // the index has no tab: no record was ever added
  const int32_t count = static_cast<int32_t>(items.size());
  list.reserve(items.size());
  int32_t n = IndexHead(indexNo);
  // At most count steps: a damaged chain that loops ends here.
  for (int32_t steps = 0; n != -1 && steps < count; ++steps) {
    if (n < 0 || n >= count || static_cast<size_t>(n) >= recordTab_.size()) Damaged();
    const TRecordTabItem& record = recordTab_[static_cast<size_t>(n)];
    if (record.deleted == 0) list.push_back({record.dataPosition, n});
    n = items[static_cast<size_t>(n)].next;
  }
}

int32_t TTessTableIO::IndexHead(int indexNo) const {
  return GetInt32(&header_[kThIndexes + indexNo * kIndexEntrySize + kIeHead]);
}

void TTessTableIO::CheckBuffers(const TFieldBuffers& buffers) const {
  bool sound = buffers.Count() == fieldDefs_.Count();
  for (int f = 0; sound && f < buffers.Count(); ++f) {
    const TFieldBufferItem& item = buffers[f];
    if (item.IsBlob() != IsBlobType(fieldDefs_[f].typeCode)) sound = false;
    if (item.Active() && !item.IsBlob() && item.Size() != FieldSize(f)) sound = false;
  }
  if (!sound) {
    throw EDatabaseError(
        FormatMessage("Field buffers do not match the fields of table '%s'", tableName_));
  }
}

void TTessTableIO::CheckListPosition(const TRecordList& list, int position) const {
  if (position < 0 || static_cast<size_t>(position) >= list.size()) {
    throw EDatabaseError(FormatMessage("List index out of bounds (%s)", std::to_string(position)));
  }
}

void TTessTableIO::ReadRecord(TFieldBuffers& buffers, const TRecordList& list, int position) {
  CheckBuffers(buffers);
  CheckListPosition(list, position);
  TFileLockGuard lock(fileIO_, lockRetryCount_, lockWaitTime_);
  const int64_t dataPosition = CheckedPosition(list[static_cast<size_t>(position)].dataPosition);
  recordScratch_.assign(static_cast<size_t>(recordSize_), 0);
  fileIO_.ReadRange(dataPosition, recordScratch_.data(), recordSize_);
  for (int f = 0; f < buffers.Count(); ++f) {
    TFieldBufferItem& item = buffers[f];
    if (!item.Active()) continue;
    const int32_t offset = fieldOffsets_[static_cast<size_t>(f)];
    if (item.IsBlob()) {
      item.Blob()->SetSource(fileIO_, dataPosition + offset, FieldCompressed(f), FieldEncrypted(f));
    } else {
      fileIO_.DecodeBuffer(recordScratch_.data() + offset, item.Buffer(), FieldEncrypted(f),
                           item.Size());
    }
  }
}

std::pair<const uint8_t*, size_t> TTessTableIO::ReadStoredValue(int32_t dataPosition, int fieldNo) {
  const int64_t position =
      CheckedPosition(dataPosition) + fieldOffsets_[static_cast<size_t>(fieldNo)];
  if (IsBlobType(fieldDefs_[fieldNo].typeCode)) {
    blobScratch_.Clear();
    fileIO_.ReadFieldData(position, blobScratch_, FieldCompressed(fieldNo), FieldEncrypted(fieldNo),
                          true, kBlobDescriptorSize);
    return {blobScratch_.Memory(), static_cast<size_t>(blobScratch_.Size())};
  }
  const int32_t size = FieldSize(fieldNo);
  valueScratch_.resize(static_cast<size_t>(size));
  fileIO_.ReadRange(position, valueScratch_.data(), size);
  fileIO_.DecodeBuffer(valueScratch_.data(), valueScratch_.data(), FieldEncrypted(fieldNo), size);
  return {valueScratch_.data(), valueScratch_.size()};
}

void TTessTableIO::ReadFieldValue(TStream& stream, int32_t recordNo, int fieldNo) {
  if (recordNo < 0 || static_cast<size_t>(recordNo) >= recordTab_.size() || fieldNo < 0 ||
      fieldNo >= fieldDefs_.Count()) {
    throw EDatabaseError(FormatMessage("List index out of bounds (%s)", std::to_string(recordNo)));
  }
  const auto [bytes, size] =
      ReadStoredValue(recordTab_[static_cast<size_t>(recordNo)].dataPosition, fieldNo);
  stream.SetSize(0);
  stream.SetPosition(0);
  stream.WriteBuffer(bytes, static_cast<int64_t>(size));
}

int TTessTableIO::CompareKeys(const TFieldBuffers& buffers, const TRecordListItem& item,
                              bool partial, int keyFieldCount, const TTessIndexDef& index) {
  const int keys = static_cast<int>(index.keyFields.size());
  const int count = keyFieldCount > 0 ? std::min(keyFieldCount, keys) : keys;
  const bool caseInsensitive = (index.options & tiCaseInsensitive) != 0;
  int result = 0;
  for (int k = 0; k < count && result == 0; ++k) {
    const int f = index.keyFields[static_cast<size_t>(k)];
    const TFieldBufferItem& key = buffers[f];
    const auto [stored, storedSize] = ReadStoredValue(item.dataPosition, f);
    result =
        CompareValue(key.ValueAddress(), static_cast<size_t>(key.ValueSize()), stored, storedSize,
                     partial, caseInsensitive, static_cast<TFieldType>(fieldDefs_[f].typeCode));
  }
  return (index.options & tiDescending) ? -result : result;
}

TSearchResult TTessTableIO::SearchIndex(const TFieldBuffers& buffers, const TRecordList& list,
                                        bool partial, int keyFieldCount, int indexNo) {
  CheckBuffers(buffers);
  const TTessIndexDef& index = indexDefs_[indexNo];
  TSearchResult result;
  int low = 0;
  int high = static_cast<int>(list.size()) - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    result.position = mid;
    const int sign =
        CompareKeys(buffers, list[static_cast<size_t>(mid)], partial, keyFieldCount, index);
    if (sign == 0) {
      result.outcome = 0;
      break;
    }
    if (sign < 0) {
      result.outcome = -1;
      high = mid - 1;
    } else {
      result.outcome = 1;
      low = mid + 1;
    }
  }
  return result;
}

TSearchResult TTessTableIO::SearchIndexBound(const TFieldBuffers& buffers, const TRecordList& list,
                                             bool partial, int keyFieldCount, bool firstMatch,
                                             int indexNo) {
  CheckBuffers(buffers);
  const TTessIndexDef& index = indexDefs_[indexNo];
  TSearchResult result;
  bool found = false;
  int low = 0;
  int high = static_cast<int>(list.size()) - 1;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int sign =
        CompareKeys(buffers, list[static_cast<size_t>(mid)], partial, keyFieldCount, index);
    if (sign == 0) {
      found = true;
      result = {mid, 0};
      if (firstMatch) {
        high = mid - 1;
      } else {
        low = mid + 1;
      }
    } else {
      if (!found) result = {mid, sign < 0 ? -1 : 1};
      if (sign < 0) {
        high = mid - 1;
      } else {
        low = mid + 1;
      }
    }
  }
  return result;
}

int TTessTableIO::InsertPosition(const TFieldBuffers& buffers, int indexNo) {
  // The last of equal keys, so that a new record goes after all of them: a plain search stops
  // at whichever equal key it probes first.
  const TSearchResult result = SearchIndexBound(buffers, GetList(indexNo + 1), /*partial=*/false, 0,
                                                /*firstMatch=*/false, indexNo);
  if (result.outcome == -2) return 0;
  return result.outcome >= 0 ? result.position + 1 : result.position;
}

int TTessTableIO::PrimaryIndexNo() const {
  for (int i = 0; i < indexDefs_.Count(); ++i) {
    if (indexDefs_[i].options & tiPrimary) return i;
  }
  return -1;
}

int TTessTableIO::ToPhysicalPosition(const TRecordList& list, int position) const {
  if (position < 0 || static_cast<size_t>(position) >= list.size() || lists_.empty()) return -1;
  const int32_t recordNo = list[static_cast<size_t>(position)].recordNo;
  const TRecordList& physical = lists_[0];
  const auto it = std::lower_bound(
      physical.begin(), physical.end(), recordNo,
      [](const TRecordListItem& item, int32_t number) { return item.recordNo < number; });
  if (it == physical.end() || it->recordNo != recordNo) return -1;
  return static_cast<int>(it - physical.begin());
}

int TTessTableIO::ToListPosition(int fromListNo, int position, int toListNo) const {
  const TRecordList& from = GetList(fromListNo);
  if (fromListNo == toListNo) return position;
  if (position < 0 || static_cast<size_t>(position) >= from.size()) return -1;
  const int32_t recordNo = from[static_cast<size_t>(position)].recordNo;
  const TRecordList& to = GetList(toListNo);
  for (size_t i = 0; i < to.size(); ++i) {
    if (to[i].recordNo == recordNo) return static_cast<int>(i);
  }
  return -1;
}

int64_t TTessTableIO::CheckedPosition(int64_t position) const {
  // A data area or blob never lies in the fixed areas; a position there is a damaged item.
  if (position < kFirstAreaOffset) Damaged();
  return position;
}

void TTessTableIO::Damaged() const {
  throw EDatabaseError(DamagedFileMessage(fileIO_.FileName()));
}

}  // namespace tessdb
