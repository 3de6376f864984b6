// TTessTable reading: navigation, RecNo, bookmarks, index selection, fields and their texts.
#include <gtest/gtest.h>

#include "tessdb/access/database.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"
#include "tests/tessdb/access/access_fixture.h"
#include "tests/tessdb/access/catalog_test.h"

namespace tessdb {
namespace {

using testing::MessageOf;

using testing::TempDir;

class TableTest : public testing::CatalogTest {
 protected:
  // Field texts from First to the end.
  static std::vector<std::string> Walk(TTessTable& table, const std::string& field) {
    std::vector<std::string> texts;
    for (table.First(); !table.Eof(); table.Next()) {
      texts.push_back(table.FieldByName(field).AsString());
    }
    return texts;
  }
};

TEST_F(TableTest, ProgramVendorWalk) {
  TTessTable table;
  Open(table, "cellphone", "nameindex");
  std::vector<std::string> names;
  table.First();
  for (int i = 0; i < table.RecordCount(); ++i) {
    names.push_back(table.FieldByName("name").AsString());
    table.Next();
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"Alcatel", "Ericsson", "Motorola", "Nokia", "Siemens"}));
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.FieldByName("name").AsString(), "Siemens");  // Next at the end stays there
}

struct IndexCase {
  const char* table;
  const char* indexName;
  const char* field;
  std::vector<std::string> order;
};

class IndexSelection : public TableTest, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(IndexSelection, ViewOrder) {
  TTessTable table;
  Open(table, GetParam().table, GetParam().indexName);
  EXPECT_EQ(Walk(table, GetParam().field), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexSelection,
    ::testing::Values(
        IndexCase{"cellphone",
                  "nameindex",
                  "name",
                  {"Alcatel", "Ericsson", "Motorola", "Nokia", "Siemens"}},
        IndexCase{"CELLPHONE",
                  "NameIndex",
                  "name",
                  {"Alcatel", "Ericsson", "Motorola", "Nokia", "Siemens"}},
        IndexCase{"cellphone", "", "name", {"Alcatel", "Ericsson", "Motorola", "Nokia", "Siemens"}},
        IndexCase{"cellphone", "nosuch", "country", {"FR", "SE", "US", "FI", "DE"}},
        IndexCase{"cellphoneconfig",
                  "",
                  "type",
                  {"3310", "6210", "8210", "C35", "OT 301", "S35", "T28", "V50"}},
        IndexCase{"cellphoneconfig",
                  "NAMEINDEX",
                  "type",
                  {"OT 301", "T28", "V50", "3310", "6210", "8210", "C35", "S35"}},
        IndexCase{"cellphoneconfig",
                  "widthdesc",
                  "width",
                  {"101", "101", "101", "96", "96", "96", "84", "84"}},
        IndexCase{"notes", "", "text", {"c", "a", "b"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(TableTest, NavigationFlagsOnANonEmptyView) {
  TTessTable table;
  Open(table, "cellphone", "nameindex");
  EXPECT_TRUE(table.Bof());
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.RecNo(), 1);
  table.Next();
  EXPECT_FALSE(table.Bof());
  table.Last();
  EXPECT_TRUE(table.Eof());
  EXPECT_FALSE(table.Bof());
  EXPECT_EQ(table.RecNo(), 5);
  EXPECT_EQ(table.FieldByName("name").AsString(), "Siemens");
  table.Prior();
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.FieldByName("name").AsString(), "Nokia");
  table.First();
  table.Prior();
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(table.FieldByName("name").AsString(), "Alcatel");
  EXPECT_EQ(table.MoveBy(10), 4);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.MoveBy(-2), -2);
  EXPECT_EQ(table.FieldByName("name").AsString(), "Motorola");
  EXPECT_EQ(table.MoveBy(-7), -2);
  EXPECT_TRUE(table.Bof());
}

TEST_F(TableTest, RecNoAssignment) {
  TTessTable table;
  Open(table, "cellphone", "nameindex");
  table.SetRecNo(3);
  EXPECT_EQ(table.FieldByName("name").AsString(), "Motorola");
  EXPECT_FALSE(table.Bof());
  EXPECT_FALSE(table.Eof());
  table.SetRecNo(6);  // beyond RecordCount: ignored
  EXPECT_EQ(table.RecNo(), 3);
  table.SetRecNo(-1);
  EXPECT_EQ(table.RecNo(), 3);
  table.SetRecNo(0);
  EXPECT_EQ(table.FieldByName("name").AsString(), "Alcatel");
  EXPECT_EQ(table.RecNo(), 1);
}

TEST_F(TableTest, EmptyView) {
  testing::CatalogRows rows;
  const std::string path = testing::WriteCatalog(dir_, "empty.alo", false, rows);
  TTessTable table;
  table.SetDatabaseName(path);
  table.SetTableName("cellphone");
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0);
  table.First();
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.Eof());
  EXPECT_TRUE(table.FieldByName("name").IsNull());
  EXPECT_EQ(table.FieldByName("name").AsString(), "");
  table.Next();
  table.Last();
  EXPECT_TRUE(table.Bof());
  EXPECT_TRUE(table.Eof());
}

