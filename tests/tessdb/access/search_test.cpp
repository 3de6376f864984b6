// Filtering and searching on a table: Filter/Filtered/FilterOptions, OnFilterRecord,
// OnFilterProgress, FindFirst/FindNext, Locate/Lookup and a master/detail range.
#include <gtest/gtest.h>

#include "tessdb/access/data_source.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"
#include "tests/tessdb/access/access_fixture.h"
#include "tests/tessdb/access/catalog_test.h"

namespace tessdb {
namespace {

using testing::MessageOf;

using testing::TempDir;

class SearchTest : public testing::CatalogTest {
 protected:
  void SetUp() override {
    CatalogTest::SetUp();
    models_.SetName("TessTable2");
    Open(models_, "cellphoneconfig", "typeindex");
  }

  std::string Type() { return models_.FieldByName("type").AsString(); }

  // The program's model search: FindFirst, then FindNext while not Eof.
  std::vector<std::string> FindAll() {
    std::vector<std::string> types;
    if (!models_.FindFirst()) return types;
    types.push_back(Type());
    while (!models_.Eof()) {
      if (!models_.FindNext()) break;
      types.push_back(Type());
    }
    return types;
  }

  TTessTable models_;
};

TEST_F(SearchTest, FindWalksAllMatchesWithoutRestrictingTheView) {
  models_.SetFilter("name='Nokia'");
  EXPECT_EQ(models_.RecordCount(), 8);
  EXPECT_EQ(FindAll(), (std::vector<std::string>{"3310", "6210", "8210"}));
  EXPECT_EQ(Type(), "8210");  // the last FindNext found nothing and left the cursor here
  EXPECT_FALSE(models_.Eof());
  EXPECT_FALSE(models_.Found());

  models_.SetFilter("name='Siemens'");
  EXPECT_EQ(FindAll(), (std::vector<std::string>{"C35", "S35"}));
  models_.SetRecNo(2);
  models_.SetFilter("name='Sagem'");
  EXPECT_FALSE(models_.FindFirst());
  EXPECT_EQ(Type(), "6210");  // no match: the record current before stays current
  EXPECT_FALSE(models_.Eof());

  models_.SetFilter("");
  EXPECT_TRUE(models_.FindFirst());
  EXPECT_EQ(Type(), "3310");
  EXPECT_TRUE(models_.FindNext());
  EXPECT_EQ(Type(), "6210");
  models_.SetFilter("width > 96");
  EXPECT_TRUE(models_.FindLast());
  EXPECT_EQ(Type(), "T28");
  EXPECT_TRUE(models_.FindPrior());
  EXPECT_EQ(Type(), "S35");
}

TEST_F(SearchTest, FilterOptions) {
  models_.SetFilter("name='nokia'");
  EXPECT_FALSE(models_.FindFirst());
  models_.SetFilterOptions(foCaseInsensitive);
  EXPECT_EQ(FindAll().size(), 3u);
  models_.SetFilterOptions(0);
  models_.SetFilter("name='Mot*'");
  EXPECT_EQ(FindAll(), (std::vector<std::string>{"V50"}));
  models_.SetFilterOptions(foNoPartialCompare);
  EXPECT_TRUE(FindAll().empty());
}

TEST_F(SearchTest, FilterErrorsOnOpenAndClosedTables) {
  models_.SetFilter("name='Nokia'");
  EXPECT_EQ(MessageOf([&] { models_.SetFilter("name='Nokia"); }), "Unterminated string constant");
  EXPECT_EQ(models_.Filter(), "name='Nokia'");
  EXPECT_EQ(MessageOf([&] { models_.SetFilter("price > 3"); }),
            "TessTable2: Field 'price' not found");
  EXPECT_EQ(FindAll().size(), 3u);

  models_.Close();
  models_.SetFilter("name = = 'x'");  // stored unparsed
  EXPECT_EQ(models_.Filter(), "name = = 'x'");
  models_.Open();
  EXPECT_EQ(MessageOf([&] { models_.FindFirst(); }), "Expression expected but '=' found");
  models_.Close();
  models_.SetFiltered(true);
  EXPECT_EQ(MessageOf([&] { models_.Open(); }), "Expression expected but '=' found");
  EXPECT_FALSE(models_.Active());
}

TEST_F(SearchTest, FilteredBuildsAndDropsTheView) {
  models_.SetFilter("width = 96");
  models_.SetFiltered(true);
  EXPECT_EQ(models_.RecordCount(), 3);
  EXPECT_EQ(Type(), "6210");
  EXPECT_TRUE(models_.Bof());
  models_.SetFilter("width = 101");  // rebuilt from the whole index order
  EXPECT_EQ(models_.RecordCount(), 3);
  EXPECT_EQ(Type(), "C35");
  models_.SetFilter("width = 1");
  EXPECT_EQ(models_.RecordCount(), 0);
  EXPECT_TRUE(models_.Eof());
  EXPECT_EQ(MessageOf([&] { models_.FindFirst(); }), "TessTable2: Record not found");
  models_.SetFiltered(false);
  EXPECT_EQ(models_.RecordCount(), 8);
  EXPECT_EQ(Type(), "3310");

  models_.Close();
  models_.SetFilter("height < 50");
  models_.SetFiltered(true);
  models_.Open();  // built as the open completes
  EXPECT_EQ(models_.RecordCount(), 4);
}

TEST_F(SearchTest, RefreshOfAFilteredViewStartsAtTheFirstRecord) {
  models_.SetFilter("width = 96");
  models_.SetFiltered(true);
  models_.SetRecNo(2);
  EXPECT_EQ(Type(), "OT 301");
  models_.Refresh();  // the view is built again, which always ends on its first record
  EXPECT_EQ(models_.RecordCount(), 3);
  EXPECT_EQ(Type(), "6210");
  EXPECT_EQ(models_.RecNo(), 1);
}

TEST_F(SearchTest, OnFilterRecordRejectsWhateverTheExpressionSays) {
  models_.OnFilterRecord = [](TDataSet& dataSet, bool& accept) {
    accept = dataSet.FieldByName("type").AsString() != "6210";
  };
  models_.SetFilter("name='Nokia'");
  EXPECT_EQ(FindAll(), (std::vector<std::string>{"3310", "8210"}));
  models_.SetFiltered(true);
  EXPECT_EQ(models_.RecordCount(), 2);
  models_.SetFilter("");
  EXPECT_EQ(models_.RecordCount(), 7);
}

TEST_F(SearchTest, FilterProgressOnAFourRecordView) {
  testing::CatalogRows rows = testing::DefaultCatalog();
  rows.vendors.pop_back();
  const std::string path = testing::WriteCatalog(dir_, "four.alo", false, rows);
  TTessTable vendors;
  vendors.SetDatabaseName(path);
  vendors.SetTableName("cellphone");
  vendors.Open();
  std::vector<int> reported;
  vendors.OnFilterProgress = [&](TTessTable&, int percent) { reported.push_back(percent); };
  vendors.SetFilter("country <> 'FR'");
  vendors.SetFiltered(true);
  EXPECT_EQ(reported, (std::vector<int>{0, 25, 50, 75}));
  EXPECT_EQ(vendors.RecordCount(), 3);
}

TEST(SearchEmpty, FindFirstOnAnEmptyTable) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "empty.alo", false, {});
  TTessTable table;
  table.SetName("TessTable2");
  table.SetDatabaseName(path);
  table.SetTableName("cellphoneconfig");
  table.Open();
  table.SetFilter("name='Nokia'");
  EXPECT_EQ(MessageOf([&] { table.FindFirst(); }), "TessTable2: Record not found");
  EXPECT_EQ(MessageOf([&] { table.FindNext(); }), "TessTable2: Record not found");
}

