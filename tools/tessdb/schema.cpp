#include "tools/tessdb/schema.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tessdb/core/field_type.h"
#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"

namespace tessdb_tool {
namespace {

using nlohmann::json;

// "<kind> '<name>'" when the object has a text name, else "<kind> <number>".
std::string Where(const std::string& prefix, const json& object, size_t number) {
  if (object.is_object()) {
    const auto name = object.find("name");
    if (name != object.end() && name->is_string())
      return prefix + " '" + name->get<std::string>() + "'";
  }
  return prefix + " " + std::to_string(number + 1);
}

void CheckKeys(const json& object, const std::set<std::string>& allowed, const std::string& where) {
  if (!object.is_object()) throw ToolError(where + ": expected a JSON object");
  for (const auto& [key, value] : object.items()) {
    if (!allowed.count(key)) throw ToolError(where + ": unknown key '" + key + "'");
  }
}

std::string NameOf(const json& object, const std::string& where) {
  const auto found = object.find("name");
  if (found == object.end() || !found->is_string())
    throw ToolError(where + ": \"name\" text missing");
  return Utf8ToLatin1(found->get<std::string>(), where + ": the name");
}

const json& ArrayOf(const json& object, const char* key, const std::string& where, bool required) {
  static const json empty = json::array();
  const auto found = object.find(key);
  if (found == object.end()) {
    if (required) throw ToolError(where + ": \"" + key + "\" array missing");
    return empty;
  }
  if (!found->is_array()) throw ToolError(where + ": \"" + key + "\" must be an array");
  return *found;
}

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

tessdb::TFieldEntry ParseField(const json& value, const std::string& tableWhere, size_t number) {
  const std::string where = Where(tableWhere + ", field", value, number);
  CheckKeys(value, {"name", "type", "size", "processed"}, where);
  tessdb::TFieldEntry field;
  field.name = NameOf(value, where);

  const auto type = value.find("type");
  if (type == value.end()) throw ToolError(where + ": \"type\" missing");
  if (type->is_string()) {
    const std::optional<int> code = tessdb::FieldTypeFromName(type->get<std::string>());
    if (!code) throw ToolError(where + ": unknown type '" + type->get<std::string>() + "'");
    field.typeCode = static_cast<uint8_t>(*code);
  } else if (type->is_number_integer() && type->get<int64_t>() >= 0 &&
             type->get<int64_t>() <= 255) {
    field.typeCode = static_cast<uint8_t>(type->get<int64_t>());
  } else {
    throw ToolError(where + ": \"type\" must be a type name or a code 0..255");
  }

  const auto size = value.find("size");
  if (size != value.end()) {
    if (!size->is_number_integer() || size->get<int64_t>() < 0 ||
        size->get<int64_t>() > INT32_MAX) {
      throw ToolError(where + ": \"size\" must be a whole number from 0");
    }
    field.declaredSize = static_cast<int32_t>(size->get<int64_t>());
  }

  const auto processed = value.find("processed");
  if (processed != value.end() && !processed->is_boolean()) {
    throw ToolError(where + ": \"processed\" must be true or false");
  }
  field.processMode = (processed == value.end() || processed->get<bool>()) ? 0 : 1;
  return field;
}

uint8_t ParseOptions(const json& options, const std::string& where) {
  uint8_t bits = 0;
  for (const json& option : options) {
    const std::string name = option.is_string() ? option.get<std::string>() : option.dump();
    if (name == "primary") {
      bits |= tessdb::tiPrimary;
    } else if (name == "unique") {
      bits |= tessdb::tiUnique;
    } else if (name == "descending") {
      bits |= tessdb::tiDescending;
    } else if (name == "case_insensitive") {
      bits |= tessdb::tiCaseInsensitive;
    } else {
      throw ToolError(where + ": unknown option " + name);
    }
  }
  return bits;
}

tessdb::TIndexEntry ParseIndex(const json& value, const tessdb::TTableDefinition& table,
                               const std::string& tableWhere, size_t number) {
  const std::string where = Where(tableWhere + ", index", value, number);
  CheckKeys(value, {"name", "fields", "options"}, where);
  tessdb::TIndexEntry index;
  index.name = NameOf(value, where);
  for (const json& key : ArrayOf(value, "fields", where, /*required=*/true)) {
    if (!key.is_string()) throw ToolError(where + ": key fields are given by name");
    const std::string name = Utf8ToLatin1(key.get<std::string>(), where + ": a key field");
    const auto found =
        std::find_if(table.fields.begin(), table.fields.end(),
                     [&](const tessdb::TFieldEntry& f) { return SameName(f.name, name); });
    if (found == table.fields.end())
      throw ToolError(where + ": no field '" + key.get<std::string>() + "'");
    index.keyFields.push_back(static_cast<int32_t>(found - table.fields.begin()));
  }
  index.options = ParseOptions(ArrayOf(value, "options", where, /*required=*/false), where);
  return index;
}

}  // namespace

std::vector<tessdb::TTableDefinition> ParseSchema(const std::string& jsonText) {
  json root;
  try {
    root = json::parse(jsonText);
  } catch (const json::parse_error& error) {
    throw ToolError(std::string("Schema is not valid JSON: ") + error.what());
  }
  CheckKeys(root, {"tables"}, "Schema");
  std::vector<tessdb::TTableDefinition> tables;
  const json& tableValues = ArrayOf(root, "tables", "Schema", /*required=*/true);
  for (size_t t = 0; t < tableValues.size(); ++t) {
    const json& value = tableValues[t];
    const std::string where = Where("Table", value, t);
    CheckKeys(value, {"name", "fields", "indexes"}, where);
    tessdb::TTableDefinition table;
    table.name = NameOf(value, where);
    const json& fields = ArrayOf(value, "fields", where, /*required=*/true);
    for (size_t f = 0; f < fields.size(); ++f)
      table.fields.push_back(ParseField(fields[f], where, f));
    const json& indexes = ArrayOf(value, "indexes", where, /*required=*/false);
    for (size_t i = 0; i < indexes.size(); ++i) {
      table.indexes.push_back(ParseIndex(indexes[i], table, where, i));
    }
    tables.push_back(std::move(table));
  }
  return tables;
}

std::vector<tessdb::TTableDefinition> ReadSchemaFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ToolError("Cannot read schema file '" + path + "'");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseSchema(text.str());
}

}  // namespace tessdb_tool
