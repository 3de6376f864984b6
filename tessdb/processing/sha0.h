// THash_SHA: SHA-0, the 1993 Secure Hash Algorithm (SHA-1 without the one-bit rotation in the
// message schedule). 20-byte digest. The engine derives cipher keys and password check texts
// from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessdb {

class THash_SHA {
 public:
  static constexpr size_t kDigestSize = 20;
  using Digest = std::array<uint8_t, kDigestSize>;

  THash_SHA() { Init(); }

  void Init();
  void Update(const void* data, size_t length);
  // Returns the digest of everything passed to Update since Init, then starts over.
  Digest Final();

  static Digest Calc(const void* data, size_t length);
  static Digest Calc(std::string_view text) { return Calc(text.data(), text.size()); }

 private:
  void Transform(const uint8_t* block);

  uint32_t state_[5];
  uint8_t buffer_[64];
  uint64_t length_;  // bytes hashed so far
};

}  // namespace tessdb
