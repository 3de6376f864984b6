#include "tessdb/processing/cipher_algo.h"

#include "tessdb/processing/blowfish.h"
#include "tessdb/processing/gost.h"
#include "tessdb/processing/twofish.h"

namespace tessdb {

void TEncAlgo_Base::EncodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) {
  cipher_->EncodeBuffer(source, destination, length > 0 ? static_cast<size_t>(length) : 0);
}

void TEncAlgo_Base::DecodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) {
  cipher_->DecodeBuffer(source, destination, length > 0 ? static_cast<size_t>(length) : 0);
}

TEncAlgo_Blowfish::TEncAlgo_Blowfish() : TEncAlgo_Base(std::make_unique<TEnc_Blowfish>()) {}
TEncAlgo_Twofish::TEncAlgo_Twofish() : TEncAlgo_Base(std::make_unique<TEnc_Twofish>()) {}
TEncAlgo_Gost::TEncAlgo_Gost() : TEncAlgo_Base(std::make_unique<TEnc_Gost>()) {}

}  // namespace tessdb
