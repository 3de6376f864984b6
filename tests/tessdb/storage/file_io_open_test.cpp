// Opening a database: the checks in their order with their messages, both media, the memory
// name syntax, the read-only attribute, share modes, the flushed flag and the password check.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/processing/password_check.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tests/tessdb/storage/temp_dir.h"
#include "tests/tessdb/storage/test_image.h"

namespace tessdb {
namespace {

using testing::Field;
using testing::MakeImage;
using testing::TempDir;

TTableDefinition Table(const std::string& name) {
  return {name, {Field("Name", ftString, 10)}, {}};
}

std::string PlainImage() {
  return MakeImage({}, {Table("First"), Table("Second")});
}

std::string WithHeader(std::string image, const std::string& header12) {
  image.replace(0, kFileHeaderSize, header12);
  return image;
}

// Header bytes: 7 magic bytes then a 5-byte version slot.
std::string Header(const std::string& magic7, const std::string& version5) {
  return magic7 + version5;
}

std::string Str(const char* bytes, size_t n) {
  return std::string(bytes, n);
}

// The message Open raises, or "" when it succeeds.
std::string OpenError(TTessDBFileIO& fileIO, const std::string& name, TTessDBMediumType medium,
                      bool readOnly = false, bool exclusive = false) {
  try {
    fileIO.Open(name, medium, readOnly, exclusive);
    return "";
  } catch (const Exception& error) {
    return error.what();
  }
}

struct HeaderCase {
  std::string label;
  std::string header;  // 12 bytes
  std::string error;   // with %s for the name
};

class OpenHeaderTest : public ::testing::TestWithParam<TTessDBMediumType> {};

TEST_P(OpenHeaderTest, MagicAndVersionChecks) {
  const std::vector<HeaderCase> cases = {
      {"current", Header(Str("TessDB\0", 7), Str("2.0\0\0", 5)), ""},
      {"bad magic", Header(Str("TessDX\0", 7), Str("2.0\0\0", 5)),
       "Database file '%s' is a invalid TessDB"},
      {"magic without NUL", Header("TessDBX", Str("2.0\0\0", 5)),
       "Database file '%s' is a invalid TessDB"},
      {"lower-case magic", Header(Str("tessdb\0", 7), Str("2.0\0\0", 5)),
       "Database file '%s' is a invalid TessDB"},
      {"1.00", Header(Str("TessDB\0", 7), Str("1.00\0", 5)), "Version 1.00 is not compatible"},
      {"1.5", Header(Str("TessDB\0", 7), Str("1.5\0\0", 5)), ""},
      {"1.000 without NUL", Header(Str("TessDB\0", 7), "1.000"), ""},
      {"2", Header(Str("TessDB\0", 7), Str("2\0\0\0\0", 5)), ""},
      {"empty", Header(Str("TessDB\0", 7), Str("\0\0\0\0\0", 5)), ""},
      {"bytes after the NUL", Header(Str("TessDB\0", 7), Str("2.0\0Z", 5)), ""},
      {"2.1", Header(Str("TessDB\0", 7), Str("2.1\0\0", 5)),
       "Version of database file is too High"},
      {"3.0", Header(Str("TessDB\0", 7), Str("3.0\0\0", 5)),
       "Version of database file is too High"},
      {"2.0.1", Header(Str("TessDB\0", 7), "2.0.1"), "Version of database file is too High"},
  };
  TempDir dir;
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.label);
    TMemoryStream memory(WithHeader(PlainImage(), c.header));
    TMemoryDatabaseRegistration registration(memory);
    const std::string name =
        GetParam() == mtDisk ? dir.Write("db", memory.ToString()) : registration.Name();
    TTessDBFileIO fileIO;
    EXPECT_EQ(OpenError(fileIO, name, GetParam()),
              c.error.empty() ? "" : FormatMessage(c.error, name));
    EXPECT_EQ(fileIO.IsOpen(), c.error.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(BothMedia, OpenHeaderTest, ::testing::Values(mtDisk, mtMemory),
                         [](const auto& info) { return info.param == mtDisk ? "Disk" : "Memory"; });

TEST(FileIOOpen, MissingFileAndEmptyOrShortFiles) {
  TempDir dir;
  TTessDBFileIO fileIO;
  const std::string missing = dir.File("missing.tdb");
  EXPECT_EQ(OpenError(fileIO, missing, mtDisk), "Cannot open file " + missing);
  const std::string empty = dir.Write("empty", "");
  EXPECT_EQ(OpenError(fileIO, empty, mtDisk), "Database file '" + empty + "' is a invalid TessDB");
  // A header alone passes the header checks, but the fixed areas behind it are missing.
  const std::string headerOnly = dir.Write("short", PlainImage().substr(0, 3000));
  EXPECT_EQ(OpenError(fileIO, headerOnly, mtDisk), "Database file '" + headerOnly + "' is damaged");
  EXPECT_FALSE(fileIO.IsOpen());
}

TEST(FileIOOpen, MemoryNameSyntax) {
  TMemoryStream memory(PlainImage());
  TMemoryDatabaseRegistration registration(memory);
  const std::string hex = registration.Name().substr(1);
  std::string lower = hex;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string& good : {":" + hex, ":" + lower, ":000" + hex}) {
    TTessDBFileIO fileIO;
    EXPECT_EQ(OpenError(fileIO, good, mtMemory), "") << good;
    EXPECT_TRUE(fileIO.IsOpen());
  }
  // Malformed names, and a well-formed name under which nothing is registered.
  for (const std::string& bad :
       {std::string(), std::string(":"), hex, ":" + hex + "g", ": " + hex, ":" + hex + " ",
        "::" + hex, std::string(":-1"), std::string(":1"), ":" + std::string(40, 'F')}) {
    TTessDBFileIO fileIO;
    EXPECT_EQ(OpenError(fileIO, bad, mtMemory), "Invalid database name '" + bad + "'") << bad;
  }
}

TEST(FileIOOpen, MemoryDatabaseIsBorrowedNotOwned) {
  TMemoryStream memory(PlainImage());
  const std::string name = RegisterMemoryDatabase(memory);
  {
    TTessDBFileIO fileIO;
    fileIO.Open(name, mtMemory, false, false);
    std::vector<std::string> names;
    fileIO.GetTableNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));
    EXPECT_TRUE(fileIO.IsFlushed());
    const uint8_t byte = 7;
    fileIO.WriteRange(100, &byte, 1);
    EXPECT_TRUE(fileIO.IsFlushed());
    fileIO.Close();
    EXPECT_FALSE(fileIO.IsOpen());
  }
  EXPECT_EQ(memory.Memory()[100], 7);  // the stream lives on, written through
  UnregisterMemoryDatabase(memory);
  TTessDBFileIO fileIO;
  EXPECT_EQ(OpenError(fileIO, name, mtMemory), "Invalid database name '" + name + "'");
}

