// TTessSessionList: the one process-wide list of sessions, the pool of auto session numbers, and
// the access layer's process-wide lock.
//
// The list exists from first use to the end of the process and creates DefaultSession ("Default",
// no owner) at once; at shutdown it frees the sessions it created. Every session adds itself when
// constructed and removes itself when destroyed. Session names compare without regard to case.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace tessdb {

class TTessSession;

class TTessSessionList {
 public:
  TTessSessionList();
  ~TTessSessionList();
  TTessSessionList(const TTessSessionList&) = delete;
  TTessSessionList& operator=(const TTessSessionList&) = delete;

  void AddSession(TTessSession& session);
  void RemoveSession(TTessSession& session);
  // An empty name gives DefaultSession; otherwise the first session of that name, or nullptr.
  TTessSession* FindSession(const std::string& name);
  // As FindSession; raises "Invalid session name %s" when there is none.
  TTessSession& GetSession(const std::string& name);
  std::vector<TTessSession*> Sessions();
  int Count();

  // The lowest free auto session number, now marked used; and its return to the pool.
  int TakeSessionNumber();
  void ReturnSessionNumber(int number);

  TTessSession& DefaultSession() { return *defaultSession_; }

 private:
  std::recursive_mutex listLock_;
  std::vector<TTessSession*> sessions_;
  std::vector<bool> numbers_;
  TTessSession* defaultSession_ = nullptr;
};

TTessSessionList& Sessions();
TTessSession& DefaultSession();
// Re-entrant; taken by OpenDatabase, session (de)activation and the auto number pool.
std::recursive_mutex& SessionLock();

// Database, session and table names: equal without regard to case.
bool SameName(const std::string& a, const std::string& b);

}  // namespace tessdb
