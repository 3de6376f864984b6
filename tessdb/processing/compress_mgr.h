// TCompressMgr: selects the compression algorithm a database file names and compresses or
// decompresses blob values with it.
#pragma once

#include <memory>

#include "tessdb/processing/compress_algo.h"
#include "tessdb/processing/data_process_mgr.h"

namespace tessdb {

class TCompressMgr : public TDataProcessMgr {
 public:
  int IndexOfAlgo(const std::string& name) const override;
  // Unknown name: EDatabaseError("Compression algorithm module '<name>' not found").
  void SetAlgoName(const std::string& name) override;
  void EncodeStream(TStream& source, TStream& destination, int64_t size) override;
  void DecodeStream(TStream& source, TStream& destination, int64_t size) override;

  void SetLevel(int level);
  int GetLevel() const;

  bool HasAlgo() const { return algo_ != nullptr; }
  TCompressAlgo* Algo() const { return algo_.get(); }

 private:
  TCompressAlgo& Current() const;

  std::unique_ptr<TCompressAlgo> algo_;
};

}  // namespace tessdb
