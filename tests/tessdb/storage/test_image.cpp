#include "tests/tessdb/storage/test_image.h"

namespace tessdb::testing {

int64_t AppendBytes(TStream& image, const void* bytes, int64_t length) {
  const int64_t position = image.Seek(0, TSeekOrigin::soEnd);
  image.WriteBuffer(bytes, length);
  return position;
}

int64_t AppendZeros(TStream& image, int64_t length) {
  const std::vector<uint8_t> zeros(static_cast<size_t>(length));
  return AppendBytes(image, zeros.data(), length);
}

void ReadAt(TStream& image, int64_t position, void* bytes, int64_t length) {
  image.SetPosition(position);
  image.ReadBuffer(bytes, length);
}

void WriteAt(TStream& image, int64_t position, const void* bytes, int64_t length) {
  image.SetPosition(position);
  image.WriteBuffer(bytes, length);
}

void WriteInt32At(TStream& image, int64_t position, int32_t value) {
  uint8_t bytes[4];
  PutInt32(bytes, value);
  WriteAt(image, position, bytes, 4);
}

TIntegerAry AppendTabChain(TStream& image, int itemSize, int32_t count,
                           const std::function<void(int32_t, uint8_t*)>& fill, bool backwards,
                           int32_t lastNext) {
  const int64_t blockSize = kTabNextSize + int64_t{itemSize} * kTabItemsPerBlock;
  const auto blocks = static_cast<int32_t>(TabBlockCount(count));
  const int64_t start = image.Size();
  TIntegerAry positions;
  for (int32_t b = 0; b < blocks; ++b) {
    const int32_t slot = backwards ? blocks - 1 - b : b;
    positions.push_back(static_cast<int32_t>(start + slot * blockSize));
  }
  AppendZeros(image, blocks * blockSize);
  std::vector<uint8_t> block(static_cast<size_t>(blockSize));
  for (int32_t b = 0; b < blocks; ++b) {
    std::fill(block.begin(), block.end(), 0);
    PutInt32(block.data(), b + 1 < blocks ? positions[static_cast<size_t>(b + 1)] : lastNext);
    for (int32_t i = 0; i < kTabItemsPerBlock && b * kTabItemsPerBlock + i < count; ++i) {
      fill(b * kTabItemsPerBlock + i, block.data() + kTabNextSize + i * itemSize);
    }
    WriteAt(image, positions[static_cast<size_t>(b)], block.data(), blockSize);
  }
  return positions;
}

int64_t TableHeaderPosition(TStream& image, int tableNo) {
  uint8_t bytes[4];
  ReadAt(image, kDirectoryOffset + kDirPositions + 4 * tableNo, bytes, 4);
  return GetInt32(bytes);
}

void PatchTableHeader(TStream& image, int tableNo,
                      const std::function<void(TTableHeaderBuffer&)>& change) {
  const int64_t position = TableHeaderPosition(image, tableNo);
  TTableHeaderBuffer header;
  ReadAt(image, position, header.data(), kTableHeaderSize);
  change(header);
  WriteAt(image, position, header.data(), kTableHeaderSize);
}

std::string MakeImage(const TNewDatabase& settings, const std::vector<TTableDefinition>& tables) {
  TMemoryStream image;
  CreateDatabase(image, settings);
  for (const TTableDefinition& table : tables) AddTable(image, table);
  return image.ToString();
}

TFieldEntry Field(const std::string& name, int typeCode, int32_t size, bool processed) {
  TFieldEntry field;
  field.name = name;
  field.typeCode = static_cast<uint8_t>(typeCode);
  field.declaredSize = size;
  field.processMode = processed ? 0 : 1;
  return field;
}

}  // namespace tessdb::testing
