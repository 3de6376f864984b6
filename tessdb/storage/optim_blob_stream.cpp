#include "tessdb/storage/optim_blob_stream.h"

#include "tessdb/core/field_type.h"
#include "tessdb/storage/file_io.h"

namespace tessdb {

void TOptimBlobStream::SetSource(TTessDBFileIO& fileIO, int64_t descriptorPosition, bool compress,
                                 bool encrypt) {
  content_.Clear();
  fileIO_ = &fileIO;
  descriptorPosition_ = descriptorPosition;
  compress_ = compress;
  encrypt_ = encrypt;
}

void TOptimBlobStream::Load() {
  if (fileIO_ == nullptr) return;
  content_.Clear();
  try {
    fileIO_->ReadFieldData(descriptorPosition_, content_, compress_, encrypt_, /*isBlob=*/true,
                           kBlobDescriptorSize);
  } catch (...) {
    content_.Clear();  // stays unloaded: a later access tries again
    throw;
  }
  content_.SetPosition(0);
  fileIO_ = nullptr;
}

void TOptimBlobStream::Replace() {
  if (fileIO_ == nullptr) return;
  content_.Clear();
  fileIO_ = nullptr;
}

int64_t TOptimBlobStream::Read(void* buffer, int64_t count) {
  Load();
  return content_.Read(buffer, count);
}

int64_t TOptimBlobStream::Write(const void* buffer, int64_t count) {
  Replace();
  return content_.Write(buffer, count);
}

int64_t TOptimBlobStream::Seek(int64_t offset, TSeekOrigin origin) {
  Load();
  return content_.Seek(offset, origin);
}

int64_t TOptimBlobStream::Size() {
  Load();
  return content_.Size();
}

void TOptimBlobStream::SetSize(int64_t size) {
  Replace();
  content_.SetSize(size);
}

void TOptimBlobStream::Clear() {
  fileIO_ = nullptr;
  content_.Clear();
}

uint8_t* TOptimBlobStream::Memory() {
  Load();
  return content_.Memory();
}

TMemoryStream& TOptimBlobStream::Content() {
  Load();
  return content_;
}

}  // namespace tessdb
