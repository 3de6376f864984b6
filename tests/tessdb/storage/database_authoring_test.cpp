// Authoring of new databases: the exact bytes of the fixed areas and of a new table, and the
// refusal of definitions a file cannot hold.
#include <gtest/gtest.h>

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/password_check.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/memory_databases.h"
#include "tests/tessdb/storage/temp_dir.h"
#include "tests/tessdb/storage/test_image.h"

namespace tessdb {
namespace {

using testing::Field;

uint8_t At(const std::string& image, int64_t offset) {
  return static_cast<uint8_t>(image[static_cast<size_t>(offset)]);
}

TTableDefinition Catalog() {
  TIndexEntry byName{"ByName", tiPrimary | tiUnique, {1, 0}, 1234, 99};  // tab and head ignored
  TIndexEntry byCode{"ByCode", tiDescending | tiCaseInsensitive, {2}, 0, 0};
  return {"Catalog",
          {Field("Id", ftAutoInc), Field("Name", ftString, 40), Field("Code", ftFixedChar, 8),
           Field("Photo", ftGraphic, 0, /*processed=*/false)},
          {byName, byCode}};
}

TEST(DatabaseAuthoring, FixedAreasByteForByte) {
  TNewDatabase settings;
  settings.compressed = true;
  settings.level = 3;
  settings.encrypted = true;
  settings.mode = 4;
  settings.cipher = "Gost";
  settings.verifyWrites = true;
  settings.password = "Pa55";
  TMemoryStream stream;
  CreateDatabase(stream, settings);
  const std::string image = stream.ToString();
  ASSERT_EQ(image.size(), static_cast<size_t>(kFirstAreaOffset));
  EXPECT_EQ(image.substr(0, 12), std::string("TessDB\0"
                                             "2.0\0\0",
                                             12));
  const int64_t b = kProcessingBlockOffset;
  EXPECT_EQ(At(image, b), 1);
  EXPECT_EQ(At(image, b + 1), 3);
  EXPECT_EQ(image.substr(b + 2, 5), std::string("ZLIB\0", 5));
  EXPECT_EQ(At(image, b + 35), 1);
  EXPECT_EQ(At(image, b + 36), 4);
  EXPECT_EQ(image.substr(b + 37, 5), std::string("Gost\0", 5));
  EXPECT_EQ(At(image, b + 70), 1);
  const std::string check = PasswordCheckText("Pa55");
  EXPECT_EQ(image.substr(b + 327, check.size() + 1), check + '\0');
  EXPECT_EQ(GetInt32(reinterpret_cast<const uint8_t*>(&image[kDirectoryOffset])), 0);
  // Everything else is zero.
  std::string cleared = image;
  for (const auto& [offset, length] :
       std::vector<std::pair<int64_t, size_t>>{{0, 12},
                                               {b, 2},
                                               {b + 2, 4},
                                               {b + 35, 2},
                                               {b + 37, 4},
                                               {b + 70, 1},
                                               {b + 327, check.size()}}) {
    cleared.replace(static_cast<size_t>(offset), length, length, '\0');
  }
  EXPECT_EQ(cleared, std::string(image.size(), '\0'));

  // Without encryption no check text, cipher or mode is stored.
  TMemoryStream plain;
  CreateDatabase(plain, TNewDatabase{});
  EXPECT_EQ(plain.ToString().substr(b, kProcessingBlockSize),
            std::string("\0\1", 2) + std::string(kProcessingBlockSize - 2, '\0'));
}

TEST(DatabaseAuthoring, TablesAreAppendedAndReadBackByTheFileObject) {
  TMemoryStream stream;
  CreateDatabase(stream, TNewDatabase{});
  AddTable(stream, Catalog());
  AddTable(stream, {"Empty", {}, {}});
  const std::string image = stream.ToString();
  EXPECT_EQ(image.size(), static_cast<size_t>(kFirstAreaOffset + 2 * kTableHeaderSize));
  const auto* dir = reinterpret_cast<const uint8_t*>(&image[kDirectoryOffset]);
  EXPECT_EQ(GetInt32(dir), 2);
  EXPECT_EQ(GetInt32(dir + 8), kFirstAreaOffset);
  EXPECT_EQ(GetInt32(dir + 12), kFirstAreaOffset + kTableHeaderSize);

  TMemoryDatabaseRegistration registration(stream);
  TTessDBFileIO fileIO;
  fileIO.Open(registration.Name(), mtMemory, false, false);
  std::vector<std::string> names;
  fileIO.GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Catalog", "Empty"}));
  TTableHeaderBuffer buffer;
  fileIO.ReadTableHeader(0, buffer);
  const TTableHeader header = DecodeTableHeader(buffer);
  EXPECT_EQ(header.recordCount, 0);
  EXPECT_EQ(header.recordTabPosition, 0);
  EXPECT_EQ(header.autoIncValue, 0);
  ASSERT_EQ(header.fields.size(), 4u);
  EXPECT_EQ(header.fields[1].name, "Name");
  EXPECT_EQ(header.fields[1].typeCode, ftString);
  EXPECT_EQ(header.fields[1].declaredSize, 40);
  EXPECT_EQ(header.fields[3].processMode, 1);
  ASSERT_EQ(header.indexes.size(), 2u);
  EXPECT_EQ(header.indexes[0].name, "ByName");
  EXPECT_EQ(header.indexes[0].options, tiPrimary | tiUnique);
  EXPECT_EQ(header.indexes[0].keyFields, (TIntegerAry{1, 0}));
  EXPECT_EQ(header.indexes[0].tabPosition, 0);
  EXPECT_EQ(header.indexes[0].head, 0);
  EXPECT_EQ(header.indexes[1].options, tiDescending | tiCaseInsensitive);
  // Unused key slots hold -1.
  const uint8_t* entry = &buffer[kThIndexes];
  EXPECT_EQ(GetInt32(entry + kIeKeyFields + 8), -1);
  EXPECT_EQ(GetInt32(entry + kIeKeyFields + 28), -1);
  // Field entries are 43 bytes apart, with type, size and mode at their offsets.
  const uint8_t* name = &buffer[kThFields + kFieldEntrySize];
  EXPECT_EQ(GetText(name, kNameSize), "Name");
  EXPECT_EQ(name[33], ftString);
  EXPECT_EQ(GetInt32(name + 34), 40);
  EXPECT_EQ(DecodeTableHeader(EncodeTableHeader(header)).indexes[0].keyFields,
            header.indexes[0].keyFields);
}

TEST(DatabaseAuthoring, RefusesWhatAFileCannotHold) {
  auto error = [](const TTableDefinition& table) -> std::string {
    TMemoryStream stream;
    CreateDatabase(stream, TNewDatabase{});
    AddTable(stream, {"Taken", {}, {}});
    try {
      AddTable(stream, table);
      return "";
    } catch (const EDatabaseError& e) {
      return e.what();
    }
  };
  TTableDefinition base = Catalog();
  auto with = [&](auto change) {
    TTableDefinition table = base;
    change(table);
    return error(table);
  };
  EXPECT_EQ(error(base), "");
  EXPECT_EQ(with([](auto& t) { t.name = "TAKEN"; }),
            "Table 'TAKEN': a table of that name exists already");
  EXPECT_EQ(with([](auto& t) { t.name = ""; }), "Table '': a name needs 1 to 32 characters");
  EXPECT_EQ(with([](auto& t) { t.name = std::string(33, 'n'); }),
            "Table '" + std::string(33, 'n') + "': a name needs 1 to 32 characters");
  EXPECT_EQ(with([](auto& t) { t.fields[2].typeCode = ftWideString; }),
            "Table 'Catalog', field 'Code': type WideString (24) cannot be stored");
  EXPECT_EQ(with([](auto& t) { t.fields[2].name = "name"; }),
            "Table 'Catalog', field 'name': duplicate field name");
  EXPECT_EQ(with([](auto& t) { t.fields[1].declaredSize = -1; }),
            "Table 'Catalog', field 'Name': the size must not be negative");
  EXPECT_EQ(with([](auto& t) { t.fields.resize(97, Field("X", ftInteger)); }),
            "Table 'Catalog': more than 96 fields");
  EXPECT_EQ(with([](auto& t) { t.indexes[1].keyFields = {4}; }),
            "Table 'Catalog', index 'ByCode': key field number 4 names no field");
  EXPECT_EQ(with([](auto& t) { t.indexes[1].keyFields = {}; }),
            "Table 'Catalog', index 'ByCode': an index needs 1 to 8 key fields");
  EXPECT_EQ(with([](auto& t) { t.indexes[1].keyFields.assign(9, 0); }),
            "Table 'Catalog', index 'ByCode': an index needs 1 to 8 key fields");
  EXPECT_EQ(with([](auto& t) { t.indexes[1].name = "BYNAME"; }),
            "Table 'Catalog', index 'BYNAME': duplicate index name");
  EXPECT_EQ(with([](auto& t) { t.indexes.resize(9, t.indexes[0]); }),
            "Table 'Catalog': more than 8 indexes");
  // At most 96 fields, 8 indexes and 8 key fields fit, and exactly that is accepted.
  EXPECT_EQ(with([](auto& t) {
              t.fields.clear();
              for (int i = 0; i < 96; ++i)
                t.fields.push_back(Field(std::to_string(i) + "F", ftInteger));
              t.indexes.clear();
              for (int i = 0; i < 8; ++i)
                t.indexes.push_back({std::to_string(i) + "I", 0, {0, 1, 2, 3, 4, 5, 6, 7}, 0, 0});
            }),
            "");

  TMemoryStream full;
  CreateDatabase(full, TNewDatabase{});
  for (int i = 0; i < kMaxTables; ++i) AddTable(full, {std::to_string(i) + "T", {}, {}});
  EXPECT_THROW(AddTable(full, {"One more", {}, {}}), EDatabaseError);

  TNewDatabase unknown;
  unknown.encrypted = true;
  unknown.cipher = "AES";
  TMemoryStream stream;
  try {
    CreateDatabase(stream, unknown);
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Encryption algorithm module 'AES' not found");
  }
  EXPECT_EQ(stream.Size(), 0);
}

TEST(DatabaseAuthoring, WriteNewFileNeverOverwrites) {
  testing::TempDir dir;
  TMemoryStream image;
  CreateDatabase(image, TNewDatabase{});
  const std::string path = dir.File("new.tdb");
  WriteNewFile(path, image);
  EXPECT_EQ(testing::ReadFile(path), image.ToString());
  const std::string existing = dir.Write("existing.tdb", "keep me");
  try {
    WriteNewFile(existing, image);
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.what(), "File '" + existing + "' already exists");
  }
  EXPECT_EQ(testing::ReadFile(existing), "keep me");
}

}  // namespace
}  // namespace tessdb
