#include "tessdb/storage/memory_databases.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <unordered_map>

namespace tessdb {
namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<uintptr_t, TStream*> streams;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

uintptr_t KeyOf(const TStream& stream) {
  return reinterpret_cast<uintptr_t>(&stream);
}

// The number the hexadecimal digits of a well-formed name stand for; nullopt when it is too big
// for an address (it then names no stream).
std::optional<uintptr_t> ParseName(const std::string& name) {
  if (!IsMemoryDatabaseName(name)) return std::nullopt;
  uintptr_t value = 0;
  for (size_t i = 1; i < name.size(); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    const uintptr_t digit = c <= '9' ? static_cast<uintptr_t>(c - '0') : 10u + (c - 'a');
    if (value > (UINTPTR_MAX >> 4)) return std::nullopt;
    value = value << 4 | digit;
  }
  return value;
}

}  // namespace

std::string RegisterMemoryDatabase(TStream& stream) {
  Registry& registry = TheRegistry();
  {
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.streams[KeyOf(stream)] = &stream;
  }
  char name[2 + 2 * sizeof(uintptr_t) + 1];
  std::snprintf(name, sizeof name, ":%llX", static_cast<unsigned long long>(KeyOf(stream)));
  return name;
}

void UnregisterMemoryDatabase(TStream& stream) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.mutex);
  registry.streams.erase(KeyOf(stream));
}

bool IsMemoryDatabaseName(const std::string& name) {
  if (name.size() < 2 || name[0] != ':') return false;
  for (size_t i = 1; i < name.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

TStream* FindMemoryDatabase(const std::string& name) {
  const std::optional<uintptr_t> key = ParseName(name);
  if (!key) return nullptr;
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.mutex);
  const auto found = registry.streams.find(*key);
  return found == registry.streams.end() ? nullptr : found->second;
}

}  // namespace tessdb
