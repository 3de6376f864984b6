#include "tessdb/processing/gost.h"

#include <cstring>

#include "tessdb/processing/cipher_modes.h"

namespace tessdb {
namespace {

// The substitution table of OID 1.2.643.2.2.30.0; row k is box S(k+1), S1 acts on the least
// significant four bits of the round sum.
constexpr uint8_t kSubstitution[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
    {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
    {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
    {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
    {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

// Byte k of the round sum goes through boxes S(2k+1) (low nibble) and S(2k+2) (high nibble);
// each table holds that result already in place and rotated left by 11 bits.
struct TRoundTables {
  uint32_t entries[4][256];
  constexpr TRoundTables() : entries() {
    for (int k = 0; k < 4; ++k) {
      for (uint32_t x = 0; x < 256; ++x) {
        const uint32_t substituted =
            (uint32_t{kSubstitution[2 * k + 1][x >> 4]} << 4 | kSubstitution[2 * k][x & 15])
            << (8 * k);
        entries[k][x] = (substituted << 11) | (substituted >> 21);
      }
    }
  }
};

constexpr TRoundTables kRound;

inline uint32_t F(uint32_t x) {
  return kRound.entries[0][x & 0xFF] ^ kRound.entries[1][(x >> 8) & 0xFF] ^
         kRound.entries[2][(x >> 16) & 0xFF] ^ kRound.entries[3][x >> 24];
}

inline uint32_t LoadLittleEndian(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

inline void StoreLittleEndian(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace

TEnc_Gost::~TEnc_Gost() {
  ClearKey();
}

// Two rounds at a time: n2 takes the first key word, n1 the second; the halves come out
// swapped, which the caller stores in reverse order.
inline void TEnc_Gost::Encrypt(uint32_t& n1, uint32_t& n2) const {
  uint32_t a = n1, b = n2;
  for (int pass = 0; pass < 3; ++pass) {
    for (int i = 0; i < 8; i += 2) {
      b ^= F(a + key_[i]);
      a ^= F(b + key_[i + 1]);
    }
  }
  for (int i = 7; i > 0; i -= 2) {
    b ^= F(a + key_[i]);
    a ^= F(b + key_[i - 1]);
  }
  n1 = b;
  n2 = a;
}

inline void TEnc_Gost::Decrypt(uint32_t& n1, uint32_t& n2) const {
  uint32_t a = n1, b = n2;
  for (int i = 0; i < 8; i += 2) {
    b ^= F(a + key_[i]);
    a ^= F(b + key_[i + 1]);
  }
  for (int pass = 0; pass < 3; ++pass) {
    for (int i = 7; i > 0; i -= 2) {
      b ^= F(a + key_[i]);
      a ^= F(b + key_[i - 1]);
    }
  }
  n1 = b;
  n2 = a;
}

void TEnc_Gost::EncryptBlock(uint8_t* block) const {
  uint32_t n1 = LoadLittleEndian(block), n2 = LoadLittleEndian(block + 4);
  Encrypt(n1, n2);
  StoreLittleEndian(block, n1);
  StoreLittleEndian(block + 4, n2);
}

void TEnc_Gost::DecryptBlock(uint8_t* block) const {
  uint32_t n1 = LoadLittleEndian(block), n2 = LoadLittleEndian(block + 4);
  Decrypt(n1, n2);
  StoreLittleEndian(block, n1);
  StoreLittleEndian(block + 4, n2);
}

void TEnc_Gost::SetupKey(const uint8_t* key, size_t length) {
  uint8_t area[32] = {};
  if (length != 0) std::memcpy(area, key, length);
  for (int i = 0; i < 8; ++i) key_[i] = LoadLittleEndian(area + 4 * i);
  std::memset(area, 0, sizeof area);
}

void TEnc_Gost::ClearKey() {
  std::memset(key_, 0, sizeof key_);
}

void TEnc_Gost::EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) {
  cipher_modes::Encode<8>(Mode(), feedback_, scratch_, source, destination, length,
                          [this](uint8_t* block) { EncryptBlock(block); });
}

void TEnc_Gost::DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) {
  cipher_modes::Decode<8>(
      Mode(), feedback_, scratch_, source, destination, length,
      [this](uint8_t* block) { EncryptBlock(block); },
      [this](uint8_t* block) { DecryptBlock(block); });
}

}  // namespace tessdb
