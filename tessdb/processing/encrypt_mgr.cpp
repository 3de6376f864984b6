#include "tessdb/processing/encrypt_mgr.h"

#include "tessdb/core/exceptions.h"
#include "tessdb/processing/algorithm_registry.h"

namespace tessdb {
namespace {

// Ends the message on every path out of an operation, so that a failed value does not leave its
// feedback behind for the next one.
class TDoneOnExit {
 public:
  explicit TDoneOnExit(TEncryptAlgo& algo) : algo_(algo) {}
  TDoneOnExit(const TDoneOnExit&) = delete;
  TDoneOnExit& operator=(const TDoneOnExit&) = delete;
  ~TDoneOnExit() { algo_.Done(); }

 private:
  TEncryptAlgo& algo_;
};

}  // namespace

int TEncryptMgr::IndexOfAlgo(const std::string& name) const {
  return IndexOfEncryptAlgo(name);
}

void TEncryptMgr::SetAlgoName(const std::string& name) {
  const auto entry = FindEncryptAlgo(name);
  if (!entry) {
    throw EDatabaseError(FormatMessage("Encryption algorithm module '%s' not found", name));
  }
  SelectAlgo(algo_, *entry);
}

TEncryptAlgo& TEncryptMgr::Current() const {
  if (!algo_) GeneralError();
  return *algo_;
}

void TEncryptMgr::EncodeStream(TStream& source, TStream& destination, int64_t size) {
  TEncryptAlgo& algo = Current();
  TDoneOnExit done(algo);
  algo.EncodeStream(source, destination, size);
}

void TEncryptMgr::DecodeStream(TStream& source, TStream& destination, int64_t size) {
  TEncryptAlgo& algo = Current();
  TDoneOnExit done(algo);
  algo.DecodeStream(source, destination, size);
}

void TEncryptMgr::SetMode(int mode) {
  Current().SetMode(mode);
}

int TEncryptMgr::GetMode() const {
  return Current().GetMode();
}

void TEncryptMgr::InitKey(const std::string& password) {
  Current().InitKey(password);
}

void TEncryptMgr::Done() {
  Current().Done();
}

void TEncryptMgr::EncodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) {
  TEncryptAlgo& algo = Current();
  TDoneOnExit done(algo);
  algo.EncodeBuffer(source, destination, length);
}

void TEncryptMgr::DecodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length) {
  TEncryptAlgo& algo = Current();
  TDoneOnExit done(algo);
  algo.DecodeBuffer(source, destination, length);
}

}  // namespace tessdb
