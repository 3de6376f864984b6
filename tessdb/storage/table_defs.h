// Definition collections of the table level: the tables of a database, and the fields and indexes
// of one table as its header declares them.
//
// A collection keeps its items in order. Lookup by name ignores letter case and gives the first
// match (or -1). An item added without a name is named after its class: the five characters that
// follow the class name's first letter, then its position plus 1 ("TessF1" for the first unnamed
// field). Assigning one definition to another copies every member.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tessdb/storage/file_format.h"

namespace tessdb {

struct TTessTableDef {
  static constexpr char kClassName[] = "TTessTableDef";
  std::string name;
};

struct TTessFieldDef {
  static constexpr char kClassName[] = "TTessFieldDef";
  std::string name;
  uint8_t typeCode = 0;
  int32_t declaredSize = 0;
  uint8_t processMode = 0;  // 0 = the field's stored bytes are processed
};

struct TTessIndexDef {
  static constexpr char kClassName[] = "TTessIndexDef";
  std::string name;
  uint8_t options = 0;    // tiPrimary | tiUnique | tiDescending | tiCaseInsensitive
  TIntegerAry keyFields;  // key field numbers, most significant first; 0 to 8 entries
};

// Case-insensitive comparison of two names (ASCII letters).
bool SameDefName(const std::string& a, const std::string& b);

template <typename TDef>
class TTessDefs {
 public:
  // Appends def; an empty name becomes the class-derived default name.
  TDef& Add(TDef def = {}) {
    if (def.name.empty()) {
      def.name = std::string(TDef::kClassName + 1, 5) + std::to_string(items_.size() + 1);
    }
    items_.push_back(std::move(def));
    return items_.back();
  }
  int IndexOf(const std::string& name) const {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (SameDefName(items_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
  }
  int Count() const { return static_cast<int>(items_.size()); }
  const TDef& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
  TDef& operator[](int i) { return items_[static_cast<size_t>(i)]; }
  void Clear() { items_.clear(); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<TDef> items_;
};

using TTessTableDefs = TTessDefs<TTessTableDef>;
using TTessFieldDefs = TTessDefs<TTessFieldDef>;
using TTessIndexDefs = TTessDefs<TTessIndexDef>;

}  // namespace tessdb
