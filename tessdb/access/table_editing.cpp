// TTessTable: posting inserts and edits, deleting, and following the table level's change
// notifications in the view.
#include <algorithm>

#include "tessdb/access/tess_table.h"

namespace tessdb {

void TTessTable::InternalPost() {
  TRecordBuffer& buffer = WorkBuffer();
  TFieldBuffers& buffers = DescribeBuffer(buffer);
  if (State() == dsInsert) {
    tableIO_->AppendRecord(buffers, /*flush=*/false,
                           [this](int indexNo, int position, const TRecordListItem& item) {
                             AppendNotification(indexNo, position, item);
                           });
  } else if (State() == dsEdit) {
    if (currentPosition_ < 0 || currentPosition_ >= RecordCount()) return;
    const int physical = tableIO_->ToPhysicalPosition(viewList_, currentPosition_);
    if (physical < 0) return;
    // Blobs nobody wrote keep their stored bytes: only changed ones are encoded again.
    for (int f = 0; f < buffers.Count(); ++f) {
      const TField* field = FieldOfNumber(f + 1);
      if (field != nullptr && field->IsBlob()) buffers[f].SetActive(field->Modified());
    }
    try {
      tableIO_->ModifyRecord(
          buffers, physical,
          [this](int indexNo, int oldPosition, int newPosition) {
            ModifyNotification(indexNo, oldPosition, newPosition);
          },
          /*flush=*/false);
    } catch (...) {
      for (int f = 0; f < buffers.Count(); ++f) {
        if (FieldOfNumber(f + 1) != nullptr) buffers[f].SetActive(true);
      }
      throw;
    }
    for (int f = 0; f < buffers.Count(); ++f) {
      if (FieldOfNumber(f + 1) != nullptr) buffers[f].SetActive(true);
    }
  }
}

void TTessTable::InternalDelete() {
  if (currentPosition_ >= 0 && currentPosition_ < RecordCount()) {
    const int physical = tableIO_->ToPhysicalPosition(viewList_, currentPosition_);
    if (physical >= 0) {
      tableIO_->DeleteRecord(physical, /*flush=*/false);
      viewList_.erase(viewList_.begin() + currentPosition_);
    }
  }
  if (currentPosition_ >= RecordCount()) --currentPosition_;
}

int TTessTable::ViewInsertPosition(TRecordBuffer& buffer) {
  const TSearchResult found = tableIO_->SearchIndexBound(DescribeBuffer(buffer), viewList_, false,
                                                         0, /*firstMatch=*/false, indexNumber_);
  if (found.outcome == -2) return 0;
  return found.outcome == -1 ? found.position : found.position + 1;
}

void TTessTable::AppendNotification(int indexNo, int position, const TRecordListItem& item) {
  if (indexNo != indexNumber_) return;
  if (indexNo < 0) {
    viewList_.push_back(item);
  } else if (!Filtered() && !rangeActive_) {
    position = std::clamp(position, 0, RecordCount());
    viewList_.insert(viewList_.begin() + position, item);
    currentPosition_ = position;
  } else {
    const int at = ViewInsertPosition(WorkBuffer());
    viewList_.insert(viewList_.begin() + at, item);
    currentPosition_ = at;
  }
}

void TTessTable::ModifyNotification(int indexNo, int oldPosition, int newPosition) {
  if (indexNo != indexNumber_ || indexNo < 0) return;
  if (!Filtered() && !rangeActive_) {
    if (oldPosition < 0 || oldPosition >= RecordCount()) return;
    if (oldPosition < newPosition) --newPosition;
    newPosition = std::clamp(newPosition, 0, RecordCount() - 1);
    const TRecordListItem item = viewList_[static_cast<size_t>(oldPosition)];
    viewList_.erase(viewList_.begin() + oldPosition);
    viewList_.insert(viewList_.begin() + newPosition, item);
    currentPosition_ = newPosition;
  } else {
    if (currentPosition_ < 0 || currentPosition_ >= RecordCount()) return;
    const TRecordListItem item = viewList_[static_cast<size_t>(currentPosition_)];
    viewList_.erase(viewList_.begin() + currentPosition_);
    const int at = ViewInsertPosition(WorkBuffer());
    viewList_.insert(viewList_.begin() + at, item);
    currentPosition_ = at;
  }
}

}  // namespace tessdb
