#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

[[noreturn]] void ThrowErrno(int error) {
  throw FileError(std::strerror(error));
}

// One OFD lock request on a single byte; F_UNLCK releases it.
bool SetByteLock(int fd, int64_t offset, short type) {
  struct flock request {};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = offset;
  request.l_len = 1;
  request.l_pid = 0;  // must be 0 for OFD locks
  while (fcntl(fd, F_OFD_SETLK, &request) == -1) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    ThrowErrno(errno);
  }
  return true;
}

int OpenDescriptor(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd == -1 && errno == EINTR);
  return fd;
}

}  // namespace

File File::Open(const std::string& path, FileAccess access, FileShare share) {
  // An exclusive share lock is a write lock, which needs a descriptor open for writing; an
  // exclusive open for reading therefore asks for write access too but never writes.
  const bool writeDescriptor = access == FileAccess::kReadWrite || share == FileShare::kExclusive;
  const int fd = OpenDescriptor(path, writeDescriptor ? O_RDWR : O_RDONLY);
  if (fd == -1 && access == FileAccess::kRead && writeDescriptor &&
      (errno == EACCES || errno == EROFS || errno == EPERM)) {
    throw FileError("Exclusive access needs write permission on the file");
  }
  if (fd == -1) ThrowErrno(errno);
  File file(fd, access);
  file.lockExclusive_ = writeDescriptor;
  if (!SetByteLock(fd, kShareLockOffset, share == FileShare::kExclusive ? F_WRLCK : F_RDLCK)) {
    throw FileError("The file is in use by another process");
  }
  return file;
}

File File::CreateNew(const std::string& path) {
  const int fd = OpenDescriptor(path, O_RDWR | O_CREAT | O_EXCL);
  if (fd == -1) ThrowErrno(errno);
  File file(fd, FileAccess::kReadWrite);
  file.lockExclusive_ = true;
  if (!SetByteLock(fd, kShareLockOffset, F_RDLCK)) {
    throw FileError("The file is in use by another process");
  }
  return file;
}

File::File(File&& other) noexcept
    : fd_(other.fd_), access_(other.access_), lockExclusive_(other.lockExclusive_) {
  other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    access_ = other.access_;
    lockExclusive_ = other.lockExclusive_;
    other.fd_ = -1;
  }
  return *this;
}

File::~File() {
  Close();
}

void File::Close() noexcept {
  if (fd_ != -1) ::close(fd_);
  fd_ = -1;
}

int64_t File::ReadAt(int64_t position, void* buffer, int64_t count) {
  auto* bytes = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(fd_, bytes + done, static_cast<size_t>(count - done), position + done);
    if (n == -1) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

void File::WriteAt(int64_t position, const void* buffer, int64_t count) {
  if (!Writable()) ThrowErrno(EBADF);
  const auto* bytes = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pwrite(fd_, bytes + done, static_cast<size_t>(count - done), position + done);
    if (n == -1) {
      if (errno == EINTR) continue;
      ThrowErrno(errno);
    }
    done += n;
  }
}

int64_t File::Size() {
  struct stat info {};
  if (::fstat(fd_, &info) == -1) ThrowErrno(errno);
  return info.st_size;
}

void File::Truncate(int64_t size) {
  if (!Writable()) ThrowErrno(EBADF);
  if (::ftruncate(fd_, size) == -1) ThrowErrno(errno);
}

void File::Sync() {
  if (::fsync(fd_) == -1 && errno != EINVAL) ThrowErrno(errno);
}

bool File::TryLockByte(int64_t offset) {
  return SetByteLock(fd_, offset, lockExclusive_ ? F_WRLCK : F_RDLCK);
}

void File::UnlockByte(int64_t offset) {
  SetByteLock(fd_, offset, F_UNLCK);
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == -1) ThrowErrno(errno);
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void SetReadOnlyFile(const std::string& path, bool readOnly) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == -1) ThrowErrno(errno);
  mode_t mode = info.st_mode & 07777;
  mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  if (::chmod(path.c_str(), mode) == -1) ThrowErrno(errno);
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  struct timespec wait {
    milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L
  };
  while (::nanosleep(&wait, &wait) == -1 && errno == EINTR) {
  }
}

}  // namespace platform
