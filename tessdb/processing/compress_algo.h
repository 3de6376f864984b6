// A compression algorithm: a stored-data algorithm with a level. The base ignores the level and
// reports 1; algorithms that use one override both accessors.
#pragma once

#include "tessdb/processing/data_process_algo.h"

namespace tessdb {

class TCompressAlgo : public TDataProcessAlgo {
 public:
  virtual void SetLevel(int /*level*/) {}
  virtual int GetLevel() const { return 1; }
};

}  // namespace tessdb
