// Editing through TTessTable: appends in physical and index order, edits that move a record,
// deletes, unique violations, filtered views, blob streams, and what a fresh reader sees.
#include <gtest/gtest.h>

#include "tessdb/access/blob_stream.h"
#include "tessdb/access/session.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"
#include "tests/tessdb/access/access_fixture.h"
#include "tests/tessdb/access/catalog_test.h"

namespace tessdb {
namespace {

using testing::MessageOf;

using testing::TempDir;

class EditingTest : public testing::CatalogTest {
 protected:
  static std::vector<std::string> View(TTessTable& table, const std::string& field) {
    const TBookmark here = table.GetBookmark();
    std::vector<std::string> texts;
    for (table.First(); !table.Eof(); table.Next()) {
      texts.push_back(table.FieldByName(field).AsString());
    }
    if (here >= 0) table.GotoBookmark(here);
    return texts;
  }
};

TEST_F(EditingTest, InsertInPhysicalOrderAddsAtTheEndAndKeepsTheCursor) {
  TTessTable notes;
  Open(notes, "notes", "");
  notes.SetRecNo(2);
  notes.Insert();
  notes.FieldByName("text").SetAsString("d");
  notes.Post();
  EXPECT_EQ(notes.FieldByName("text").AsString(), "a");
  EXPECT_EQ(notes.RecNo(), 2);
  EXPECT_EQ(View(notes, "text"), (std::vector<std::string>{"c", "a", "b", "d"}));
}

TEST_F(EditingTest, AppendInIndexOrderGoesToItsSortedPlace) {
  TTessTable models;
  Open(models, "cellphoneconfig", "nameindex");
  models.AppendRecord({"Nokia", "9110", "60", "40"});
  EXPECT_EQ(models.FieldByName("type").AsString(), "9110");
  EXPECT_EQ(models.RecNo(), 7);  // after every Nokia already there
  EXPECT_EQ(models.RecordCount(), 9);
  models.Append();
  models.FieldByName("name").SetAsString("Benq");
  models.Post();
  EXPECT_EQ(models.RecNo(), 2);
  EXPECT_EQ(View(models, "name"),
            (std::vector<std::string>{"Alcatel", "Benq", "Ericsson", "Motorola", "Nokia", "Nokia",
                                      "Nokia", "Nokia", "Siemens", "Siemens"}));
}

TEST_F(EditingTest, UniqueViolationLeavesTheInsertOpen) {
  TTessTable vendors;
  Open(vendors, "cellphone", "nameindex");
  vendors.Append();
  vendors.FieldByName("name").SetAsString("Nokia");
  EXPECT_EQ(MessageOf([&] { vendors.Post(); }), "Invalid unique field value 'Nokia'");
  EXPECT_EQ(vendors.State(), dsInsert);
  EXPECT_EQ(vendors.FieldByName("name").AsString(), "Nokia");
  vendors.FieldByName("name").SetAsString("Nokja");
  vendors.Post();
  EXPECT_EQ(vendors.RecordCount(), 6);
  vendors.Append();
  vendors.Cancel();
  EXPECT_EQ(vendors.RecordCount(), 6);
  EXPECT_EQ(vendors.FieldByName("name").AsString(), "Siemens");
}

TEST_F(EditingTest, EditMovesTheRecordTwoPlacesOnAndKeepsItCurrent) {
  TTessTable vendors;
  Open(vendors, "cellphone", "nameindex");
  vendors.SetRecNo(2);  // Ericsson
  vendors.Edit();
  vendors.FieldByName("name").SetAsString("Nokib");
  vendors.Post();
  EXPECT_EQ(vendors.RecNo(), 4);
  EXPECT_EQ(vendors.FieldByName("name").AsString(), "Nokib");
  EXPECT_EQ(View(vendors, "name"),
            (std::vector<std::string>{"Alcatel", "Motorola", "Nokia", "Nokib", "Siemens"}));
  vendors.Edit();
  vendors.FieldByName("country").SetAsString("XX");
  vendors.Cancel();
  EXPECT_EQ(vendors.FieldByName("country").AsString(), "SE");
}

TEST_F(EditingTest, Deletes) {
  TTessTable vendors;
  Open(vendors, "cellphone", "nameindex");
  vendors.Last();
  vendors.Delete();
  EXPECT_EQ(vendors.FieldByName("name").AsString(), "Nokia");
  EXPECT_EQ(vendors.RecordCount(), 4);
  vendors.SetRecNo(2);
  vendors.Delete();
  EXPECT_EQ(vendors.FieldByName("name").AsString(), "Motorola");

  TTessTable notes;
  notes.SetName("Notes");
  Open(notes, "notes", "");
  notes.SetFilter("text = 'a'");
  notes.SetFiltered(true);
  ASSERT_EQ(notes.RecordCount(), 1);
  notes.Delete();  // the only record of the view
  EXPECT_EQ(notes.RecordCount(), 0);
  EXPECT_TRUE(notes.Eof());
  EXPECT_TRUE(notes.Bof());
  EXPECT_EQ(MessageOf([&] { notes.Delete(); }),
            "Notes: Cannot perform this operation on an empty dataset");
  notes.SetFiltered(false);
  EXPECT_EQ(View(notes, "text"), (std::vector<std::string>{"c", "b"}));
}

TEST_F(EditingTest, AFilteredViewShowsNewRecordsUntilRebuilt) {
  TTessTable models;
  Open(models, "cellphoneconfig", "typeindex");
  models.SetFilter("name = 'Nokia'");
  models.SetFiltered(true);
  models.AppendRecord({"Sagem", "5000", "1", "1"});
  EXPECT_EQ(models.RecordCount(), 4);
  EXPECT_EQ(models.FieldByName("type").AsString(), "5000");
  EXPECT_EQ(View(models, "type"), (std::vector<std::string>{"3310", "5000", "6210", "8210"}));
  models.Refresh();
  EXPECT_EQ(models.RecordCount(), 3);
}

TEST_F(EditingTest, ChangesReachTheFile) {
  {
    TTessTable vendors;
    Open(vendors, "cellphone", "");
    vendors.AppendRecord({"Philips", "NL"});
    vendors.First();
    vendors.Delete();  // Alcatel
  }
  TTessTable again;
  Open(again, "cellphone", "");
  EXPECT_EQ(View(again, "name"),
            (std::vector<std::string>{"Ericsson", "Motorola", "Nokia", "Philips", "Siemens"}));
}

TEST_F(EditingTest, BlobStreams) {
  const std::string path = testing::WriteKinds(dir_, "kinds.tdb");
  TTessTable table;
  table.SetDatabaseName(path);
  table.SetTableName("kinds");
  table.Open();
  table.Append();
  {
    TTessBlobStream stream(table.FieldByName("data"), TBlobStreamMode::bmWrite);
    stream.WriteBuffer("\x01\x02\x03", 3);
    EXPECT_TRUE(stream.Modified());
  }
  table.FieldByName("memo").SetAsString("hello");
  table.Post();
  EXPECT_EQ(table.FieldByName("data").AsString(), std::string("\x01\x02\x03", 3));

  {
    TTessBlobStream reader(table.FieldByName("memo"), TBlobStreamMode::bmRead);
    std::string text(5, '\0');
    reader.ReadBuffer(text.data(), 5);
    EXPECT_EQ(text, "hello");
    reader.SetPosition(0);
    reader.WriteBuffer("XX", 2);  // changes only the stream
    EXPECT_FALSE(reader.Modified());
    EXPECT_EQ(table.FieldByName("memo").AsString(), "hello");
  }
  EXPECT_EQ(
      MessageOf([&] { TTessBlobStream(table.FieldByName("memo"), TBlobStreamMode::bmWrite); }),
      "Dataset not in edit or insert mode");

  table.Edit();
  {
    TTessBlobStream writer(table.FieldByName("memo"), TBlobStreamMode::bmReadWrite);
    writer.Seek(0, TSeekOrigin::soEnd);
    writer.WriteBuffer(" world", 6);
  }
  table.FieldByName("i").SetAsInteger(7);
  table.Post();
  table.Close();
  table.Open();
  EXPECT_EQ(table.FieldByName("memo").AsString(), "hello world");
  EXPECT_EQ(table.FieldByName("data").AsString(), std::string("\x01\x02\x03", 3));
  EXPECT_EQ(table.FieldByName("i").AsInteger(), 7);
}

}  // namespace
}  // namespace tessdb

namespace tessdb {
namespace {

TEST(EditingOtherWriter, AChangeByAnotherWriterIsFollowedBeforeOurOwn) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  TTessSession other;
  other.SetSessionName("OtherWriter");
  TTessTable ours, theirs;
  theirs.SetSessionName("OtherWriter");  // a database object of its own, as another process has
  for (TTessTable* table : {&ours, &theirs}) {
    table->SetDatabaseName(path);
    table->SetTableName("cellphone");
    table->SetIndexName("nameindex");
    table->Open();
  }
  ASSERT_NE(ours.Database(), theirs.Database());
  theirs.AppendRecord({"Benq", "TW"});
  EXPECT_EQ(ours.RecordCount(), 5);  // nothing re-read while we only read
  ours.AppendRecord({"Zte", "CN"});
  EXPECT_EQ(ours.RecordCount(), 7);
  EXPECT_EQ(ours.FieldByName("name").AsString(), "Zte");
  EXPECT_EQ(ours.RecNo(), 7);
  ours.SetRecNo(2);
  EXPECT_EQ(ours.FieldByName("name").AsString(), "Benq");
}

}  // namespace
}  // namespace tessdb