TEST_F(SearchTest, LocateWithAndWithoutAMatchingIndex) {
  TTessTable vendors;
  Open(vendors, "cellphone", "");
  struct Case {
    const char* fields;
    std::vector<std::string> values;
    TLocateOptions options;
    const char* found;  // name of the record found, "" for none
  };
  const std::vector<Case> cases = {
      {"name", {"Nokia"}, 0, "Nokia"},                  // through nameindex
      {"name", {"Mot"}, loPartialKey, "Motorola"},      // partial key on the index
      {"name", {"Mot"}, 0, ""},                         // whole key only
      {"NAME", {"nokia"}, loCaseInsensitive, "Nokia"},  // no such index: scan
      {"name", {"sie"}, loCaseInsensitive | loPartialKey, "Siemens"},
      {"country", {"SE"}, 0, "Ericsson"},  // scan
      {"country;name", {"US", "Motorola"}, 0, "Motorola"},
      {"country;name", {"US", "Nokia"}, 0, ""},
  };
  for (const Case& c : cases) {
    vendors.First();
    const bool found = vendors.Locate(c.fields, c.values, c.options);
    EXPECT_EQ(found, *c.found != '\0') << c.fields << " " << c.values[0];
    EXPECT_EQ(vendors.FieldByName("name").AsString(), *c.found ? c.found : "Alcatel");
  }
  EXPECT_TRUE(models_.Locate("name;type", {"Siemens", "S35"}));
  EXPECT_EQ(models_.FieldByName("height").AsInteger(), 80);
  EXPECT_TRUE(models_.Locate("width", {"84"}));
  EXPECT_EQ(Type(), "3310");
  EXPECT_EQ(MessageOf([&] { models_.Locate("nope", {"x"}); }),
            "TessTable2: Field 'nope' not found");
}

