// Byte streams through which the engine moves stored values: blob values, encoded and decoded
// data, the in-memory databases an application registers, and the disk file itself.
//
// A stream has a size and a position; Read and Write move the position by the bytes they
// transfer. ReadBuffer and WriteBuffer transfer exactly the count asked for or raise
// EStreamError ("Stream read error" / "Stream write error").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessdb {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to count bytes at the position; returns the number read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes count bytes at the position, growing the stream as needed; returns the number written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);

  // Copies count bytes from source's position; a count of 0 copies the whole source from its
  // start. Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream held in one growable block of memory.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(bytes.begin(), bytes.end()) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;
  void Clear() { data_.clear(); position_ = 0; }

  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  std::string ToString() const { return std::string(data_.begin(), data_.end()); }

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

}  // namespace tessdb
