#include "tessdb/filter/expr_types.h"

#include "tessdb/core/exceptions.h"

namespace tessdb {

int32_t ValueBufferSize(TFieldType type, int32_t textLength) {
  if (IsBlobType(type)) return 0;
  const auto size = StoredFieldSize(type, textLength);
  if (!size) throw EDatabaseError("General error");
  return *size;
}

}  // namespace tessdb
