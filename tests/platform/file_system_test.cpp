// The file adapter: the read-only attribute as mode bits, share modes and the byte lock, which
// belong to each open file description (not to the process) and survive the closing of other
// descriptors of the same file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <fstream>

#include "platform/file_system.h"

namespace platform {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  FileSystemTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "platform-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    path_ = (dir_ / "file").string();
    std::ofstream(path_) << "0123456789";
  }
  ~FileSystemTest() override { std::filesystem::remove_all(dir_); }

  mode_t Mode() {
    struct stat info {};
    ::stat(path_.c_str(), &info);
    return info.st_mode & 0777;
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(FileSystemTest, ReadOnlyAttributeIsTheAbsenceOfEveryWriteBit) {
  ::chmod(path_.c_str(), 0664);
  EXPECT_FALSE(IsReadOnlyFile(path_));
  SetReadOnlyFile(path_, true);
  EXPECT_EQ(Mode(), 0444u);
  EXPECT_TRUE(IsReadOnlyFile(path_));
  SetReadOnlyFile(path_, false);
  EXPECT_EQ(Mode(), 0644u);
  // Any one write bit makes the file writable for someone.
  ::chmod(path_.c_str(), 0402);
  EXPECT_FALSE(IsReadOnlyFile(path_));
  EXPECT_TRUE(FileExists(path_));
  EXPECT_FALSE(FileExists((dir_ / "none").string()));
  EXPECT_FALSE(FileExists(dir_.string()));
}

TEST_F(FileSystemTest, ShareModes) {
  {
    File exclusive = File::Open(path_, FileAccess::kRead, FileShare::kExclusive);
    EXPECT_THROW(File::Open(path_, FileAccess::kRead, FileShare::kShared), FileError);
    EXPECT_THROW(File::Open(path_, FileAccess::kReadWrite, FileShare::kExclusive), FileError);
  }
  File first = File::Open(path_, FileAccess::kRead, FileShare::kShared);
  {
    File second = File::Open(path_, FileAccess::kReadWrite, FileShare::kShared);
    File third = File::Open(path_, FileAccess::kRead, FileShare::kShared);
  }
  // Closing the other descriptors left the first one's shared lock in place.
  EXPECT_THROW(File::Open(path_, FileAccess::kReadWrite, FileShare::kExclusive), FileError);
  try {
    File::Open(path_, FileAccess::kRead, FileShare::kExclusive);
  } catch (const FileError& error) {
    EXPECT_STREQ(error.what(), "The file is in use by another process");
  }
  File moved = std::move(first);
  EXPECT_THROW(File::Open(path_, FileAccess::kReadWrite, FileShare::kExclusive), FileError);
  { File gone = std::move(moved); }
  File::Open(path_, FileAccess::kReadWrite, FileShare::kExclusive);
}

TEST_F(FileSystemTest, ByteLockExcludesWritersAndLetsReadersShare) {
  File writer = File::Open(path_, FileAccess::kReadWrite, FileShare::kShared);
  File other = File::Open(path_, FileAccess::kReadWrite, FileShare::kShared);
  File reader = File::Open(path_, FileAccess::kRead, FileShare::kShared);
  File reader2 = File::Open(path_, FileAccess::kRead, FileShare::kShared);
  ASSERT_TRUE(writer.TryLockByte(1));
  EXPECT_TRUE(writer.TryLockByte(1));  // asking again on the same open succeeds
  EXPECT_FALSE(other.TryLockByte(1));
  EXPECT_FALSE(reader.TryLockByte(1));
  EXPECT_TRUE(other.TryLockByte(2));  // one byte only
  writer.UnlockByte(1);
  // Readers share the byte with each other but keep writers out.
  EXPECT_TRUE(reader.TryLockByte(1));
  EXPECT_TRUE(reader2.TryLockByte(1));
  EXPECT_FALSE(writer.TryLockByte(1));
  reader.UnlockByte(1);
  reader2.UnlockByte(1);
  EXPECT_TRUE(other.TryLockByte(1));
}

TEST_F(FileSystemTest, PositionalReadsAndWrites) {
  File file = File::Open(path_, FileAccess::kReadWrite, FileShare::kShared);
  char buffer[8] = {};
  EXPECT_EQ(file.ReadAt(7, buffer, 8), 3);
  EXPECT_EQ(std::string(buffer, 3), "789");
  file.WriteAt(12, "ab", 2);
  EXPECT_EQ(file.Size(), 14);
  EXPECT_EQ(file.ReadAt(9, buffer, 5), 5);
  EXPECT_EQ(std::string(buffer, 5), std::string("9\0\0ab", 5));
  file.Truncate(4);
  EXPECT_EQ(file.Size(), 4);
  file.Sync();
  File reader = File::Open(path_, FileAccess::kRead, FileShare::kShared);
  EXPECT_THROW(reader.WriteAt(0, "x", 1), FileError);
  EXPECT_THROW(File::Open((dir_ / "none").string(), FileAccess::kRead, FileShare::kShared),
               FileError);
  EXPECT_THROW(File::CreateNew(path_), FileError);
}

}  // namespace
}  // namespace platform
