// How `dump` and `find` print records: one JSON object per record (keys the field names in field
// order, every value a string in the forms of value_text.h), or an aligned table.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tessdb/access/dataset.h"

namespace tessdb_tool {

// The current record's values as texts (UTF-8), in field order.
std::vector<std::string> RecordTexts(const tessdb::TDataSet& dataSet);
std::vector<std::string> FieldNames(const tessdb::TDataSet& dataSet);
nlohmann::ordered_json RecordJson(const std::vector<std::string>& names,
                                  const std::vector<std::string>& texts);
// Columns padded to their widest cell, separated by two blanks, a header row first.
std::string AlignedTable(const std::vector<std::string>& names,
                         const std::vector<std::vector<std::string>>& rows);

}  // namespace tessdb_tool
