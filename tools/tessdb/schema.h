// The schema file of `tessdb create`: JSON naming the tables of a new database.
//
//   {"tables": [{"name": "Devices",
//                "fields": [{"name": "Name", "type": "String", "size": 40, "processed": true}],
//                "indexes": [{"name": "ByName", "fields": ["Name"],
//                             "options": ["primary", "unique", "descending",
//                             "case_insensitive"]}]}]}
//
// "type" is a type name ("String", "Integer", "Blob", with or without "ft") or a type code;
// "size" defaults to 0 and "processed" to true; "indexes" and "options" may be left out. Names
// are UTF-8 limited to Latin-1. Unknown keys are refused, so a misspelt key does not pass
// silently. Every error (ToolError) names the table and the field or index at fault; the checks
// of the definitions themselves are the authoring module's.
#pragma once

#include <string>
#include <vector>

#include "tessdb/storage/database_authoring.h"

namespace tessdb_tool {

std::vector<tessdb::TTableDefinition> ParseSchema(const std::string& jsonText);
std::vector<tessdb::TTableDefinition> ReadSchemaFile(const std::string& path);

}  // namespace tessdb_tool
