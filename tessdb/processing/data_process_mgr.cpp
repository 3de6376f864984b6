#include "tessdb/processing/data_process_mgr.h"

#include "tessdb/core/exceptions.h"

namespace tessdb {

void TDataProcessMgr::ConnectProgress(TDataProcessAlgo& algo) {
  // Through this manager's members, so that events set after the selection still fire.
  algo.OnEncodeProgress = [this](int percent) {
    if (OnEncodeProgress) OnEncodeProgress(percent);
  };
  algo.OnDecodeProgress = [this](int percent) {
    if (OnDecodeProgress) OnDecodeProgress(percent);
  };
}

void TDataProcessMgr::GeneralError() {
  throw EDatabaseError("General error");
}

}  // namespace tessdb
