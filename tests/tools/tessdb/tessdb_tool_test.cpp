// The `tessdb` tool run as a real process: create then info --json round trip, the readable
// summary, and failures (one "tessdb: " line on stderr, status 1, no file left behind).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/file_system.h"
#include "tests/tessdb/storage/temp_dir.h"
#include "tests/tools/tessdb/tool_runner.h"

namespace {

using nlohmann::json;
using tessdb::testing::ReadFile;
using tessdb::testing::TempDir;
using tessdb::testing::Tool;
using tessdb::testing::ToolRun;

// The failure contract: status 1, nothing on stdout, exactly one line on stderr.
void ExpectFailure(const ToolRun& run, const std::string& message) {
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tessdb: " + message + "\n");
}

const char* kSchema = R"({"tables": [
  {"name": "Devices",
   "fields": [{"name": "Name", "type": "String", "size": 40},
              {"name": "Id", "type": "ftAutoInc"},
              {"name": "Price", "type": "currency"},
              {"name": "Photo", "type": "Graphic", "processed": false},
              {"name": "Notes", "type": 16},
              {"name": "Gerät", "type": "FixedChar", "size": 3}],
   "indexes": [{"name": "ByName", "fields": ["Name", "id"], "options": ["primary", "unique"]},
               {"name": "ByPrice", "fields": ["Price"],
                "options": ["descending", "case_insensitive"]},
               {"name": "Plain", "fields": ["Gerät"]}]},
  {"name": "Empty", "fields": []}]})";

TEST(TessdbTool, CreateThenInfoJsonRoundTrip) {
  TempDir dir;
  const std::string schema = dir.Write("schema.json", kSchema);
  const std::string db = dir.File("catalog.tdb");
  const ToolRun create =
      Tool(dir, {"create", db, "--schema", schema, "--password", "geheim", "--cipher", "Gost",
                 "--mode", "3", "--compress", "--level", "0", "--verify-writes"});
  ASSERT_EQ(create.status, 0) << create.err;
  EXPECT_EQ(create.err, "");

  const ToolRun info = Tool(dir, {"info", db, "--json", "--password", "geheim"});
  ASSERT_EQ(info.status, 0) << info.err;
  const json expected = json::parse(R"({
    "version": "2.0", "compressed": true, "compression": "ZLIB", "level": 0,
    "encrypted": true, "cipher": "Gost", "mode": 3, "verify_writes": true, "password_ok": true,
    "tables": [
      {"name": "Devices", "records": 0,
       "fields": [{"name": "Name", "type": 1, "size": 40, "processed": true},
                  {"name": "Id", "type": 14, "size": 0, "processed": true},
                  {"name": "Price", "type": 7, "size": 0, "processed": true},
                  {"name": "Photo", "type": 17, "size": 0, "processed": false},
                  {"name": "Notes", "type": 16, "size": 0, "processed": true},
                  {"name": "Gerät", "type": 23, "size": 3, "processed": true}],
       "indexes": [{"name": "ByName", "options": ["primary", "unique"], "fields": ["Name", "Id"]},
                   {"name": "ByPrice", "options": ["descending", "case_insensitive"],
                    "fields": ["Price"]},
                   {"name": "Plain", "options": [], "fields": ["Gerät"]}]},
      {"name": "Empty", "records": 0, "fields": [], "indexes": []}]})");
  EXPECT_EQ(json::parse(info.out), expected);
  // The name is stored as Latin-1, one byte per character.
  EXPECT_NE(ReadFile(db).find(std::string("Ger\xE4t\0", 6)), std::string::npos);

  const json wrong = json::parse(Tool(dir, {"info", db, "--json", "--password", "Geheim"}).out);
  EXPECT_EQ(wrong["password_ok"], false);
  const json none = json::parse(Tool(dir, {"info", db, "--json"}).out);
  EXPECT_FALSE(none.contains("password_ok"));
  EXPECT_EQ(none["tables"], expected["tables"]);
}

TEST(TessdbTool, PlainDatabaseDefaultsAndReadableSummary) {
  TempDir dir;
  const std::string schema = dir.Write("schema.json", kSchema);
  const std::string db = dir.File("plain.tdb");
  ASSERT_EQ(Tool(dir, {"create", db, "--schema", schema}).status, 0);
  const json info = json::parse(Tool(dir, {"info", db, "--json", "--password", "x"}).out);
  EXPECT_EQ(info["compressed"], false);
  EXPECT_EQ(info["compression"], "");
  EXPECT_EQ(info["level"], 1);
  EXPECT_EQ(info["encrypted"], false);
  EXPECT_EQ(info["cipher"], "");
  EXPECT_EQ(info["mode"], 0);
  EXPECT_EQ(info["verify_writes"], false);
  EXPECT_EQ(info["password_ok"], true);  // any password opens an unencrypted file

  const ToolRun text = Tool(dir, {"info", db});
  ASSERT_EQ(text.status, 0);
  for (const char* part : {"Version:       2.0", "Compression:   none", "Encryption:    none",
                           "Tables:        2", "Devices (0 records)", "String(40)",
                           "Graphic, unprocessed", "Name, Id [primary, unique]", "Gerät"}) {
    EXPECT_NE(text.out.find(part), std::string::npos) << part << "\n" << text.out;
  }
}

