// Field buffers: how records travel between the table level and a dataset.
//
// TFieldBuffers holds one TFieldBufferItem per field of the table, in field order. A non-blob
// item points at a buffer of exactly the field's stored size holding the value in its stored
// (unencoded) layout: strings NUL-terminated and NUL-padded, numbers in native little-endian
// form, dates as day numbers. A blob item points at a TOptimBlobStream. Record reads and writes
// skip inactive items. An item either borrows its value (the dataset's record buffer slot) or
// owns it (AddOwned), in which case the buffers free it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tessdb/core/field_type.h"
#include "tessdb/storage/optim_blob_stream.h"

namespace tessdb {

class TFieldBufferItem {
 public:
  TFieldBufferItem(void* value, TFieldType type, int32_t size, bool ownsValue);
  ~TFieldBufferItem();
  TFieldBufferItem(const TFieldBufferItem&) = delete;
  TFieldBufferItem& operator=(const TFieldBufferItem&) = delete;

  TFieldType Type() const { return type_; }
  int32_t Size() const { return size_; }
  bool OwnsValue() const { return ownsValue_; }
  bool Active() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  bool IsBlob() const { return IsBlobType(type_); }

  // The value buffer of a non-blob item.
  uint8_t* Buffer() const { return static_cast<uint8_t*>(value_); }
  // The stream of a blob item.
  TOptimBlobStream* Blob() const { return static_cast<TOptimBlobStream*>(value_); }
  // The bytes comparisons read: the buffer, or the blob stream's (loaded) memory.
  const uint8_t* ValueAddress() const;
  // Bytes at ValueAddress(): the buffer size, or the blob's length.
  int64_t ValueSize() const;

  // Value helpers for non-blob items, in the stored layout.
  std::string Text() const;               // string types: up to the first NUL
  void SetText(const std::string& text);  // cut to size - 1, NUL-padded
  template <typename T>
  T Get() const {
    T value{};
    if (value_ != nullptr && size_ > 0 && !IsBlob())
      std::memcpy(&value, value_, std::min(sizeof(T), Bytes()));
    return value;
  }
  template <typename T>
  void Set(T value) {
    if (value_ != nullptr && size_ > 0 && !IsBlob())
      std::memcpy(value_, &value, std::min(sizeof(T), Bytes()));
  }

 private:
  size_t Bytes() const { return static_cast<size_t>(size_); }

  void* value_;
  TFieldType type_;
  int32_t size_;
  bool ownsValue_;
  bool active_ = true;
};

class TFieldBuffers {
 public:
  TFieldBuffers() = default;
  TFieldBuffers(const TFieldBuffers&) = delete;
  TFieldBuffers& operator=(const TFieldBuffers&) = delete;

  // Adds an item over a value the caller keeps alive (a buffer of size bytes, or for blob types
  // a TOptimBlobStream).
  TFieldBufferItem& Add(void* value, TFieldType type, int32_t size);
  // Adds an item owning a new zeroed buffer of size bytes, or a new empty blob stream.
  TFieldBufferItem& AddOwned(TFieldType type, int32_t size);
  int Count() const { return static_cast<int>(items_.size()); }
  TFieldBufferItem& Item(int i) const { return *items_[static_cast<size_t>(i)]; }
  TFieldBufferItem& operator[](int i) const { return Item(i); }
  // Frees every item (and the values they own).
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TFieldBufferItem>> items_;
};

}  // namespace tessdb
