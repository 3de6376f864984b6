#include "tessdb/processing/sha0.h"

#include <algorithm>
#include <cstring>

namespace tessdb {
namespace {

inline uint32_t Rol(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

inline uint32_t LoadBigEndian(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

void THash_SHA::Init() {
  state_[0] = 0x67452301u;
  state_[1] = 0xEFCDAB89u;
  state_[2] = 0x98BADCFEu;
  state_[3] = 0x10325476u;
  state_[4] = 0xC3D2E1F0u;
  length_ = 0;
}

void THash_SHA::Transform(const uint8_t* block) {
  uint32_t w[80];
  for (int i = 0; i < 16; ++i) w[i] = LoadBigEndian(block + 4 * i);
  // SHA-0: the schedule has no rotation (SHA-1 rotates this word left by one).
  for (int i = 16; i < 80; ++i) w[i] = w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16];
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
  for (int i = 0; i < 80; ++i) {
    uint32_t f, k;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999u;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1u;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDCu;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6u;
    }
    const uint32_t t = Rol(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = Rol(b, 30);
    b = a;
    a = t;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += e;
}

void THash_SHA::Update(const void* data, size_t length) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t used = static_cast<size_t>(length_ % 64);
  length_ += length;
  if (used != 0) {
    const size_t take = std::min(length, 64 - used);
    std::memcpy(buffer_ + used, bytes, take);
    bytes += take;
    length -= take;
    if (used + take < 64) return;
    Transform(buffer_);
  }
  for (; length >= 64; bytes += 64, length -= 64) Transform(bytes);
  if (length != 0) std::memcpy(buffer_, bytes, length);
}

THash_SHA::Digest THash_SHA::Final() {
  const uint64_t bits = length_ * 8;
  uint8_t pad[72] = {0x80};
  const size_t used = static_cast<size_t>(length_ % 64);
  const size_t padLength = (used < 56 ? 56 : 120) - used;
  for (int i = 0; i < 8; ++i) pad[padLength + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
  Update(pad, padLength + 8);
  Digest digest;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(state_[i] >> (24 - 8 * j));
  }
  Init();
  return digest;
}

THash_SHA::Digest THash_SHA::Calc(const void* data, size_t length) {
  THash_SHA hash;
  hash.Update(data, length);
  return hash.Final();
}

}  // namespace tessdb
