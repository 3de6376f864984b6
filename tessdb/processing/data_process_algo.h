// The root of the stored-data algorithms (compression and encryption): an object that turns a run
// of bytes from one stream into its encoded or decoded form in another stream.
//
// Streams: a size below 0 means the whole source from its start; otherwise `size` bytes are taken
// from the source's current position (fewer when the source ends first). The result is written at
// the destination's position.
//
// Progress is reported through two events, each called with a percentage when set. The engine's
// file object connects them to the database's progress events; this layer knows nothing of it.
#pragma once

#include <cstdint>
#include <functional>

#include "tessdb/core/stream.h"

namespace tessdb {

using TProgressEvent = std::function<void(int percent)>;

class TDataProcessAlgo {
 public:
  TDataProcessAlgo() = default;
  TDataProcessAlgo(const TDataProcessAlgo&) = delete;
  TDataProcessAlgo& operator=(const TDataProcessAlgo&) = delete;
  virtual ~TDataProcessAlgo() = default;

  virtual void EncodeStream(TStream& source, TStream& destination, int64_t size) = 0;
  virtual void DecodeStream(TStream& source, TStream& destination, int64_t size) = 0;

  TProgressEvent OnEncodeProgress;
  TProgressEvent OnDecodeProgress;

 protected:
  void EncodeProgress(int percent) const {
    if (OnEncodeProgress) OnEncodeProgress(percent);
  }
  void DecodeProgress(int percent) const {
    if (OnDecodeProgress) OnDecodeProgress(percent);
  }
};

// The percentage `done` is of `total`, rounded to the nearest integer; 0 when total is 0.
int ProgressPercent(int64_t done, int64_t total);

}  // namespace tessdb
