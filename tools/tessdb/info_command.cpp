// `tessdb info FILE [--password TEXT] [--json]`: the version, the data-processing block and every
// table with its record count, fields and indexes.
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tessdb/core/field_type.h"
#include "tessdb/storage/file_io.h"
#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"

namespace tessdb_tool {
namespace {

using tessdb::TTableHeader;

struct InfoOptions {
  std::string file;
  std::optional<std::string> password;
  bool json = false;
};

struct DatabaseInfo {
  std::string version;
  tessdb::TProcessingBlock processing;
  std::optional<bool> passwordOk;
  std::vector<TTableHeader> tables;
};

DatabaseInfo ReadInfo(const InfoOptions& options) {
  tessdb::TTessDBFileIO fileIO;
  fileIO.Open(options.file, tessdb::mtDisk, /*readOnly=*/true, /*exclusive=*/false);
  DatabaseInfo info;
  info.version = fileIO.Version();
  info.processing = fileIO.ProcessingBlock();
  if (options.password) {
    info.passwordOk = fileIO.SetPassword(Utf8ToLatin1(*options.password, "The password"));
  }
  // Headers are read under the file lock, as the engine loads tables, for a consistent picture.
  tessdb::TFileLockGuard lock(fileIO);
  tessdb::TTableHeaderBuffer buffer;
  for (int i = 0; i < fileIO.TableCount(); ++i) {
    fileIO.ReadTableHeader(i, buffer);
    info.tables.push_back(tessdb::DecodeTableHeader(buffer));
  }
  return info;
}

std::vector<std::string> OptionNames(uint8_t options) {
  std::vector<std::string> names;
  if (options & tessdb::tiPrimary) names.push_back("primary");
  if (options & tessdb::tiUnique) names.push_back("unique");
  if (options & tessdb::tiDescending) names.push_back("descending");
  if (options & tessdb::tiCaseInsensitive) names.push_back("case_insensitive");
  return names;
}

std::vector<std::string> KeyFieldNames(const TTableHeader& table,
                                       const tessdb::TIndexEntry& index) {
  std::vector<std::string> names;
  for (const int32_t fieldNo : index.keyFields) {
    names.push_back(Latin1ToUtf8(table.fields[static_cast<size_t>(fieldNo)].name));
  }
  return names;
}

void PrintJson(const DatabaseInfo& info) {
  nlohmann::ordered_json out;
  const tessdb::TProcessingBlock& p = info.processing;
  out["version"] = Latin1ToUtf8(info.version);
  out["compressed"] = p.compressed;
  out["compression"] = p.compressed ? Latin1ToUtf8(p.compression) : "";
  out["level"] = p.level;
  out["encrypted"] = p.encrypted;
  out["cipher"] = p.encrypted ? Latin1ToUtf8(p.cipher) : "";
  out["mode"] = p.mode;
  out["verify_writes"] = p.verifyWrites;
  if (info.passwordOk) out["password_ok"] = *info.passwordOk;
  out["tables"] = nlohmann::ordered_json::array();
  for (const TTableHeader& table : info.tables) {
    nlohmann::ordered_json t;
    t["name"] = Latin1ToUtf8(table.name);
    t["records"] = table.recordCount;
    t["fields"] = nlohmann::ordered_json::array();
    for (const tessdb::TFieldEntry& field : table.fields) {
      t["fields"].push_back({{"name", Latin1ToUtf8(field.name)},
                             {"type", field.typeCode},
                             {"size", field.declaredSize},
                             {"processed", field.Processed()}});
    }
    t["indexes"] = nlohmann::ordered_json::array();
    for (const tessdb::TIndexEntry& index : table.indexes) {
      t["indexes"].push_back({{"name", Latin1ToUtf8(index.name)},
                              {"options", OptionNames(index.options)},
                              {"fields", KeyFieldNames(table, index)}});
    }
    out["tables"].push_back(std::move(t));
  }
  std::cout << out.dump(2) << '\n';
}

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::string TypeText(const tessdb::TFieldEntry& field) {
  std::string text = tessdb::FieldTypeName(field.typeCode);
  if (tessdb::IsStringType(field.typeCode)) text += "(" + std::to_string(field.declaredSize) + ")";
  if (!field.Processed()) text += ", unprocessed";
  return text;
}

void PrintText(const std::string& file, const DatabaseInfo& info) {
  const tessdb::TProcessingBlock& p = info.processing;
  std::ostringstream out;
  out << "Database:      " << file << '\n';
  out << "Version:       " << Latin1ToUtf8(info.version) << '\n';
  out << "Compression:   "
      << (p.compressed ? Latin1ToUtf8(p.compression) + ", level " + std::to_string(p.level)
                       : std::string("none"))
      << '\n';
  out << "Encryption:    "
      << (p.encrypted ? Latin1ToUtf8(p.cipher) + ", mode " + std::to_string(p.mode)
                      : std::string("none"))
      << '\n';
  out << "Verify writes: " << (p.verifyWrites ? "yes" : "no") << '\n';
  if (info.passwordOk) out << "Password:      " << (*info.passwordOk ? "correct" : "wrong") << '\n';
  out << "Tables:        " << info.tables.size() << '\n';
  for (const TTableHeader& table : info.tables) {
    out << '\n' << Latin1ToUtf8(table.name) << " (" << table.recordCount << " records)\n";
    for (const tessdb::TFieldEntry& field : table.fields) {
      out << "  field  " << std::left << std::setw(34) << Latin1ToUtf8(field.name)
          << TypeText(field) << '\n';
    }
    for (const tessdb::TIndexEntry& index : table.indexes) {
      const std::string options = Join(OptionNames(index.options));
      out << "  index  " << std::left << std::setw(34) << Latin1ToUtf8(index.name)
          << Join(KeyFieldNames(table, index)) << (options.empty() ? "" : " [" + options + "]")
          << '\n';
    }
  }
  std::cout << out.str();
}

}  // namespace

void AddInfoCommand(CLI::App& app) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* command = app.add_subcommand(
      "info", "Show a database's version, data processing, tables, fields and indexes.");
  command->add_option("FILE", options->file, "Database file")->required();
  command->add_option("--password", options->password,
                      "Check this password against the file (reported as password_ok)");
  command->add_flag("--json", options->json, "Print exactly one JSON object");
  command->callback([options] {
    const DatabaseInfo info = ReadInfo(*options);
    if (options->json) {
      PrintJson(info);
    } else {
      PrintText(options->file, info);
    }
  });
}

}  // namespace tessdb_tool