TEST(FileIOOpen, OpenOnOpenObjectDoesNothing) {
  TempDir dir;
  const std::string first = dir.Write("first", MakeImage({}, {Table("A")}));
  const std::string second = dir.Write("second", MakeImage({}, {Table("B")}));
  TTessDBFileIO fileIO;
  fileIO.Open(first, mtDisk, false, false);
  fileIO.Open(second, mtDisk, false, false);
  std::vector<std::string> names;
  fileIO.GetTableNames(names);
  EXPECT_EQ(names, std::vector<std::string>{"A"});
  fileIO.Close();
  fileIO.Close();
  EXPECT_FALSE(fileIO.IsOpen());
  EXPECT_FALSE(fileIO.SetPassword("any"));  // closed
}

TEST(FileIOOpen, ZeroTablesGiveEmptyList) {
  TMemoryStream memory(MakeImage({}, {}));
  TMemoryDatabaseRegistration registration(memory);
  TTessDBFileIO fileIO;
  fileIO.Open(registration.Name(), mtMemory, false, false);
  std::vector<std::string> names = {"stale"};
  fileIO.GetTableNames(names);
  EXPECT_TRUE(names.empty());
}

TEST(FileIOOpen, UnknownAlgorithmNamesFailAndLeaveItClosed) {
  TNewDatabase settings;
  settings.compressed = true;
  settings.encrypted = true;
  settings.cipher = "Gost";
  std::string image = MakeImage(settings, {});
  struct Case {
    int64_t offset;
    std::string name;
    std::string error;
  } cases[] = {
      {kProcessingBlockOffset + kPbCompression, "LZMA",
       "Compression algorithm module 'LZMA' not found"},
      {kProcessingBlockOffset + kPbCipher, "AES", "Encryption algorithm module 'AES' not found"},
  };
  for (const Case& c : cases) {
    std::string damaged = image;
    damaged.replace(static_cast<size_t>(c.offset), c.name.size() + 1, c.name + '\0');
    TMemoryStream memory(damaged);
    TMemoryDatabaseRegistration registration(memory);
    TTessDBFileIO fileIO;
    EXPECT_EQ(OpenError(fileIO, registration.Name(), mtMemory), c.error);
    EXPECT_FALSE(fileIO.IsOpen());
  }
  // Names are looked up without regard to case.
  image.replace(kProcessingBlockOffset + kPbCipher, 5, std::string("gOsT\0", 5));
  TMemoryStream memory(image);
  TMemoryDatabaseRegistration registration(memory);
  TTessDBFileIO fileIO;
  EXPECT_EQ(OpenError(fileIO, registration.Name(), mtMemory), "");
}

