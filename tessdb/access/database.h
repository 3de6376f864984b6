// TTessDatabase: one TessDB database (a disk file, or a registered in-memory image) as the
// datasets see it.
//
// It opens and closes the file object, holds the password and whether the stored data may be read
// with it (AccessGranted), keeps the datasets registered on it, and owns one TTessTableIO per
// table of the open file. Datasets find it by DatabaseName in its session.
//
// Password decisions: connecting never asks. An encrypted file opens with AccessGranted false
// unless a password was given beforehand; CheckCanAccess (run by every dataset as it opens) then
// re-checks a given password, or asks the installed login prompt: Cancel ends the operation with
// a silent EAbort, a confirmed entry counts as given (a wrong one fails at once from then on).
// Still no access: "Access denied". Closing forgets the password.
//
// Invariants: Connected() == (FileIO() != nullptr); TableDefs and the table I/O objects exist
// exactly while connected, in directory order. DatabaseName, FileName, MediumType, Exclusive,
// ReadOnly and SessionName change only while closed ("Cannot perform this operation on an open
// database"). Errors name the component where the rules say so ("<Name>: <text>").
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tessdb/access/component.h"
#include "tessdb/access/program_hooks.h"
#include "tessdb/processing/data_process_algo.h"
#include "tessdb/storage/file_io.h"
#include "tessdb/storage/table_defs.h"
#include "tessdb/storage/table_io.h"

namespace tessdb {

class TTessSession;
class TTDBDataSet;

constexpr int kDefaultAutoFlushInterval = 60000;

class TTessDatabase : public TComponent {
 public:
  using TNotifyEvent = std::function<void(TTessDatabase& sender)>;

  // Belongs to the owner when that is a TTessSession (or to the session of an owner's
  // AutoSessionName session), else to DefaultSession; joins that session at once.
  explicit TTessDatabase(TComponent* owner = nullptr);
  ~TTessDatabase() override;

  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }
  bool Connected() const { return fileIO_ != nullptr && fileIO_->IsOpen(); }
  void SetConnected(bool connected);

  const std::string& DatabaseName() const { return databaseName_; }
  void SetDatabaseName(const std::string& name);
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name);
  TTessDBMediumType MediumType() const { return mediumType_; }
  void SetMediumType(TTessDBMediumType mediumType);
  bool Exclusive() const { return exclusive_; }
  void SetExclusive(bool exclusive);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool KeepConnection() const { return keepConnection_; }
  void SetKeepConnection(bool keep);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(const std::string& name);
  bool AutoFlush() const { return autoFlush_; }
  void SetAutoFlush(bool autoFlush);
  int AutoFlushInterval() const { return autoFlushInterval_; }
  void SetAutoFlushInterval(int milliseconds);

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;
  // Handed to the file object's managers as it opens.
  TProgressEvent OnCompressProgress, OnUncompressProgress, OnEncryptProgress, OnDecryptProgress;

  // Given before or while connected; while connected it decides AccessGranted at once.
  void SetPassword(const std::string& password);
  bool AccessGranted() const { return accessGranted_; }
  bool PasswordGiven() const { return passwordGiven_; }
  virtual void CheckCanAccess();
  // "Cannot modify a read-only database" for ReadOnly or a read-only file.
  virtual void CheckCanModify();

  virtual int GetDataSetCount() const { return static_cast<int>(dataSets_.size()); }
  virtual TTDBDataSet& GetDataSet(int index) const {
    return *dataSets_[static_cast<size_t>(index)];
  }
  virtual void RegisterDataSet(TTDBDataSet& dataSet);
  virtual void UnregisterDataSet(TTDBDataSet& dataSet);

  // The file's table names in directory order; the list is left unchanged when not connected.
  void GetTableNames(std::vector<std::string>& list);
  // The table I/O of that table (name without regard to case), or nullptr.
  TTessTableIO* FindTableIO(const std::string& tableName);
  const TTessTableDefs& TableDefs() const { return tableDefs_; }
  void FlushCache();
  // The file's data-processing flags; "Cannot perform this operation on a closed database".
  bool Compressed() const;
  bool Encrypted() const;
  bool VerifyWrites() const;

  TTessSession& Session() const { return *session_; }
  TTessDBFileIO* FileIO() const { return fileIO_.get(); }
  bool Temporary() const { return temporary_; }
  void SetTemporary(bool temporary) { temporary_ = temporary; }
  int ReferenceCount() const { return referenceCount_; }
  // The path opened: FileName, else DatabaseName.
  const std::string& Path() const { return fileName_.empty() ? databaseName_ : fileName_; }

  void Loaded() override;

 protected:
  virtual void DoConnect();
  virtual void DoDisconnect();
  void Notification(TComponent& component, TOperation operation) override;

 private:
  friend class TTessSession;
  friend class TTDBDataSet;
  void CheckInactive();
  // Fails with "Duplicate database name '%s'" unless the name is free in the session (a
  // temporary holder that no dataset counts is freed).
  void ValidateName(const std::string& name);
  // Binds to the session of that name (GetSession); a move validates DatabaseName there.
  void BindSession(const std::string& name);
  void MoveToSession(TTessSession& session);
  void FlushTick();

  TTessSession* session_ = nullptr;
  std::string databaseName_;
  std::string fileName_;
  std::string sessionName_;
  TTessDBMediumType mediumType_ = mtDisk;
  bool exclusive_ = false;
  bool readOnly_ = false;
  bool keepConnection_ = false;
  bool autoFlush_ = false;
  int autoFlushInterval_ = kDefaultAutoFlushInterval;
  std::unique_ptr<TTessDBFileIO> fileIO_;
  TTessTableDefs tableDefs_;
  std::vector<std::unique_ptr<TTessTableIO>> tableIOs_;
  std::vector<TTDBDataSet*> dataSets_;
  std::string password_;
  bool passwordGiven_ = false;
  bool accessGranted_ = false;
  bool temporary_ = false;
  int referenceCount_ = 0;
  bool streamedConnected_ = false;
  bool disconnecting_ = false;  // DoDisconnect is closing the datasets
  std::unique_ptr<TFlushTimer> flushTimer_;
};

}  // namespace tessdb
