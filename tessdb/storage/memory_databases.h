// Registry of in-memory databases (medium type mtMemory).
//
// An application that holds a database image in a stream makes it openable by name:
//
//   tessdb::TMemoryStream image(bytes);
//   const std::string name = tessdb::RegisterMemoryDatabase(image);   // e.g. ":7FFC1A2B3C40"
//   fileIO.Open(name, tessdb::mtMemory, false, false);
//   ...
//   fileIO.Close();
//   tessdb::UnregisterMemoryDatabase(image);
//
// The name is ":" followed by the stream object's address in hexadecimal, so it identifies the
// stream; lookups parse the digits as a number, so any case and leading zeros name the same
// stream. The registry never owns a stream: the application keeps it alive while it is
// registered and while a database is open on it. TMemoryDatabaseRegistration does both steps
// for a scope. The registry is safe to use from several threads.
#pragma once

#include <optional>
#include <string>

#include "tessdb/core/stream.h"

namespace tessdb {

// Registers the stream (again: no effect) and returns its name.
std::string RegisterMemoryDatabase(TStream& stream);
void UnregisterMemoryDatabase(TStream& stream);

// True when name is ":" followed by one or more hexadecimal digits, either case.
bool IsMemoryDatabaseName(const std::string& name);

// The stream registered under name, or nullptr (malformed name or nothing registered there).
TStream* FindMemoryDatabase(const std::string& name);

class TMemoryDatabaseRegistration {
 public:
  explicit TMemoryDatabaseRegistration(TStream& stream)
      : stream_(stream), name_(RegisterMemoryDatabase(stream)) {}
  ~TMemoryDatabaseRegistration() { UnregisterMemoryDatabase(stream_); }
  TMemoryDatabaseRegistration(const TMemoryDatabaseRegistration&) = delete;
  TMemoryDatabaseRegistration& operator=(const TMemoryDatabaseRegistration&) = delete;

  const std::string& Name() const { return name_; }

 private:
  TStream& stream_;
  std::string name_;
};

}  // namespace tessdb
