// The cross-process write lock: another process holds byte 1 while this one asks for it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "tessdb/core/exceptions.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tests/tessdb/storage/temp_dir.h"
#include "tests/tessdb/storage/test_image.h"

namespace tessdb {
namespace {

// A child process that opens the database, takes the lock, reports it through a pipe, and holds
// it until the parent writes a byte (or closes its end); then it unlocks and exits.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      char status = 'E';
      try {
        TTessDBFileIO fileIO;
        fileIO.Open(path, mtDisk, false, false);
        fileIO.Lock(1, 1);
        status = 'L';
        (void)!::write(ready[1], &status, 1);
        char byte;
        (void)!::read(release[0], &byte, 1);
        fileIO.Unlock();
        status = 'U';
        (void)!::write(ready[1], &status, 1);
        (void)!::read(release[0], &byte, 1);  // stay alive, file open, until told to go
      } catch (...) {
        (void)!::write(ready[1], &status, 1);
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    ready_ = ready[0];
    release_ = release[1];
  }
  ~LockHolder() {
    ::close(release_);
    ::close(ready_);
    int status;
    ::waitpid(pid_, &status, 0);
  }

  // Next state the child reports: 'L' locked, 'U' unlocked, 'E' failed.
  char Next() {
    char status = 'E';
    if (::read(ready_, &status, 1) != 1) return 'E';
    return status;
  }
  void Signal() {
    const char byte = 'x';
    (void)!::write(release_, &byte, 1);
  }

 private:
  pid_t pid_ = -1;
  int ready_ = -1;
  int release_ = -1;
};

class FileIOLockTest : public ::testing::Test {
 protected:
  FileIOLockTest()
      : path_(dir_.Write("db",
                         testing::MakeImage({}, {{"T", {testing::Field("N", ftInteger)}, {}}}))) {}

  testing::TempDir dir_;
  std::string path_;
};

TEST_F(FileIOLockTest, TimesOutAfterRetryCountRefusalsWhileAnotherProcessHoldsIt) {
  LockHolder holder(path_);
  ASSERT_EQ(holder.Next(), 'L');
  for (const bool readOnly : {false, true}) {
    TTessDBFileIO fileIO;
    fileIO.Open(path_, mtDisk, readOnly, false);
    int waits = 0;
    fileIO.OnLockWait = [&](int refusals) { EXPECT_EQ(refusals, ++waits); };
    try {
      fileIO.Lock(/*lockRetryCount=*/3, /*lockWaitTime=*/1);
      FAIL() << "Lock succeeded while another process held it";
    } catch (const EDatabaseError& error) {
      EXPECT_STREQ(error.what(), "Wait for unlock time out");
    }
    // Four refused requests, three pauses between them.
    EXPECT_EQ(waits, 3);
  }

  // Once the other process lets go, the lock is granted; a retry count of 0 waits for that.
  TTessDBFileIO fileIO;
  fileIO.Open(path_, mtDisk, false, false);
  int waits = 0;
  fileIO.OnLockWait = [&](int refusals) {
    waits = refusals;
    if (refusals == 5) holder.Signal();
  };
  fileIO.Lock(/*lockRetryCount=*/0, /*lockWaitTime=*/2);
  EXPECT_GE(waits, 5);
  EXPECT_EQ(holder.Next(), 'U');
  fileIO.Unlock();
}

TEST_F(FileIOLockTest, LockOfOneOpenKeepsOtherOpensOfThisProcessOut) {
  // The lock belongs to the open file, not to the process, so two databases opened on one file
  // in one process exclude each other as two processes would.
  TTessDBFileIO first, second;
  first.Open(path_, mtDisk, false, false);
  second.Open(path_, mtDisk, false, false);
  {
    TFileLockGuard guard(first, 1, 1);
    EXPECT_THROW(second.Lock(2, 1), EDatabaseError);
  }
  second.Lock(2, 1);
  second.Unlock();
  // Closing another open of the same file does not drop a held lock.
  first.Lock(1, 1);
  TTessDBFileIO third;
  third.Open(path_, mtDisk, false, false);
  third.Close();
  EXPECT_THROW(second.Lock(1, 1), EDatabaseError);
  first.Unlock();
}

TEST_F(FileIOLockTest, MemoryDatabasesAndClosedObjectsHaveNoLock) {
  TMemoryStream memory(testing::ReadFile(path_));
  TMemoryDatabaseRegistration registration(memory);
  TTessDBFileIO first, second;
  first.Open(registration.Name(), mtMemory, false, false);
  second.Open(registration.Name(), mtMemory, false, false);
  first.Lock(1, 1);
  second.Lock(1, 1);
  second.Unlock();
  first.Unlock();
  TTessDBFileIO closed;
  closed.Lock(1, 1);
  closed.Unlock();
}

}  // namespace
}  // namespace tessdb
