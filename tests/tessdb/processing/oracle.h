// Independent single-block ciphers for the tests: libgcrypt (Blowfish, GOST 28147-89 with the
// substitution table of OID 1.2.643.2.2.30.0) and nettle (Twofish, every key size). Test-only.
#pragma once

#include <gcrypt.h>
#include <gtest/gtest.h>
#include <nettle/twofish.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tessdb::oracle {

class TOracle {
 public:
  virtual ~TOracle() = default;
  virtual size_t BlockSize() const = 0;
  virtual void Encrypt(uint8_t* block) = 0;
  virtual void Decrypt(uint8_t* block) = 0;
};

class TGcryptOracle : public TOracle {
 public:
  // GOST keys are zero-padded to 32 bytes, as the engine's key area is.
  TGcryptOracle(int algorithm, const uint8_t* key, size_t length) {
    static const bool ready = gcry_check_version(nullptr) != nullptr;
    EXPECT_TRUE(ready);
    EXPECT_EQ(gcry_cipher_open(&handle_, algorithm, GCRY_CIPHER_MODE_ECB, 0), 0);
    blockSize_ = gcry_cipher_get_algo_blklen(algorithm);
    std::vector<uint8_t> keyBytes(key, key + length);
    if (algorithm == GCRY_CIPHER_GOST28147) {
      keyBytes.resize(32, 0);
      // gcry_cipher_set_sbox is a statement macro; this is its expansion.
      static char sboxName[] = "1.2.643.2.2.30.0";
      EXPECT_EQ(gcry_cipher_ctl(handle_, GCRYCTL_SET_SBOX, sboxName, 0), 0);
    }
    const gcry_error_t error = gcry_cipher_setkey(handle_, keyBytes.data(), keyBytes.size());
    // libgcrypt flags weak Blowfish keys but still uses them.
    EXPECT_TRUE(error == 0 || gcry_err_code(error) == GPG_ERR_WEAK_KEY) << gcry_strerror(error);
  }
  ~TGcryptOracle() override { gcry_cipher_close(handle_); }
  size_t BlockSize() const override { return blockSize_; }
  void Encrypt(uint8_t* block) override {
    ASSERT_EQ(gcry_cipher_encrypt(handle_, block, blockSize_, nullptr, 0), 0);
  }
  void Decrypt(uint8_t* block) override {
    ASSERT_EQ(gcry_cipher_decrypt(handle_, block, blockSize_, nullptr, 0), 0);
  }

 private:
  gcry_cipher_hd_t handle_ = nullptr;
  size_t blockSize_ = 0;
};

class TNettleTwofishOracle : public TOracle {
 public:
  // nettle zero-pads keys shorter than 32 bytes to 16, 24 or 32 bytes.
  TNettleTwofishOracle(const uint8_t* key, size_t length) { twofish_set_key(&ctx_, length, key); }
  size_t BlockSize() const override { return TWOFISH_BLOCK_SIZE; }
  void Encrypt(uint8_t* block) override { twofish_encrypt(&ctx_, 16, block, block); }
  void Decrypt(uint8_t* block) override { twofish_decrypt(&ctx_, 16, block, block); }

 private:
  twofish_ctx ctx_{};
};

enum class TCipherKind { Blowfish, Twofish, Gost };

inline std::string CipherKindName(const ::testing::TestParamInfo<TCipherKind>& info) {
  static const char* const kNames[] = {"Blowfish", "Twofish", "Gost"};
  return kNames[static_cast<int>(info.param)];
}

inline std::unique_ptr<TOracle> MakeOracle(TCipherKind kind, const uint8_t* key, size_t length) {
  switch (kind) {
    case TCipherKind::Blowfish:
      return std::make_unique<TGcryptOracle>(GCRY_CIPHER_BLOWFISH, key, length);
    case TCipherKind::Gost:
      return std::make_unique<TGcryptOracle>(GCRY_CIPHER_GOST28147, key, length);
    case TCipherKind::Twofish:
      return std::make_unique<TNettleTwofishOracle>(key, length);
  }
  return nullptr;
}

inline std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

inline std::string ToHex(const uint8_t* bytes, size_t length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < length; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  return hex;
}

}  // namespace tessdb::oracle
