#include "tessdb/processing/blowfish.h"

#include <cstring>

#include "tessdb/processing/blowfish_constants.h"
#include "tessdb/processing/cipher_modes.h"

namespace tessdb {
namespace {

inline uint32_t LoadBigEndian(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline void StoreBigEndian(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

}  // namespace

TEnc_Blowfish::~TEnc_Blowfish() {
  ClearKey();
}

inline void TEnc_Blowfish::Encrypt(uint32_t& left, uint32_t& right) const {
  uint32_t l = left, r = right;
  const auto f = [this](uint32_t x) {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
  };
  for (int i = 0; i < 16; i += 2) {
    l ^= p_[i];
    r ^= f(l);
    r ^= p_[i + 1];
    l ^= f(r);
  }
  left = r ^ p_[17];
  right = l ^ p_[16];
}

inline void TEnc_Blowfish::Decrypt(uint32_t& left, uint32_t& right) const {
  uint32_t l = left, r = right;
  const auto f = [this](uint32_t x) {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
  };
  for (int i = 17; i > 1; i -= 2) {
    l ^= p_[i];
    r ^= f(l);
    r ^= p_[i - 1];
    l ^= f(r);
  }
  left = r ^ p_[0];
  right = l ^ p_[1];
}

void TEnc_Blowfish::EncryptBlock(uint8_t* block) const {
  uint32_t l = LoadBigEndian(block), r = LoadBigEndian(block + 4);
  Encrypt(l, r);
  StoreBigEndian(block, l);
  StoreBigEndian(block + 4, r);
}

void TEnc_Blowfish::DecryptBlock(uint8_t* block) const {
  uint32_t l = LoadBigEndian(block), r = LoadBigEndian(block + 4);
  Decrypt(l, r);
  StoreBigEndian(block, l);
  StoreBigEndian(block + 4, r);
}

void TEnc_Blowfish::SetupKey(const uint8_t* key, size_t length) {
  std::memcpy(p_, blowfish_constants::kInitialP, sizeof p_);
  std::memcpy(s_, blowfish_constants::kInitialS, sizeof s_);
  // The key bytes are used cyclically; an empty key leaves the P-array as it is.
  if (length != 0) {
    size_t at = 0;
    for (uint32_t& word : p_) {
      uint32_t data = 0;
      for (int k = 0; k < 4; ++k) {
        data = (data << 8) | key[at];
        at = at + 1 == length ? 0 : at + 1;
      }
      word ^= data;
    }
  }
  uint32_t l = 0, r = 0;
  for (int i = 0; i < 18; i += 2) {
    Encrypt(l, r);
    p_[i] = l;
    p_[i + 1] = r;
  }
  for (auto& box : s_) {
    for (int i = 0; i < 256; i += 2) {
      Encrypt(l, r);
      box[i] = l;
      box[i + 1] = r;
    }
  }
}

void TEnc_Blowfish::ClearKey() {
  std::memset(p_, 0, sizeof p_);
  std::memset(s_, 0, sizeof s_);
}

void TEnc_Blowfish::EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) {
  cipher_modes::Encode<8>(Mode(), feedback_, scratch_, source, destination, length,
                          [this](uint8_t* block) { EncryptBlock(block); });
}

void TEnc_Blowfish::DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) {
  cipher_modes::Decode<8>(
      Mode(), feedback_, scratch_, source, destination, length,
      [this](uint8_t* block) { EncryptBlock(block); },
      [this](uint8_t* block) { DecryptBlock(block); });
}

}  // namespace tessdb
