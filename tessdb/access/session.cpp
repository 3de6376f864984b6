#include "tessdb/access/session.h"

#include <algorithm>

#include "tessdb/access/database.h"
#include "tessdb/access/session_list.h"
#include "tessdb/access/tde_dataset.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

constexpr char kSessionActive[] = "Cannot perform this operation on an active session";

// Runs before the session joins its owner, so a refused session leaves nothing behind.
TComponent* CheckNoAutoNamedSession(TComponent* owner) {
  if (owner == nullptr) return owner;
  for (TComponent* sibling : owner->Components()) {
    auto* session = dynamic_cast<TTessSession*>(sibling);
    if (session != nullptr && session->AutoSessionName()) {
      throw EDatabaseError(
          FormatMessage("Cannot add a session to the form or data-module while session '%s' has "
                        "AutoSessionName enabled",
                        session->SessionName()));
    }
  }
  return owner;
}

}  // namespace

TTessSession::TTessSession(TComponent* owner)
    : TComponent(CheckNoAutoNamedSession(owner)), list_(Sessions()) {
  list_.AddSession(*this);
}

TTessSession::TTessSession(TTessSessionList& list) : list_(list) {
  list_.AddSession(*this);
}

TTessSession::~TTessSession() {
  BeginDestroy();
  try {
    SetActive(false);
  } catch (...) {
  }
  temporaries_.clear();
  if (autoSessionName_) list_.ReturnSessionNumber(autoSessionNumber_);
  list_.RemoveSession(*this);
  // Databases that outlive their session fall back to the default session, closed.
  if (this != &list_.DefaultSession()) {
    for (TTessDatabase* database : std::vector<TTessDatabase*>(databases_)) {
      try {
        database->Close();
      } catch (...) {
      }
      database->sessionName_.clear();
      RemoveDatabase(*database);
      database->session_ = &list_.DefaultSession();
      list_.DefaultSession().AddDatabase(*database);
    }
  }
}

void TTessSession::SetActive(bool active) {
  if (Loading()) {
    streamedActive_ = active;
    return;
  }
  if (active == active_) return;
  std::lock_guard guard(SessionLock());
  if (active) {
    if (OnStartup) OnStartup(*this);
    if (sessionName_.empty()) DatabaseError("Session name missing");
    if (this != &list_.DefaultSession()) list_.DefaultSession().SetActive(true);
    active_ = true;
  } else {
    const std::vector<TTessDatabase*> snapshot = databases_;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
      // Freeing one database may free others (their datasets close): skip those gone.
      if (std::find(databases_.begin(), databases_.end(), *it) == databases_.end()) continue;
      if ((*it)->Temporary()) {
        FreeTemporary(**it);
      } else {
        (*it)->Close();
      }
    }
    active_ = false;
  }
}

void TTessSession::Loaded() {
  TComponent::Loaded();
  SetActive(streamedActive_);
}

void TTessSession::SetSessionName(const std::string& name, bool fromAutoName) {
  if (autoSessionName_ && !fromAutoName) {
    DatabaseError("Cannot modify SessionName while AutoSessionName is enabled");
  }
  if (active_) DatabaseError(kSessionActive);
  if (!name.empty()) {
    TTessSession* other = list_.FindSession(name);
    if (other != nullptr && other != this) {
      DatabaseError(FormatMessage("Duplicate session name '%s'", name));
    }
  }
  sessionName_ = name;
}

void TTessSession::SetAutoSessionName(bool autoName) {
  if (autoName == autoSessionName_) return;
  if (active_) DatabaseError(kSessionActive);
  if (!autoName) {
    list_.ReturnSessionNumber(autoSessionNumber_);
    autoSessionNumber_ = -1;
    autoSessionName_ = false;
    return;
  }
  if (Owner() != nullptr) {
    for (TComponent* sibling : Owner()->Components()) {
      if (sibling != this && dynamic_cast<TTessSession*>(sibling) != nullptr) {
        DatabaseError(
            "Cannot enable AutoSessionName property with more than one session on a form or "
            "data-module");
      }
    }
  }
  autoSessionNumber_ = list_.TakeSessionNumber();
  autoSessionName_ = true;
  ApplyAutoName();
}

