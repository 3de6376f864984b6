#include "tools/tessdb/record_output.h"

#include <algorithm>

#include "tools/tessdb/latin1.h"
#include "tools/tessdb/value_text.h"

namespace tessdb_tool {
namespace {

// Characters on the terminal: UTF-8 lead bytes.
size_t DisplayWidth(const std::string& utf8) {
  return static_cast<size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

std::vector<std::string> RecordTexts(const tessdb::TDataSet& dataSet) {
  std::vector<std::string> texts;
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    texts.push_back(Latin1ToUtf8(FieldText(dataSet.Fields(i))));
  }
  return texts;
}

std::vector<std::string> FieldNames(const tessdb::TDataSet& dataSet) {
  std::vector<std::string> names;
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    names.push_back(Latin1ToUtf8(dataSet.Fields(i).FieldName()));
  }
  return names;
}

nlohmann::ordered_json RecordJson(const std::vector<std::string>& names,
                                  const std::vector<std::string>& texts) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (size_t i = 0; i < names.size() && i < texts.size(); ++i) object[names[i]] = texts[i];
  return object;
}

std::string AlignedTable(const std::vector<std::string>& names,
                         const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (const std::string& name : names) widths.push_back(DisplayWidth(name));
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size() && i < widths.size(); ++i) {
      widths[i] = std::max(widths[i], DisplayWidth(row[i]));
    }
  }
  std::string out;
  auto addRow = [&](const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
      std::string cell = cells[i];
      for (char& c : cell) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
      }
      line += cell;
      if (i + 1 < cells.size()) line += std::string(widths[i] - DisplayWidth(cell) + 2, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + '\n';
  };
  addRow(names);
  for (const auto& row : rows) addRow(row);
  return out;
}

}  // namespace tessdb_tool
