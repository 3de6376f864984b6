// Builders of database images for the storage tests and the fuzz target: a new database made by
// the authoring module, plus the areas the record-change level would add (tab chains, record
// data areas, blobs), placed where a test wants them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tessdb/core/field_type.h"
#include "tessdb/core/stream.h"
#include "tessdb/storage/database_authoring.h"
#include "tessdb/storage/file_format.h"

namespace tessdb::testing {

// Appends bytes at the end of the image; returns their position.
int64_t AppendBytes(TStream& image, const void* bytes, int64_t length);
int64_t AppendZeros(TStream& image, int64_t length);

void ReadAt(TStream& image, int64_t position, void* bytes, int64_t length);
void WriteAt(TStream& image, int64_t position, const void* bytes, int64_t length);
void WriteInt32At(TStream& image, int64_t position, int32_t value);

// Appends a tab chain of count items of itemSize bytes; fill(k, item) writes item k. With
// backwards set the blocks are laid out in the file in reverse chain order, so a reader must
// follow the next positions. The last block's next position is lastNext (0 in a sound file; the
// reader must not follow it). Returns the block positions in chain order.
TIntegerAry AppendTabChain(TStream& image, int itemSize, int32_t count,
                           const std::function<void(int32_t, uint8_t*)>& fill,
                           bool backwards = false, int32_t lastNext = 0);

// Position of table tableNo's header, from the directory.
int64_t TableHeaderPosition(TStream& image, int tableNo);
// Reads, changes and writes back the header of table tableNo.
void PatchTableHeader(TStream& image, int tableNo,
                      const std::function<void(TTableHeaderBuffer&)>& change);

// A database image with the given settings and tables.
std::string MakeImage(const TNewDatabase& settings, const std::vector<TTableDefinition>& tables);

TFieldEntry Field(const std::string& name, int typeCode, int32_t size = 0, bool processed = true);

}  // namespace tessdb::testing
