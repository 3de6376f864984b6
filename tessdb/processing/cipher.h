// TEncrypt: a block cipher object as the engine uses it to encrypt stored values, with its key,
// initialisation vector, feedback register and the five chaining modes.
//
// Life of a cipher: Init (or InitKey) sets the key and the initialisation vector V and loads the
// feedback register F with V; every EncodeBuffer/DecodeBuffer continues from F; Done reloads F
// from V, so that the next buffer is an independent message. Output length always equals input
// length; a tail shorter than a block is handled by the mode (see TCipherMode). Source and
// destination may be the same buffer; other overlaps are not supported.
//
// Using a cipher whose key was never set raises EEncryptException
// ("<class name> is not initialized call Init() or InitKey() before.").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessdb {

// Mode codes as stored in a database file (one byte, passed to the cipher unchanged).
// B = block size, F = feedback register, E/D = block encryption/decryption.
enum TCipherMode : int {
  ModeChain = 0,  // C = E(P xor F), F = C xor F; tail: T = E(F), bytes xor T, F = T xor F
  ModeCBC = 1,    // C = E(P xor F), F = C; tail: T = E(F), bytes xor T, F unchanged
  ModeCFB8 = 2,   // per byte: out = in xor E(F)[0]; F shifts left, takes the cipher byte
  ModeOFB8 = 3,   // per byte: out = in xor E(F)[0]; F shifts left, takes E(F)[0]
  ModeECB = 4,    // whole blocks alone; a tail shorter than B is left unchanged
};

class TEncrypt {
 public:
  static constexpr int kMaxBlockSize = 16;

  TEncrypt(const TEncrypt&) = delete;
  TEncrypt& operator=(const TEncrypt&) = delete;
  virtual ~TEncrypt();

  // The class name used in messages, e.g. "TEnc_Blowfish".
  virtual const char* ClassName() const = 0;
  int BlockSize() const { return blockSize_; }
  int MaxKeySize() const { return maxKeySize_; }
  // Bytes of the expanded key.
  virtual int KeyScheduleSize() const = 0;

  int Mode() const { return mode_; }
  // Any value is kept; buffer operations in a mode other than 0..4 raise
  // EDatabaseError("General error") rather than leave the destination unwritten.
  void SetMode(int mode) { mode_ = mode; }

  // Sets the key (bytes beyond MaxKeySize are ignored) and the initialisation vector: the given
  // BlockSize() bytes, or with none the all-0xFF block encrypted once under the new key.
  void Init(const void* key, size_t keyLength, const void* vector = nullptr);
  // Key = the first min(20, MaxKeySize) bytes of the SHA-0 digest of the password; vector as
  // Init without one.
  void InitKey(const std::string& password);
  // Wipes the key, vector and registers; the cipher is unkeyed afterwards.
  void Protect();
  // Reloads the feedback register from the initialisation vector.
  void Done();
  bool Initialized() const { return initialized_; }

  void EncodeBuffer(const void* source, void* destination, size_t length);
  void DecodeBuffer(const void* source, void* destination, size_t length);

  // One block in place with the current key (no mode, no key check). For tests and tools.
  virtual void EncryptBlock(uint8_t* block) const = 0;
  virtual void DecryptBlock(uint8_t* block) const = 0;

  const uint8_t* Vector() const { return vector_; }
  const uint8_t* Feedback() const { return feedback_; }
  // Zero after every buffer operation (it holds keystream while one runs).
  const uint8_t* Scratch() const { return scratch_; }

 protected:
  TEncrypt(int blockSize, int maxKeySize) : blockSize_(blockSize), maxKeySize_(maxKeySize) {}

  virtual void SetupKey(const uint8_t* key, size_t length) = 0;
  virtual void ClearKey() = 0;
  // The mode loops over a whole buffer: one virtual call per buffer, the block function inlined
  // (cipher_modes.h). Called with a valid mode and a keyed cipher.
  virtual void EncodeModes(const uint8_t* source, uint8_t* destination, size_t length) = 0;
  virtual void DecodeModes(const uint8_t* source, uint8_t* destination, size_t length) = 0;

  uint8_t vector_[kMaxBlockSize] = {};
  uint8_t feedback_[kMaxBlockSize] = {};
  uint8_t scratch_[kMaxBlockSize] = {};

 private:
  void CheckReady() const;

  const int blockSize_;
  const int maxKeySize_;
  int mode_ = ModeChain;
  bool keySet_ = false;
  bool initialized_ = false;
};

}  // namespace tessdb
