#include "tessdb/processing/data_process_algo.h"

namespace tessdb {

int ProgressPercent(int64_t done, int64_t total) {
  if (total <= 0) return 0;
  // Rounded to nearest; done never exceeds total by more than a chunk, so no overflow in practice
  // for sizes below 2^56.
  return static_cast<int>((done * 100 + total / 2) / total);
}

}  // namespace tessdb
