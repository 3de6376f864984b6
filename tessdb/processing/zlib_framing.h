// TCompAlgo_Zlib: the "ZLIB" compression algorithm and the byte framing real files depend on.
//
// Encoded form of N > 0 source bytes: int32 N (little-endian) followed by the zlib stream
// (RFC 1950) of the source, or, when that stream is not smaller than N, int32 -N followed by the
// N source bytes unchanged. An empty source encodes to nothing and decodes to nothing.
//
// The level byte (initially 1) selects the zlib level: 0 -> 9, 1 -> zlib's default, 2 and 3 -> 1,
// any other -> 0 (stored). Decoding does not depend on it.
//
// Errors: zlib failing raises ECompressionError("error"); data that ends before the announced
// length was produced raises EStreamError("Stream read error").
#pragma once

#include <cstdint>

#include "tessdb/processing/compress_algo.h"

namespace tessdb {

class TCompAlgo_Zlib : public TCompressAlgo {
 public:
  void EncodeStream(TStream& source, TStream& destination, int64_t size) override;
  void DecodeStream(TStream& source, TStream& destination, int64_t size) override;

  // Keeps the low byte of level, as the file's level byte does.
  void SetLevel(int level) override { level_ = static_cast<uint8_t>(level); }
  int GetLevel() const override { return level_; }

  // The zlib level that a level byte selects.
  static int ZlibLevel(uint8_t level);

 private:
  uint8_t level_ = 1;
};

}  // namespace tessdb
