#include "tessdb/access/session_list.h"

#include <algorithm>

#include "platform/locale.h"
#include "tessdb/access/component.h"
#include "tessdb/access/session.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {

bool SameName(const std::string& a, const std::string& b) {
  return CompareLocaleText(a.data(), a.size(), b.data(), b.size(), /*ignoreCase=*/true) == 0;
}

std::recursive_mutex& SessionLock() {
  static std::recursive_mutex lock;
  return lock;
}

TTessSessionList& Sessions() {
  static TTessSessionList list;
  return list;
}

TTessSession& DefaultSession() {
  return Sessions().DefaultSession();
}

TTessSessionList::TTessSessionList() {
  // The default session finds the list through this object, not through Sessions(), which is
  // still being constructed.
  defaultSession_ = new TTessSession(*this);
  defaultSession_->SetSessionName("Default");
}

TTessSessionList::~TTessSessionList() {
  delete defaultSession_;
}

void TTessSessionList::AddSession(TTessSession& session) {
  std::lock_guard guard(listLock_);
  sessions_.push_back(&session);
}

void TTessSessionList::RemoveSession(TTessSession& session) {
  std::lock_guard guard(listLock_);
  sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), &session), sessions_.end());
}

TTessSession* TTessSessionList::FindSession(const std::string& name) {
  if (name.empty()) return defaultSession_;
  std::lock_guard guard(listLock_);
  for (TTessSession* session : sessions_) {
    if (SameName(session->SessionName(), name)) return session;
  }
  return nullptr;
}

TTessSession& TTessSessionList::GetSession(const std::string& name) {
  TTessSession* session = FindSession(name);
  if (session == nullptr) throw EDatabaseError(FormatMessage("Invalid session name %s", name));
  return *session;
}

std::vector<TTessSession*> TTessSessionList::Sessions() {
  std::lock_guard guard(listLock_);
  return sessions_;
}

int TTessSessionList::Count() {
  std::lock_guard guard(listLock_);
  return static_cast<int>(sessions_.size());
}

int TTessSessionList::TakeSessionNumber() {
  std::lock_guard guard(SessionLock());
  const auto free = std::find(numbers_.begin(), numbers_.end(), false);
  const int number = static_cast<int>(free - numbers_.begin());
  if (free == numbers_.end()) {
    numbers_.push_back(true);
  } else {
    *free = true;
  }
  return number;
}

void TTessSessionList::ReturnSessionNumber(int number) {
  std::lock_guard guard(SessionLock());
  if (number >= 0 && number < static_cast<int>(numbers_.size())) {
    numbers_[static_cast<size_t>(number)] = false;
  }
}

}  // namespace tessdb
