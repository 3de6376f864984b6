// TRecordBuffer: one record of a dataset in memory, laid out as the table's data fields.
//
// The data area holds every non-blob data field's value in its stored form at the field's
// offset (string: declared size + 1 bytes; 2 for small integer, word and Boolean; 4 for integer,
// date, time and auto-increment; 8 for float, currency, date-time and large integer). Blob and
// memo fields live beside it as lazy streams, one per field number, created with the buffer and
// freed with it. The bookmark is the record number; the flag says what the buffer holds.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tessdb/storage/field_buffers.h"
#include "tessdb/storage/optim_blob_stream.h"

namespace tessdb {

enum class TBookmarkFlag : uint8_t { bfCurrent, bfBOF, bfEOF, bfInserted };

class TRecordBuffer {
 public:
  // dataSize bytes of zeroed data; an empty blob stream for every true entry of blobFields
  // (indexed by field number - 1).
  TRecordBuffer(int32_t dataSize, const std::vector<bool>& blobFields);

  uint8_t* Data() { return data_.data(); }
  const uint8_t* Data() const { return data_.data(); }
  int32_t DataSize() const { return static_cast<int32_t>(data_.size()); }
  // The stream of blob field fieldNo (1-based); nullptr for a non-blob field.
  TOptimBlobStream* Blob(int fieldNo) const;

  int32_t bookmark = -1;
  TBookmarkFlag flag = TBookmarkFlag::bfCurrent;

  // Copies data, blob contents, bookmark and flag of other (same layout).
  void Assign(TRecordBuffer& other);

  // The buffer described to the table level (built once by the dataset that owns the buffer;
  // its items point into this buffer).
  std::unique_ptr<TFieldBuffers> fieldBuffers;

 private:
  std::vector<uint8_t> data_;
  std::vector<std::unique_ptr<TOptimBlobStream>> blobs_;
};

}  // namespace tessdb
