#include "tessdb/storage/file_stream.h"

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

platform::File OpenFile(const std::string& fileName, bool readOnly, bool exclusive) {
  try {
    return platform::File::Open(
        fileName, readOnly ? platform::FileAccess::kRead : platform::FileAccess::kReadWrite,
        exclusive ? platform::FileShare::kExclusive : platform::FileShare::kShared);
  } catch (const platform::FileError& error) {
    throw EStreamError("Cannot open file \"" + fileName + "\". " + error.what());
  }
}

// Runs a file operation, turning a system failure into the engine's stream error.
template <typename Operation>
auto Guarded(const char* message, Operation operation) {
  try {
    return operation();
  } catch (const platform::FileError&) {
    throw EStreamError(message);
  }
}

constexpr char kReadError[] = "Stream read error";
constexpr char kWriteError[] = "Stream write error";

}  // namespace

TTessDBFileStream::TTessDBFileStream(const std::string& fileName, bool readOnly, bool exclusive)
    : file_(OpenFile(fileName, readOnly, exclusive)) {}

int64_t TTessDBFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  const int64_t n = ReadAt(position_, buffer, count);
  position_ += n;
  return n;
}

int64_t TTessDBFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (ReadOnly()) return 0;  // WriteBuffer turns this into "Stream write error"
  Guarded(kWriteError, [&] { file_.WriteAt(position_, buffer, count); });
  position_ += count;
  flushed_ = false;
  return count;
}

int64_t TTessDBFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning:
      position_ = offset;
      break;
    case TSeekOrigin::soCurrent:
      position_ += offset;
      break;
    case TSeekOrigin::soEnd:
      position_ = Size() + offset;
      break;
  }
  if (position_ < 0) position_ = 0;
  return position_;
}

void TTessDBFileStream::SetSize(int64_t size) {
  if (ReadOnly()) throw EStreamError(kWriteError);
  Guarded(kWriteError, [&] { file_.Truncate(size); });
  flushed_ = false;
}

void TTessDBFileStream::Flush() {
  Guarded(kWriteError, [&] { file_.Sync(); });
  flushed_ = true;
}

int64_t TTessDBFileStream::ReadAt(int64_t position, void* buffer, int64_t count) {
  return Guarded(kReadError, [&] { return file_.ReadAt(position, buffer, count); });
}

int64_t TTessDBFileStream::Size() {
  return Guarded(kReadError, [&] { return file_.Size(); });
}

}  // namespace tessdb