TEST(FileIOOpen, ReadOnlyAttributeOpensForReadingOnly) {
  TempDir dir;
  const std::string path = dir.Write("db", PlainImage());
  platform::SetReadOnlyFile(path, true);
  TTessDBFileIO fileIO;
  fileIO.Open(path, mtDisk, /*readOnly=*/false, /*exclusive=*/false);
  EXPECT_TRUE(fileIO.FileIsReadOnly());
  EXPECT_FALSE(fileIO.ReadOnly());  // what the caller asked for
  const uint8_t byte = 1;
  // Root may write to any file; the stream itself refuses because it was opened for reading.
  EXPECT_THROW(fileIO.WriteRange(100, &byte, 1), EStreamError);
  fileIO.Close();

  platform::SetReadOnlyFile(path, false);
  fileIO.Open(path, mtDisk, false, false);
  EXPECT_FALSE(fileIO.FileIsReadOnly());
  fileIO.WriteRange(100, &byte, 1);
  fileIO.Close();

  fileIO.Open(path, mtDisk, /*readOnly=*/true, false);
  EXPECT_TRUE(fileIO.ReadOnly());
  EXPECT_FALSE(fileIO.FileIsReadOnly());
  EXPECT_THROW(fileIO.WriteRange(100, &byte, 1), EStreamError);
}

TEST(FileIOOpen, ExclusiveOpenKeepsEveryoneElseOut) {
  TempDir dir;
  const std::string path = dir.Write("db", PlainImage());
  const std::string inUse =
      "Cannot open file \"" + path + "\". The file is in use by another process";
  TTessDBFileIO holder;
  holder.Open(path, mtDisk, false, /*exclusive=*/true);
  EXPECT_TRUE(holder.Exclusive());
  for (const bool exclusive : {false, true}) {
    for (const bool readOnly : {false, true}) {
      TTessDBFileIO other;
      EXPECT_EQ(OpenError(other, path, mtDisk, readOnly, exclusive), inUse);
      EXPECT_FALSE(other.IsOpen());
    }
  }
  holder.Close();

  // A shared open keeps an exclusive opener out, and one shared open does not stop another.
  TTessDBFileIO shared;
  shared.Open(path, mtDisk, /*readOnly=*/true, false);
  TTessDBFileIO second;
  EXPECT_EQ(OpenError(second, path, mtDisk), "");
  TTessDBFileIO exclusive;
  EXPECT_EQ(OpenError(exclusive, path, mtDisk, false, true), inUse);
  shared.Close();
  second.Close();
  EXPECT_EQ(OpenError(exclusive, path, mtDisk, true, true), "");
}

