// Record changes: where appends place tab blocks, data areas and blobs, how index chains and
// heads follow appends, modifications and deletions, auto-increment, unique keys, write
// verification and the change notifications.
#include <gtest/gtest.h>

#include <tuple>

#include "table_fixture.h"
#include "tessdb/core/exceptions.h"
#include "tests/tessdb/storage/test_image.h"

namespace tessdb::testing {
namespace {

int32_t Int32At(const std::string& bytes, int64_t position) {
  return GetInt32(reinterpret_cast<const uint8_t*>(bytes.data()) + position);
}

TNewDatabase Plain() {
  return TNewDatabase{};
}

// Name String(8), Num Integer; index 0 on Num.
TTableDefinition NumberedTable() {
  TTableDefinition table;
  table.name = "Numbered";
  table.fields = {MakeField("Name", ftString, 8), MakeField("Num", ftInteger)};
  table.indexes = {MakeIndex("ByNum", 0, {1})};
  return table;
}

TRecordValues Numbered(const std::string& name, int32_t num) {
  return {name, StoredBytes(num)};
}

// Every live record of every index list appears in its chain, in key order: checked on a fresh
// load of the file.
void ExpectIndexesSound(TableFixture& fixture, const std::vector<int>& keyFields) {
  std::unique_ptr<TTessDBFileIO> fileIO;
  auto fresh = fixture.Reopen(fileIO);
  const TTessTableIO& table = fixture.Table();
  for (int k = 0; k < table.ListCount(); ++k) {
    EXPECT_EQ(fresh->GetList(k), table.GetList(k)) << "list " << k;
    EXPECT_EQ(fresh->GetList(k).size(), fresh->GetList(0).size()) << "list " << k;
  }
  (void)keyFields;
}

// Copies of a table's lists kept up to date only through the change notifications, as a
// dataset keeps its view: they must end up equal to the table's own lists.
struct FollowingViews {
  explicit FollowingViews(const TTessTableIO& table) {
    for (int k = 0; k < table.ListCount(); ++k) views.push_back(table.GetList(k));
  }
  TAppendNotification Append() {
    return [this](int i, int p, const TRecordListItem& item) {
      TRecordList& view = views[static_cast<size_t>(i + 1)];
      view.insert(p < 0 ? view.end() : view.begin() + p, item);
    };
  }
  TModifyNotification Modify() {
    return [this](int i, int o, int n) {
      TRecordList& view = views[static_cast<size_t>(i + 1)];
      const TRecordListItem item = view[static_cast<size_t>(o)];
      view.erase(view.begin() + o);
      view.insert(view.begin() + (o < n ? n - 1 : n), item);
    };
  }
  void ExpectFollow(const TTessTableIO& table) const {
    for (int k = 0; k < table.ListCount(); ++k) {
      EXPECT_EQ(views[static_cast<size_t>(k)], table.GetList(k)) << "list " << k;
    }
  }
  std::vector<TRecordList> views;
};

TEST(RecordChanges, TabBlocksAndDataAreasGoAtTheEndOfTheFile) {
  TableFixture fixture(Plain(), NumberedTable());
  TTessTableIO& table = fixture.Table();
  const int64_t start = fixture.Image().Size();
  const int32_t recordSize = table.RecordSize();
  ASSERT_EQ(recordSize, 9 + 4);

  std::vector<std::tuple<int, int, TRecordListItem>> notes;
  auto buffers = NewBuffers(table);
  SetValues(*buffers, Numbered("first", 500));
  table.AppendRecord(*buffers, false, [&](int i, int p, const TRecordListItem& item) {
    notes.emplace_back(i, p, item);
  });
  // 1st append: record-tab block at the old end, data right behind it, then the index block.
  std::string bytes = fixture.Bytes();
  const TRecordListItem first{static_cast<int32_t>(start + 5124), 0};
  EXPECT_EQ(table.RecordTabBlocks(), TIntegerAry{static_cast<int32_t>(start)});
  EXPECT_EQ(table.GetList(0), TRecordList{first});
  EXPECT_EQ(Int32At(bytes, start), 0);                 // no next block
  EXPECT_EQ(Int32At(bytes, start + 4), start + 5124);  // item 0
  EXPECT_EQ(table.IndexTabBlocks(0), TIntegerAry{static_cast<int32_t>(start + 5124 + recordSize)});
  EXPECT_EQ(static_cast<int64_t>(bytes.size()), start + 5124 + recordSize + 8196);
  EXPECT_EQ(Int32At(bytes, start + 5124 + recordSize + 4), 0);  // index item 0 = (0, -1)
  EXPECT_EQ(Int32At(bytes, start + 5124 + recordSize + 8), -1);
  using Note = std::tuple<int, int, TRecordListItem>;
  EXPECT_EQ(notes, (std::vector<Note>{Note{-1, -1, first}, Note{0, 0, first}}));
  const TTableHeader header = DecodeTableHeader(table.Header());
  EXPECT_EQ(header.recordTabPosition, start);
  EXPECT_EQ(header.recordCount, 1);
  EXPECT_EQ(header.indexes[0].tabPosition, start + 5124 + recordSize);
  EXPECT_EQ(header.indexes[0].head, 0);

  // Records 2..1024 only add their data areas, each at the end of the file.
  for (int32_t n = 1; n < 1024; ++n) {
    const int64_t end = fixture.Image().Size();
    fixture.Append(Numbered("r", 1000 - n));  // descending keys: every one a new head
    ASSERT_EQ(table.GetList(0).back().dataPosition, end);
  }
  bytes = fixture.Bytes();
  EXPECT_EQ(Int32At(bytes, start + 4 + 1023 * 5), table.GetList(0)[1023].dataPosition);
  EXPECT_EQ(DecodeTableHeader(table.Header()).indexes[0].head, 1023);

  // The 1025th: a second record-tab block linked from the first, a second index block.
  const int64_t end = fixture.Image().Size();
  fixture.Append(Numbered("last", 5000));
  bytes = fixture.Bytes();
  EXPECT_EQ(table.RecordTabBlocks(),
            (TIntegerAry{static_cast<int32_t>(start), static_cast<int32_t>(end)}));
  EXPECT_EQ(Int32At(bytes, start), end);
  EXPECT_EQ(Int32At(bytes, end), 0);
  EXPECT_EQ(table.GetList(0).back(), (TRecordListItem{static_cast<int32_t>(end + 5124), 1024}));
  EXPECT_EQ(Int32At(bytes, end + 4), end + 5124);
  const int64_t indexBlock = end + 5124 + recordSize;
  EXPECT_EQ(table.IndexTabBlocks(0).back(), indexBlock);
  EXPECT_EQ(Int32At(bytes, table.IndexTabBlocks(0).front()), indexBlock);
  EXPECT_EQ(DecodeTableHeader(table.Header()).recordCount, 1025);
  // Key 5000 is the largest: it follows record 1 (key 999), the old last.
  EXPECT_EQ(table.GetList(1).back().recordNo, 1024);
  EXPECT_EQ(Int32At(bytes, table.IndexTabBlocks(0).front() + 4 + 8 + 4), 1024);
  ExpectIndexesSound(fixture, {1});
}

TEST(RecordChanges, DeletedRecordLeavesEveryListButKeepsCountAndFile) {
  TableFixture fixture(Plain(), NumberedTable());
  for (int n = 0; n < 4; ++n) fixture.Append(Numbered(std::string("r").append(std::to_string(n)), 10 - n));
  TTessTableIO& table = fixture.Table();
  const int64_t size = fixture.Image().Size();
  table.DeleteRecord(1, false);  // record 1
  EXPECT_EQ(fixture.Image().Size(), size);
  EXPECT_EQ(table.RecordCount(), 4);
  for (int k = 0; k < 2; ++k) {
    for (const TRecordListItem& item : table.GetList(k)) EXPECT_NE(item.recordNo, 1);
    EXPECT_EQ(table.GetList(k).size(), 3u);
  }
  EXPECT_EQ(fixture.Bytes()[static_cast<size_t>(table.RecordTabBlocks()[0] + 4 + 5 + 4)], 1);
  ExpectIndexesSound(fixture, {1});
  EXPECT_EQ(fixture.Column(1, 0), (std::vector<std::string>{"r3", "r2", "r0"}));
  // Appends keep linking around the deleted record, which stays in the chain.
  fixture.Append(Numbered("r4", 9));
  EXPECT_EQ(fixture.Column(1, 0), (std::vector<std::string>{"r3", "r2", "r4", "r0"}));
  ExpectIndexesSound(fixture, {1});
}

// Name String(10), Num Integer; ascending and descending case-insensitive indexes on Name.
TTableDefinition NamedTable() {
  TTableDefinition table;
  table.name = "Named";
  table.fields = {MakeField("Name", ftString, 10), MakeField("Num", ftInteger)};
  table.indexes = {MakeIndex("NameCI", tiCaseInsensitive, {0}),
                   MakeIndex("NameDesc", tiDescending | tiCaseInsensitive, {0}),
                   MakeIndex("ByNum", tiUnique, {1})};
  return table;
}

TEST(RecordChanges, IndexOrderKeepsEqualKeysInChainOrder) {
  TableFixture fixture(Plain(), NamedTable());
  const char* names[] = {"bob", "Alice", "carl", "alice", "Bob"};
  std::vector<std::tuple<int, int>> positions;
  FollowingViews views(fixture.Table());
  for (int n = 0; n < 5; ++n) {
    auto buffers = NewBuffers(fixture.Table());
    SetValues(*buffers, Numbered(names[n], n));
    fixture.Table().AppendRecord(*buffers, false, [&](int i, int p, const TRecordListItem& item) {
      if (i == 0) positions.emplace_back(n, p);
      views.Append()(i, p, item);
    });
  }
  views.ExpectFollow(fixture.Table());
  using Names = std::vector<std::string>;
  EXPECT_EQ(fixture.Column(1, 0), (Names{"Alice", "alice", "bob", "Bob", "carl"}));
  EXPECT_EQ(fixture.Column(2, 0), (Names{"carl", "bob", "Bob", "Alice", "alice"}));
  EXPECT_EQ(fixture.Column(3, 0), (Names{"bob", "Alice", "carl", "alice", "Bob"}));
  // "Alice" sorted first and became the head; "alice" and "Bob" went after their equals.
  EXPECT_EQ(positions, (std::vector<std::tuple<int, int>>{{0, 0}, {1, 0}, {2, 2}, {3, 1}, {4, 3}}));
  const TTableHeader header = DecodeTableHeader(fixture.Table().Header());
  EXPECT_EQ(header.indexes[0].head, 1);
  EXPECT_EQ(header.indexes[1].head, 2);
  ExpectIndexesSound(fixture, {0});
}

TEST(RecordChanges, ModifyMovesTheRecordWithinEachIndex) {
  TableFixture fixture(Plain(), NamedTable());
  const char* names[] = {"d", "b", "f", "a", "e", "c"};
  for (int n = 0; n < 6; ++n) fixture.Append(Numbered(names[n], n));
  TTessTableIO& table = fixture.Table();
  table.DeleteRecord(table.ToPhysicalPosition(table.GetList(1), 2), false);  // "c": a dead link
  using Names = std::vector<std::string>;
  ASSERT_EQ(fixture.Column(1, 0), (Names{"a", "b", "d", "e", "f"}));

  struct Case {
    std::string from, to;
    std::vector<std::tuple<int, int, int>> notes;  // (index, old, new) for index 0 and 1
    Names ascending;
  };
  const Case cases[] = {
      {"a", "g", {{0, 0, 5}, {1, 4, 0}}, {"b", "d", "e", "f", "g"}},    // head to the end
      {"g", "a", {{0, 4, 0}, {1, 0, 5}}, {"a", "b", "d", "e", "f"}},    // back to the head
      {"b", "ee", {{0, 1, 4}, {1, 3, 1}}, {"a", "d", "e", "ee", "f"}},  // behind the dead link
      {"d", "d", {}, {"a", "d", "e", "ee", "f"}},                       // nothing moves
      {"e", "b", {{0, 2, 1}, {1, 2, 4}}, {"a", "b", "d", "ee", "f"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from + " -> " + c.to);
    const TRecordList& byName = table.GetList(1);
    int at = -1;
    for (int p = 0; p < static_cast<int>(byName.size()); ++p) {
      if (fixture.Read(1, p)[0] == c.from) at = p;
    }
    ASSERT_GE(at, 0);
    const int physical = table.ToPhysicalPosition(byName, at);
    auto buffers = NewBuffers(table);
    table.ReadRecord(*buffers, table.GetList(0), physical);
    (*buffers)[0].SetText(c.to);
    std::vector<std::tuple<int, int, int>> notes;
    FollowingViews views(table);
    table.ModifyRecord(
        *buffers, physical,
        [&](int i, int o, int n) {
          if (i < 2) notes.emplace_back(i, o, n);
          views.Modify()(i, o, n);
        },
        false);
    EXPECT_EQ(notes, c.notes);
    views.ExpectFollow(table);
    EXPECT_EQ(fixture.Column(1, 0), c.ascending);
    Names descending = c.ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(fixture.Column(2, 0), descending);
    ExpectIndexesSound(fixture, {0});
  }
}

TEST(RecordChanges, SearchesOnEmptyAndEqualKeys) {
  TableFixture fixture(Plain(), NamedTable());
  TTessTableIO& table = fixture.Table();
  auto key = NewBuffers(table);
  SetValues(*key, Numbered("b", 0));
  const TSearchResult empty = table.SearchIndex(*key, table.GetList(1), false, 0, 0);
  EXPECT_EQ(empty.outcome, -2);
  EXPECT_EQ(empty.position, -1);
  EXPECT_EQ(table.SearchIndexBound(*key, table.GetList(1), false, 0, true, 0).outcome, -2);
  EXPECT_EQ(table.InsertPosition(*key, 0), 0);

  const char* names[] = {"a", "b", "B", "b", "c", "bx"};
  for (int n = 0; n < 6; ++n) fixture.Append(Numbered(names[n], n));
  const TRecordList& list = table.GetList(1);  // a b B b bx c
  const TSearchResult first = table.SearchIndexBound(*key, list, false, 0, true, 0);
  const TSearchResult last = table.SearchIndexBound(*key, list, false, 0, false, 0);
  EXPECT_EQ(first.position, 1);
  EXPECT_EQ(first.outcome, 0);
  EXPECT_EQ(last.position, 3);
  EXPECT_EQ(last.outcome, 0);
  EXPECT_EQ(table.SearchIndexBound(*key, list, true, 0, false, 0).position, 4);  // "bx" too
  EXPECT_EQ(table.SearchIndex(*key, list, false, 0, 0).outcome, 0);
  EXPECT_EQ(table.InsertPosition(*key, 0), 4);
  SetValues(*key, Numbered("bb", 0));
  const TSearchResult missing = table.SearchIndex(*key, list, false, 0, 0);
  EXPECT_NE(missing.outcome, 0);
  EXPECT_EQ(table.InsertPosition(*key, 0), 4);
  const TSearchResult below = table.SearchIndexBound(*key, list, false, 0, true, 0);
  EXPECT_EQ(below.position + (below.outcome > 0 ? 1 : 0), 4);
  EXPECT_EQ(table.ToListPosition(1, 5, 3), 4);  // "c" is record 4
  EXPECT_EQ(table.ToListPosition(1, 5, 1), 5);
  EXPECT_EQ(table.ToListPosition(1, 9, 1), 9);  // the same list: any position comes back as is
  EXPECT_EQ(table.ToListPosition(1, 9, 2), -1);
  EXPECT_EQ(table.ToPhysicalPosition(list, 5), 4);
  EXPECT_EQ(table.ToPhysicalPosition(list, 6), -1);
  EXPECT_EQ(table.PrimaryIndexNo(), -1);
}

TEST(RecordChanges, UniqueKeysAreRefusedWithTheirValues) {
  TTableDefinition definition;
  definition.name = "Keys";
  definition.fields = {MakeField("Name", ftString, 10), MakeField("Num", ftInteger),
                       MakeField("Flag", ftBoolean), MakeField("Price", ftFloat)};
  definition.indexes = {MakeIndex("Pk", tiPrimary, {0, 1}), MakeIndex("Other", tiUnique, {2, 3})};
  TableFixture fixture(Plain(), definition);
  auto values = [](const std::string& name, int32_t num, int16_t flag, double price) {
    return TRecordValues{name, StoredBytes(num), StoredBytes(flag), StoredBytes(price)};
  };
  fixture.Append(values("bob", 7, 1, 2.5));
  fixture.Append(values("bob", 8, 0, 2.5));
  TTessTableIO& table = fixture.Table();
  const int64_t size = fixture.Image().Size();
  auto buffers = NewBuffers(table);
  SetValues(*buffers, values("bob", 7, 0, 1));
  try {
    table.AppendRecord(*buffers, false, nullptr);
    FAIL() << "duplicate primary key accepted";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Invalid unique field value 'bob,7'");
  }
  SetValues(*buffers, values("amy", 1, 1, 2.5));
  try {
    table.AppendRecord(*buffers, false, nullptr);
    FAIL() << "duplicate unique key accepted";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Invalid unique field value 'True,2.5'");
  }
  EXPECT_EQ(fixture.Image().Size(), size);  // nothing written
  // A text filling its whole buffer is stored cut to the declared size: the check sees it so.
  fixture.Append(values("abcdefghij", 9, 1, 9));
  const int64_t grown = fixture.Image().Size();
  SetValues(*buffers, values("", 9, 0, 10));
  std::memset((*buffers)[0].Buffer(), 'k', 11);
  std::memcpy((*buffers)[0].Buffer(), "abcdefghij", 10);
  try {
    table.AppendRecord(*buffers, false, nullptr);
    ADD_FAILURE() << "duplicate of a cut text accepted";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Invalid unique field value 'abcdefghij,9'");
  }
  std::memset((*buffers)[0].Buffer(), 'k', 11);
  std::memcpy((*buffers)[0].Buffer(), "abcdefghij", 10);
  try {
    table.ModifyRecord(*buffers, 0, nullptr, false);
    ADD_FAILURE() << "change to a duplicate of a cut text accepted";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Invalid unique field value 'abcdefghij,9'");
  }
  EXPECT_EQ(fixture.Image().Size(), grown);
  EXPECT_EQ(table.PrimaryIndexNo(), 0);
  // A record may keep its own key; it may not take another's.
  SetValues(*buffers, values("bob", 7, 1, 3.5));
  table.ModifyRecord(*buffers, 0, nullptr, false);
  SetValues(*buffers, values("bob", 8, 1, 3.5));
  EXPECT_THROW(table.ModifyRecord(*buffers, 0, nullptr, false), EDatabaseError);
}

TEST(RecordChanges, AutoIncrementGivenAndDerived) {
  TTableDefinition definition;
  definition.name = "Counted";
  // Seq is a second auto-increment field: appends store it as given, modifies treat it by type.
  definition.fields = {MakeField("Id", ftAutoInc), MakeField("Name", ftString, 4),
                       MakeField("Seq", ftAutoInc)};
  definition.indexes = {MakeIndex("ById", 0, {0})};
  TableFixture fixture(Plain(), definition);
  TTessTableIO& table = fixture.Table();
  // The index on Id must follow the stored values, also where a modify keeps one.
  auto expectIdOrder = [&](const std::vector<int32_t>& ids) {
    std::vector<std::string> expected;
    for (const int32_t id : ids) expected.push_back(StoredBytes(id));
    EXPECT_EQ(fixture.Column(1, 0), expected);
  };
  auto buffers = NewBuffers(table);
  (*buffers)[2].Set<int32_t>(7);
  std::vector<int32_t> stored;
  for (const int32_t given : {0, 0, 10, 0, 5, 0}) {
    (*buffers)[0].Set<int32_t>(given);
    table.AppendRecord(*buffers, false, nullptr);
    stored.push_back((*buffers)[0].Get<int32_t>());  // a derived value is put into the buffer
  }
  EXPECT_EQ(stored, (std::vector<int32_t>{1, 2, 10, 11, 5, 12}));
  EXPECT_EQ(DecodeTableHeader(table.Header()).autoIncValue, 12);
  // Modify: 0 keeps the stored value; a larger one raises the counter in the file at once.
  (*buffers)[0].Set<int32_t>(0);
  (*buffers)[1].SetText("x");
  table.ModifyRecord(*buffers, 1, nullptr, false);
  EXPECT_EQ(fixture.Read(0, 1)[0], StoredBytes<int32_t>(2));
  EXPECT_EQ(fixture.Read(0, 1)[2], StoredBytes<int32_t>(7));
  expectIdOrder({1, 2, 5, 10, 11, 12});
  (*buffers)[0].Set<int32_t>(40);
  (*buffers)[2].Set<int32_t>(0);
  table.ModifyRecord(*buffers, 1, nullptr, false);
  EXPECT_EQ(fixture.Read(0, 1)[0], StoredBytes<int32_t>(40));
  EXPECT_EQ(fixture.Read(0, 1)[2], StoredBytes<int32_t>(7));  // 0 keeps the second one too
  std::unique_ptr<TTessDBFileIO> fileIO;
  EXPECT_EQ(DecodeTableHeader(fixture.Reopen(fileIO)->Header()).autoIncValue, 40);
  (*buffers)[0].Set<int32_t>(0);
  (*buffers)[2].Set<int32_t>(50);
  table.ModifyRecord(*buffers, 1, nullptr, false);
  EXPECT_EQ(fixture.Read(0, 1)[2], StoredBytes<int32_t>(50));
  EXPECT_EQ(DecodeTableHeader(fixture.Reopen(fileIO)->Header()).autoIncValue, 50);
  expectIdOrder({1, 5, 10, 11, 12, 40});
  ExpectIndexesSound(fixture, {0});

  // The unique check, too, sees the kept value (decoded: the file is encrypted); explicit
  // values may repeat an Id.
  TNewDatabase encrypted;
  encrypted.encrypted = true;
  encrypted.cipher = "Gost";
  encrypted.password = "pw";
  TTableDefinition keyed;
  keyed.name = "Keyed";
  keyed.fields = {MakeField("Id", ftAutoInc), MakeField("Name", ftString, 4)};
  keyed.indexes = {MakeIndex("ByIdName", tiUnique, {0, 1})};
  TableFixture unique(encrypted, keyed);
  unique.Append({StoredBytes<int32_t>(0), "x"});
  unique.Append({StoredBytes<int32_t>(1), "y"});
  auto change = NewBuffers(unique.Table());
  SetValues(*change, {StoredBytes<int32_t>(0), "y"});
  try {
    unique.Table().ModifyRecord(*change, 0, nullptr, false);
    ADD_FAILURE() << "a kept Id gave a duplicate key";
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "Invalid unique field value '1,y'");
  }
}

// One unprocessed blob, no index: the last blob written ends the file.
TTableDefinition BlobTable() {
  TTableDefinition table;
  table.name = "Blobs";
  table.fields = {MakeField("Id", ftInteger), MakeField("Data", ftBlob, 0, false)};
  return table;
}

struct Descriptor {
  int32_t position, size, reserved;
  friend bool operator==(const Descriptor&, const Descriptor&) = default;
};

Descriptor DescriptorOf(TableFixture& fixture, int position) {
  const std::string bytes = fixture.Bytes();
  const int64_t at = fixture.Table().GetList(0)[static_cast<size_t>(position)].dataPosition + 4;
  return {Int32At(bytes, at), Int32At(bytes, at + 4), Int32At(bytes, at + 8)};
}

void ModifyBlob(TableFixture& fixture, int position, const std::string& content) {
  auto buffers = NewBuffers(fixture.Table());
  fixture.Table().ReadRecord(*buffers, fixture.Table().GetList(0), position);
  (*buffers)[1].SetText(content);
  fixture.Table().ModifyRecord(*buffers, position, nullptr, false);
}

TEST(RecordChanges, BlobAreasGrowInPlaceOrMove) {
  TableFixture fixture(Plain(), BlobTable());
  fixture.Append({StoredBytes<int32_t>(1), std::string(100, 'a')});
  const int64_t blobAt = fixture.Table().GetList(0)[0].dataPosition + 24;
  EXPECT_EQ(DescriptorOf(fixture, 0), (Descriptor{static_cast<int32_t>(blobAt), 100, 128}));
  EXPECT_EQ(fixture.Image().Size(), blobAt + 128);  // 28 filler bytes
  EXPECT_EQ(fixture.Bytes().substr(static_cast<size_t>(blobAt + 100)), std::string(28, '\0'));

  // Exactly the reserved size: rewritten in place, nothing written past the area.
  ModifyBlob(fixture, 0, std::string(128, 'b'));
  EXPECT_EQ(DescriptorOf(fixture, 0), (Descriptor{static_cast<int32_t>(blobAt), 128, 128}));
  EXPECT_EQ(fixture.Image().Size(), blobAt + 128);
  // Larger while its area ends the file: grows in place.
  ModifyBlob(fixture, 0, std::string(130, 'c'));
  EXPECT_EQ(DescriptorOf(fixture, 0), (Descriptor{static_cast<int32_t>(blobAt), 130, 192}));
  EXPECT_EQ(fixture.Image().Size(), blobAt + 192);
  // Smaller: stays, with filler only up to the next multiple of 64 of its size.
  std::string bytes = fixture.Bytes();
  ModifyBlob(fixture, 0, std::string(10, 'd'));
  EXPECT_EQ(DescriptorOf(fixture, 0), (Descriptor{static_cast<int32_t>(blobAt), 10, 192}));
  std::string after = fixture.Bytes();
  EXPECT_EQ(after.substr(static_cast<size_t>(blobAt), 64),
            std::string(10, 'd') + std::string(54, '\0'));
  EXPECT_EQ(after.substr(static_cast<size_t>(blobAt + 64)),
            bytes.substr(static_cast<size_t>(blobAt + 64)));

  // Once another record follows, a larger blob moves to the end of the file.
  fixture.Append({StoredBytes<int32_t>(2), std::string(1, 'x')});
  const int64_t end = fixture.Image().Size();
  ModifyBlob(fixture, 0, std::string(300, 'e'));
  EXPECT_EQ(DescriptorOf(fixture, 0), (Descriptor{static_cast<int32_t>(end), 300, 320}));
  EXPECT_EQ(fixture.Image().Size(), end + 320);
  EXPECT_EQ(fixture.Read(0, 0)[1], std::string(300, 'e'));
  EXPECT_EQ(fixture.Read(0, 1)[1], "x");
  // An empty blob still reserves 64 bytes.
  fixture.Append({StoredBytes<int32_t>(3), ""});
  EXPECT_EQ(DescriptorOf(fixture, 2).size, 0);
  EXPECT_EQ(DescriptorOf(fixture, 2).reserved, 64);
  EXPECT_EQ(fixture.Read(0, 2)[1], "");

  // A descriptor whose area lies in the fixed areas or past the end is damage: nothing is written.
  for (const auto& [position, reserved] :
       {std::pair{100, 64}, std::pair{static_cast<int32_t>(end), 1 << 30}}) {
    const int64_t descriptor = fixture.Table().GetList(0)[1].dataPosition + 4;
    WriteInt32At(fixture.Image(), descriptor + kBdPosition, position);
    WriteInt32At(fixture.Image(), descriptor + kBdReservedSize, reserved);
    const std::string before = fixture.Bytes();
    try {
      ModifyBlob(fixture, 1, "y");
      ADD_FAILURE() << "damaged descriptor accepted";
    } catch (const EDatabaseError& error) {
      EXPECT_EQ(error.Message(), DamagedFileMessage(fixture.FileIO().FileName()));
    }
    EXPECT_EQ(fixture.Bytes().substr(0, static_cast<size_t>(end)),
              before.substr(0, static_cast<size_t>(end)));
  }
}

TEST(RecordChanges, UntouchedLazyBlobIsNotRewritten) {
  TNewDatabase settings;
  settings.compressed = true;
  settings.encrypted = true;
  settings.cipher = "Blowfish";
  settings.password = "pw";
  TTableDefinition definition = BlobTable();
  definition.fields[1].processMode = 0;
  TableFixture fixture(settings, definition);
  fixture.Append({StoredBytes<int32_t>(1), std::string(1000, 'q')});
  TTessTableIO& table = fixture.Table();
  auto buffers = NewBuffers(table);
  table.ReadRecord(*buffers, table.GetList(0), 0);
  EXPECT_FALSE((*buffers)[1].Blob()->Loaded());
  const std::string before = fixture.Bytes();
  (*buffers)[0].Set<int32_t>(2);
  table.ModifyRecord(*buffers, 0, nullptr, false);
  EXPECT_FALSE((*buffers)[1].Blob()->Loaded());
  EXPECT_EQ(fixture.Read(0, 0),
            (std::vector<std::string>{StoredBytes<int32_t>(2), std::string(1000, 'q')}));
  // A record read and written as a new one copies its blobs.
  table.ReadRecord(*buffers, table.GetList(0), 0);
  table.AppendRecord(*buffers, false, nullptr);
  EXPECT_EQ(fixture.Read(0, 1),
            (std::vector<std::string>{StoredBytes<int32_t>(2), std::string(1000, 'q')}));
  // So does a modification that takes another record's blob.
  table.ReadRecord(*buffers, table.GetList(0), 0);
  (*buffers)[0].Set<int32_t>(3);
  table.ModifyRecord(*buffers, 1, nullptr, false);
  EXPECT_EQ(fixture.Read(0, 1),
            (std::vector<std::string>{StoredBytes<int32_t>(3), std::string(1000, 'q')}));
  // A write before the first read replaces the content without loading it.
  table.ReadRecord(*buffers, table.GetList(0), 0);
  (*buffers)[1].Blob()->WriteBuffer("new", 3);
  EXPECT_EQ((*buffers)[1].Blob()->Content().ToString(), "new");
}

// A memory stream whose reads of [from, to) come back with a flipped byte the first `bad` times.
class FlakyStream : public TMemoryStream {
 public:
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t at = Position();
    const int64_t n = TMemoryStream::Read(buffer, count);
    if (bad > 0 && at >= from && at < to && n > 0) {
      static_cast<uint8_t*>(buffer)[0] ^= 0x55;
      --bad;
      ++corrupted;
    }
    return n;
  }
  int64_t from = 0, to = 0;
  int bad = 0, corrupted = 0;
};

TEST(RecordChanges, WriteVerificationRetriesAndGivesUpAfterThreeMismatches) {
  for (const int bad : {1, 2, 3}) {
    SCOPED_TRACE(bad);
    FlakyStream image;
    TNewDatabase settings;
    settings.verifyWrites = true;
    settings.compressed = true;
    CreateDatabase(image, settings);
    AddTable(image, BlobTable());
    TMemoryDatabaseRegistration registration(image);
    TTessDBFileIO fileIO;
    fileIO.Open(registration.Name(), mtMemory, false, false);
    TTessTableIO table(fileIO, "Blobs");
    table.Open();
    auto buffers = NewBuffers(table);
    (*buffers)[1].SetText(std::string(3000, 'z'));
    image.from = image.Size();  // the blob follows the tab block and the data area
    image.to = INT64_MAX;
    image.bad = bad;
    if (bad < kMaxWriteAttempts) {
      table.AppendRecord(*buffers, false, nullptr);
      EXPECT_EQ(image.corrupted, bad);
      image.bad = 0;
      auto read = NewBuffers(table);
      table.ReadRecord(*read, table.GetList(0), 0);
      EXPECT_EQ((*read)[1].Blob()->Content().ToString(), std::string(3000, 'z'));
    } else {
      try {
        table.AppendRecord(*buffers, false, nullptr);
        FAIL() << "a persistent mismatch was accepted";
      } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(),
                     "Blob field 'Data' could not be written: the data read back differs from the "
                     "data written");
      }
      EXPECT_EQ(image.corrupted, 3);
    }
  }
}

}  // namespace
}  // namespace tessdb::testing
