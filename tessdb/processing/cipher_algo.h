// TEncAlgo_Base and the three registered encryption algorithms: an encryption algorithm that owns
// one cipher object and forwards mode, key, Done and the buffer operations to it.
// TEncAlgo_Blowfish, TEncAlgo_Twofish and TEncAlgo_Gost differ only in the cipher class.
#pragma once

#include <memory>

#include "tessdb/processing/cipher.h"
#include "tessdb/processing/encrypt_algo.h"

namespace tessdb {

class TEncAlgo_Base : public TEncryptAlgo {
 public:
  void SetMode(int mode) override { cipher_->SetMode(mode); }
  int GetMode() const override { return cipher_->Mode(); }
  void InitKey(const std::string& password) override { cipher_->InitKey(password); }
  void Done() override { cipher_->Done(); }
  void EncodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) override;
  void DecodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) override;

  TEncrypt& Cipher() { return *cipher_; }
  const TEncrypt& Cipher() const { return *cipher_; }

 protected:
  explicit TEncAlgo_Base(std::unique_ptr<TEncrypt> cipher) : cipher_(std::move(cipher)) {}

 private:
  std::unique_ptr<TEncrypt> cipher_;
};

class TEncAlgo_Blowfish : public TEncAlgo_Base {
 public:
  TEncAlgo_Blowfish();
};

class TEncAlgo_Twofish : public TEncAlgo_Base {
 public:
  TEncAlgo_Twofish();
};

class TEncAlgo_Gost : public TEncAlgo_Base {
 public:
  TEncAlgo_Gost();
};

}  // namespace tessdb
