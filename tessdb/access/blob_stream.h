// TTessBlobStream: the stream a caller gets for one blob or memo field of the dataset's current
// record buffer.
//
// Read and read-write streams start with a copy of the field's content (loading the lazy slot
// stream from the file) at position 0; a write stream starts empty and empties the field at once.
// In write and read-write mode every write copies the whole content back into the record buffer,
// marks the field modified and notifies a field change; a read stream's writes change only the
// stream. Write modes need the dataset in edit or insert state.
#pragma once

#include <cstdint>

#include "tessdb/core/stream.h"

namespace tessdb {

class TField;
class TTDEDataSet;
class TOptimBlobStream;

enum class TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

class TTessBlobStream : public TStream {
 public:
  // field must be a blob or memo field of a TTDEDataSet.
  TTessBlobStream(TField& field, TBlobStreamMode mode);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return content_.Size(); }
  void SetSize(int64_t size) override;

  bool Modified() const { return modified_; }
  TBlobStreamMode Mode() const { return mode_; }

 private:
  // The field's slot stream in the dataset's current buffer, or nullptr.
  TOptimBlobStream* Slot() const;
  void CopyBack();

  TField& field_;
  TTDEDataSet& dataSet_;
  int fieldNo_;
  TBlobStreamMode mode_;
  bool modified_ = false;
  TMemoryStream content_;
};

}  // namespace tessdb
