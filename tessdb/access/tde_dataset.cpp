#include "tessdb/access/tde_dataset.h"

#include <cmath>
#include <cstring>

#include "platform/locale.h"
#include "tessdb/access/blob_stream.h"
#include "tessdb/access/database.h"
#include "tessdb/access/session.h"
#include "tessdb/access/session_list.h"
#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

constexpr char kNotEditing[] = "Dataset not in edit or insert mode";

// The dataset's fields as the filter parser sees them.
class TDataSetFieldSource : public TFilterFieldSource {
 public:
  TDataSetFieldSource(TTDEDataSet& dataSet, const std::vector<int32_t>& offsets,
                      TRecordBuffer*& filterBuffer)
      : dataSet_(dataSet), offsets_(offsets), filterBuffer_(filterBuffer) {}

  TFilterFieldInfo FieldByName(const std::string& name) override {
    const TField& field = dataSet_.FieldByName(name);
    return {field.DataType(), field.IsBlob(), field.Index()};
  }
  TFieldSlot FieldSlot(int fieldIndex) override {
    const TField& field = dataSet_.Fields(fieldIndex);
    return {offsets_[static_cast<size_t>(field.FieldNo() - 1)], field.DataSize()};
  }
  void BlobText(int fieldIndex, std::string& text) override {
    text = dataSet_.Fields(fieldIndex).AsString();
  }
  const uint8_t* FilterRecordBuffer() override {
    return filterBuffer_ != nullptr ? filterBuffer_->Data() : nullptr;
  }

 private:
  TTDEDataSet& dataSet_;
  const std::vector<int32_t>& offsets_;
  TRecordBuffer*& filterBuffer_;
};

}  // namespace

TTDEDataSet::TTDEDataSet(TComponent* owner) : TTDBDataSet(owner) {
  fieldSource_ = std::make_unique<TDataSetFieldSource>(*this, fieldOffsets_, filterBuffer_);
  parser_ = std::make_unique<TFilterParser>(*fieldSource_);
}

TTDEDataSet::~TTDEDataSet() = default;

void TTDEDataSet::SetMediumType(TTessDBMediumType mediumType) {
  if (mediumType == mediumType_) return;
  CheckInactive();
  mediumType_ = mediumType;
  if (TTessSession* session = Sessions().FindSession(SessionName())) {
    if (TTessDatabase* database = session->FindDatabase(DatabaseName())) {
      database->SetMediumType(mediumType);
    }
  }
}

bool TTDEDataSet::CanModify() const {
  return canModify_;
}

TField* TTDEDataSet::FieldOfNumber(int fieldNo) const {
  for (int i = 0; i < FieldCount(); ++i) {
    if (Fields(i).FieldNo() == fieldNo) return &Fields(i);
  }
  return nullptr;
}

void TTDEDataSet::PrepareBuffers(int storedFieldCount) {
  const auto count = static_cast<size_t>(storedFieldCount);
  fieldOffsets_.assign(count, -1);
  blobFields_.assign(count, false);
  recordDataSize_ = 0;
  for (int i = 0; i < FieldCount(); ++i) {
    const TField& field = Fields(i);
    const auto slot = static_cast<size_t>(field.FieldNo() - 1);
    if (slot >= count) continue;
    if (field.IsBlob()) {
      blobFields_[slot] = true;
    } else {
      fieldOffsets_[slot] = recordDataSize_;
      recordDataSize_ += field.DataSize();
    }
  }
  for (std::unique_ptr<TRecordBuffer>& key : keyBuffers_) {
    key = AllocRecordBuffer();
    InternalInitRecord(*key);
  }
  keyBuffer_ = keyBuffers_[0].get();
}

void TTDEDataSet::FreeBuffers() {
  for (std::unique_ptr<TRecordBuffer>& key : keyBuffers_) key.reset();
  keyBuffer_ = nullptr;
  filterBuffer_ = nullptr;
}

std::unique_ptr<TRecordBuffer> TTDEDataSet::AllocRecordBuffer() {
  return std::make_unique<TRecordBuffer>(recordDataSize_, blobFields_);
}

void TTDEDataSet::InternalInitRecord(TRecordBuffer& buffer) {
  std::memset(buffer.Data(), 0, static_cast<size_t>(buffer.DataSize()));
  const int64_t now = RoundToInt64(NowTimeStamp());
  const auto today = static_cast<int32_t>(now / kMsPerDay);
  const auto timeOfDay = static_cast<int32_t>(now % kMsPerDay);
  const double zeroStamp = static_cast<double>(kDateDelta) * kMsPerDay;
  for (int i = 0; i < FieldCount(); ++i) {
    const TField& field = Fields(i);
    if (field.IsBlob()) {
      if (TOptimBlobStream* blob = buffer.Blob(field.FieldNo())) blob->Clear();
      continue;
    }
    uint8_t* slot = buffer.Data() + fieldOffsets_[static_cast<size_t>(field.FieldNo() - 1)];
    switch (field.DataType()) {
      case ftDateTime:
        std::memcpy(slot, &zeroStamp, sizeof zeroStamp);
        break;
      case ftDate:
        std::memcpy(slot, &today, sizeof today);
        break;
      case ftTime:
        std::memcpy(slot, &timeOfDay, sizeof timeOfDay);
        break;
      default:
        break;
    }
  }
  buffer.bookmark = -1;
  buffer.flag = TBookmarkFlag::bfInserted;
}

