// Several writers of one database file: every change reloads a table that another writer changed
// since it was loaded, so no record is lost and every index chain stays complete and in order.
// The concurrent cases run a real second process (fork).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <set>

#include "table_fixture.h"
#include "tessdb/core/exceptions.h"
#include "tests/tessdb/storage/temp_dir.h"

namespace tessdb::testing {
namespace {

// Name String(12), Num Integer; indexes on Num and on Name.
TTableDefinition SharedTable() {
  TTableDefinition table;
  table.name = "Shared";
  table.fields = {MakeField("Name", ftString, 12), MakeField("Num", ftInteger)};
  table.indexes = {MakeIndex("ByNum", 0, {1}), MakeIndex("ByName", tiCaseInsensitive, {0})};
  return table;
}

std::string NewDatabaseFile(const TempDir& dir) {
  TMemoryStream image;
  CreateDatabase(image, TNewDatabase{});
  AddTable(image, SharedTable());
  const std::string path = dir.File("shared.tdb");
  WriteNewFile(path, image);
  return path;
}

// One writer: its own file object and table image over the file.
struct Writer {
  explicit Writer(const std::string& path) {
    fileIO.Open(path, mtDisk, false, false);
    table = std::make_unique<TTessTableIO>(fileIO, "Shared");
    table->SetLockParameters(0, 1);  // wait as long as it takes, polling every millisecond
    table->OnReloaded = [this] { ++reloads; };
    table->Open();
    buffers = NewBuffers(*table);
  }
  void Append(const std::string& name, int32_t num) {
    SetValues(*buffers, {name, StoredBytes(num)});
    table->AppendRecord(*buffers, false, nullptr);
  }
  TTessDBFileIO fileIO;
  std::unique_ptr<TTessTableIO> table;
  std::unique_ptr<TFieldBuffers> buffers;
  int reloads = 0;
};

// Children started through one gate begin their work together, once the gate opens, so that
// their changes interleave.
class StartGate {
 public:
  StartGate() { EXPECT_EQ(pipe(fds_), 0); }
  ~StartGate() {
    Open();
    if (fds_[0] >= 0) close(fds_[0]);
  }
  // Runs body in a child process that first waits for the gate; the child's exit status reports
  // failure by an exception.
  pid_t RunChild(const std::function<void()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds_[1]);
      char byte;
      while (read(fds_[0], &byte, 1) > 0) {
      }
      int status = 0;
      try {
        body();
      } catch (const std::exception& error) {
        std::fprintf(stderr, "child failed: %s\n", error.what());
        status = 1;
      }
      _exit(status);
    }
    return pid;
  }
  void Open() {
    if (fds_[1] >= 0) close(fds_[1]);
    fds_[1] = -1;
  }

 private:
  int fds_[2] = {-1, -1};
};

