// `tessdb find FILE TABLE --fields "a;b" --values "x;y" [--case-insensitive] [--partial]
// [--password TEXT | --ask-password] [--json]`: the first record whose key fields equal the
// values (the engine's Locate); exits with status 2 and "not found" when there is none.
#include <iostream>
#include <memory>

#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"
#include "tools/tessdb/record_output.h"
#include "tools/tessdb/table_access.h"
#include "tools/tessdb/value_text.h"

namespace tessdb_tool {
namespace {

struct FindOptions {
  std::string file;
  std::string table;
  std::string fields;
  std::string values;
  bool caseInsensitive = false;
  bool partial = false;
  bool json = false;
  PasswordOptions password;
};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(';', start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

void RunFind(const FindOptions& options) {
  const std::vector<std::string> fieldNames = Split(options.fields);
  const std::vector<std::string> values = Split(options.values);
  if (fieldNames.size() != values.size()) {
    throw ToolError("--fields names " + std::to_string(fieldNames.size()) +
                    " fields but --values gives " + std::to_string(values.size()));
  }
  tessdb::TTessTable table;
  OpenTable(table, options.file, Utf8ToLatin1(options.table, "The table name"), "",
            options.password);
  std::vector<std::string> keyValues;
  std::string keyFields;
  for (size_t i = 0; i < fieldNames.size(); ++i) {
    const tessdb::TField& field = table.FieldByName(Utf8ToLatin1(fieldNames[i], "--fields"));
    keyFields += (i > 0 ? ";" : "") + field.FieldName();
    keyValues.push_back(LocateText(field, Utf8ToLatin1(values[i], "--values")));
  }
  tessdb::TLocateOptions locateOptions = 0;
  if (options.caseInsensitive) locateOptions |= tessdb::loCaseInsensitive;
  if (options.partial) locateOptions |= tessdb::loPartialKey;
  if (!table.Locate(keyFields, keyValues, locateOptions)) throw NotFound();
  const std::vector<std::string> names = FieldNames(table);
  const std::vector<std::string> texts = RecordTexts(table);
  if (options.json) {
    std::cout << RecordJson(names, texts).dump() << '\n';
  } else {
    std::cout << AlignedTable(names, {texts});
  }
}

}  // namespace

void AddFindCommand(CLI::App& app) {
  auto options = std::make_shared<FindOptions>();
  CLI::App* command = app.add_subcommand("find", "Find a record by key field values (Locate).");
  command->add_option("FILE", options->file, "Database file")->required();
  command->add_option("TABLE", options->table, "Table name")->required();
  command->add_option("--fields", options->fields, "Key field names separated by ';'")->required();
  command->add_option("--values", options->values, "Key values separated by ';'")->required();
  command->add_flag("--case-insensitive", options->caseInsensitive,
                    "Compare texts without regard to case");
  command->add_flag("--partial", options->partial, "Text values match as prefixes");
  command->add_flag("--json", options->json, "Print the record as one JSON object");
  AddPasswordOptions(*command, options->password);
  command->callback([options] { RunFind(*options); });
}

}  // namespace tessdb_tool
