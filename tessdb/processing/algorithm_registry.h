// The process-wide registry of stored-data algorithms: two lists of (name, class) entries, one
// for compression and one for encryption, that map the algorithm names stored in database files
// to the classes implementing them.
//
// The built-ins are always present: "ZLIB" (TCompAlgo_Zlib) for compression; "Blowfish",
// "Twofish" and "Gost" (TEncAlgo_Blowfish, TEncAlgo_Twofish, TEncAlgo_Gost) for encryption.
// Registering a class that is already listed replaces the name of its entry; any other class is
// appended. Lookup is case-insensitive and finds the first match. Registration is meant for
// start-up; the lists are guarded so that a late registration is still safe.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>

#include "tessdb/processing/compress_algo.h"
#include "tessdb/processing/encrypt_algo.h"

namespace tessdb {

using TCompressAlgoFactory = std::function<std::unique_ptr<TCompressAlgo>()>;
using TEncryptAlgoFactory = std::function<std::unique_ptr<TEncryptAlgo>()>;

template <class Factory>
struct TAlgoEntry {
  std::string name;
  std::type_index algoClass;  // identifies the class: the type of the objects the factory makes
  Factory factory;
};

using TCompressAlgoEntry = TAlgoEntry<TCompressAlgoFactory>;
using TEncryptAlgoEntry = TAlgoEntry<TEncryptAlgoFactory>;

void RegisterCompressAlgo(std::type_index algoClass, TCompressAlgoFactory factory,
                          const std::string& name);
void RegisterEncryptAlgo(std::type_index algoClass, TEncryptAlgoFactory factory,
                         const std::string& name);

template <class Algo>
void RegisterCompressAlgo(const std::string& name) {
  RegisterCompressAlgo(
      typeid(Algo), [] { return std::make_unique<Algo>(); }, name);
}
template <class Algo>
void RegisterEncryptAlgo(const std::string& name) {
  RegisterEncryptAlgo(
      typeid(Algo), [] { return std::make_unique<Algo>(); }, name);
}

// Position of the first entry whose name matches case-insensitively, or -1.
int IndexOfCompressAlgo(const std::string& name);
int IndexOfEncryptAlgo(const std::string& name);
// The first entry whose name matches case-insensitively.
std::optional<TCompressAlgoEntry> FindCompressAlgo(const std::string& name);
std::optional<TEncryptAlgoEntry> FindEncryptAlgo(const std::string& name);

}  // namespace tessdb
