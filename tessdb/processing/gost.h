// TEnc_Gost: GOST 28147-89 (8-byte blocks as two little-endian 32-bit halves, 32 rounds: key
// words K0..K7 three times, then K7..K0) with the substitution table of OID 1.2.643.2.2.30.0.
// The key bytes (up to 32) are copied into a zeroed 32-byte key area read as eight
// little-endian words.
#pragma once

#include <cstdint>

#include "tessdb/processing/cipher.h"

namespace tessdb {

class TEnc_Gost final : public TEncrypt {
 public:
  TEnc_Gost() : TEncrypt(8, 32) {}
  ~TEnc_Gost() override;

  const char* ClassName() const override { return "TEnc_Gost"; }
  int KeyScheduleSize() const override { return sizeof(key_); }
  void EncryptBlock(uint8_t* block) const override;
  void DecryptBlock(uint8_t* block) const override;

 protected:
  void SetupKey(const uint8_t* key, size_t length) override;
  void ClearKey() override;
  void EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) override;
  void DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) override;

 private:
  void Encrypt(uint32_t& n1, uint32_t& n2) const;
  void Decrypt(uint32_t& n1, uint32_t& n2) const;

  uint32_t key_[8];
};

}  // namespace tessdb
