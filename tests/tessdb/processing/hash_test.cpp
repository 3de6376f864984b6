// SHA-0, CRC-32, the Base64 variant and the password check text.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "oracle.h"
#include "tessdb/processing/base64_variant.h"
#include "tessdb/processing/crc32.h"
#include "tessdb/processing/password_check.h"
#include "tessdb/processing/sha0.h"

namespace tessdb {
namespace {

std::string Sha0Hex(const std::string& text) {
  const auto digest = THash_SHA::Calc(text);
  return oracle::ToHex(digest.data(), digest.size());
}

TEST(Sha0, PublishedDigests) {
  EXPECT_EQ(Sha0Hex("abc"), "0164b8a914cd2a5e74c4f7ff082c4d97f1edf880");
  EXPECT_EQ(Sha0Hex(""), "f96cea198ad1dd5617ac084a3d92c6107708c0ef");
  EXPECT_EQ(Sha0Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "d2516ee1acfa5baf33dfc1c471e438449ef134c8");
  EXPECT_EQ(Sha0Hex(std::string(1000000, 'a')), "3232affa48628a26653b5aaa44541fd90d690603");
}

// Padding at every length around the 55/56/64-byte boundaries, fed whole and in odd pieces.
TEST(Sha0, PiecewiseUpdatesEqualOneCall) {
  std::mt19937 random(3);
  for (size_t length : {55, 56, 57, 63, 64, 65, 119, 120, 128, 1000}) {
    std::string text(length, '\0');
    for (char& c : text) c = static_cast<char>(random());
    THash_SHA hash;
    for (size_t at = 0; at < length; at += 7)
      hash.Update(text.data() + at, std::min<size_t>(7, length - at));
    EXPECT_EQ(hash.Final(), THash_SHA::Calc(text)) << length;
    EXPECT_EQ(hash.Final(), THash_SHA::Calc("")) << "Final starts over";
  }
}

TEST(Crc32, CheckValueAndZlibAgreement) {
  EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
  EXPECT_EQ(Crc32("", 0), 0u);
  const THash_CRC32::Digest digest = THash_CRC32::Calc("123456789", 9);
  EXPECT_EQ(oracle::ToHex(digest.data(), 4), "2639f4cb");
  std::mt19937 random(5);
  std::string data(10000, '\0');
  for (char& c : data) c = static_cast<char>(random());
  THash_CRC32 hash;
  hash.Update(data.data(), 3333);
  hash.Update(data.data() + 3333, data.size() - 3333);
  const uint32_t expected =
      static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size()));
  EXPECT_EQ(hash.FinalValue(), expected);
  EXPECT_EQ(Crc32(data.data(), data.size()), expected);
}

TEST(Base64Variant, TrimsTrailingZeroValuesPerGroup) {
  const struct {
    std::string bytes;
    const char* text;
  } cases[] = {
      {"abc", "YWJj"},
      {std::string("A\0\0", 3), "QQ"},
      {std::string(3, '\0'), ""},
      {"A", "QQ=="},
      {"AB", "QUI="},
      {std::string("\0\0\x01", 3), "AAAB"},
      {std::string("\0\x10\0A", 4), "ABQQ=="},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Base64Variant(c.bytes.data(), c.bytes.size()), c.text);
  }
}

TEST(PasswordCheckText, EmptyAndOrdinaryPasswords) {
  // SHA-0 of the empty message, f96cea19..., in the variant (no group of it ends in zero values).
  EXPECT_EQ(PasswordCheckText(""), "+WzqGYrR3VYXrAhKPZLGEHcIwO8=");
  // The last group f8 80 00 ends in two zero values: 27 characters, where standard Base64 has 28.
  EXPECT_EQ(PasswordCheckText("abc"), "AWS4qRTNKl50xPf/CCxNl/Ht+I=");
  EXPECT_NE(PasswordCheckText("Abc"), PasswordCheckText("abc"));
}

}  // namespace
}  // namespace tessdb