void TTessSession::SetName(const std::string& name) {
  TComponent::SetName(name);
  if (autoSessionName_) ApplyAutoName();
}

void TTessSession::ApplyAutoName() {
  SetSessionName(Name() + "_" + std::to_string(autoSessionNumber_ + 1), true);
  if (Owner() == nullptr) return;
  for (TComponent* sibling : Owner()->Components()) {
    if (auto* dataSet = dynamic_cast<TTDBDataSet*>(sibling)) {
      if (dataSet->SessionName() != sessionName_) dataSet->SetSessionName(sessionName_);
    } else if (auto* database = dynamic_cast<TTessDatabase*>(sibling)) {
      if (database->SessionName() != sessionName_) database->SetSessionName(sessionName_);
    }
  }
}

TTessDatabase* TTessSession::FindDatabase(const std::string& name) {
  for (TTessDatabase* database : databases_) {
    if ((!database->DatabaseName().empty() || database->Temporary()) &&
        SameName(database->DatabaseName(), name)) {
      return database;
    }
  }
  return nullptr;
}

void TTessSession::LockSession() {
  SessionLock().lock();
  ++lockDepth_;
  if (lockDepth_ == 1 && !active_) {
    try {
      SetActive(true);
    } catch (...) {
      --lockDepth_;
      SessionLock().unlock();
      throw;
    }
  }
}

void TTessSession::UnlockSession() {
  --lockDepth_;
  SessionLock().unlock();
}

TTessDatabase& TTessSession::OpenDatabase(const std::string& name, TComponent*, bool count,
                                          TTDEDataSet* dataSet) {
  LockSession();
  TTessDatabase* created = nullptr;
  try {
    TTessDatabase* database = FindDatabase(name);
    if (database == nullptr) {
      auto temporary = std::make_unique<TTessDatabase>(this);
      created = temporary.get();
      temporaries_.push_back(std::move(temporary));
      if (dataSet != nullptr) created->SetMediumType(dataSet->MediumType());
      created->SetDatabaseName(name);
      created->SetKeepConnection(keepConnections_);
      created->SetTemporary(true);
      database = created;
    }
    database->Open();
    if (count) ++database->referenceCount_;
    UnlockSession();
    return *database;
  } catch (...) {
    if (created != nullptr) FreeTemporary(*created);
    UnlockSession();
    throw;
  }
}

void TTessSession::ReleaseDatabase(TTessDatabase& database) {
  if (database.referenceCount_ > 0) --database.referenceCount_;
  // While the database closes its datasets it must not be freed under its own feet.
  if (database.disconnecting_) return;
  if (database.referenceCount_ == 0 && !database.KeepConnection()) {
    if (!database.Temporary()) {
      database.Close();
    } else if (!database.Destroying()) {
      FreeTemporary(database);
    }
  }
}

void TTessSession::AddDatabase(TTessDatabase& database) {
  databases_.push_back(&database);
}

void TTessSession::RemoveDatabase(TTessDatabase& database) {
  databases_.erase(std::remove(databases_.begin(), databases_.end(), &database), databases_.end());
}

void TTessSession::FreeTemporary(TTessDatabase& database) {
  auto it = std::find_if(temporaries_.begin(), temporaries_.end(),
                         [&](const auto& owned) { return owned.get() == &database; });
  if (it == temporaries_.end()) {
    // Not owned here (it moved from another session): close it at least.
    database.Close();
    return;
  }
  std::unique_ptr<TTessDatabase> doomed = std::move(*it);
  temporaries_.erase(it);
  doomed.reset();
}

}  // namespace tessdb
