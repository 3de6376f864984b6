#include "tessdb/processing/crc32.h"

namespace tessdb {
namespace {

struct TCrcTable {
  uint32_t entries[256];
  constexpr TCrcTable() : entries() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[i] = c;
    }
  }
};

constexpr TCrcTable kCrcTable;

uint32_t CrcUpdate(uint32_t crc, const uint8_t* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) crc = kCrcTable.entries[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

}  // namespace

uint32_t Crc32(const void* data, size_t length) {
  return ~CrcUpdate(0xFFFFFFFFu, static_cast<const uint8_t*>(data), length);
}

void THash_CRC32::Update(const void* data, size_t length) {
  crc_ = CrcUpdate(crc_, static_cast<const uint8_t*>(data), length);
}

uint32_t THash_CRC32::FinalValue() {
  const uint32_t value = ~crc_;
  Init();
  return value;
}

THash_CRC32::Digest THash_CRC32::Final() {
  const uint32_t value = FinalValue();
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

THash_CRC32::Digest THash_CRC32::Calc(const void* data, size_t length) {
  THash_CRC32 hash;
  hash.Update(data, length);
  return hash.Final();
}

}  // namespace tessdb
