// Arbitrary bytes as a stored ZLIB-framed value (what a damaged or hostile file can hold): decoding
// either succeeds or raises the framing's errors, never anything else. Arbitrary values also
// survive an encode/decode round trip at a level taken from the first byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/zlib_framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessdb;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TCompAlgo_Zlib algo;
  try {
    TMemoryStream source(bytes), destination;
    algo.DecodeStream(source, destination, -1);
  } catch (const EStreamError&) {
  } catch (const ECompressionError&) {
  }
  if (size > 0) {
    algo.SetLevel(data[0] % 6);
    TMemoryStream source(bytes.substr(1)), encoded, decoded;
    algo.EncodeStream(source, encoded, -1);
    algo.DecodeStream(encoded, decoded, -1);
    if (decoded.ToString() != bytes.substr(1)) std::abort();
  }
  return 0;
}
