// Loading a table, its lists and definitions, key value texts, and what a damaged file does to
// the table level.
#include <gtest/gtest.h>

#include "platform/locale.h"
#include "table_fixture.h"
#include "tessdb/core/date_time.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/storage/key_value_text.h"
#include "tests/tessdb/storage/test_image.h"

namespace tessdb::testing {
namespace {

TTableDefinition KeyedTable() {
  TTableDefinition table;
  table.name = "Keyed";
  table.fields = {MakeField("Name", ftString, 6), MakeField("Num", ftInteger),
                  MakeField("Data", ftMemo)};
  table.indexes = {MakeIndex("ByNum", tiPrimary, {1}), MakeIndex("Unused", 0, {0})};
  return table;
}

void ExpectError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), message);
  }
}

std::string Damaged(TableFixture& fixture) {
  return DamagedFileMessage(fixture.FileIO().FileName());
}

TEST(TableLoad, DefinitionsListsAndOpenCount) {
  TableFixture fixture(TNewDatabase{}, KeyedTable());
  TTessTableIO& table = fixture.Table();
  EXPECT_EQ(table.OpenCount(), 1);
  EXPECT_EQ(table.TableNo(), 0);
  ASSERT_EQ(table.FieldDefs().Count(), 3);
  EXPECT_EQ(table.FieldDefs().IndexOf("NUM"), 1);
  EXPECT_EQ(table.FieldDefs()[0].declaredSize, 6);
  EXPECT_EQ(table.IndexDefs()[0].keyFields, TIntegerAry{1});
  EXPECT_EQ(table.IndexDefs().IndexOf("unused"), 1);
  EXPECT_EQ(table.FieldOffsets(), (TIntegerAry{0, 7, 11}));
  EXPECT_EQ(table.RecordSize(), 31);
  EXPECT_EQ(table.ListCount(), 3);  // empty table: empty lists, no index tabs
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(table.GetList(k).empty());

  table.Open();  // a second open reads nothing
  fixture.Append({"x", StoredBytes<int32_t>(1)});
  EXPECT_EQ(table.OpenCount(), 2);
  table.Close();
  table.Close();
  table.Close();
  EXPECT_EQ(table.OpenCount(), 0);
  EXPECT_EQ(table.FieldDefs().Count(), 0);
  EXPECT_EQ(table.ListCount(), 0);
  table.Open();
  EXPECT_EQ(table.GetList(2).size(), 1u);

  TTessFieldDefs unnamed;
  unnamed.Add();
  unnamed.Add();
  EXPECT_EQ(unnamed[1].name, "TessF2");
}

TEST(TableLoad, MissingTableAndUnstorableType) {
  TableFixture fixture(TNewDatabase{}, KeyedTable());
  TTessTableIO missing(fixture.FileIO(), "Nope");
  ExpectError([&] { missing.Open(); }, "Table 'Nope' not found");
  EXPECT_EQ(missing.OpenCount(), 0);

  // A field of a type the format cannot store (ftWideString) written over the first field entry.
  PatchTableHeader(fixture.Image(), 0,
                   [](TTableHeaderBuffer& header) { header[kThFields + kFeType] = ftWideString; });
  TTessTableIO wide(fixture.FileIO(), "keyed");  // names compare without case
  ExpectError([&] { wide.Open(); }, "General error");
  EXPECT_EQ(wide.OpenCount(), 0);
}

TEST(TableLoad, KeyValueTexts) {
  const TLocaleSettings saved = LocaleSettings();
  struct Case {
    TFieldType type;
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {ftString, std::string("ab\0cd", 5), "ab"},
      {ftSmallint, StoredBytes<int16_t>(-5), "-5"},
      {ftWord, StoredBytes<uint16_t>(65535), "65535"},
      {ftInteger, StoredBytes<int32_t>(-2147483647 - 1), "-2147483648"},
      {ftAutoInc, StoredBytes<int32_t>(42), "42"},
      {ftLargeint, StoredBytes<int64_t>(int64_t{1} << 40), "1099511627776"},
      {ftBoolean, StoredBytes<int16_t>(2), "True"},
      {ftBoolean, StoredBytes<int16_t>(0), "False"},
      {ftFloat, StoredBytes<double>(2.5), "2,5"},
      {ftCurrency, StoredBytes<double>(1e20), "1e+20"},
      {ftDate, StoredBytes<int32_t>(static_cast<int32_t>(EncodeDayNumber(2024, 3, 9))), "9.3.2024"},
      {ftTime, StoredBytes<int32_t>(13 * 3600000 + 5 * 60000 + 7000), "13:05:07"},
      {ftDateTime, StoredBytes<double>(EncodeDayNumber(1999, 12, 31) * 86400000.0 + 1000),
       "31.12.1999 0:00:01"},
      {ftBlob, std::string("blob\0tail", 9), "blob"},
      {ftMemo, "", ""},
      {ftString, "", ""},
      {ftBytes, "xx", ""},
  };
  TLocaleSettings german = saved;
  german.decimalSeparator = ',';
  german.dateSeparator = '.';
  german.dateOrder = TDateOrder::doDMY;
  SetLocaleSettings(german);
  for (const Case& c : cases) {
    TFieldBuffers buffers;
    TFieldBufferItem& item = buffers.AddOwned(c.type, static_cast<int32_t>(c.bytes.size()));
    if (item.IsBlob()) {
      item.Blob()->WriteBuffer(c.bytes.data(), static_cast<int64_t>(c.bytes.size()));
    } else {
      std::memcpy(item.Buffer(), c.bytes.data(), c.bytes.size());
    }
    EXPECT_EQ(KeyValueText(item), c.text) << FieldTypeName(c.type);
  }
  SetLocaleSettings(saved);
}

