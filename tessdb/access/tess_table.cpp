#include "tessdb/access/tess_table.h"

#include "tessdb/access/database.h"
#include "tessdb/access/session.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {

TTessTable::TTessTable(TComponent* owner) : TTDEDataSet(owner) {}

TTessTable::~TTessTable() {
  BeginDestroy();
  try {
    Close();
  } catch (...) {
  }
  masterLink_.SetDataSource(nullptr);
}

void TTessTable::SetDatabaseName(const std::string& name) {
  TTDBDataSet::SetDatabaseName(name);
  if (!Loading()) {
    tableName_.clear();
    indexName_.clear();
  }
}

void TTessTable::SetTableName(const std::string& name) {
  if (name == tableName_) return;
  if (!Loading()) CheckInactive();
  tableName_ = name;
}

void TTessTable::SetIndexName(const std::string& name) {
  indexName_ = name;
  if (!Active()) return;
  CheckBrowseMode();
  SelectIndex();
  LoadView();
  if (rangeActive_ || (masterLink_.ActiveDataSet() != nullptr && !masterFields_.empty())) {
    ComputeRange(false);
  }
  currentPosition_ = -1;
  First();
}

// --- Open and close -----------------------------------------------------------------------------

void TTessTable::InternalOpen() {
  OpenDatabase();
  TTessTableIO* tableIO = Database()->FindTableIO(tableName_);
  if (tableIO == nullptr) DatabaseError(FormatMessage("Table '%s' not found", tableName_));
  const TTessSession& session = Database()->Session();
  tableIO->SetLockParameters(session.LockRetryCount(), session.LockWaitTime());
  tableIO->Open();
  tableIO_ = tableIO;
  viewList_.clear();
  currentPosition_ = -1;
  canModify_ = true;
  rangeActive_ = false;
  rangeFieldCount_ = 0;

  fieldDefs_.clear();
  const TTessFieldDefs& storedFields = tableIO_->FieldDefs();
  for (int f = 0; f < storedFields.Count(); ++f) {
    const auto type = static_cast<TFieldType>(storedFields[f].typeCode);
    const bool sized =
        type == ftString || type == ftFixedChar || type == ftWideString || type == ftGuid;
    fieldDefs_.push_back({storedFields[f].name, type, sized ? storedFields[f].declaredSize : 0});
    AddField(
        std::make_unique<TField>(*this, storedFields[f].name, type, fieldDefs_.back().size, f + 1));
  }
  indexDefs_.clear();
  for (const TTessIndexDef& index : tableIO_->IndexDefs()) {
    std::string fields;
    for (const int32_t fieldNo : index.keyFields) {
      if (fieldNo < 0 || fieldNo >= storedFields.Count()) continue;
      fields += (fields.empty() ? "" : ",") + storedFields[fieldNo].name;
    }
    indexDefs_.push_back({index.name, fields, index.options});
  }
  SelectIndex();
  LoadView();
  PrepareBuffers(storedFields.Count());
}

void TTessTable::OpenCompleted() {
  if (masterLink_.ActiveDataSet() != nullptr && !masterFields_.empty()) {
    ComputeRange(false);
    currentPosition_ = -1;
    First();
  }
  if (Filtered()) ActivateFilter();
}

void TTessTable::InternalClose() {
  TTessTableIO* tableIO = tableIO_;
  tableIO_ = nullptr;
  viewList_.clear();
  viewList_.shrink_to_fit();
  FreeBuffers();
  searchBuffer_.reset();
  currentPosition_ = -1;
  canModify_ = false;
  rangeActive_ = false;
  rangeFieldCount_ = 0;
  try {
    if (tableIO != nullptr) tableIO->Close();
  } catch (...) {
    CloseDatabase();
    throw;
  }
  CloseDatabase();
}

void TTessTable::SelectIndex() {
  indexNumber_ = tableIO_->IndexDefs().IndexOf(indexName_);
  if (indexNumber_ < 0) indexNumber_ = tableIO_->PrimaryIndexNo();
}

void TTessTable::LoadView() {
  const int listNo = indexNumber_ + 1;
  tableIO_->BuildList(listNo, true);
  viewList_ = tableIO_->GetList(listNo);
}

TRecordBuffer& TTessTable::SpareBuffer() {
  if (!searchBuffer_) searchBuffer_ = AllocRecordBuffer();
  return *searchBuffer_;
}

// --- Records ------------------------------------------------------------------------------------

