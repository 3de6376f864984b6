#include "tessdb/access/dataset.h"

#include <algorithm>

#include "tessdb/access/session_list.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

constexpr char kDataSetClosed[] = "Cannot perform this operation on a closed dataset";
constexpr char kDataSetOpen[] = "Cannot perform this operation on an open dataset";
constexpr char kDataSetReadOnly[] = "Cannot modify a read-only dataset";
constexpr char kNotEditing[] = "Dataset not in edit or insert mode";
constexpr char kDataSetEmpty[] = "Cannot perform this operation on an empty dataset";

}  // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->SetDataSet(nullptr);
}

void TDataSet::SetActive(bool active) {
  if (active == Active()) return;
  if (active) {
    if (BeforeOpen) BeforeOpen(*this);
    OpenCursor();
    if (AfterOpen) AfterOpen(*this);
  } else {
    if (BeforeClose) BeforeClose(*this);
    // An edit or insert still pending is discarded, as closing never writes.
    CloseCursor();
    if (AfterClose) AfterClose(*this);
  }
}

void TDataSet::OpenCursor() {
  state_ = dsOpening;
  try {
    InternalOpen();
    activeBuffer_ = AllocRecordBuffer();
    state_ = dsBrowse;
    modified_ = false;
    InternalFirst();
    hasRecord_ = Fetch(TGetMode::gmNext, false);
    bof_ = true;
    eof_ = !hasRecord_;
    DataEvent(TDataEvent::deActiveChange);
    OpenCompleted();
  } catch (...) {
    state_ = dsInactive;
    hasRecord_ = false;
    activeBuffer_.reset();
    try {
      InternalClose();
    } catch (...) {
    }
    DestroyFields();
    throw;
  }
}

void TDataSet::CloseCursor() {
  state_ = dsInactive;
  hasRecord_ = false;
  bof_ = eof_ = true;
  modified_ = false;
  try {
    InternalClose();
  } catch (...) {
    activeBuffer_.reset();
    DestroyFields();
    DataEvent(TDataEvent::deActiveChange);
    throw;
  }
  activeBuffer_.reset();
  DestroyFields();
  DataEvent(TDataEvent::deActiveChange);
}

bool TDataSet::Fetch(TGetMode mode, bool doCheck) {
  return GetRecord(*activeBuffer_, mode, doCheck) == TGetResult::grOK;
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(kDataSetClosed);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(kDataSetOpen);
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(kDataSetReadOnly);
}

void TDataSet::SetState(TDataSetState state) {
  if (state == state_) return;
  state_ = state;
  if (state == dsBrowse) modified_ = false;
  if (state == dsEdit || state == dsInsert) {
    for (const std::unique_ptr<TField>& field : fields_) field->SetModified(false);
  }
  DataEvent(TDataEvent::deUpdateState);
}

void TDataSet::DoBeforeScroll() {
  if (BeforeScroll) BeforeScroll(*this);
}

void TDataSet::DoAfterScroll() {
  if (AfterScroll) AfterScroll(*this);
}

void TDataSet::ClearWindow() {
  hasRecord_ = false;
  bof_ = eof_ = true;
}

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  InternalFirst();
  hasRecord_ = Fetch(TGetMode::gmNext, false);
  bof_ = true;
  eof_ = !hasRecord_;
  DataEvent(TDataEvent::deDataSetChange);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  InternalLast();
  hasRecord_ = Fetch(TGetMode::gmPrior, false);
  eof_ = true;
  bof_ = !hasRecord_;
  DataEvent(TDataEvent::deDataSetChange);
  DoAfterScroll();
}

void TDataSet::Next() {
  if (!eof_) MoveBy(1);
}

void TDataSet::Prior() {
  if (!bof_) MoveBy(-1);
}

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  DoBeforeScroll();
  int moved = 0;
  if (hasRecord_) {
    if (distance > 0) {
      while (moved < distance) {
        if (!Fetch(TGetMode::gmNext, false)) {
          eof_ = true;
          break;
        }
        ++moved;
        bof_ = false;
      }
    } else {
      while (moved > distance) {
        if (!Fetch(TGetMode::gmPrior, false)) {
          bof_ = true;
          break;
        }
        --moved;
        eof_ = false;
      }
    }
  }
  if (moved != 0) DataEvent(TDataEvent::deDataSetScroll);
  DoAfterScroll();
  return moved;
}

void TDataSet::Resync(bool exact) {
  if (Fetch(TGetMode::gmCurrent, false)) {
    hasRecord_ = true;
  } else if (exact) {
    DatabaseError(kRecordNotFound);
  } else if (Fetch(TGetMode::gmNext, false) || Fetch(TGetMode::gmPrior, false)) {
    hasRecord_ = true;
  } else {
    hasRecord_ = false;
  }
  bof_ = eof_ = !hasRecord_;
  DataEvent(TDataEvent::deDataSetChange);
}

