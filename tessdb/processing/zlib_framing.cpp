#include "tessdb/processing/zlib_framing.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

// zlib is fed in slices of this size so that progress moves while it works.
constexpr int64_t kSliceSize = 64 * 1024;

[[noreturn]] void ZlibError() {
  throw ECompressionError("error");
}

void WriteInt32(TStream& destination, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                            static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
  destination.WriteBuffer(bytes, 4);
}

int32_t ReadInt32(TStream& source) {
  uint8_t bytes[4];
  source.ReadBuffer(bytes, 4);
  return static_cast<int32_t>(uint32_t{bytes[0]} | (uint32_t{bytes[1]} << 8) |
                              (uint32_t{bytes[2]} << 16) | (uint32_t{bytes[3]} << 24));
}

// The byte count an operation works on: the whole source from its start for a negative size.
int64_t ResolveSize(TStream& source, int64_t size) {
  if (size >= 0) return size;
  source.SetPosition(0);
  return source.Size();
}

class TDeflater {
 public:
  explicit TDeflater(int level) {
    if (deflateInit(&stream_, level) != Z_OK) ZlibError();
  }
  ~TDeflater() { deflateEnd(&stream_); }
  z_stream* operator->() { return &stream_; }
  z_stream& operator*() { return stream_; }

 private:
  z_stream stream_{};
};

class TInflater {
 public:
  TInflater() {
    if (inflateInit(&stream_) != Z_OK) ZlibError();
  }
  ~TInflater() { inflateEnd(&stream_); }
  z_stream* operator->() { return &stream_; }
  z_stream& operator*() { return stream_; }

 private:
  z_stream stream_{};
};

}  // namespace

int TCompAlgo_Zlib::ZlibLevel(uint8_t level) {
  switch (level) {
    case 0:
      return Z_BEST_COMPRESSION;
    case 1:
      return Z_DEFAULT_COMPRESSION;
    case 2:
    case 3:
      return Z_BEST_SPEED;
    default:
      return Z_NO_COMPRESSION;
  }
}

void TCompAlgo_Zlib::EncodeStream(TStream& source, TStream& destination, int64_t size) {
  size = ResolveSize(source, size);
  std::vector<uint8_t> input(static_cast<size_t>(std::max<int64_t>(size, 0)));
  int64_t length = 0;
  while (length < size) {
    const int64_t read = source.Read(input.data() + length, size - length);
    if (read <= 0) break;
    length += read;
  }
  if (length == 0) return;
  // The frame stores the length as an int32.
  if (length > std::numeric_limits<int32_t>::max()) ZlibError();

  TDeflater deflater(ZlibLevel(level_));
  std::vector<uint8_t> compressed(deflateBound(&*deflater, static_cast<uLong>(length)));
  deflater->next_out = compressed.data();
  deflater->avail_out = static_cast<uInt>(compressed.size());
  int64_t fed = 0;
  for (;;) {
    const int64_t slice = std::min(kSliceSize, length - fed);
    deflater->next_in = input.data() + fed;
    deflater->avail_in = static_cast<uInt>(slice);
    fed += slice;
    const bool last = fed == length;
    const int result = deflate(&*deflater, last ? Z_FINISH : Z_NO_FLUSH);
    if (result == Z_STREAM_ERROR || (last && result != Z_STREAM_END) || deflater->avail_in != 0) {
      ZlibError();
    }
    EncodeProgress(ProgressPercent(fed, length));
    if (last) break;
  }
  const auto compressedLength = static_cast<int64_t>(deflater->total_out);
  if (compressedLength < length) {
    WriteInt32(destination, static_cast<int32_t>(length));
    destination.WriteBuffer(compressed.data(), compressedLength);
  } else {
    WriteInt32(destination, static_cast<int32_t>(-length));
    destination.WriteBuffer(input.data(), length);
  }
}

void TCompAlgo_Zlib::DecodeStream(TStream& source, TStream& destination, int64_t size) {
  size = ResolveSize(source, size);
  if (size <= 0) return;
  const int32_t announced = ReadInt32(source);
  int64_t remaining = size - 4;
  uint8_t input[kSliceSize];

  if (announced < 0) {
    // Stored unchanged: the rest of the source.
    while (remaining > 0) {
      const int64_t read = source.Read(input, std::min(kSliceSize, remaining));
      if (read <= 0) break;
      destination.WriteBuffer(input, read);
      remaining -= read;
    }
    return;
  }

  const int64_t length = announced;
  TInflater inflater;
  std::vector<uint8_t> output(static_cast<size_t>(kSliceSize));
  int64_t produced = 0;
  while (produced < length) {
    if (inflater->avail_in == 0 && remaining > 0) {
      const int64_t read = source.Read(input, std::min(kSliceSize, remaining));
      if (read > 0) {
        remaining -= read;
        inflater->next_in = input;
        inflater->avail_in = static_cast<uInt>(read);
      } else {
        remaining = 0;
      }
    }
    inflater->next_out = output.data();
    inflater->avail_out = static_cast<uInt>(std::min<int64_t>(kSliceSize, length - produced));
    const int result = inflate(&*inflater, Z_NO_FLUSH);
    const int64_t got = static_cast<int64_t>(inflater->next_out - output.data());
    if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_MEM_ERROR ||
        result == Z_STREAM_ERROR) {
      ZlibError();
    }
    destination.WriteBuffer(output.data(), got);
    produced += got;
    DecodeProgress(ProgressPercent(produced, length));
    if (produced == length) break;
    // The zlib data ended (or no input is left to feed it) before the announced length.
    if (result == Z_STREAM_END || (got == 0 && inflater->avail_in == 0 && remaining == 0)) {
      throw EStreamError("Stream read error");
    }
  }
}

}  // namespace tessdb
