// The five chaining modes as loops over a whole buffer, instantiated by each cipher over its own
// block functions so that the block function is inlined into the loop (no virtual call per
// block or byte). Internal to the cipher implementations.
//
// Each loop reads a block into a local copy before it writes the output, so source and
// destination may be the same buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tessdb/processing/cipher.h"

namespace tessdb::cipher_modes {

template <size_t B>
inline void Xor(uint8_t* target, const uint8_t* a, const uint8_t* b) {
  for (size_t i = 0; i < B; ++i) target[i] = a[i] ^ b[i];
}

// The tail of ModeChain and ModeCBC: T = E(F), bytes xor T; ModeChain then sets F = T xor F.
template <size_t B, class Encrypt>
inline void ChainTail(int mode, uint8_t* feedback, uint8_t* scratch, const uint8_t* source,
                      uint8_t* destination, size_t length, Encrypt encrypt) {
  std::memcpy(scratch, feedback, B);
  encrypt(scratch);
  for (size_t i = 0; i < length; ++i) destination[i] = source[i] ^ scratch[i];
  if (mode == ModeChain) Xor<B>(feedback, scratch, feedback);
}

// ModeCFB8 and ModeOFB8: one block encryption per byte.
template <size_t B, class Encrypt>
inline void ByteFeedback(int mode, bool encode, uint8_t* feedback, uint8_t* scratch,
                         const uint8_t* source, uint8_t* destination, size_t length,
                         Encrypt encrypt) {
  for (size_t i = 0; i < length; ++i) {
    std::memcpy(scratch, feedback, B);
    encrypt(scratch);
    const uint8_t in = source[i];
    const uint8_t out = in ^ scratch[0];
    destination[i] = out;
    std::memmove(feedback, feedback + 1, B - 1);
    feedback[B - 1] = mode == ModeOFB8 ? scratch[0] : (encode ? out : in);
  }
}

// Each whole block transformed alone; a tail shorter than a block is left as it is.
template <size_t B, class Transform>
inline void Ecb(const uint8_t* source, uint8_t* destination, size_t length, Transform transform) {
  const size_t whole = length - length % B;
  uint8_t block[B];
  for (size_t at = 0; at < whole; at += B) {
    std::memcpy(block, source + at, B);
    transform(block);
    std::memcpy(destination + at, block, B);
  }
  if (whole < length && source != destination) {
    std::memcpy(destination + whole, source + whole, length - whole);
  }
  std::memset(block, 0, B);
}

template <size_t B, class Encrypt>
void Encode(int mode, uint8_t* feedback, uint8_t* scratch, const uint8_t* source,
            uint8_t* destination, size_t length, Encrypt encrypt) {
  const size_t whole = length - length % B;
  uint8_t block[B];
  switch (mode) {
    case ModeChain:
    case ModeCBC:
      for (size_t at = 0; at < whole; at += B) {
        Xor<B>(block, source + at, feedback);
        encrypt(block);
        if (mode == ModeChain) {
          Xor<B>(feedback, block, feedback);
        } else {
          std::memcpy(feedback, block, B);
        }
        std::memcpy(destination + at, block, B);
      }
      if (whole < length) {
        ChainTail<B>(mode, feedback, scratch, source + whole, destination + whole, length - whole,
                     encrypt);
      }
      break;
    case ModeCFB8:
    case ModeOFB8:
      ByteFeedback<B>(mode, true, feedback, scratch, source, destination, length, encrypt);
      break;
    case ModeECB:
      Ecb<B>(source, destination, length, encrypt);
      break;
  }
  std::memset(block, 0, B);
}

template <size_t B, class Encrypt, class Decrypt>
void Decode(int mode, uint8_t* feedback, uint8_t* scratch, const uint8_t* source,
            uint8_t* destination, size_t length, Encrypt encrypt, Decrypt decrypt) {
  const size_t whole = length - length % B;
  uint8_t cipherText[B];
  uint8_t block[B];
  switch (mode) {
    case ModeChain:
    case ModeCBC:
      for (size_t at = 0; at < whole; at += B) {
        std::memcpy(cipherText, source + at, B);
        std::memcpy(block, cipherText, B);
        decrypt(block);
        Xor<B>(destination + at, block, feedback);
        if (mode == ModeChain) {
          Xor<B>(feedback, cipherText, feedback);
        } else {
          std::memcpy(feedback, cipherText, B);
        }
      }
      if (whole < length) {
        ChainTail<B>(mode, feedback, scratch, source + whole, destination + whole, length - whole,
                     encrypt);
      }
      break;
    case ModeCFB8:
    case ModeOFB8:
      ByteFeedback<B>(mode, false, feedback, scratch, source, destination, length, encrypt);
      break;
    case ModeECB:
      Ecb<B>(source, destination, length, decrypt);
      break;
  }
  std::memset(block, 0, B);
  std::memset(cipherText, 0, B);
}

}  // namespace tessdb::cipher_modes
