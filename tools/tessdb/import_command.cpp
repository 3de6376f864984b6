// `tessdb import FILE TABLE DATA.csv [--password TEXT | --ask-password]`: appends the CSV's rows
// to the table through the engine's dataset. The first row names the fields (a subset, in any
// order; the others keep a new record's initial values). Values take the forms of value_text.h.
// A bad value or a unique violation stops the import naming the line; the rows before it stay.
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"
#include "tools/tessdb/table_access.h"
#include "tools/tessdb/value_text.h"

namespace tessdb_tool {
namespace {

struct ImportOptions {
  std::string file;
  std::string table;
  std::string csv;
  PasswordOptions password;
};

struct CsvRow {
  int line = 0;  // line of the file the row starts on
  std::vector<std::string> values;
};

// RFC 4180 records: ',' separated, '"' quoted with '""' for a quote, CRLF or LF line ends, line
// breaks allowed inside quotes. Blank lines are skipped.
std::vector<CsvRow> ReadCsv(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError("Cannot open file " + path);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string value;
  bool quoted = false;
  bool rowHasContent = false;
  int line = 1;
  row.line = 1;
  auto endValue = [&] {
    row.values.push_back(value);
    value.clear();
  };
  auto endRow = [&] {
    if (rowHasContent) {
      endValue();
      rows.push_back(row);
    }
    row = CsvRow{};
    value.clear();
    rowHasContent = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          value += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        value += c;
      }
      continue;
    }
    if (!rowHasContent && c != '\r' && c != '\n') row.line = line;
    switch (c) {
      case '"':
        quoted = true;
        rowHasContent = true;
        break;
      case ',':
        endValue();
        rowHasContent = true;
        break;
      case '\r':
        break;
      case '\n':
        endRow();
        ++line;
        break;
      default:
        value += c;
        rowHasContent = true;
    }
  }
  if (quoted) throw ToolError("line " + std::to_string(row.line) + ": unterminated quoted value");
  endRow();
  return rows;
}

void RunImport(const ImportOptions& options) {
  const std::vector<CsvRow> rows = ReadCsv(options.csv);
  if (rows.empty()) throw ToolError(options.csv + " has no header row");
  tessdb::TTessTable table;
  OpenTable(table, options.file, Utf8ToLatin1(options.table, "The table name"), "",
            options.password);
  std::vector<tessdb::TField*> fields;
  for (const std::string& name : rows[0].values) {
    fields.push_back(&table.FieldByName(Utf8ToLatin1(name, "The header")));
  }
  int imported = 0;
  for (size_t r = 1; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    try {
      if (row.values.size() != fields.size()) {
        throw ToolError("expected " + std::to_string(fields.size()) + " values, found " +
                        std::to_string(row.values.size()));
      }
      table.Append();
      for (size_t i = 0; i < fields.size(); ++i) {
        SetFieldText(*fields[i],
                     Utf8ToLatin1(row.values[i], "The value of " + fields[i]->FieldName()));
      }
      table.Post();
      ++imported;
    } catch (const std::exception& error) {
      try {
        table.Cancel();
      } catch (...) {
      }
      throw ToolError("line " + std::to_string(row.line) + ": " + error.what() + " (" +
                      std::to_string(imported) + (imported == 1 ? " record" : " records") +
                      " imported)");
    }
  }
  table.Close();
  std::cout << "Imported " << imported << (imported == 1 ? " record" : " records") << " into "
            << options.table << '\n';
}

}  // namespace

void AddImportCommand(CLI::App& app) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand(
      "import", "Append the rows of a CSV file to a table (header = field names).");
  command->add_option("FILE", options->file, "Database file")->required();
  command->add_option("TABLE", options->table, "Table name")->required();
  command->add_option("DATA", options->csv, "CSV file")->required();
  AddPasswordOptions(*command, options->password);
  command->callback([options] { RunImport(*options); });
}

}  // namespace tessdb_tool