TEST_F(SearchTest, LocateRespectsTheView) {
  models_.SetFilter("width = 96");
  models_.SetFiltered(true);
  EXPECT_FALSE(models_.Locate("type", {"3310"}));  // the index finds it, the view lacks it
  EXPECT_TRUE(models_.Locate("type", {"V50"}));
  EXPECT_EQ(models_.RecNo(), 3);
}

TEST_F(SearchTest, LookupDoesNotMoveTheCursor) {
  models_.SetRecNo(4);
  const auto values = models_.Lookup("type", {"S35"}, "name;height");
  ASSERT_TRUE(values.has_value());
  EXPECT_EQ(*values, (std::vector<std::string>{"Siemens", "80"}));
  EXPECT_EQ(Type(), "C35");
  EXPECT_EQ(models_.RecNo(), 4);
  EXPECT_FALSE(models_.Lookup("type", {"X1"}, "name").has_value());
  EXPECT_EQ(Type(), "C35");
}

TEST_F(SearchTest, MasterDetailRange) {
  TTessTable vendors;
  Open(vendors, "cellphone", "nameindex");
  TDataSource source;
  source.SetDataSet(&vendors);
  models_.SetIndexName("nameindex");
  models_.SetMasterFields("name");
  models_.SetMasterSource(&source);
  EXPECT_TRUE(models_.RangeActive());
  EXPECT_EQ(models_.RecordCount(), 1);  // Alcatel
  EXPECT_EQ(Type(), "OT 301");
  ASSERT_TRUE(vendors.Locate("name", {"Nokia"}));
  EXPECT_EQ(models_.RecordCount(), 3);
  std::vector<std::string> types;
  for (models_.First(); !models_.Eof(); models_.Next()) types.push_back(Type());
  EXPECT_EQ(types, (std::vector<std::string>{"3310", "6210", "8210"}));
  vendors.Next();
  EXPECT_EQ(models_.RecordCount(), 2);  // Siemens
  EXPECT_EQ(models_.FieldByName("name").AsString(), "Siemens");

  // A filter applies inside the range; dropping it keeps the range.
  models_.SetFilter("height > 70");
  models_.SetFiltered(true);
  EXPECT_EQ(models_.RecordCount(), 1);
  models_.SetFiltered(false);
  EXPECT_EQ(models_.RecordCount(), 2);

  source.SetEnabled(false);
  EXPECT_FALSE(models_.RangeActive());
  EXPECT_EQ(models_.RecordCount(), 8);

  TDataSource back;
  back.SetDataSet(&models_);
  source.SetEnabled(true);
  EXPECT_EQ(MessageOf([&] { vendors.SetMasterSource(&back); }),
            "Circular datalinks are not allowed");
}

TEST_F(SearchTest, MasterLinkWithoutAnIndexLeavesTheDetailAlone) {
  TTessTable vendors;
  Open(vendors, "cellphone", "nameindex");
  TDataSource source;
  source.SetDataSet(&vendors);
  TTessTable notes;  // physical order: no index to take a range from
  Open(notes, "notes", "");
  notes.SetMasterFields("name");
  notes.SetMasterSource(&source);
  notes.SetRecNo(2);
  vendors.Next();
  EXPECT_FALSE(notes.RangeActive());
  EXPECT_EQ(notes.RecordCount(), 3);
  EXPECT_EQ(notes.RecNo(), 2);
  EXPECT_EQ(notes.FieldByName("text").AsString(), "a");
}

}  // namespace
}  // namespace tessdb