TRecordBuffer* TTDEDataSet::GetActiveRecordBuffer() {
  switch (State()) {
    case dsBrowse:
      return ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsNewValue:
      return &WorkBuffer();
    case dsSetKey:
      return keyBuffer_;
    case dsFilter:
      return filterBuffer_;
    default:
      return nullptr;
  }
}

bool TTDEDataSet::GetFieldData(const TField& field, void* buffer) {
  TRecordBuffer* record = GetActiveRecordBuffer();
  if (record == nullptr) return false;
  if (field.IsBlob()) throw EDatabaseError("General error");
  const int32_t offset = fieldOffsets_[static_cast<size_t>(field.FieldNo() - 1)];
  if (buffer != nullptr) {
    std::memcpy(buffer, record->Data() + offset, static_cast<size_t>(field.DataSize()));
  }
  return true;
}

void TTDEDataSet::SetFieldData(TField& field, const void* buffer) {
  const TDataSetState state = State();
  if (state != dsEdit && state != dsInsert && state != dsSetKey && state != dsFilter &&
      state != dsCalcFields && state != dsNewValue) {
    DatabaseError(kNotEditing);
  }
  TRecordBuffer* record = GetActiveRecordBuffer();
  if (record == nullptr) return;
  if (buffer != nullptr) {
    if (field.IsBlob()) throw EDatabaseError("General error");
    const int32_t offset = fieldOffsets_[static_cast<size_t>(field.FieldNo() - 1)];
    std::memcpy(record->Data() + offset, buffer, static_cast<size_t>(field.DataSize()));
    field.SetModified(true);
    DataEvent(TDataEvent::deFieldChange, &field);
  }
  if (state != dsCalcFields && state != dsFilter) DataEvent(TDataEvent::deFieldChange, &field);
}

std::string TTDEDataSet::GetBlobText(const TField& field) {
  TRecordBuffer* record = GetActiveRecordBuffer();
  if (record == nullptr) return std::string();
  TOptimBlobStream* blob = record->Blob(field.FieldNo());
  if (blob == nullptr) return std::string();
  return blob->Content().ToString();
}

void TTDEDataSet::SetBlobText(TField& field, const std::string& text) {
  TTessBlobStream stream(field, TBlobStreamMode::bmWrite);
  stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// --- Filtering and searching --------------------------------------------------------------------

void TTDEDataSet::SetFilter(const std::string& filter) {
  ApplyFilterChange(filter, filterOptions_);
}

void TTDEDataSet::SetFilterOptions(TFilterOptions options) {
  ApplyFilterChange(filter_, options);
}

void TTDEDataSet::ApplyFilterChange(const std::string& filter, TFilterOptions options) {
  const std::string old = filter_;
  bool changed = true;
  if (Active()) {
    CheckBrowseMode();
    if (!filter.empty()) parser_->Parse(filter);
    changed = filter != filter_ || options != filterOptions_;
  }
  filter_ = filter;
  filterOptions_ = options;
  if (changed && filtered_ && Active()) {
    try {
      DeactivateFilter();
      ActivateFilter();
    } catch (...) {
      filter_ = old;
      throw;
    }
  }
}

void TTDEDataSet::SetFiltered(bool filtered) {
  if (!Active()) {
    filtered_ = filtered;
    return;
  }
  CheckBrowseMode();
  if (filtered != filtered_) {
    if (filtered) {
      ActivateFilter();
    } else {
      DeactivateFilter();
    }
    filtered_ = filtered;
  }
  First();
}

bool TTDEDataSet::TestRecord() {
  bool accept = true;
  if (OnFilterRecord) OnFilterRecord(*this, accept);
  if (accept && !filter_.empty()) accept = parser_->Evaluate(filterOptions_);
  return accept;
}

void TTDEDataSet::BeginFilterState(TRecordBuffer& buffer) {
  filterBuffer_ = &buffer;
  SetState(dsFilter);
}

void TTDEDataSet::EndFilterState(TDataSetState previous) {
  SetState(previous);
}

bool TTDEDataSet::FindRecord(bool restart, bool goForward) {
  CheckBrowseMode();
  DoBeforeScroll();
  found_ = false;
  SyncCursor();
  const int count = RecordCount();
  int position;
  int last;
  int step;
  if (goForward) {
    position = restart ? 0 : currentPosition_ + 1;
    last = count - 1;
    step = 1;
  } else {
    position = restart ? count - 1 : currentPosition_ - 1;
    last = 0;
    step = -1;
  }
  if (!filter_.empty()) parser_->Parse(filter_);
  const int remembered = currentPosition_;
  const TDataSetState previous = State();
  BeginFilterState(WorkBuffer());
  try {
    for (; goForward ? position <= last : position >= last; position += step) {
      currentPosition_ = position;
      ReadRecordAt(*filterBuffer_, position);
      if (TestRecord()) {
        found_ = true;
        break;
      }
    }
  } catch (...) {
    EndFilterState(previous);
    currentPosition_ = remembered;
    try {
      Resync(false);
    } catch (...) {
    }
    throw;
  }
  EndFilterState(previous);
  if (!found_) currentPosition_ = remembered;
  Resync(true);
  if (found_) DoAfterScroll();
  return found_;
}

}  // namespace tessdb
