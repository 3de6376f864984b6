// TTessSession: a named group of databases, and where datasets look their database up by name.
//
// A dataset reaches its database through OpenDatabase (name, owner, count, dataset): the session's
// database of that name, or a temporary one created, owned and freed by the session. Databases
// join the session they belong to when constructed or moved, and leave it when destroyed.
//
// Activation: OpenDatabase and a database's open activate the session; deactivating it (or
// destroying it) frees its temporary databases and closes the others. A destroyed session that
// is not DefaultSession hands its remaining databases over to DefaultSession, closed.
//
// Naming: session names are unique, compared without regard to case. With AutoSessionName the
// session names itself "<component name>_<n>" with the lowest free number n from the process-wide
// pool, and the datasets and databases placed on its owner follow it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tessdb/access/component.h"
#include "tessdb/storage/file_io.h"

namespace tessdb {

class TTessDatabase;
class TTessSessionList;
class TTDEDataSet;

class TTessSession : public TComponent {
 public:
  // Fails with "Cannot add a session to the form or data-module while session '%s' has
  // AutoSessionName enabled" when the owner already holds such a session.
  explicit TTessSession(TComponent* owner = nullptr);
  // For the session list's DefaultSession only.
  explicit TTessSession(TTessSessionList& list);
  ~TTessSession() override;

  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(const std::string& name) { SetSessionName(name, false); }
  bool Active() const { return active_; }
  void SetActive(bool active);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  bool KeepConnections() const { return keepConnections_; }
  void SetKeepConnections(bool keep) { keepConnections_ = keep; }
  bool AutoSessionName() const { return autoSessionName_; }
  void SetAutoSessionName(bool autoName);
  bool SQLHourGlass() const { return sqlHourGlass_; }
  void SetSQLHourGlass(bool show) { sqlHourGlass_ = show; }
  int LockRetryCount() const { return lockRetryCount_; }
  void SetLockRetryCount(int count) { lockRetryCount_ = count < 0 ? 0 : count; }
  int LockWaitTime() const { return lockWaitTime_; }
  void SetLockWaitTime(int ms) { lockWaitTime_ = ms < 0 ? 0 : ms; }
  std::function<void(TTessSession& sender)> OnStartup;

  void SetName(const std::string& name) override;
  void Loaded() override;

  // The first database whose DatabaseName (non-empty, or of a temporary database) equals name.
  TTessDatabase* FindDatabase(const std::string& name);
  // The database of that name, created as a temporary one when there is none; opened; with count
  // its ReferenceCount grows by one. A database created here is freed again if this fails.
  TTessDatabase& OpenDatabase(const std::string& name, TComponent* owner, bool count,
                              TTDEDataSet* dataSet);
  // One reference less; at 0 without KeepConnection a temporary database is freed, another closed.
  void ReleaseDatabase(TTessDatabase& database);

  int DatabaseCount() const { return static_cast<int>(databases_.size()); }
  TTessDatabase& Databases(int i) const { return *databases_[static_cast<size_t>(i)]; }
  int AutoSessionNumber() const { return autoSessionNumber_; }

 private:
  friend class TTessDatabase;
  void SetSessionName(const std::string& name, bool fromAutoName);
  void ApplyAutoName();
  void AddDatabase(TTessDatabase& database);
  void RemoveDatabase(TTessDatabase& database);
  // Frees a temporary database this session owns.
  void FreeTemporary(TTessDatabase& database);
  void LockSession();
  void UnlockSession();

  TTessSessionList& list_;
  std::string sessionName_;
  bool active_ = false;
  bool streamedActive_ = false;
  bool keepConnections_ = false;
  bool autoSessionName_ = false;
  bool sqlHourGlass_ = true;
  int lockRetryCount_ = kDefaultLockRetryCount;
  int lockWaitTime_ = kDefaultLockWaitTime;
  int lockDepth_ = 0;
  int autoSessionNumber_ = -1;
  std::vector<TTessDatabase*> databases_;
  std::vector<std::unique_ptr<TTessDatabase>> temporaries_;
};

}  // namespace tessdb
