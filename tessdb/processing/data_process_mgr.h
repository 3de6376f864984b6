// TDataProcessMgr: the manager through which the file object uses the algorithm a database file
// selects. It holds the current algorithm object (none at first); every operation that needs it
// raises EDatabaseError("General error") while none is selected. The manager's progress events
// are forwarded from the algorithm's.
//
// The manager connects the algorithm's events to itself, so it is neither copied nor moved.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>

#include "tessdb/core/stream.h"
#include "tessdb/processing/data_process_algo.h"

namespace tessdb {

class TDataProcessMgr {
 public:
  TDataProcessMgr() = default;
  TDataProcessMgr(const TDataProcessMgr&) = delete;
  TDataProcessMgr& operator=(const TDataProcessMgr&) = delete;
  virtual ~TDataProcessMgr() = default;

  // Position of the algorithm in the manager's registry list, or -1 when not registered.
  virtual int IndexOfAlgo(const std::string& name) const = 0;
  // Selects the registered algorithm; keeps the current object when it is of the same class.
  virtual void SetAlgoName(const std::string& name) = 0;
  virtual void EncodeStream(TStream& source, TStream& destination, int64_t size) = 0;
  virtual void DecodeStream(TStream& source, TStream& destination, int64_t size) = 0;

  TProgressEvent OnEncodeProgress;
  TProgressEvent OnDecodeProgress;

 protected:
  // Makes `current` an object of the entry's class: kept when it already is one, otherwise
  // replaced by a new object whose progress events point at this manager's.
  template <class Algo, class Entry>
  void SelectAlgo(std::unique_ptr<Algo>& current, const Entry& entry) {
    if (current) {
      const Algo& object = *current;
      if (std::type_index(typeid(object)) == entry.algoClass) return;
    }
    current.reset();
    current = entry.factory();
    ConnectProgress(*current);
  }

  void ConnectProgress(TDataProcessAlgo& algo);
  [[noreturn]] static void GeneralError();
};

}  // namespace tessdb
