// The five chaining modes of every cipher against an independent computation of each mode over
// the oracle libraries' single-block functions, plus message boundaries and misuse.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "oracle.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/processing/blowfish.h"
#include "tessdb/processing/gost.h"
#include "tessdb/processing/sha0.h"
#include "tessdb/processing/twofish.h"

namespace tessdb {
namespace {

using oracle::TCipherKind;
using oracle::TOracle;
using TBytes = std::vector<uint8_t>;

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

// The modes written out directly from their definitions over an oracle block function. `feedback`
// carries over between calls, as the cipher's register does.
TBytes ReferenceMode(TOracle& cipher, int mode, bool encode, TBytes& feedback, const TBytes& in) {
  const size_t b = cipher.BlockSize();
  TBytes out(in.size());
  const size_t whole = in.size() / b * b;
  const auto encrypted = [&](TBytes block) {
    cipher.Encrypt(block.data());
    return block;
  };
  if (mode == 0 || mode == 1) {
    for (size_t at = 0; at < whole; at += b) {
      TBytes block(in.begin() + at, in.begin() + at + b), c;
      if (encode) {
        for (size_t i = 0; i < b; ++i) block[i] ^= feedback[i];
        cipher.Encrypt(block.data());
        c = block;
        std::copy(block.begin(), block.end(), out.begin() + at);
      } else {
        c = block;
        cipher.Decrypt(block.data());
        for (size_t i = 0; i < b; ++i) out[at + i] = block[i] ^ feedback[i];
      }
      for (size_t i = 0; i < b; ++i) feedback[i] = mode == 0 ? c[i] ^ feedback[i] : c[i];
    }
    if (whole < in.size()) {
      const TBytes t = encrypted(feedback);
      for (size_t i = whole; i < in.size(); ++i) out[i] = in[i] ^ t[i - whole];
      if (mode == 0) {
        for (size_t i = 0; i < b; ++i) feedback[i] ^= t[i];
      }
    }
  } else if (mode == 2 || mode == 3) {
    for (size_t i = 0; i < in.size(); ++i) {
      const TBytes t = encrypted(feedback);
      out[i] = in[i] ^ t[0];
      feedback.erase(feedback.begin());
      feedback.push_back(mode == 3 ? t[0] : encode ? out[i] : in[i]);
    }
  } else {
    out = in;
    for (size_t at = 0; at < whole; at += b) {
      if (encode) {
        cipher.Encrypt(out.data() + at);
      } else {
        cipher.Decrypt(out.data() + at);
      }
    }
  }
  return out;
}

TBytes RandomBytes(std::mt19937& random, size_t length) {
  TBytes bytes(length);
  for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

struct TModeCase {
  TCipherKind kind;
  int mode;
};

class CipherModes : public ::testing::TestWithParam<TModeCase> {
 protected:
  void SetUp() override {
    key_ = RandomBytes(random_, 20);
    cipher_ = MakeCipher(GetParam().kind);
    cipher_->Init(key_.data(), key_.size());
    cipher_->SetMode(GetParam().mode);
    reference_ = oracle::MakeOracle(GetParam().kind, key_.data(), key_.size());
    vector_.assign(static_cast<size_t>(cipher_->BlockSize()), 0xFF);
    reference_->Encrypt(vector_.data());
  }

  std::vector<size_t> Lengths() const {
    const size_t b = static_cast<size_t>(cipher_->BlockSize());
    return {0, 1, b - 1, b, b + 1, 3 * b + 5, 4096, 9000};
  }

  std::mt19937 random_{77};
  TBytes key_;
  std::unique_ptr<TEncrypt> cipher_;
  std::unique_ptr<TOracle> reference_;
  TBytes vector_;  // E(all 0xFF) under the oracle
};

TEST_P(CipherModes, VectorIsTheEncryptedAllOnesBlock) {
  EXPECT_EQ(TBytes(cipher_->Vector(), cipher_->Vector() + cipher_->BlockSize()), vector_);
  EXPECT_EQ(TBytes(cipher_->Feedback(), cipher_->Feedback() + cipher_->BlockSize()), vector_);
}

// Each length is one message: the cipher output matches the reference, decodes back, works in
// place, leaves the scratch block zero, and Done makes the next message start over.
TEST_P(CipherModes, EveryLengthMatchesTheReferenceAndRoundTrips) {
  const int mode = GetParam().mode;
  for (size_t length : Lengths()) {
    SCOPED_TRACE(length);
    const TBytes plain = RandomBytes(random_, length);
    TBytes feedback = vector_;
    const TBytes expected = ReferenceMode(*reference_, mode, true, feedback, plain);

    TBytes encoded(length);
    cipher_->EncodeBuffer(plain.data(), encoded.data(), length);
    ASSERT_EQ(encoded, expected);
    EXPECT_EQ(TBytes(cipher_->Feedback(), cipher_->Feedback() + cipher_->BlockSize()), feedback);
    EXPECT_EQ(TBytes(cipher_->Scratch(), cipher_->Scratch() + cipher_->BlockSize()),
              TBytes(static_cast<size_t>(cipher_->BlockSize()), 0));
    cipher_->Done();

    TBytes inPlace = plain;
    cipher_->EncodeBuffer(inPlace.data(), inPlace.data(), length);
    EXPECT_EQ(inPlace, expected) << "a second message equals the first";
    cipher_->Done();

    TBytes decoded(length);
    cipher_->DecodeBuffer(encoded.data(), decoded.data(), length);
    EXPECT_EQ(decoded, plain);
    cipher_->Done();
    cipher_->DecodeBuffer(inPlace.data(), inPlace.data(), length);
    EXPECT_EQ(inPlace, plain);
    cipher_->Done();

    feedback = vector_;
    EXPECT_EQ(ReferenceMode(*reference_, mode, false, feedback, encoded), plain);
  }
}

// Without Done the feedback carries over: a message split into pieces (at block boundaries and
// in the middle of blocks) matches the reference fed the same pieces.
TEST_P(CipherModes, FeedbackCarriesOverBetweenBuffers) {
  const int mode = GetParam().mode;
  const TBytes plain = RandomBytes(random_, 100);
  const size_t cuts[] = {0, 16, 17, 40, 41, 100};
  TBytes feedback = vector_, encoded, expected;
  for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
    const TBytes piece(plain.begin() + cuts[i], plain.begin() + cuts[i + 1]);
    TBytes out(piece.size());
    cipher_->EncodeBuffer(piece.data(), out.data(), piece.size());
    encoded.insert(encoded.end(), out.begin(), out.end());
    const TBytes ref = ReferenceMode(*reference_, mode, true, feedback, piece);
    expected.insert(expected.end(), ref.begin(), ref.end());
  }
  EXPECT_EQ(encoded, expected);
  cipher_->Done();
  TBytes decoded(encoded.size());
  size_t at = 0;
  for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
    const size_t n = cuts[i + 1] - cuts[i];
    cipher_->DecodeBuffer(encoded.data() + at, decoded.data() + at, n);
    at += n;
  }
  EXPECT_EQ(decoded, plain);
}

std::vector<TModeCase> AllModeCases() {
  std::vector<TModeCase> cases;
  for (TCipherKind kind : {TCipherKind::Blowfish, TCipherKind::Twofish, TCipherKind::Gost}) {
    for (int mode = 0; mode <= 4; ++mode) cases.push_back({kind, mode});
  }
  return cases;
}

std::string ModeCaseName(const ::testing::TestParamInfo<TModeCase>& info) {
  static const char* const kCiphers[] = {"Blowfish", "Twofish", "Gost"};
  static const char* const kModes[] = {"Chain", "CBC", "CFB8", "OFB8", "ECB"};
  return std::string(kCiphers[static_cast<int>(info.param.kind)]) + kModes[info.param.mode];
}

INSTANTIATE_TEST_SUITE_P(AllCiphersAllModes, CipherModes, ::testing::ValuesIn(AllModeCases()),
                         ModeCaseName);

// The stored forms the text spells out: a one-byte value in ModeChain or ModeCBC is the byte
// xor the first byte of E(vector); an ECB tail stays plain; equal values encrypt equally.
TEST(CipherStoredForms, OneByteValuesEcbTailsAndEqualValues) {
  for (int mode : {0, 1}) {
    TEnc_Gost cipher;
    cipher.InitKey("password");
    cipher.SetMode(mode);
    uint8_t expected[8];
    std::memcpy(expected, cipher.Vector(), 8);
    cipher.EncryptBlock(expected);
    uint8_t value = 0x5A;
    cipher.EncodeBuffer(&value, &value, 1);
    EXPECT_EQ(value, 0x5A ^ expected[0]);
  }
  TEnc_Twofish ecb;
  ecb.InitKey("password");
  ecb.SetMode(ModeECB);
  const std::string text = "exactly twenty bytes";
  std::string stored = text;
  ecb.EncodeBuffer(stored.data(), stored.data(), stored.size());
  EXPECT_NE(stored.substr(0, 16), text.substr(0, 16));
  EXPECT_EQ(stored.substr(16), text.substr(16));
}

TEST(CipherInitKey, KeyIsTheSha0DigestOfThePassword) {
  const THash_SHA::Digest digest = THash_SHA::Calc("Tessivo");
  TEnc_Blowfish fromPassword, fromKey;
  fromPassword.InitKey("Tessivo");
  fromKey.Init(digest.data(), 20);
  EXPECT_TRUE(fromPassword.Initialized());
  EXPECT_EQ(oracle::ToHex(fromPassword.Vector(), 8), oracle::ToHex(fromKey.Vector(), 8));
  TEnc_Twofish explicitVector;
  const uint8_t vector[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  explicitVector.Init(digest.data(), 20, vector);
  EXPECT_EQ(oracle::ToHex(explicitVector.Feedback(), 16), oracle::ToHex(vector, 16));
}

TEST(CipherMisuse, UnkeyedCipherAndUnknownMode) {
  const struct {
    std::unique_ptr<TEncrypt> cipher;
    const char* message;
  } cases[] = {
      {std::make_unique<TEnc_Blowfish>(),
       "TEnc_Blowfish is not initialized call Init() or InitKey() before."},
      {std::make_unique<TEnc_Twofish>(),
       "TEnc_Twofish is not initialized call Init() or InitKey() before."},
      {std::make_unique<TEnc_Gost>(),
       "TEnc_Gost is not initialized call Init() or InitKey() before."},
  };
  for (const auto& c : cases) {
    uint8_t buffer[20] = {};
    try {
      c.cipher->EncodeBuffer(buffer, buffer, sizeof buffer);
      ADD_FAILURE() << "no error";
    } catch (const EEncryptException& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_THROW(c.cipher->DecodeBuffer(buffer, buffer, 0), EEncryptException);
    c.cipher->InitKey("x");
    c.cipher->EncodeBuffer(buffer, buffer, sizeof buffer);
    c.cipher->Protect();
    EXPECT_THROW(c.cipher->EncodeBuffer(buffer, buffer, 1), EEncryptException);

    // A damaged file may carry any mode byte: refuse it instead of leaving the output unwritten.
    c.cipher->InitKey("x");
    c.cipher->SetMode(5);
    try {
      c.cipher->EncodeBuffer(buffer, buffer, sizeof buffer);
      ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "General error");
    }
  }
}

}  // namespace
}  // namespace tessdb
