#include "tessdb/processing/compress_mgr.h"

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/algorithm_registry.h"

namespace tessdb {

int TCompressMgr::IndexOfAlgo(const std::string& name) const {
  return IndexOfCompressAlgo(name);
}

void TCompressMgr::SetAlgoName(const std::string& name) {
  const auto entry = FindCompressAlgo(name);
  if (!entry) {
    throw EDatabaseError(FormatMessage("Compression algorithm module '%s' not found", name));
  }
  SelectAlgo(algo_, *entry);
}

TCompressAlgo& TCompressMgr::Current() const {
  if (!algo_) GeneralError();
  return *algo_;
}

void TCompressMgr::EncodeStream(TStream& source, TStream& destination, int64_t size) {
  Current().EncodeStream(source, destination, size);
}

void TCompressMgr::DecodeStream(TStream& source, TStream& destination, int64_t size) {
  Current().DecodeStream(source, destination, size);
}

void TCompressMgr::SetLevel(int level) {
  Current().SetLevel(level);
}

int TCompressMgr::GetLevel() const {
  return Current().GetLevel();
}

}  // namespace tessdb
