#include "tessdb/access/tdb_dataset.h"

#include "tessdb/access/database.h"
#include "tessdb/access/session.h"
#include "tessdb/access/session_list.h"
#include "tessdb/access/tde_dataset.h"

namespace tessdb {

TTDBDataSet::TTDBDataSet(TComponent* owner) : TDataSet(owner) {
  if (auto* database = dynamic_cast<TTessDatabase*>(owner)) {
    sessionName_ = database->SessionName();
  } else if (owner != nullptr) {
    for (TComponent* sibling : owner->Components()) {
      auto* session = dynamic_cast<TTessSession*>(sibling);
      if (session != nullptr && session->AutoSessionName()) sessionName_ = session->SessionName();
    }
  }
}

TTDBDataSet::~TTDBDataSet() {
  BeginDestroy();
  try {
    Close();
  } catch (...) {
  }
  if (database_ != nullptr) CloseDatabase();
}

void TTDBDataSet::SetDatabaseName(const std::string& name) {
  if (Loading()) {
    databaseName_ = name;
    return;
  }
  if (name == databaseName_) return;
  CheckInactive();
  if (database_ != nullptr) DatabaseError("Cannot perform this operation on an open database");
  databaseName_ = name;
}

void TTDBDataSet::SetSessionName(const std::string& name) {
  if (!Loading()) CheckInactive();
  sessionName_ = name;
}

void TTDBDataSet::SetPassword(const std::string& password) {
  TTessSession& session = Sessions().GetSession(sessionName_);
  TTessDatabase& database = session.OpenDatabase(databaseName_, Owner(), /*count=*/false,
                                                 dynamic_cast<TTDEDataSet*>(this));
  database.SetPassword(password);
}

void TTDBDataSet::OpenDatabase() {
  // A database placed in the default session under a name the named session lacks moves there.
  if (!sessionName_.empty() && !databaseName_.empty()) {
    TTessSession* session = Sessions().FindSession(sessionName_);
    if (session != nullptr && session->FindDatabase(databaseName_) == nullptr) {
      if (TTessDatabase* database = DefaultSession().FindDatabase(databaseName_)) {
        database->BindSession(database->SessionName());
        database->Session().SetActive(true);
      }
    }
  }
  TTessSession& session = Sessions().GetSession(sessionName_);
  database_ = &session.OpenDatabase(databaseName_, Owner(), /*count=*/true,
                                    dynamic_cast<TTDEDataSet*>(this));
  database_->RegisterDataSet(*this);
  try {
    database_->CheckCanAccess();
  } catch (...) {
    CloseDatabase();
    throw;
  }
}

void TTDBDataSet::CloseDatabase() {
  TTessDatabase* database = database_;
  if (database == nullptr) return;
  database_ = nullptr;
  database->UnregisterDataSet(*this);
  database->Session().ReleaseDatabase(*database);
}

}  // namespace tessdb
