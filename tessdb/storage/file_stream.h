// TTessDBFileStream: the stream over a database file on disk (mtDisk). It adds to a stream the
// flushed flag (true after opening and after every Flush, false after every write), the byte
// lock used as the database's cross-process write lock, and the share modes of platform::File.
//
// Open failures raise EStreamError 'Cannot open file "<name>". <reason>'; a failing read or write
// of the system raises EStreamError "Stream read error" / "Stream write error".
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "tessdb/core/stream.h"

namespace tessdb {

class TTessDBFileStream : public TStream {
 public:
  TTessDBFileStream(const std::string& fileName, bool readOnly, bool exclusive);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;

  // Reads up to count bytes at an absolute position without moving the stream position: one
  // system call, for the hot record-read path.
  int64_t ReadAt(int64_t position, void* buffer, int64_t count);

  bool IsFlushed() const { return flushed_; }
  void Flush();

  // One attempt at the cross-process lock of byte `offset`; see platform::File::TryLockByte.
  bool TryLockByte(int64_t offset) { return file_.TryLockByte(offset); }
  void UnlockByte(int64_t offset) { file_.UnlockByte(offset); }

  bool ReadOnly() const { return !file_.Writable(); }

 private:
  platform::File file_;
  int64_t position_ = 0;
  bool flushed_ = true;
};

}  // namespace tessdb
