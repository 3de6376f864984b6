// The unique-key check before a record write, and the text of a key in its message.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "tessdb/core/exceptions.h"
#include "tessdb/storage/key_value_text.h"
#include "tessdb/storage/table_io.h"

namespace tessdb {

std::string TTessTableIO::KeyText(const TFieldBuffers& buffers, const TTessIndexDef& index) const {
  std::string text;
  for (size_t k = 0; k < index.keyFields.size(); ++k) {
    if (k > 0) text += ',';
    const TFieldBufferItem& item = buffers[index.keyFields[k]];
    try {
      text += KeyValueText(item);
    } catch (const std::exception&) {
      // A value that cannot be formatted shows as the empty text.
    }
  }
  return text;
}

void TTessTableIO::CheckUnique(const TFieldBuffers& buffers, int physicalPosition) {
  CheckBuffers(buffers);
  int32_t changedRecord = -1;
  if (physicalPosition >= 0) {
    CheckListPosition(GetList(0), physicalPosition);
    changedRecord = GetList(0)[static_cast<size_t>(physicalPosition)].recordNo;
  }
  for (int i = 0; i < indexDefs_.Count(); ++i) {
    const TTessIndexDef& index = indexDefs_[i];
    if ((index.options & (tiPrimary | tiUnique)) == 0) continue;
    const TRecordList& list = GetList(i + 1);
    const TSearchResult result = SearchIndex(buffers, list, false, 0, i);
    if (result.outcome != 0) continue;
    if (list[static_cast<size_t>(result.position)].recordNo == changedRecord) continue;
    throw EDatabaseError(FormatMessage("Invalid unique field value '%s'", KeyText(buffers, index)));
  }
}

}  // namespace tessdb
