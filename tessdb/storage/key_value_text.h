// The text of one key value in messages (the unique-key violation): string types their text,
// whole numbers in decimal, Booleans "True"/"False", floats in the general format, dates and
// times in the user's locale, blob types their bytes up to the first NUL, anything else empty.
#pragma once

#include <string>

#include "tessdb/storage/field_buffers.h"

namespace tessdb {

std::string KeyValueText(const TFieldBufferItem& item);

}  // namespace tessdb
