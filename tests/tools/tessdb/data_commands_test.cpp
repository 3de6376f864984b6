// `tessdb import`, `dump` and `find` run as real processes: the create → import → dump round trip
// over every value form, import failures, passwords, filters and index orders, and find.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/tessdb/storage/temp_dir.h"
#include "tests/tools/tessdb/tool_runner.h"

namespace {

using json = nlohmann::ordered_json;
using tessdb::testing::TempDir;
using tessdb::testing::Tool;
using tessdb::testing::ToolRun;

const char* kSchema = R"({"tables": [
  {"name": "phones",
   "fields": [{"name": "vendor", "type": "String", "size": 20},
              {"name": "model", "type": "String", "size": 20},
              {"name": "width", "type": "Integer"},
              {"name": "height", "type": "Smallint"},
              {"name": "ratio", "type": "Float"},
              {"name": "touch", "type": "Boolean"},
              {"name": "launched", "type": "Date"},
              {"name": "alarm", "type": "Time"},
              {"name": "checked", "type": "DateTime"},
              {"name": "serial", "type": "Largeint"},
              {"name": "notes", "type": "Memo"},
              {"name": "photo", "type": "Blob"}],
   "indexes": [{"name": "byname", "fields": ["vendor", "model"], "options": ["primary", "unique"]},
               {"name": "bywidth", "fields": ["width"], "options": ["descending"]}]}]})";

// Rows in the order of the primary index, every value in the form dump prints.
const char* kCsv =
    "vendor,model,width,height,ratio,touch,launched,alarm,checked,serial,notes,photo\r\n"
    "Apple,iPhone,320,480,1.5,True,2007-06-29,07:30:00,2007-06-29 18:00:00.250,"
    "9000000000,bXVsdGktdG91Y2gsICJuZXci,AAEC/w==\r\n"
    "BlackBerry,Curve 8300,320,240,0.75,False,2007-05-01,23:59:59.999,2008-01-01 00:00:00,"
    "-1,,\r\n"
    "Gerät,\"X 1, \"\"mini\"\"\",128,-160,1E-5,False,1999-12-31,00:00:00,1899-12-30 00:00:00,0,"
    "dHdvCmxpbmVz,"
    "\r\n";

std::vector<std::vector<std::string>> CsvCells() {
  return {{"Apple", "iPhone", "320", "480", "1.5", "True", "2007-06-29", "07:30:00",
           "2007-06-29 18:00:00.250", "9000000000", "bXVsdGktdG91Y2gsICJuZXci", "AAEC/w=="},
          {"BlackBerry", "Curve 8300", "320", "240", "0.75", "False", "2007-05-01", "23:59:59.999",
           "2008-01-01 00:00:00", "-1", "", ""},
          {"Gerät", "X 1, \"mini\"", "128", "-160", "1E-5", "False", "1999-12-31", "00:00:00",
           "1899-12-30 00:00:00", "0", "dHdvCmxpbmVz", ""}};
}

const std::vector<std::string> kNames = {"vendor",  "model",  "width",    "height",
                                         "ratio",   "touch",  "launched", "alarm",
                                         "checked", "serial", "notes",    "photo"};

std::vector<json> JsonLines(const std::string& text) {
  std::vector<json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
  return lines;
}

class DataCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = dir_.File("phones.tdb");
    const ToolRun create = Tool(dir_, {"create", db_, "--schema", dir_.Write("s.json", kSchema),
                                       "--password", "pw", "--cipher", "Twofish"});
    ASSERT_EQ(create.status, 0) << create.err;
  }

  ToolRun Import(const std::string& csv, const std::string& password = "pw") {
    return Tool(dir_,
                {"import", db_, "phones", dir_.Write("data.csv", csv), "--password", password});
  }

  TempDir dir_;
  std::string db_;
};

TEST_F(DataCommands, CreateImportDumpRoundTrip) {
  const ToolRun import = Import(kCsv);
  ASSERT_EQ(import.status, 0) << import.err;
  EXPECT_EQ(import.out, "Imported 3 records into phones\n");

  const ToolRun dump = Tool(dir_, {"dump", db_, "phones", "--password", "pw", "--json"});
  ASSERT_EQ(dump.status, 0) << dump.err;
  const std::vector<json> lines = JsonLines(dump.out);
  const auto cells = CsvCells();
  ASSERT_EQ(lines.size(), cells.size());
  for (size_t r = 0; r < cells.size(); ++r) {
    std::vector<std::string> keys;
    for (auto it = lines[r].begin(); it != lines[r].end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, kNames);  // field order
    for (size_t f = 0; f < kNames.size(); ++f) {
      EXPECT_EQ(lines[r][kNames[f]], cells[r][f]) << "row " << r << " " << kNames[f];
    }
  }

  // The readable table: aligned columns, values in the same forms.
  const ToolRun table = Tool(dir_, {"dump", db_, "phones", "--password", "pw"});
  ASSERT_EQ(table.status, 0) << table.err;
  std::istringstream in(table.out);
  std::string header, first;
  std::getline(in, header);
  std::getline(in, first);
  EXPECT_EQ(header.rfind("vendor      model        width  height", 0), 0u) << header;
  EXPECT_EQ(first.rfind("Apple       iPhone       320    480", 0), 0u) << first;
}