TEST_F(TableTest, Bookmarks) {
  TTessTable table;
  table.SetName("TessTable1");
  Open(table, "cellphone", "nameindex");
  table.SetRecNo(4);
  const TBookmark nokia = table.GetBookmark();
  EXPECT_EQ(nokia, 0);  // the record number: Nokia was stored first
  table.First();
  table.GotoBookmark(nokia);
  EXPECT_EQ(table.FieldByName("name").AsString(), "Nokia");
  EXPECT_FALSE(table.Bof());
  EXPECT_TRUE(table.BookmarkValid(12345));

  table.SetFilter("name <> 'Nokia'");
  table.SetFiltered(true);
  EXPECT_EQ(MessageOf([&] { table.GotoBookmark(nokia); }), "TessTable1: Bookmark not found");
  table.Close();
  EXPECT_FALSE(table.BookmarkValid(nokia));
}

TEST_F(TableTest, FieldLookupAndNameRules) {
  TTessTable table;
  table.SetName("TessTable1");
  Open(table, "cellphone", "nameindex");
  EXPECT_EQ(&table.FieldByName("NAME"), &table.FieldByName("name"));
  EXPECT_EQ(MessageOf([&] { table.FieldByName("price"); }), "TessTable1: Field 'price' not found");
  ASSERT_EQ(table.FieldDefs().size(), 2u);
  EXPECT_EQ(table.FieldDefs()[0].size, 20);
  ASSERT_EQ(table.IndexDefs().size(), 1u);
  EXPECT_EQ(table.IndexDefs()[0].fields, "name");
  EXPECT_EQ(MessageOf([&] { table.SetTableName("x"); }),
            "TessTable1: Cannot perform this operation on an open dataset");
  table.Close();
  table.SetDatabaseName(path_);  // the same name again still forgets table and index
  EXPECT_EQ(table.TableName(), "");
  EXPECT_EQ(table.IndexName(), "");
}

TEST_F(TableTest, IndexChangeOnAnOpenTable) {
  TTessTable table;
  Open(table, "cellphoneconfig", "typeindex");
  table.Last();
  table.SetIndexName("nameindex");
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(table.FieldByName("name").AsString(), "Alcatel");
  table.SetIndexName("");
  EXPECT_EQ(table.FieldByName("type").AsString(), "3310");
}

TEST_F(TableTest, FieldTextsAndConversions) {
  const std::string path = testing::WriteKinds(dir_, "kinds.tdb");
  TTessTable table;
  table.SetDatabaseName(path);
  table.SetTableName("kinds");
  table.Open();
  table.Append();
  // A new record: today's date, the current time, date-time 30 December 1899.
  EXPECT_EQ(table.FieldByName("dt").AsString(), "12/30/1899 0:00:00");
  EXPECT_EQ(table.FieldByName("dt").AsDateTime(), 0.0);
  EXPECT_GT(table.FieldByName("d").AsDateTime(), 45000.0);  // after 2023
  EXPECT_GE(table.FieldByName("t").AsDateTime(), 0.0);
  EXPECT_LT(table.FieldByName("t").AsDateTime(), 1.0);
  table.FieldByName("s").SetAsString("abcdefghij");  // cut to its size
  table.FieldByName("i").SetAsInteger(-5);
  table.FieldByName("sm").SetAsString("-300");
  table.FieldByName("w").SetAsInteger(65535);
  table.FieldByName("b").SetAsString("true");
  table.FieldByName("f").SetAsFloat(1.5);
  table.FieldByName("d").SetAsString("3/15/2004");
  table.FieldByName("t").SetAsString("13:05:09");
  table.FieldByName("dt").SetAsDateTime(38061.5);  // 15 March 2004, noon
  table.FieldByName("big").SetAsLargeInt(-9000000000LL);
  table.FieldByName("memo").SetAsString("line one");
  EXPECT_EQ(MessageOf([&] { table.FieldByName("memo").SetData("x"); }), "General error");
  table.Post();

  const std::vector<std::pair<const char*, const char*>> expected = {{"id", "1"},
                                                                     {"s", "abcdefgh"},
                                                                     {"i", "-5"},
                                                                     {"sm", "-300"},
                                                                     {"w", "65535"},
                                                                     {"b", "True"},
                                                                     {"f", "1.5"},
                                                                     {"d", "3/15/2004"},
                                                                     {"t", "13:05:09"},
                                                                     {"dt", "3/15/2004 12:00:00"},
                                                                     {"big", "-9000000000"},
                                                                     {"memo", "line one"}};
  for (const auto& [field, text] : expected) {
    EXPECT_EQ(table.FieldByName(field).AsString(), text) << field;
  }
  EXPECT_EQ(table.FieldByName("d").AsDateTime(), 38061.0);
  EXPECT_DOUBLE_EQ(table.FieldByName("t").AsDateTime(), (13 * 3600 + 5 * 60 + 9) / 86400.0);
  EXPECT_TRUE(table.FieldByName("b").AsBoolean());

  table.Edit();
  table.FieldByName("f").SetAsFloat(1e20);
  table.FieldByName("b").SetAsBoolean(false);
  table.Post();
  EXPECT_EQ(table.FieldByName("f").AsString(), "1E20");
  EXPECT_EQ(table.FieldByName("b").AsString(), "False");
  EXPECT_EQ(MessageOf([&] { table.FieldByName("i").SetAsInteger(3); }),
            "Dataset not in edit or insert mode");
}

}  // namespace
}  // namespace tessdb
