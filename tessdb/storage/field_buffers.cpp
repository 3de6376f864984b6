#include "tessdb/storage/field_buffers.h"

#include <algorithm>
#include <cstring>

namespace tessdb {

TFieldBufferItem::TFieldBufferItem(void* value, TFieldType type, int32_t size, bool ownsValue)
    : value_(value), type_(type), size_(size), ownsValue_(ownsValue) {}

TFieldBufferItem::~TFieldBufferItem() {
  if (!ownsValue_) return;
  if (IsBlob()) {
    delete Blob();
  } else {
    delete[] Buffer();
  }
}

const uint8_t* TFieldBufferItem::ValueAddress() const {
  return IsBlob() ? Blob()->Memory() : Buffer();
}

int64_t TFieldBufferItem::ValueSize() const {
  return IsBlob() ? Blob()->Size() : size_;
}

std::string TFieldBufferItem::Text() const {
  if (IsBlob()) {
    TMemoryStream& content = Blob()->Content();
    if (content.Size() == 0) return std::string();  // an empty stream has no memory at all
    const auto* bytes = reinterpret_cast<const char*>(content.Memory());
    return std::string(bytes, strnlen(bytes, static_cast<size_t>(content.Size())));
  }
  if (size_ <= 0) return std::string();
  const auto* bytes = reinterpret_cast<const char*>(Buffer());
  return std::string(bytes, strnlen(bytes, static_cast<size_t>(size_)));
}

void TFieldBufferItem::SetText(const std::string& text) {
  if (IsBlob()) {
    Blob()->Clear();
    Blob()->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    return;
  }
  if (size_ <= 0) return;
  std::memset(Buffer(), 0, static_cast<size_t>(size_));
  std::memcpy(Buffer(), text.data(), std::min(text.size(), static_cast<size_t>(size_ - 1)));
}

TFieldBufferItem& TFieldBuffers::Add(void* value, TFieldType type, int32_t size) {
  items_.push_back(std::make_unique<TFieldBufferItem>(value, type, size, false));
  return *items_.back();
}

TFieldBufferItem& TFieldBuffers::AddOwned(TFieldType type, int32_t size) {
  void* value;
  if (IsBlobType(type)) {
    value = new TOptimBlobStream();
  } else {
    value = new uint8_t[static_cast<size_t>(size > 0 ? size : 0)]();
  }
  items_.push_back(std::make_unique<TFieldBufferItem>(value, type, size, true));
  return *items_.back();
}

}  // namespace tessdb
