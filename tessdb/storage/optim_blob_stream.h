// TOptimBlobStream: the in-memory stream of one blob field in a record buffer, filled lazily.
//
// A record read gives the stream the file position of the field's blob descriptor instead of the
// blob's bytes (SetSource): the stream is then unloaded. The first read, seek, size query or
// memory access loads the decoded blob through the file object; a write or resize before that
// replaces the content without loading it, as does Clear. A stream never given a source is an
// ordinary empty memory stream. The file object must outlive an unloaded stream.
#pragma once

#include <cstdint>

#include "tessdb/core/stream.h"

namespace tessdb {

class TTessDBFileIO;

class TOptimBlobStream : public TStream {
 public:
  TOptimBlobStream() = default;
  TOptimBlobStream(const TOptimBlobStream&) = delete;
  TOptimBlobStream& operator=(const TOptimBlobStream&) = delete;

  // Forgets the content; the next access loads the blob whose descriptor is at
  // descriptorPosition, decoded with the given flags.
  void SetSource(TTessDBFileIO& fileIO, int64_t descriptorPosition, bool compress, bool encrypt);
  bool Loaded() const { return fileIO_ == nullptr; }
  // The descriptor position of an unloaded stream, -1 once loaded or replaced.
  int64_t SourcePosition() const { return fileIO_ ? descriptorPosition_ : -1; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  // Empties the stream without loading it.
  void Clear();

  // The loaded content (loads first).
  uint8_t* Memory();
  TMemoryStream& Content();

 private:
  void Load();
  // Drops an unloaded source: the content starts empty.
  void Replace();

  TMemoryStream content_;
  TTessDBFileIO* fileIO_ = nullptr;  // set while unloaded
  int64_t descriptorPosition_ = -1;
  bool compress_ = false;
  bool encrypt_ = false;
};

}  // namespace tessdb