TEST_F(DataCommands, ImportStopsAtABadValueOrADuplicateKeepingEarlierRows) {
  struct Case {
    std::string csv;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"vendor,model,width\nA,1,10\nB,2,wide\n",
       "tessdb: line 3: 'wide' is not a valid integer value (1 record imported)\n"},
      {"model,vendor,launched\n1,C,2004-02-30\n",
       "tessdb: line 2: '2004-02-30' is not a valid date (0 records imported)\n"},
      {"vendor,model\nD,1\nE,1\n\"A\",\"1\"\n",
       "tessdb: line 4: Invalid unique field value 'A,1' (2 records imported)\n"},
      {"vendor,model,touch\nF,1,maybe\n",
       "tessdb: line 2: 'maybe' is not a valid boolean value (0 records imported)\n"},
      {"vendor,colour\nG,red\n", "tessdb: Field 'colour' not found\n"},
      {"vendor,model\nH,1,2\n",
       "tessdb: line 2: expected 2 values, found 3 (0 records imported)\n"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Import(c.csv);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.error);
  }
  const ToolRun dump = Tool(dir_, {"dump", db_, "phones", "--password", "pw", "--json"});
  std::vector<std::string> vendors;
  for (const json& line : JsonLines(dump.out)) vendors.push_back(line["vendor"]);
  EXPECT_EQ(vendors, (std::vector<std::string>{"A", "D", "E"}));
}

TEST_F(DataCommands, WrongOrMissingPasswordIsAccessDenied) {
  ASSERT_EQ(Import(kCsv).status, 0);
  const std::vector<std::vector<std::string>> runs = {
      {"dump", db_, "phones"},
      {"dump", db_, "phones", "--password", "PW"},
      {"find", db_, "phones", "--fields", "vendor", "--values", "Apple"},
      {"import", db_, "phones", dir_.Write("x.csv", "vendor\nZ\n"), "--password", "nope"},
      {"dump", db_, "phones", "--ask-password"},  // input ends at once
  };
  for (const auto& args : runs) {
    const ToolRun run = Tool(dir_, args);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_EQ(run.err, "tessdb: Access denied\n") << args[0];
  }
  const ToolRun asked = Tool(dir_, {"dump", db_, "phones", "--ask-password", "--json"}, "pw\n");
  EXPECT_EQ(asked.status, 0) << asked.err;
  EXPECT_EQ(JsonLines(asked.out).size(), 3u);
}

TEST_F(DataCommands, DumpOrderAndFilter) {
  ASSERT_EQ(Import(kCsv).status, 0);
  auto column = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"dump", db_, "phones", "--password", "pw", "--json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const ToolRun run = Tool(dir_, args);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> models;
    for (const json& line : JsonLines(run.out)) models.push_back(line["model"]);
    return models;
  };
  EXPECT_EQ(column({"--index", "BYWIDTH"}),
            (std::vector<std::string>{"iPhone", "Curve 8300", "X 1, \"mini\""}));
  EXPECT_EQ(column({"--filter", "width = 320 AND touch = False"}),
            (std::vector<std::string>{"Curve 8300"}));
  EXPECT_EQ(column({"--filter", "vendor = 'apple'"}), (std::vector<std::string>{}));
  EXPECT_EQ(column({"--filter", "vendor = 'apple'", "--case-insensitive"}),
            (std::vector<std::string>{"iPhone"}));
  EXPECT_EQ(column({"--filter", "vendor = 'B*'"}), (std::vector<std::string>{"Curve 8300"}));
  EXPECT_EQ(column({"--filter", "vendor = 'B*'", "--no-partial"}), (std::vector<std::string>{}));
  const ToolRun bad = Tool(dir_, {"dump", db_, "phones", "--password", "pw", "--filter", "x ="});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "tessdb: Field 'x' not found\n");
}

TEST_F(DataCommands, Find) {
  ASSERT_EQ(Import(kCsv).status, 0);
  const ToolRun found = Tool(dir_, {"find", db_, "phones", "--fields", "vendor;model", "--values",
                                    "BlackBerry;Curve 8300", "--password", "pw", "--json"});
  ASSERT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(json::parse(found.out)["alarm"], "23:59:59.999");

  const ToolRun partial =
      Tool(dir_, {"find", db_, "phones", "--fields", "vendor", "--values", "gER",
                  "--case-insensitive", "--partial", "--password", "pw", "--json"});
  ASSERT_EQ(partial.status, 0) << partial.err;
  EXPECT_EQ(json::parse(partial.out)["model"], "X 1, \"mini\"");

  const ToolRun byDate = Tool(dir_, {"find", db_, "phones", "--fields", "launched", "--values",
                                     "2007-05-01", "--password", "pw"});
  ASSERT_EQ(byDate.status, 0) << byDate.err;
  EXPECT_NE(byDate.out.find("Curve 8300"), std::string::npos);

  const ToolRun missing = Tool(
      dir_, {"find", db_, "phones", "--fields", "vendor", "--values", "Nokia", "--password", "pw"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "tessdb: not found\n");
}

}  // namespace