// Three records (keys 1, 2, 3) in a table whose primary index chain is then damaged.
struct ChainCase {
  std::string what;
  std::function<void(TableFixture&, TTessTableIO&)> damage;
  std::string error;  // empty: loads
  size_t listSize;
};

TEST(TableLoad, DamagedChainsAndPositions) {
  const ChainCase cases[] = {
      {"a chain that loops is cut at the record count",
       [](TableFixture& f, TTessTableIO& t) {
         WriteInt32At(f.Image(), t.IndexTabBlocks(0)[0] + 4 + 2 * 8 + 4, 0);  // 2 -> 0
       },
       "", 3},
      {"a chain naming a record beyond the count",
       [](TableFixture& f, TTessTableIO& t) {
         WriteInt32At(f.Image(), t.IndexTabBlocks(0)[0] + 4 + 1 * 8 + 4, 3);
       },
       "damaged", 0},
      {"a head beyond the count",
       [](TableFixture& f, TTessTableIO&) {
         PatchTableHeader(f.Image(), 0,
                          [](TTableHeaderBuffer& h) { PutInt32(&h[kThIndexes + kIeHead], -7); });
       },
       "damaged", 0},
      {"a record count beyond the tab",
       [](TableFixture& f, TTessTableIO&) {
         PatchTableHeader(f.Image(), 0,
                          [](TTableHeaderBuffer& h) { PutInt32(&h[kThRecordCount], 5000); });
       },
       "damaged", 0},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.what);
    TableFixture fixture(TNewDatabase{}, KeyedTable());
    for (int32_t n = 1; n <= 3; ++n) fixture.Append({"r", StoredBytes(n), "memo"});
    c.damage(fixture, fixture.Table());
    std::unique_ptr<TTessDBFileIO> fileIO;
    if (c.error.empty()) {
      auto table = fixture.Reopen(fileIO);
      EXPECT_EQ(table->GetList(1).size(), c.listSize);
    } else {
      ExpectError([&] { fixture.Reopen(fileIO); }, Damaged(fixture));
    }
  }
}

TEST(TableLoad, DamagedRecordAreasFailOnRead) {
  TableFixture fixture(TNewDatabase{}, KeyedTable());
  for (int32_t n = 1; n <= 3; ++n) fixture.Append({"r", StoredBytes(n), std::string(100, 'm')});
  TTessTableIO& table = fixture.Table();
  const int64_t size = fixture.Image().Size();
  const int64_t tab = table.RecordTabBlocks()[0] + 4;
  const int64_t blob1 = table.GetList(0)[1].dataPosition + table.FieldOffsets()[2];
  // Record 0's data area past the end of the file, record 1's blob larger than the file,
  // record 2's data area inside the fixed areas.
  WriteInt32At(fixture.Image(), tab, static_cast<int32_t>(size - 10));
  WriteInt32At(fixture.Image(), blob1 + kBdStoredSize, static_cast<int32_t>(size));
  WriteInt32At(fixture.Image(), tab + 2 * 5, 100);

  std::unique_ptr<TTessDBFileIO> fileIO;
  auto fresh = fixture.Reopen(fileIO);
  auto buffers = NewBuffers(*fresh);
  const std::string damaged = Damaged(fixture);
  ExpectError([&] { fresh->ReadRecord(*buffers, fresh->GetList(0), 0); }, damaged);
  ExpectError([&] { fresh->ReadRecord(*buffers, fresh->GetList(0), 2); }, damaged);
  TMemoryStream value;
  ExpectError([&] { fresh->ReadFieldValue(value, 0, 1); }, damaged);
  fresh->ReadRecord(*buffers, fresh->GetList(0), 1);  // the blob loads lazily
  EXPECT_EQ((*buffers)[0].Text(), "r");
  ExpectError([&] { (*buffers)[2].Blob()->Size(); }, damaged);
  ExpectError([&] { fresh->ReadFieldValue(value, 1, 2); }, damaged);
  // A search that probes a damaged record fails the same way instead of reading out of bounds.
  (*buffers)[1].Set<int32_t>(0);
  ExpectError([&] { fresh->SearchIndex(*buffers, fresh->GetList(1), false, 0, 0); }, damaged);
  // No change touches a record whose area is not where a record can be.
  const std::string before = fixture.Bytes();
  (*buffers)[1].Set<int32_t>(3);
  ExpectError([&] { fresh->ModifyRecord(*buffers, 2, nullptr, false); }, damaged);
  EXPECT_EQ(fixture.Bytes().substr(0, 3821), before.substr(0, 3821));
  ExpectError([&] { fresh->ReadRecord(*buffers, fresh->GetList(0), 3); },
              "List index out of bounds (3)");
}

}  // namespace
}  // namespace tessdb::testing
