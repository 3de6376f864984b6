#include "tessdb/access/record_buffer.h"

#include <cstring>

namespace tessdb {

TRecordBuffer::TRecordBuffer(int32_t dataSize, const std::vector<bool>& blobFields)
    : data_(static_cast<size_t>(dataSize), 0) {
  blobs_.resize(blobFields.size());
  for (size_t i = 0; i < blobFields.size(); ++i) {
    if (blobFields[i]) blobs_[i] = std::make_unique<TOptimBlobStream>();
  }
}

TOptimBlobStream* TRecordBuffer::Blob(int fieldNo) const {
  if (fieldNo < 1 || static_cast<size_t>(fieldNo) > blobs_.size()) return nullptr;
  return blobs_[static_cast<size_t>(fieldNo - 1)].get();
}

void TRecordBuffer::Assign(TRecordBuffer& other) {
  if (&other == this) return;
  data_ = other.data_;
  for (size_t i = 0; i < blobs_.size() && i < other.blobs_.size(); ++i) {
    if (!blobs_[i] || !other.blobs_[i]) continue;
    TMemoryStream& source = other.blobs_[i]->Content();
    blobs_[i]->Clear();
    if (source.Size() > 0) blobs_[i]->Write(source.Memory(), source.Size());
    blobs_[i]->SetPosition(0);
  }
  bookmark = other.bookmark;
  flag = other.flag;
}

}  // namespace tessdb
