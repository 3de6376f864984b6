// THash_CRC32: the standard CRC-32 (reflected polynomial 0xEDB88320, initial value all ones,
// final complement). Write verification compares the digests of a value before encoding and
// after decoding it back. The digest bytes are the CRC value, least significant byte first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessdb {

// The CRC-32 of length bytes.
uint32_t Crc32(const void* data, size_t length);

class THash_CRC32 {
 public:
  static constexpr size_t kDigestSize = 4;
  using Digest = std::array<uint8_t, kDigestSize>;

  void Init() { crc_ = 0xFFFFFFFFu; }
  void Update(const void* data, size_t length);
  // The CRC of everything passed to Update since Init; starts over afterwards.
  uint32_t FinalValue();
  Digest Final();

  static Digest Calc(const void* data, size_t length);

 private:
  uint32_t crc_ = 0xFFFFFFFFu;
};

}  // namespace tessdb