void ExpectChildSucceeded(pid_t pid) {
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

// A writer polls a refused lock every millisecond, so one that changes without pause keeps the
// lock to itself; real writers do other work between changes, which lets the others in.
void Pause(std::mt19937& random) {
  usleep(static_cast<useconds_t>(random() % 400));
}

// Loads the file afresh: every index list holds every one of the live records, sorted by its key;
// recordCount counts the deleted ones too.
void ExpectSound(const std::string& path, size_t records, int32_t recordCount) {
  Writer reader(path);
  TTessTableIO& table = *reader.table;
  ASSERT_EQ(table.RecordCount(), recordCount);
  ASSERT_EQ(table.GetList(0).size(), records);
  std::vector<std::string> names;
  std::vector<int32_t> nums;
  for (size_t p = 0; p < records; ++p) {
    table.ReadRecord(*reader.buffers, table.GetList(0), static_cast<int>(p));
    const auto recordNo = static_cast<size_t>(table.GetList(0)[p].recordNo);
    names.resize(std::max(names.size(), recordNo + 1));
    nums.resize(names.size());
    names[recordNo] = (*reader.buffers)[0].Text();
    nums[recordNo] = (*reader.buffers)[1].Get<int32_t>();
  }
  for (int k = 1; k <= 2; ++k) {
    const TRecordList& list = table.GetList(k);
    ASSERT_EQ(list.size(), records) << "index " << k - 1 << " lost records";
    std::set<int32_t> seen;
    for (size_t p = 0; p < list.size(); ++p) {
      seen.insert(list[p].recordNo);
      if (p == 0) continue;
      const auto a = static_cast<size_t>(list[p - 1].recordNo);
      const auto b = static_cast<size_t>(list[p].recordNo);
      if (k == 1) {
        ASSERT_LE(nums[a], nums[b]) << "index ByNum out of order at " << p;
      } else {
        ASSERT_LE(names[a], names[b]) << "index ByName out of order at " << p;  // all lower case
      }
    }
    EXPECT_EQ(seen.size(), records);
  }
}

TEST(MultiProcess, ChangeOfAnotherWriterReloadsFirst) {
  TempDir dir;
  const std::string path = NewDatabaseFile(dir);
  Writer a(path);
  Writer b(path);
  a.Append("a", 5);
  b.Append("b", 1);  // b's image was loaded before a's append
  EXPECT_EQ(b.reloads, 1);
  EXPECT_EQ(b.table->GetList(0).back().recordNo, 1);
  b.Append("c", 3);
  EXPECT_EQ(b.reloads, 1);          // its own change is no reason to reload
  a.table->DeleteRecord(0, false);  // a reloads, then deletes "a"
  EXPECT_EQ(a.reloads, 1);
  ASSERT_EQ(a.table->GetList(1).size(), 2u);
  // b still shows "a" at physical position 0; deleting it again is refused, nothing is lost.
  EXPECT_THROW(b.table->DeleteRecord(0, false), EDatabaseError);
  EXPECT_EQ(b.table->GetList(0).size(), 2u);
  ExpectSound(path, 2, 3);  // "a" is gone, "b" and "c" remain
}

TEST(MultiProcess, LockHeldElsewhereTimesOut) {
  TempDir dir;
  const std::string path = NewDatabaseFile(dir);
  TTessDBFileIO holder;
  holder.Open(path, mtDisk, false, false);
  holder.Lock();
  TTessDBFileIO fileIO;
  fileIO.Open(path, mtDisk, false, false);
  TTessTableIO table(fileIO, "Shared");
  table.SetLockParameters(2, 1);
  try {
    table.Open();
    ADD_FAILURE() << "loaded without the lock";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Wait for unlock time out");
  }
  EXPECT_EQ(table.OpenCount(), 0);
  holder.Unlock();
  table.Open();
  holder.Lock();
  auto buffers = NewBuffers(table);
  EXPECT_THROW(table.AppendRecord(*buffers, false, nullptr), EDatabaseError);
  holder.Unlock();
  table.AppendRecord(*buffers, false, nullptr);
  EXPECT_FALSE(fileIO.IsFlushed());
  table.AppendRecord(*buffers, true, nullptr);
  EXPECT_TRUE(fileIO.IsFlushed());
  EXPECT_EQ(table.RecordCount(), 2);
}

TEST(MultiProcess, TwoProcessesAppendingConcurrently) {
  TempDir dir;
  const std::string path = NewDatabaseFile(dir);
  constexpr int kEach = 2000;
  auto appender = [&](int seed) {
    return [&path, seed] {
      Writer writer(path);
      std::mt19937 random(static_cast<uint32_t>(seed));
      for (int n = 0; n < kEach; ++n) {
        const auto num = static_cast<int32_t>(random() % 500);
        char name[16];
        std::snprintf(name, sizeof name, "p%dn%u", seed, static_cast<unsigned>(random() % 1000));
        writer.Append(name, num);
        Pause(random);
      }
    };
  };
  StartGate gate;
  const pid_t first = gate.RunChild(appender(1));
  const pid_t second = gate.RunChild(appender(2));
  gate.Open();
  ExpectChildSucceeded(first);
  ExpectChildSucceeded(second);
  ExpectSound(path, 2 * kEach, 2 * kEach);
}

TEST(MultiProcess, OneAppendsWhileTheOtherModifiesKeys) {
  TempDir dir;
  const std::string path = NewDatabaseFile(dir);
  constexpr int kInitial = 300;
  constexpr int kChanges = 2000;
  {
    Writer setup(path);
    for (int n = 0; n < kInitial; ++n) setup.Append("init" + std::to_string(n), n);
  }
  StartGate gate;
  const pid_t appender = gate.RunChild([&] {
    Writer writer(path);
    std::mt19937 random(7);
    for (int n = 0; n < kChanges; ++n) {
      writer.Append("app" + std::to_string(random() % 997), static_cast<int32_t>(random() % 1000));
      Pause(random);
    }
  });
  const pid_t modifier = gate.RunChild([&] {
    Writer writer(path);
    std::mt19937 random(11);
    for (int n = 0; n < kChanges; ++n) {
      TTessTableIO& table = *writer.table;
      // One of the records that existed from the start, at its position in this image.
      const int position = static_cast<int>(random() % kInitial);
      table.ReadRecord(*writer.buffers, table.GetList(0), position);
      (*writer.buffers)[0].SetText("mod" + std::to_string(random() % 997));
      (*writer.buffers)[1].Set<int32_t>(static_cast<int32_t>(random() % 1000));
      table.ModifyRecord(*writer.buffers, position, nullptr, false);
      Pause(random);
    }
  });
  gate.Open();
  ExpectChildSucceeded(appender);
  ExpectChildSucceeded(modifier);
  ExpectSound(path, kInitial + kChanges, kInitial + kChanges);
}

}  // namespace
}  // namespace tessdb::testing
