// `tessdb dump FILE TABLE [--password TEXT | --ask-password] [--index NAME] [--filter EXPR]
// [--case-insensitive] [--no-partial] [--json]`: the table's records in the order of the index
// (the primary one when none is named), restricted to those passing the filter when one is given.
#include <iostream>
#include <memory>

#include "tessdb/core/filter_options.h"
#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"
#include "tools/tessdb/record_output.h"
#include "tools/tessdb/table_access.h"

namespace tessdb_tool {
namespace {

struct DumpOptions {
  std::string file;
  std::string table;
  std::string index;
  std::optional<std::string> filter;
  bool caseInsensitive = false;
  bool noPartial = false;
  bool json = false;
  PasswordOptions password;
};

void RunDump(const DumpOptions& options) {
  tessdb::TTessTable table;
  OpenTable(table, options.file, Utf8ToLatin1(options.table, "The table name"),
            Utf8ToLatin1(options.index, "The index name"), options.password);
  tessdb::TFilterOptions filterOptions = 0;
  if (options.caseInsensitive) filterOptions |= tessdb::foCaseInsensitive;
  if (options.noPartial) filterOptions |= tessdb::foNoPartialCompare;
  table.SetFilterOptions(filterOptions);
  if (options.filter && !options.filter->empty()) {
    table.SetFilter(Utf8ToLatin1(*options.filter, "The filter"));
    table.SetFiltered(true);
  }
  const std::vector<std::string> names = FieldNames(table);
  std::vector<std::vector<std::string>> rows;
  std::string out;
  for (table.First(); !table.Eof(); table.Next()) {
    if (options.json) {
      out += RecordJson(names, RecordTexts(table)).dump() + '\n';
    } else {
      rows.push_back(RecordTexts(table));
    }
  }
  std::cout << (options.json ? out : AlignedTable(names, rows));
}

}  // namespace

void AddDumpCommand(CLI::App& app) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* command = app.add_subcommand("dump", "Print a table's records in index order.");
  command->add_option("FILE", options->file, "Database file")->required();
  command->add_option("TABLE", options->table, "Table name")->required();
  AddPasswordOptions(*command, options->password);
  command->add_option("--index", options->index, "Index giving the order (default: primary)");
  command->add_option("--filter", options->filter, "Only records passing this filter expression");
  command->add_flag("--case-insensitive", options->caseInsensitive,
                    "Compare the filter's texts without regard to case");
  command->add_flag("--no-partial", options->noPartial,
                    "A '*' in the filter's texts is literal, not a prefix marker");
  command->add_flag("--json", options->json, "One JSON object per record and line");
  command->callback([options] { RunDump(*options); });
}

}  // namespace tessdb_tool
