#include "tessdb/processing/cipher.h"

#include <algorithm>
#include <cstring>

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/sha0.h"

namespace tessdb {

TEncrypt::~TEncrypt() = default;

void TEncrypt::Init(const void* key, size_t keyLength, const void* vector) {
  Protect();
  keyLength = std::min(keyLength, static_cast<size_t>(maxKeySize_));
  SetupKey(static_cast<const uint8_t*>(key), keyLength);
  keySet_ = true;
  if (vector != nullptr) {
    std::memcpy(vector_, vector, static_cast<size_t>(blockSize_));
  } else {
    std::memset(vector_, 0xFF, static_cast<size_t>(blockSize_));
    EncryptBlock(vector_);
  }
  std::memcpy(feedback_, vector_, static_cast<size_t>(blockSize_));
  initialized_ = true;
}

void TEncrypt::InitKey(const std::string& password) {
  THash_SHA::Digest digest = THash_SHA::Calc(password);
  Init(digest.data(), std::min<size_t>(digest.size(), static_cast<size_t>(maxKeySize_)));
  std::memset(digest.data(), 0, digest.size());
}

void TEncrypt::Protect() {
  if (keySet_) ClearKey();
  keySet_ = false;
  initialized_ = false;
  std::memset(vector_, 0, sizeof vector_);
  std::memset(feedback_, 0, sizeof feedback_);
  std::memset(scratch_, 0, sizeof scratch_);
}

void TEncrypt::Done() {
  std::memcpy(feedback_, vector_, static_cast<size_t>(blockSize_));
}

void TEncrypt::CheckReady() const {
  if (!initialized_) {
    throw EEncryptException(
        FormatMessage("%s is not initialized call Init() or InitKey() before.", ClassName()));
  }
  if (mode_ < ModeChain || mode_ > ModeECB) throw EDatabaseError("General error");
}

void TEncrypt::EncodeBuffer(const void* source, void* destination, size_t length) {
  CheckReady();
  EncodeModes(static_cast<const uint8_t*>(source), static_cast<uint8_t*>(destination), length);
  std::memset(scratch_, 0, sizeof scratch_);
}

void TEncrypt::DecodeBuffer(const void* source, void* destination, size_t length) {
  CheckReady();
  DecodeModes(static_cast<const uint8_t*>(source), static_cast<uint8_t*>(destination), length);
  std::memset(scratch_, 0, sizeof scratch_);
}

}  // namespace tessdb
