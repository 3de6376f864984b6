// TEncryptMgr: selects the encryption algorithm a database file names, keys it from the password
// and encrypts or decrypts stored values with it.
//
// Every buffer and stream operation ends with Done (also when it fails), so each value is an
// independent message starting from the initialisation vector. Selecting the class already in
// use keeps the object and its key; selecting another creates a fresh, unkeyed one.
#pragma once

#include <memory>

#include "tessdb/processing/data_process_mgr.h"
#include "tessdb/processing/encrypt_algo.h"

namespace tessdb {

class TEncryptMgr : public TDataProcessMgr {
 public:
  int IndexOfAlgo(const std::string& name) const override;
  // Unknown name: EDatabaseError("Encryption algorithm module '<name>' not found").
  void SetAlgoName(const std::string& name) override;
  void EncodeStream(TStream& source, TStream& destination, int64_t size) override;
  void DecodeStream(TStream& source, TStream& destination, int64_t size) override;

  void SetMode(int mode);
  int GetMode() const;
  void InitKey(const std::string& password);
  void Done();
  // Length bytes; source may equal destination.
  void EncodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length);
  void DecodeBuffer(const uint8_t* source, uint8_t* destination, int64_t length);

  bool HasAlgo() const { return algo_ != nullptr; }
  TEncryptAlgo* Algo() const { return algo_.get(); }

 private:
  TEncryptAlgo& Current() const;

  std::unique_ptr<TEncryptAlgo> algo_;
};

}  // namespace tessdb
