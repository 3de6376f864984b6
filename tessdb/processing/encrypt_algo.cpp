#include "tessdb/processing/encrypt_algo.h"

#include <algorithm>

namespace tessdb {

void TEncryptAlgo::EncodeStream(TStream& source, TStream& destination, int64_t size) {
  ProcessStream(source, destination, size, true);
}

void TEncryptAlgo::DecodeStream(TStream& source, TStream& destination, int64_t size) {
  ProcessStream(source, destination, size, false);
}

void TEncryptAlgo::ProcessStream(TStream& source, TStream& destination, int64_t size, bool encode) {
  const auto progress = [&](int percent) {
    if (encode) {
      EncodeProgress(percent);
    } else {
      DecodeProgress(percent);
    }
  };
  if (size < 0) {
    source.SetPosition(0);
    size = source.Size();
  }
  progress(0);
  uint8_t chunk[kStreamChunkSize];
  int64_t done = 0;
  while (done < size) {
    const int64_t read = source.Read(chunk, std::min(kStreamChunkSize, size - done));
    if (read <= 0) break;
    if (encode) {
      EncodeBuffer(chunk, chunk, read);
    } else {
      DecodeBuffer(chunk, chunk, read);
    }
    destination.WriteBuffer(chunk, read);
    done += read;
    progress(ProgressPercent(done, size));
  }
  progress(0);
}

}  // namespace tessdb
