// File-system adapter of the engine (POSIX, no Qt): descriptors with positional reads and writes,
// share modes, the single-byte write lock, the read-only attribute and a millisecond sleep.
//
// Share modes are emulated with open-file-description locks (F_OFD_SETLK) on one byte far past
// any data the format can address: every ordinary open holds a shared lock there, an exclusive
// open holds an exclusive one, so an exclusive open and any other open of the same file exclude
// each other, across processes and between descriptors of one process alike. OFD locks belong to
// the open file description, so closing another descriptor of the same file never drops them.
//
// The read-only attribute is "no write permission bit at all". It is read from the mode bits, not
// from access(): a process running as root passes every permission check.
//
// Failures raise FileError carrying the operating system's text (or a text of our own for a share
// conflict); the engine wraps it into its own stream error.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& message) : std::runtime_error(message) {}
};

enum class FileAccess { kRead, kReadWrite };
enum class FileShare { kShared, kExclusive };

// Byte whose lock stands for the share mode; positions of the format are int32, so no data is
// ever there.
constexpr int64_t kShareLockOffset = int64_t{1} << 62;

// An open file. Movable, not copyable; the destructor closes the descriptor and with it the locks.
class File {
 public:
  // Opens an existing file. Fails (FileError) when the file cannot be opened with that access or
  // when the share mode conflicts with another open of the file. An exclusive open needs write
  // permission even for reading only (its share lock is a write lock); root always has it.
  static File Open(const std::string& path, FileAccess access, FileShare share);
  // Creates a new file for reading and writing; fails when the path already exists.
  static File CreateNew(const std::string& path);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Reads up to count bytes at position; returns the number read (short only at the end of file).
  int64_t ReadAt(int64_t position, void* buffer, int64_t count);
  // Writes all count bytes at position, growing the file as needed.
  void WriteAt(int64_t position, const void* buffer, int64_t count);
  int64_t Size();
  void Truncate(int64_t size);
  // Makes the system write its buffers of the file to the device.
  void Sync();

  bool Writable() const { return access_ == FileAccess::kReadWrite; }

  // Tries once to lock the byte at offset against the locks of every other open file description:
  // exclusively when the descriptor allows writing (every read-write open, and exclusive opens),
  // otherwise shared: a descriptor opened for reading cannot hold a write lock, and a shared lock
  // still keeps out every writer's exclusive one.
  bool TryLockByte(int64_t offset);
  void UnlockByte(int64_t offset);

 private:
  File(int fd, FileAccess access) : fd_(fd), access_(access) {}
  void Close() noexcept;

  int fd_ = -1;
  FileAccess access_ = FileAccess::kRead;
  bool lockExclusive_ = false;  // the descriptor is open for writing
};

bool FileExists(const std::string& path);
// The read-only attribute: the file has no write permission bit (owner, group or other).
bool IsReadOnlyFile(const std::string& path);
// Sets the attribute by clearing every write bit, or clears it by restoring the owner's write bit.
void SetReadOnlyFile(const std::string& path, bool readOnly);
void SleepMilliseconds(int milliseconds);

}  // namespace platform
