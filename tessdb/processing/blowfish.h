// TEnc_Blowfish: Blowfish (16 rounds, 8-byte blocks read as two big-endian 32-bit halves), keys
// of 1 to 56 bytes.
#pragma once

#include <cstdint>

#include "tessdb/processing/cipher.h"

namespace tessdb {

class TEnc_Blowfish final : public TEncrypt {
 public:
  TEnc_Blowfish() : TEncrypt(8, 56) {}
  ~TEnc_Blowfish() override;

  const char* ClassName() const override { return "TEnc_Blowfish"; }
  int KeyScheduleSize() const override { return sizeof(s_) + sizeof(p_); }
  void EncryptBlock(uint8_t* block) const override;
  void DecryptBlock(uint8_t* block) const override;

 protected:
  void SetupKey(const uint8_t* key, size_t length) override;
  void ClearKey() override;
  void EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) override;
  void DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) override;

 private:
  void Encrypt(uint32_t& left, uint32_t& right) const;
  void Decrypt(uint32_t& left, uint32_t& right) const;

  uint32_t s_[4][256];
  uint32_t p_[18];
};

}  // namespace tessdb
