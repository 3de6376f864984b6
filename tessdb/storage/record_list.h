// Record lists: the orders in which a loaded table presents its live records. List 0 is the
// physical order (record-number order); list i + 1 is the order of index i as its chain gives it.
// An item names a record by its record number and carries its data area position. Deleted
// records appear in no list.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tessdb {

struct TRecordListItem {
  int32_t dataPosition = 0;
  int32_t recordNo = 0;

  friend bool operator==(const TRecordListItem&, const TRecordListItem&) = default;
};

using TRecordList = std::vector<TRecordListItem>;

// The change notifications a record change gives its caller, so that a dataset can follow the
// change in its own copy of a list. indexNo is -1 for the physical list (list 0), otherwise the
// index number (list indexNo + 1).
//
// Append: called once for list 0 with position -1 (the item goes at the end), then once per
// index with the position the item is inserted at, before it is inserted.
using TAppendNotification =
    std::function<void(int indexNo, int position, const TRecordListItem& item)>;
// Modify: called for each index in which the record moves, with its old position and its new
// position counted with the record still present (a caller that takes the item out first puts
// it back at newPosition - 1 when oldPosition < newPosition).
using TModifyNotification = std::function<void(int indexNo, int oldPosition, int newPosition)>;

}  // namespace tessdb
