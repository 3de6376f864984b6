#include "tessdb/access/blob_stream.h"

#include "tessdb/access/tde_dataset.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

TTDEDataSet& DataSetOf(TField& field) {
  auto* dataSet = dynamic_cast<TTDEDataSet*>(&field.DataSet());
  if (dataSet == nullptr || !field.IsBlob()) throw EDatabaseError("General error");
  return *dataSet;
}

}  // namespace

TTessBlobStream::TTessBlobStream(TField& field, TBlobStreamMode mode)
    : field_(field), dataSet_(DataSetOf(field)), fieldNo_(field.FieldNo()), mode_(mode) {
  if (mode != TBlobStreamMode::bmRead) {
    const TDataSetState state = dataSet_.State();
    if (state != dsEdit && state != dsInsert && state != dsNewValue) {
      dataSet_.DatabaseError("Dataset not in edit or insert mode");
    }
  }
  TOptimBlobStream* slot = Slot();
  if (mode == TBlobStreamMode::bmWrite) {
    if (slot != nullptr) slot->Clear();
    field_.SetModified(true);
    modified_ = true;
  } else if (slot != nullptr) {
    TMemoryStream& source = slot->Content();
    if (source.Size() > 0) content_.WriteBuffer(source.Memory(), source.Size());
    content_.SetPosition(0);
  }
}

TOptimBlobStream* TTessBlobStream::Slot() const {
  TRecordBuffer* buffer = dataSet_.GetActiveRecordBuffer();
  return buffer != nullptr ? buffer->Blob(fieldNo_) : nullptr;
}

int64_t TTessBlobStream::Read(void* buffer, int64_t count) {
  return content_.Read(buffer, count);
}

int64_t TTessBlobStream::Seek(int64_t offset, TSeekOrigin origin) {
  return content_.Seek(offset, origin);
}

int64_t TTessBlobStream::Write(const void* buffer, int64_t count) {
  const int64_t written = content_.Write(buffer, count);
  if (mode_ != TBlobStreamMode::bmRead) CopyBack();
  return written;
}

void TTessBlobStream::SetSize(int64_t size) {
  content_.SetSize(size);
  if (mode_ != TBlobStreamMode::bmRead) CopyBack();
}

void TTessBlobStream::CopyBack() {
  modified_ = true;
  if (TOptimBlobStream* slot = Slot()) {
    slot->Clear();
    if (content_.Size() > 0) slot->WriteBuffer(content_.Memory(), content_.Size());
    slot->SetPosition(content_.Position());
  }
  field_.SetModified(true);
  dataSet_.DataEvent(TDataEvent::deFieldChange, &field_);
}

}  // namespace tessdb