TField* TDataSet::FindField(const std::string& name) const {
  for (const std::unique_ptr<TField>& field : fields_) {
    if (SameName(field->FieldName(), name)) return field.get();
  }
  return nullptr;
}

TField& TDataSet::FieldByName(const std::string& name) const {
  TField* field = FindField(name);
  if (field == nullptr) DatabaseError(FormatMessage("Field '%s' not found", name));
  return *field;
}

void TDataSet::AddField(std::unique_ptr<TField> field) {
  field->index_ = static_cast<int>(fields_.size());
  fields_.push_back(std::move(field));
}

TBookmark TDataSet::GetBookmark() const {
  CheckActive();
  return hasRecord_ ? activeBuffer_->bookmark : -1;
}

void TDataSet::GotoBookmark(TBookmark bookmark) {
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(bookmark);
  Resync(true);
  DoAfterScroll();
}

bool TDataSet::BookmarkValid(TBookmark) const {
  return Active();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(TDataEvent::deCheckBrowseMode);
  switch (state_) {
    case dsEdit:
    case dsInsert:
      if (modified_) {
        Post();
      } else {
        Cancel();
      }
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

void TDataSet::BeginInsert(bool append) {
  CheckBrowseMode();
  CheckCanModify();
  if (BeforeInsert) BeforeInsert(*this);
  DoBeforeScroll();
  if (append) InternalLast();
  InternalInitRecord(*activeBuffer_);
  activeBuffer_->flag = append ? TBookmarkFlag::bfEOF : TBookmarkFlag::bfInserted;
  SetState(dsInsert);
  modified_ = false;
  if (OnNewRecord) OnNewRecord(*this);
  modified_ = false;
  DataEvent(TDataEvent::deDataSetChange);
  if (AfterInsert) AfterInsert(*this);
  DoAfterScroll();
}

void TDataSet::Insert() {
  BeginInsert(false);
}

void TDataSet::Append() {
  BeginInsert(true);
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  CheckBrowseMode();
  CheckCanModify();
  if (!hasRecord_) {
    Insert();
    return;
  }
  if (BeforeEdit) BeforeEdit(*this);
  InternalSetToRecord(*activeBuffer_);
  SetState(dsEdit);
  DataEvent(TDataEvent::deRecordChange);
  if (AfterEdit) AfterEdit(*this);
}

void TDataSet::Post() {
  if (state_ == dsSetKey) {
    DataEvent(TDataEvent::deCheckBrowseMode);
    SetState(dsBrowse);
    DataEvent(TDataEvent::deDataSetChange);
    return;
  }
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError(kNotEditing);
  DataEvent(TDataEvent::deUpdateRecord);
  if (BeforePost) BeforePost(*this);
  InternalPost();
  SetState(dsBrowse);
  Resync(false);
  if (AfterPost) AfterPost(*this);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert && state_ != dsSetKey) return;
  if (BeforeCancel) BeforeCancel(*this);
  SetState(dsBrowse);
  Resync(false);
  if (AfterCancel) AfterCancel(*this);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert || state_ == dsSetKey) {
    Cancel();
    return;
  }
  CheckCanModify();
  if (!hasRecord_) DatabaseError(kDataSetEmpty);
  DataEvent(TDataEvent::deCheckBrowseMode);
  if (BeforeDelete) BeforeDelete(*this);
  DoBeforeScroll();
  InternalDelete();
  SetState(dsBrowse);
  Resync(false);
  if (AfterDelete) AfterDelete(*this);
  DoAfterScroll();
}

void TDataSet::AddRecord(const std::vector<std::string>& values, bool append) {
  BeginInsert(append);
  try {
    for (size_t i = 0; i < values.size() && i < fields_.size(); ++i) {
      fields_[i]->SetAsString(values[i]);
    }
    Post();
  } catch (...) {
    Cancel();
    throw;
  }
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  if (BeforeRefresh) BeforeRefresh(*this);
  if (hasRecord_) InternalSetToRecord(*activeBuffer_);
  InternalRefresh();
  Resync(false);
  if (AfterRefresh) AfterRefresh(*this);
}

void TDataSet::DataEvent(TDataEvent event, TField* field) {
  if (event == TDataEvent::deFieldChange && (state_ == dsEdit || state_ == dsInsert)) {
    modified_ = true;
  }
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) {
    if (source->Enabled()) source->NotifyLinks(event, field);
  }
}

void TDataSet::AddDataSource(TDataSource& source) {
  if (std::find(dataSources_.begin(), dataSources_.end(), &source) == dataSources_.end()) {
    dataSources_.push_back(&source);
  }
}

void TDataSet::RemoveDataSource(TDataSource& source) {
  dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), &source),
                     dataSources_.end());
}

bool TDataSet::IsLinkedTo(const TDataSet&) const {
  return false;
}

}  // namespace tessdb
