// TEnc_Twofish: Twofish (16-byte blocks, little-endian words). Keys up to 32 bytes; a shorter key
// is zero-padded to 16, 24 or 32 bytes (the next at or above its length), so a 20-byte key runs
// the 192-bit key schedule.
#pragma once

#include <cstdint>

#include "tessdb/processing/cipher.h"

namespace tessdb {

class TEnc_Twofish final : public TEncrypt {
 public:
  TEnc_Twofish() : TEncrypt(16, 32) {}
  ~TEnc_Twofish() override;

  const char* ClassName() const override { return "TEnc_Twofish"; }
  int KeyScheduleSize() const override { return sizeof(s_) + sizeof(k_); }
  void EncryptBlock(uint8_t* block) const override;
  void DecryptBlock(uint8_t* block) const override;

 protected:
  void SetupKey(const uint8_t* key, size_t length) override;
  void ClearKey() override;
  void EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) override;
  void DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) override;

 private:
  void Encrypt(const uint8_t* in, uint8_t* out) const;
  void Decrypt(const uint8_t* in, uint8_t* out) const;

  uint32_t s_[4][256];  // key-dependent S-boxes with the MDS matrix folded in
  uint32_t k_[40];      // whitening and round subkeys
};

}  // namespace tessdb
