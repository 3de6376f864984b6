#include "tessdb/processing/algorithm_registry.h"

#include <mutex>
#include <vector>

#include "tessdb/processing/cipher_algo.h"
#include "tessdb/processing/zlib_framing.h"

namespace tessdb {
namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

template <class Factory>
class TAlgoList {
 public:
  void Register(std::type_index algoClass, Factory factory, const std::string& name) {
    std::lock_guard lock(mutex_);
    for (auto& entry : entries_) {
      if (entry.algoClass == algoClass) {
        entry.name = name;
        return;
      }
    }
    entries_.push_back({name, algoClass, std::move(factory)});
  }

  int IndexOf(const std::string& name) {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (SameNameIgnoringCase(entries_[i].name, name)) return static_cast<int>(i);
    }
    return -1;
  }

  std::optional<TAlgoEntry<Factory>> Find(const std::string& name) {
    std::lock_guard lock(mutex_);
    for (const auto& entry : entries_) {
      if (SameNameIgnoringCase(entry.name, name)) return entry;
    }
    return std::nullopt;
  }

 private:
  std::mutex mutex_;
  std::vector<TAlgoEntry<Factory>> entries_;
};

// The lists start with the built-in algorithms, so they are present however the program was
// linked (a static initializer in an unreferenced object file would be dropped).
TAlgoList<TCompressAlgoFactory>& CompressList() {
  static TAlgoList<TCompressAlgoFactory> list;
  static const bool builtIns = [] {
    list.Register(
        typeid(TCompAlgo_Zlib), [] { return std::make_unique<TCompAlgo_Zlib>(); }, "ZLIB");
    return true;
  }();
  (void)builtIns;
  return list;
}

TAlgoList<TEncryptAlgoFactory>& EncryptList() {
  static TAlgoList<TEncryptAlgoFactory> list;
  static const bool builtIns = [] {
    list.Register(
        typeid(TEncAlgo_Blowfish), [] { return std::make_unique<TEncAlgo_Blowfish>(); },
        "Blowfish");
    list.Register(
        typeid(TEncAlgo_Twofish), [] { return std::make_unique<TEncAlgo_Twofish>(); }, "Twofish");
    list.Register(
        typeid(TEncAlgo_Gost), [] { return std::make_unique<TEncAlgo_Gost>(); }, "Gost");
    return true;
  }();
  (void)builtIns;
  return list;
}

}  // namespace

void RegisterCompressAlgo(std::type_index algoClass, TCompressAlgoFactory factory,
                          const std::string& name) {
  CompressList().Register(algoClass, std::move(factory), name);
}

void RegisterEncryptAlgo(std::type_index algoClass, TEncryptAlgoFactory factory,
                         const std::string& name) {
  EncryptList().Register(algoClass, std::move(factory), name);
}

int IndexOfCompressAlgo(const std::string& name) {
  return CompressList().IndexOf(name);
}
int IndexOfEncryptAlgo(const std::string& name) {
  return EncryptList().IndexOf(name);
}

std::optional<TCompressAlgoEntry> FindCompressAlgo(const std::string& name) {
  return CompressList().Find(name);
}

std::optional<TEncryptAlgoEntry> FindEncryptAlgo(const std::string& name) {
  return EncryptList().Find(name);
}

}  // namespace tessdb
