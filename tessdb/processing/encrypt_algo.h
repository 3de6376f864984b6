// TEncryptAlgo: an encryption algorithm as the managers drive it: mode, key, message boundaries
// (Done) and buffer operations, with stream encryption built on the buffer operations.
//
// Streams are processed in chunks of at most 4096 bytes, each encrypted in place with the
// feedback carried over from the previous chunk. Progress: 0 at the start, the rounded
// percentage of bytes done after each chunk, and 0 once more at the end.
#pragma once

#include <cstdint>
#include <string>

#include "tessdb/processing/data_process_algo.h"

namespace tessdb {

class TEncryptAlgo : public TDataProcessAlgo {
 public:
  static constexpr int64_t kStreamChunkSize = 4096;

  virtual void SetMode(int mode) = 0;
  virtual int GetMode() const = 0;
  virtual void InitKey(const std::string& password) = 0;
  virtual void Done() = 0;
  // Length bytes; source may equal destination. A length of 0 or less does nothing.
  virtual void EncodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) = 0;
  virtual void DecodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) = 0;

  void EncodeStream(TStream& source, TStream& destination, int64_t size) override;
  void DecodeStream(TStream& source, TStream& destination, int64_t size) override;

 private:
  void ProcessStream(TStream& source, TStream& destination, int64_t size, bool encode);
};

}  // namespace tessdb
