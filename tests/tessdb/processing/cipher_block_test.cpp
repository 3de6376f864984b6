// Block functions and key schedules of the three ciphers against independent implementations
// (libgcrypt, nettle) and published test vectors.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "oracle.h"
#include "tessdb/processing/blowfish.h"
#include "tessdb/processing/gost.h"
#include "tessdb/processing/twofish.h"

namespace tessdb {
namespace {

using oracle::FromHex;
using oracle::TCipherKind;
using oracle::ToHex;

std::unique_ptr<TEncrypt> MakeCipher(TCipherKind kind) {
  switch (kind) {
    case TCipherKind::Blowfish:
      return std::make_unique<TEnc_Blowfish>();
    case TCipherKind::Twofish:
      return std::make_unique<TEnc_Twofish>();
    case TCipherKind::Gost:
      return std::make_unique<TEnc_Gost>();
  }
  return nullptr;
}

struct TVector {
  TCipherKind kind;
  const char* key;
  const char* plain;
  const char* cipher;
};

// Blowfish: Eric Young's vectors. Twofish: the 128/192/256-bit vectors of the Twofish paper.
// GOST 28147-89: the block encryptions of the GOST R 34.11-94 worked example (test parameters,
// OID 1.2.643.2.2.30.0), keys and results written as little-endian byte strings.
const TVector kPublishedVectors[] = {
    {TCipherKind::Blowfish, "0000000000000000", "0000000000000000", "4ef997456198dd78"},
    {TCipherKind::Blowfish, "ffffffffffffffff", "ffffffffffffffff", "51866fd5b85ecb8a"},
    {TCipherKind::Blowfish, "3000000000000000", "1000000000000001", "7d856f9a613063f2"},
    {TCipherKind::Blowfish, "0123456789abcdef", "1111111111111111", "61f9c3802281b096"},
    {TCipherKind::Blowfish, "fedcba9876543210", "0123456789abcdef", "0aceab0fc6a0a28d"},
    {TCipherKind::Twofish, "00000000000000000000000000000000", "00000000000000000000000000000000",
     "9f589f5cf6122c32b6bfec2f2ae8c35a"},
    {TCipherKind::Twofish, "0123456789abcdeffedcba98765432100011223344556677",
     "00000000000000000000000000000000", "cfd1d2e5a9be9cdf501f13b892bd2248"},
    {TCipherKind::Twofish, "0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff",
     "00000000000000000000000000000000", "37527be0052334b89f0cfccae87cfa20"},
    {TCipherKind::Gost, "2033394d6c320d0965201a166e62001d6779410674740e136865160d3d730c11",
     "0000000000000000", "fdcf9b5dc8eb0352"},
    {TCipherKind::Gost, "39b213f5f209a13f1ae9ba3aff1d0c6241f9e1c7f113008516f20d73f311b180",
     "0000000000000000", "280eff009958348d"},
    {TCipherKind::Gost, "ec0a8ba15ec004a8bac50cac0c621deee1c7b8e7007ae2ecf2731bff4e80e2a0",
     "0000000000000000", "2d562a0d190486e7"},
};

TEST(CipherBlock, PublishedVectors) {
  for (const TVector& vector : kPublishedVectors) {
    auto cipher = MakeCipher(vector.kind);
    const auto key = FromHex(vector.key);
    cipher->Init(key.data(), key.size());
    auto block = FromHex(vector.plain);
    cipher->EncryptBlock(block.data());
    EXPECT_EQ(ToHex(block.data(), block.size()), vector.cipher)
        << cipher->ClassName() << " " << vector.key;
    cipher->DecryptBlock(block.data());
    EXPECT_EQ(ToHex(block.data(), block.size()), vector.plain);
  }
}

// Many random keys of every length the cipher takes (20 bytes, the engine's, among them) and
// many random blocks, both directions.
class CipherAgainstOracle : public ::testing::TestWithParam<TCipherKind> {};

TEST_P(CipherAgainstOracle, RandomKeysAndBlocks) {
  std::mt19937 random(1234 + static_cast<int>(GetParam()));
  auto cipher = MakeCipher(GetParam());
  const size_t blockSize = static_cast<size_t>(cipher->BlockSize());
  for (size_t keyLength = 1; keyLength <= static_cast<size_t>(cipher->MaxKeySize()); ++keyLength) {
    for (int round = 0; round < 6; ++round) {
      std::vector<uint8_t> key(keyLength);
      for (auto& byte : key) byte = static_cast<uint8_t>(random());
      cipher->Init(key.data(), key.size());
      auto reference = oracle::MakeOracle(GetParam(), key.data(), key.size());
      for (int i = 0; i < 16; ++i) {
        std::vector<uint8_t> block(blockSize);
        for (auto& byte : block) byte = static_cast<uint8_t>(random());
        auto ours = block, theirs = block;
        cipher->EncryptBlock(ours.data());
        reference->Encrypt(theirs.data());
        ASSERT_EQ(ToHex(ours.data(), blockSize), ToHex(theirs.data(), blockSize))
            << cipher->ClassName() << " key length " << keyLength;
        cipher->DecryptBlock(ours.data());
        reference->Decrypt(theirs.data());
        ASSERT_EQ(ours, block);
        ASSERT_EQ(theirs, block);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllCiphers, CipherAgainstOracle,
                         ::testing::Values(TCipherKind::Blowfish, TCipherKind::Twofish,
                                           TCipherKind::Gost),
                         oracle::CipherKindName);

// A 20-byte Twofish key runs the 192-bit schedule with four zero bytes appended; 16, 24 and 32
// are the boundaries where the padding changes.
TEST(TwofishKeySchedule, ShortKeysAreZeroPaddedToTheNextSize) {
  const auto key = FromHex("0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff");
  const struct {
    size_t length, paddedTo;
  } cases[] = {{1, 16}, {15, 16}, {16, 16}, {17, 24}, {20, 24}, {24, 24}, {25, 32}, {31, 32}};
  for (const auto& c : cases) {
    std::vector<uint8_t> padded(key.begin(), key.begin() + c.length);
    padded.resize(c.paddedTo, 0);
    TEnc_Twofish shortKey, paddedKey;
    shortKey.Init(key.data(), c.length);
    paddedKey.Init(padded.data(), padded.size());
    uint8_t a[16] = {1, 2, 3}, b[16] = {1, 2, 3};
    shortKey.EncryptBlock(a);
    paddedKey.EncryptBlock(b);
    EXPECT_EQ(ToHex(a, 16), ToHex(b, 16)) << "key length " << c.length;
  }
}

// Bytes past the largest key size are ignored; GOST keys are zero-padded to 32 bytes.
TEST(CipherKeySchedule, KeysBeyondTheLargestSizeAreCut) {
  std::vector<uint8_t> key(80);
  for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(i * 7 + 1);
  for (TCipherKind kind : {TCipherKind::Blowfish, TCipherKind::Twofish, TCipherKind::Gost}) {
    auto longKey = MakeCipher(kind), cutKey = MakeCipher(kind);
    longKey->Init(key.data(), key.size());
    cutKey->Init(key.data(), static_cast<size_t>(cutKey->MaxKeySize()));
    uint8_t a[16] = {9}, b[16] = {9};
    longKey->EncryptBlock(a);
    cutKey->EncryptBlock(b);
    EXPECT_EQ(ToHex(a, 16), ToHex(b, 16)) << longKey->ClassName();
  }
  TEnc_Gost shortGost, paddedGost;
  std::vector<uint8_t> padded(key.begin(), key.begin() + 20);
  padded.resize(32, 0);
  shortGost.Init(key.data(), 20);
  paddedGost.Init(padded.data(), 32);
  uint8_t a[8] = {5}, b[8] = {5};
  shortGost.EncryptBlock(a);
  paddedGost.EncryptBlock(b);
  EXPECT_EQ(ToHex(a, 8), ToHex(b, 8));
}

}  // namespace
}  // namespace tessdb
