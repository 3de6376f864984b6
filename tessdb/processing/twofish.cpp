#include "tessdb/processing/twofish.h"

#include <cstring>

#include "tessdb/processing/cipher_modes.h"

namespace tessdb {
namespace {

inline uint32_t Rol(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}
inline uint32_t Ror(uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
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

inline uint8_t Byte(uint32_t word, int index) {
  return static_cast<uint8_t>(word >> (8 * index));
}

// The fixed permutations q0 and q1, built from their four 4-bit tables each.
struct TPermutations {
  uint8_t q[2][256];
  constexpr TPermutations() : q() {
    constexpr uint8_t kTables[2][4][16] = {
        {{0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
         {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
         {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
         {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA}},
        {{0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
         {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
         {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
         {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA}}};
    for (int which = 0; which < 2; ++which) {
      const auto& t = kTables[which];
      for (int x = 0; x < 256; ++x) {
        const auto ror4 = [](int b) { return ((b >> 1) | (b << 3)) & 15; };
        const int a0 = x >> 4, b0 = x & 15;
        const int a1 = a0 ^ b0, b1 = (a0 ^ ror4(b0) ^ (8 * a0)) & 15;
        const int a2 = t[0][a1], b2 = t[1][b1];
        const int a3 = a2 ^ b2, b3 = (a2 ^ ror4(b2) ^ (8 * a2)) & 15;
        q[which][x] = static_cast<uint8_t>(16 * t[3][b3] + t[2][a3]);
      }
    }
  }
};

constexpr TPermutations kPermutations;
inline uint8_t Q0(uint8_t x) {
  return kPermutations.q[0][x];
}
inline uint8_t Q1(uint8_t x) {
  return kPermutations.q[1][x];
}

// Multiplication in GF(2^8) modulo the given polynomial.
constexpr uint8_t GfMultiply(uint8_t a, uint8_t b, unsigned polynomial) {
  unsigned product = 0, x = a;
  for (; b != 0; b >>= 1) {
    if (b & 1) product ^= x;
    x <<= 1;
    if (x & 0x100) x ^= polynomial;
  }
  return static_cast<uint8_t>(product);
}

constexpr unsigned kMdsPolynomial = 0x169;
constexpr unsigned kRsPolynomial = 0x14D;

constexpr uint8_t kMds[4][4] = {{0x01, 0xEF, 0x5B, 0x5B},
                                {0x5B, 0xEF, 0xEF, 0x01},
                                {0xEF, 0x5B, 0x01, 0xEF},
                                {0xEF, 0x01, 0xEF, 0x5B}};

constexpr uint8_t kRs[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                               {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                               {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                               {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};

// Column `column` of the MDS matrix times the byte y, as a little-endian word.
inline uint32_t MdsColumn(int column, uint8_t y) {
  uint32_t word = 0;
  for (int row = 0; row < 4; ++row) {
    word |= uint32_t{GfMultiply(kMds[row][column], y, kMdsPolynomial)} << (8 * row);
  }
  return word;
}

// Byte `position` of the h function's input after its q-permutation and key-word stages; list
// holds the words L0..L(k-1).
inline uint8_t HByte(int position, uint8_t y, const uint32_t* list, int k) {
  static constexpr bool kUseQ1[4][4] = {
      // stage for L3, stage for L2, stage before L1, stage before L0 (outer q after L0)
      {true, true, false, false},
      {false, true, true, false},
      {false, false, false, true},
      {true, false, true, true},
  };
  const auto q = [](bool useQ1, uint8_t x) { return useQ1 ? Q1(x) : Q0(x); };
  if (k == 4) y = q(kUseQ1[position][0], y) ^ Byte(list[3], position);
  if (k >= 3) y = q(kUseQ1[position][1], y) ^ Byte(list[2], position);
  y = q(kUseQ1[position][2], y) ^ Byte(list[1], position);
  y = q(kUseQ1[position][3], y) ^ Byte(list[0], position);
  static constexpr bool kOuterQ1[4] = {true, false, true, false};
  return q(kOuterQ1[position], y);
}

uint32_t H(uint32_t x, const uint32_t* list, int k) {
  uint32_t result = 0;
  for (int position = 0; position < 4; ++position) {
    result ^= MdsColumn(position, HByte(position, Byte(x, position), list, k));
  }
  return result;
}

}  // namespace

TEnc_Twofish::~TEnc_Twofish() {
  ClearKey();
}

void TEnc_Twofish::SetupKey(const uint8_t* key, size_t length) {
  uint8_t padded[32] = {};
  if (length != 0) std::memcpy(padded, key, length);
  const int k = length <= 16 ? 2 : length <= 24 ? 3 : 4;

  uint32_t even[4], odd[4], sbox[4];
  for (int i = 0; i < k; ++i) {
    even[i] = LoadLittleEndian(padded + 8 * i);
    odd[i] = LoadLittleEndian(padded + 8 * i + 4);
    uint32_t s = 0;
    for (int row = 0; row < 4; ++row) {
      uint8_t sum = 0;
      for (int column = 0; column < 8; ++column) {
        sum ^= GfMultiply(kRs[row][column], padded[8 * i + column], kRsPolynomial);
      }
      s |= uint32_t{sum} << (8 * row);
    }
    sbox[k - 1 - i] = s;  // the S-box key words are used in reverse order
  }

  constexpr uint32_t kRho = 0x01010101u;
  for (uint32_t i = 0; i < 20; ++i) {
    const uint32_t a = H(2 * i * kRho, even, k);
    const uint32_t b = Rol(H((2 * i + 1) * kRho, odd, k), 8);
    k_[2 * i] = a + b;
    k_[2 * i + 1] = Rol(a + 2 * b, 9);
  }
  for (int position = 0; position < 4; ++position) {
    for (int x = 0; x < 256; ++x) {
      s_[position][x] = MdsColumn(position, HByte(position, static_cast<uint8_t>(x), sbox, k));
    }
  }
  std::memset(padded, 0, sizeof padded);
  std::memset(even, 0, sizeof even);
  std::memset(odd, 0, sizeof odd);
  std::memset(sbox, 0, sizeof sbox);
}

void TEnc_Twofish::ClearKey() {
  std::memset(s_, 0, sizeof s_);
  std::memset(k_, 0, sizeof k_);
}

#define TWOFISH_G0(x) \
  (s_[0][Byte(x, 0)] ^ s_[1][Byte(x, 1)] ^ s_[2][Byte(x, 2)] ^ s_[3][Byte(x, 3)])
#define TWOFISH_G1(x) \
  (s_[0][Byte(x, 3)] ^ s_[1][Byte(x, 0)] ^ s_[2][Byte(x, 1)] ^ s_[3][Byte(x, 2)])

inline void TEnc_Twofish::Encrypt(const uint8_t* in, uint8_t* out) const {
  uint32_t a = LoadLittleEndian(in) ^ k_[0];
  uint32_t b = LoadLittleEndian(in + 4) ^ k_[1];
  uint32_t c = LoadLittleEndian(in + 8) ^ k_[2];
  uint32_t d = LoadLittleEndian(in + 12) ^ k_[3];
  for (int r = 0; r < 16; r += 2) {
    uint32_t t0 = TWOFISH_G0(a), t1 = TWOFISH_G1(b);  // G1(b) = g(ROL(b, 8))
    c = Ror(c ^ (t0 + t1 + k_[2 * r + 8]), 1);
    d = Rol(d, 1) ^ (t0 + 2 * t1 + k_[2 * r + 9]);
    t0 = TWOFISH_G0(c);
    t1 = TWOFISH_G1(d);
    a = Ror(a ^ (t0 + t1 + k_[2 * r + 10]), 1);
    b = Rol(b, 1) ^ (t0 + 2 * t1 + k_[2 * r + 11]);
  }
  StoreLittleEndian(out, c ^ k_[4]);
  StoreLittleEndian(out + 4, d ^ k_[5]);
  StoreLittleEndian(out + 8, a ^ k_[6]);
  StoreLittleEndian(out + 12, b ^ k_[7]);
}

inline void TEnc_Twofish::Decrypt(const uint8_t* in, uint8_t* out) const {
  uint32_t c = LoadLittleEndian(in) ^ k_[4];
  uint32_t d = LoadLittleEndian(in + 4) ^ k_[5];
  uint32_t a = LoadLittleEndian(in + 8) ^ k_[6];
  uint32_t b = LoadLittleEndian(in + 12) ^ k_[7];
  for (int r = 14; r >= 0; r -= 2) {
    uint32_t t0 = TWOFISH_G0(c), t1 = TWOFISH_G1(d);
    a = Rol(a, 1) ^ (t0 + t1 + k_[2 * r + 10]);
    b = Ror(b ^ (t0 + 2 * t1 + k_[2 * r + 11]), 1);
    t0 = TWOFISH_G0(a);
    t1 = TWOFISH_G1(b);
    c = Rol(c, 1) ^ (t0 + t1 + k_[2 * r + 8]);
    d = Ror(d ^ (t0 + 2 * t1 + k_[2 * r + 9]), 1);
  }
  StoreLittleEndian(out, a ^ k_[0]);
  StoreLittleEndian(out + 4, b ^ k_[1]);
  StoreLittleEndian(out + 8, c ^ k_[2]);
  StoreLittleEndian(out + 12, d ^ k_[3]);
}

#undef TWOFISH_G0
#undef TWOFISH_G1

void TEnc_Twofish::EncryptBlock(uint8_t* block) const {
  Encrypt(block, block);
}

void TEnc_Twofish::DecryptBlock(uint8_t* block) const {
  Decrypt(block, block);
}

void TEnc_Twofish::EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) {
  cipher_modes::Encode<16>(Mode(), feedback_, scratch_, source, destination, length,
                           [this](uint8_t* block) { Encrypt(block, block); });
}

void TEnc_Twofish::DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) {
  cipher_modes::Decode<16>(
      Mode(), feedback_, scratch_, source, destination, length,
      [this](uint8_t* block) { Encrypt(block, block); },
      [this](uint8_t* block) { Decrypt(block, block); });
}

}  // namespace tessdb