TEST(TessdbTool, FailuresAreOneLineWithStatusOne) {
  TempDir dir;
  const std::string schema = dir.Write("schema.json", kSchema);
  const std::string existing = dir.Write("existing.tdb", "keep");
  ExpectFailure(Tool(dir, {"create", existing, "--schema", schema}),
                "File '" + existing + "' already exists");
  EXPECT_EQ(ReadFile(existing), "keep");

  struct SchemaCase {
    std::string json;
    std::string message;
  };
  const std::vector<SchemaCase> schemaCases = {
      {R"({"tables": [{"name": "T", "fields": [{"name": "F", "type": "Strin"}]}]})",
       "Table 'T', field 'F': unknown type 'Strin'"},
      {R"({"tables": [{"name": "T", "fields": [{"name": "W", "type": "WideString"}]}]})",
       "Table 'T', field 'W': type WideString (24) cannot be stored"},
      {R"({"tables": [{"name": "T", "fields": [{"name": "F", "type": "Integer", "sise": 3}]}]})",
       "Table 'T', field 'F': unknown key 'sise'"},
      {R"({"tables": [{"name": "T", "fields": [{"name": "F", "type": "Integer"}],
                       "indexes": [{"name": "I", "fields": ["G"]}]}]})",
       "Table 'T', index 'I': no field 'G'"},
      {R"({"tables": [{"name": "T", "fields": [{"name": "F", "type": "Integer"}],
                       "indexes": [{"name": "I", "fields": ["F"], "options": ["clustered"]}]}]})",
       "Table 'T', index 'I': unknown option clustered"},
      {R"({"tables": [{"name": "T", "fields": []}, {"name": "t", "fields": []}]})",
       "Table 't': a table of that name exists already"},
      {R"({"tables": [{"fields": []}]})", "Table 1: \"name\" text missing"},
      {R"({"tables": )", ""},  // not JSON: message checked below
  };
  for (const SchemaCase& c : schemaCases) {
    SCOPED_TRACE(c.json);
    const std::string bad = dir.Write("bad.json", c.json);
    const std::string db = dir.File("bad.tdb");
    const ToolRun run = Tool(dir, {"create", db, "--schema", bad});
    if (c.message.empty()) {
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err.rfind("tessdb: Schema is not valid JSON: ", 0), 0u) << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    } else {
      ExpectFailure(run, c.message);
    }
    EXPECT_FALSE(platform::FileExists(db)) << "a failed create left a file";
  }

  const std::string missing = dir.File("missing.tdb");
  ExpectFailure(Tool(dir, {"info", missing}), "Cannot open file " + missing);
  ExpectFailure(Tool(dir, {"info", existing, "--json"}),
                "Database file '" + existing + "' is a invalid TessDB");
  ExpectFailure(Tool(dir, {"create", dir.File("x.tdb"), "--schema", dir.File("none.json")}),
                "Cannot read schema file '" + dir.File("none.json") + "'");
  ExpectFailure(Tool(dir, {"create", dir.File("x.tdb"), "--schema", schema, "--password", "p"}),
                "--password requires --cipher");
  ExpectFailure(Tool(dir, {"create", dir.File("x.tdb"), "--schema", schema, "--password", "p",
                           "--cipher", "Gost", "--mode", "5"}),
                "--mode: Value 5 not in range 0 to 4");
  ExpectFailure(Tool(dir, {"create", dir.File("x.tdb"), "--schema", schema, "--level", "2"}),
                "--level requires --compress");
  ExpectFailure(Tool(dir, {}), "A subcommand is required");
  ExpectFailure(Tool(dir, {"frobnicate"}), "Unknown command 'frobnicate'");
  EXPECT_FALSE(platform::FileExists(dir.File("x.tdb")));
}

TEST(TessdbTool, HelpOnEveryCommand) {
  TempDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"info", "--help"}, {"create", "--help"}}) {
    const ToolRun run = Tool(dir, args);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Usage:"), std::string::npos) << run.out;
  }
  EXPECT_NE(Tool(dir, {"create", "--help"}).out.find("--verify-writes"), std::string::npos);
  EXPECT_NE(Tool(dir, {"info", "--help"}).out.find("--json"), std::string::npos);
}

}  // namespace