TEST(FileIOOpen, FlushedFlagFollowsWritesAndFlushes) {
  TempDir dir;
  const std::string path = dir.Write("db", PlainImage());
  TTessDBFileIO fileIO;
  fileIO.Open(path, mtDisk, false, false);
  EXPECT_TRUE(fileIO.IsFlushed());
  const uint8_t byte = 0x5A;
  fileIO.WriteRange(200, &byte, 1);
  EXPECT_FALSE(fileIO.IsFlushed());
  fileIO.Flush();
  EXPECT_TRUE(fileIO.IsFlushed());
  fileIO.Close();
  EXPECT_EQ(static_cast<uint8_t>(testing::ReadFile(path)[200]), 0x5A);
}

// An encrypted database whose password is "Secret".
std::string EncryptedImage(const std::string& cipher, int mode) {
  TNewDatabase settings;
  settings.encrypted = true;
  settings.cipher = cipher;
  settings.mode = static_cast<uint8_t>(mode);
  settings.password = "Secret";
  return MakeImage(settings, {Table("T")});
}

TEST(FileIOPassword, RightWrongAndUnencrypted) {
  {
    TMemoryStream memory(PlainImage());
    TMemoryDatabaseRegistration registration(memory);
    TTessDBFileIO fileIO;
    fileIO.Open(registration.Name(), mtMemory, false, false);
    EXPECT_TRUE(fileIO.SetPassword(""));
    EXPECT_TRUE(fileIO.SetPassword("anything"));
  }
  for (const char* cipher : {"Blowfish", "Twofish", "Gost"}) {
    SCOPED_TRACE(cipher);
    TMemoryStream memory(EncryptedImage(cipher, 1));
    TMemoryDatabaseRegistration registration(memory);
    TTessDBFileIO fileIO;
    fileIO.Open(registration.Name(), mtMemory, false, false);
    EXPECT_EQ(fileIO.ProcessingBlock().checkText, PasswordCheckText("Secret"));
    uint8_t value[5] = {1, 2, 3, 4, 5};
    uint8_t coded[5];
    // A wrong password (case matters) raises nothing and sets no key.
    EXPECT_FALSE(fileIO.SetPassword("secret"));
    EXPECT_FALSE(fileIO.SetPassword(""));
    EXPECT_THROW(fileIO.EncodeBuffer(value, coded, true, 5), EEncryptException);
    EXPECT_TRUE(fileIO.SetPassword("Secret"));
    fileIO.EncodeBuffer(value, coded, true, 5);
    EXPECT_NE(std::memcmp(value, coded, 5), 0);
    uint8_t back[5];
    fileIO.DecodeBuffer(coded, back, true, 5);
    EXPECT_EQ(std::memcmp(value, back, 5), 0);
    // Without the encrypt flag the bytes are copied.
    fileIO.EncodeBuffer(value, coded, false, 5);
    EXPECT_EQ(std::memcmp(value, coded, 5), 0);
  }
}

TEST(FileIOPassword, NoKeyCarriesOverToTheNextFileOpened) {
  TMemoryStream first(EncryptedImage("Blowfish", 0));
  TNewDatabase settings;
  settings.encrypted = true;
  settings.cipher = "Blowfish";
  settings.password = "Other";
  TMemoryStream second(testing::MakeImage(settings, {}));
  TMemoryDatabaseRegistration firstName(first), secondName(second);
  TTessDBFileIO fileIO;
  int progressCalls = 0;
  fileIO.EncryptMgr().OnEncodeProgress = [&](int) { ++progressCalls; };
  fileIO.Open(firstName.Name(), mtMemory, false, false);
  ASSERT_TRUE(fileIO.SetPassword("Secret"));
  fileIO.Close();
  fileIO.Open(secondName.Name(), mtMemory, false, false);
  uint8_t value[8] = {};
  EXPECT_THROW(fileIO.EncodeBuffer(value, value, true, 8), EEncryptException);
  ASSERT_TRUE(fileIO.SetPassword("Other"));
  TMemoryStream plain(std::string(100, 'p')), coded;
  fileIO.EncodeData(plain, coded, false, true);
  EXPECT_GT(progressCalls, 0);  // the progress event survived the new Open
}

}  // namespace
}  // namespace tessdb