TFieldBuffers& TTessTable::DescribeBuffer(TRecordBuffer& buffer) {
  if (!buffer.fieldBuffers) {
    auto described = std::make_unique<TFieldBuffers>();
    const TTessFieldDefs& storedFields = tableIO_->FieldDefs();
    for (int f = 0; f < storedFields.Count(); ++f) {
      const auto type = static_cast<TFieldType>(storedFields[f].typeCode);
      const int32_t size = tableIO_->FieldSize(f);
      TField* field = FieldOfNumber(f + 1);
      if (field == nullptr) {
        described->AddOwned(type, size).SetActive(false);
      } else if (field->IsBlob()) {
        described->Add(buffer.Blob(f + 1), type, size);
      } else {
        described->Add(buffer.Data() + fieldOffsets_[static_cast<size_t>(f)], type, size);
      }
    }
    buffer.fieldBuffers = std::move(described);
  }
  return *buffer.fieldBuffers;
}

void TTessTable::ReadRecordAt(TRecordBuffer& buffer, int position) {
  if (position < 0 || position >= RecordCount()) return;
  tableIO_->ReadRecord(DescribeBuffer(buffer), viewList_, position);
}

TGetResult TTessTable::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) {
  const int count = RecordCount();
  if (count <= 0) return TGetResult::grEOF;
  switch (mode) {
    case TGetMode::gmCurrent:
      if (currentPosition_ < 0 || currentPosition_ >= count) {
        if (doCheck) DatabaseError("No records");
        return TGetResult::grError;
      }
      break;
    case TGetMode::gmNext:
      if (currentPosition_ >= count - 1) return TGetResult::grEOF;
      ++currentPosition_;
      break;
    case TGetMode::gmPrior:
      if (currentPosition_ <= 0) return TGetResult::grBOF;
      if (currentPosition_ > count) currentPosition_ = count;
      --currentPosition_;
      break;
  }
  ReadRecordAt(buffer, currentPosition_);
  buffer.flag = TBookmarkFlag::bfCurrent;
  buffer.bookmark = viewList_[static_cast<size_t>(currentPosition_)].recordNo;
  return TGetResult::grOK;
}

int TTessTable::RecNo() const {
  if (!Active()) return -1;
  if (currentPosition_ == -1 && RecordCount() > 0) return 1;
  return currentPosition_ + 1;
}

void TTessTable::SetRecNo(int recNo) {
  CheckActive();
  if (recNo < 0 || recNo > RecordCount() || recNo == RecNo()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  currentPosition_ = recNo - 1;
  Resync(false);
  DoAfterScroll();
}

int TTessTable::ViewPositionOf(int32_t recordNo) const {
  for (size_t i = 0; i < viewList_.size(); ++i) {
    if (viewList_[i].recordNo == recordNo) return static_cast<int>(i);
  }
  return -1;
}

void TTessTable::InternalGotoBookmark(TBookmark bookmark) {
  const int position = ViewPositionOf(bookmark);
  if (position < 0) DatabaseError("Bookmark not found");
  currentPosition_ = position;
}

void TTessTable::InternalSetToRecord(TRecordBuffer& buffer) {
  const int position = ViewPositionOf(buffer.bookmark);
  if (position >= 0) currentPosition_ = position;
}

void TTessTable::SyncCursor() {
  TRecordBuffer* buffer = ActiveBuffer();
  if (buffer == nullptr) return;
  const bool agrees = currentPosition_ >= 0 && currentPosition_ < RecordCount() &&
                      viewList_[static_cast<size_t>(currentPosition_)].recordNo == buffer->bookmark;
  if (!agrees) InternalSetToRecord(*buffer);
}

void TTessTable::InternalRefresh() {
  const int32_t current = currentPosition_ >= 0 && currentPosition_ < RecordCount()
                              ? viewList_[static_cast<size_t>(currentPosition_)].recordNo
                              : -1;
  SelectIndex();
  LoadView();
  if (rangeActive_) ComputeRange(true);
  if (Filtered()) {
    // A newly built filtered view always starts again at its first record.
    BuildFilteredView();
    return;
  }
  const int position = ViewPositionOf(current);
  currentPosition_ = position >= 0 ? position : std::min(currentPosition_, RecordCount() - 1);
}

void TTessTable::TableReloaded() {
  if (!Active()) return;
  const int32_t current = currentPosition_ >= 0 && currentPosition_ < RecordCount()
                              ? viewList_[static_cast<size_t>(currentPosition_)].recordNo
                              : -1;
  LoadView();
  if (rangeActive_) ComputeRange(true);
  if (Filtered()) BuildFilteredView();
  currentPosition_ = ViewPositionOf(current);
}

bool TTessTable::CanModify() const {
  if (!canModify_ || readOnly_ || Database() == nullptr) return false;
  const TTessDatabase& database = *Database();
  if (database.ReadOnly()) return false;
  const TTessDBFileIO* fileIO = database.FileIO();
  return fileIO != nullptr && !fileIO->ReadOnly() && !fileIO->FileIsReadOnly();
}

}  // namespace tessdb
