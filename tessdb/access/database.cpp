#include "tessdb/access/database.h"

#include <algorithm>

#include "tessdb/access/login_prompt.h"
#include "tessdb/access/session.h"
#include "tessdb/access/session_list.h"
#include "tessdb/access/tde_dataset.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"

namespace tessdb {
namespace {

constexpr char kDatabaseOpen[] = "Cannot perform this operation on an open database";
constexpr char kDatabaseClosed[] = "Cannot perform this operation on a closed database";

// The session a new database belongs to: its owner when that is a session, the auto-named
// session placed on its owner, else DefaultSession.
TTessSession& SessionForOwner(TComponent* owner) {
  if (auto* session = dynamic_cast<TTessSession*>(owner)) return *session;
  if (owner != nullptr) {
    for (TComponent* sibling : owner->Components()) {
      auto* session = dynamic_cast<TTessSession*>(sibling);
      if (session != nullptr && session->AutoSessionName()) return *session;
    }
  }
  return DefaultSession();
}

}  // namespace

TTessDatabase::TTessDatabase(TComponent* owner) : TComponent(owner) {
  session_ = &SessionForOwner(owner);
  sessionName_ = session_->SessionName();
  session_->AddDatabase(*this);
  flushTimer_ = CreateFlushTimer([this] { FlushTick(); });
}

TTessDatabase::~TTessDatabase() {
  BeginDestroy();
  try {
    SetConnected(false);
  } catch (...) {
    // A destructor cannot report; the file object is gone either way.
  }
  session_->RemoveDatabase(*this);
}

void TTessDatabase::SetConnected(bool connected) {
  if (Loading()) {
    streamedConnected_ = connected;
    return;
  }
  if (connected == Connected()) return;
  if (connected) {
    if (BeforeConnect) BeforeConnect(*this);
    DoConnect();
    for (TTDBDataSet* dataSet : std::vector<TTDBDataSet*>(dataSets_)) {
      dataSet->DatabaseConnectChanged(true);
    }
    if (AfterConnect) AfterConnect(*this);
  } else {
    if (BeforeDisconnect) BeforeDisconnect(*this);
    for (TTDBDataSet* dataSet : std::vector<TTDBDataSet*>(dataSets_)) {
      dataSet->DatabaseConnectChanged(false);
    }
    DoDisconnect();
    if (AfterDisconnect) AfterDisconnect(*this);
  }
}

void TTessDatabase::DoConnect() {
  if (databaseName_.empty() && !temporary_) DatabaseError("Database name missing");
  BindSession(sessionName_);
  session_->SetActive(true);
  if (!fileIO_) fileIO_ = std::make_unique<TTessDBFileIO>();
  fileIO_->CompressMgr().OnEncodeProgress = OnCompressProgress;
  fileIO_->CompressMgr().OnDecodeProgress = OnUncompressProgress;
  fileIO_->EncryptMgr().OnEncodeProgress = OnEncryptProgress;
  fileIO_->EncryptMgr().OnDecodeProgress = OnDecryptProgress;
  try {
    fileIO_->Open(Path(), mediumType_, readOnly_, exclusive_);
    accessGranted_ = !fileIO_->Encrypted();
    if (!accessGranted_ && passwordGiven_) accessGranted_ = fileIO_->SetPassword(password_);
    std::vector<std::string> names;
    fileIO_->GetTableNames(names);
    tableDefs_.Clear();
    tableIOs_.clear();
    for (const std::string& name : names) {
      tableDefs_.Add(TTessTableDef{name});
      tableIOs_.push_back(std::make_unique<TTessTableIO>(*fileIO_, name));
      TTessTableIO* tableIO = tableIOs_.back().get();
      // Another process changed the table: every table open on it rebuilds its view.
      tableIO->OnReloaded = [this, tableIO] {
        for (TTDBDataSet* dataSet : std::vector<TTDBDataSet*>(dataSets_)) {
          auto* table = dynamic_cast<TTessTable*>(dataSet);
          if (table != nullptr && table->TableIO() == tableIO) table->TableReloaded();
        }
      };
    }
  } catch (...) {
    tableIOs_.clear();
    tableDefs_.Clear();
    fileIO_.reset();
    accessGranted_ = false;
    throw;
  }
}

void TTessDatabase::DoDisconnect() {
  if (!fileIO_) return;
  fileIO_->Close();
  // Each dataset unregisters itself as it closes. The closed file object stays allocated until
  // then, so nothing the datasets free on the way refers to a freed object.
  disconnecting_ = true;
  while (!dataSets_.empty()) {
    TTDBDataSet* last = dataSets_.back();
    try {
      last->CloseDataSet();
    } catch (...) {
      // The file is gone already; the dataset must let go all the same.
    }
    if (!dataSets_.empty() && dataSets_.back() == last) dataSets_.pop_back();
  }
  disconnecting_ = false;
  fileIO_.reset();
  referenceCount_ = 0;
  accessGranted_ = false;
  password_.clear();
  passwordGiven_ = false;
  tableIOs_.clear();
  tableDefs_.Clear();
}

void TTessDatabase::SetPassword(const std::string& password) {
  passwordGiven_ = true;
  password_ = password;
  if (Connected()) accessGranted_ = fileIO_->SetPassword(password);
}

void TTessDatabase::CheckCanAccess() {
  if (accessGranted_) return;
  if (passwordGiven_) {
    SetPassword(password_);
  } else {
    const std::optional<std::string> entered = PromptForPassword(Path());
    if (!entered) throw EAbort();
    SetPassword(*entered);
  }
  if (!accessGranted_) throw EDatabaseError("Access denied");
}

void TTessDatabase::CheckCanModify() {
  if (readOnly_ || (fileIO_ && (fileIO_->ReadOnly() || fileIO_->FileIsReadOnly()))) {
    throw EDatabaseError("Cannot modify a read-only database");
  }
}

void TTessDatabase::RegisterDataSet(TTDBDataSet& dataSet) {
  if (std::find(dataSets_.begin(), dataSets_.end(), &dataSet) == dataSets_.end()) {
    dataSets_.push_back(&dataSet);
  }
}

void TTessDatabase::UnregisterDataSet(TTDBDataSet& dataSet) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), &dataSet), dataSets_.end());
}

void TTessDatabase::GetTableNames(std::vector<std::string>& list) {
  if (Connected()) fileIO_->GetTableNames(list);
}

TTessTableIO* TTessDatabase::FindTableIO(const std::string& tableName) {
  for (const std::unique_ptr<TTessTableIO>& tableIO : tableIOs_) {
    if (SameName(tableIO->TableName(), tableName)) return tableIO.get();
  }
  return nullptr;
}

void TTessDatabase::FlushCache() {
  if (fileIO_) fileIO_->Flush();
}

bool TTessDatabase::Compressed() const {
  if (!Connected()) DatabaseError(kDatabaseClosed);
  return fileIO_->Compressed();
}

bool TTessDatabase::Encrypted() const {
  if (!Connected()) DatabaseError(kDatabaseClosed);
  return fileIO_->Encrypted();
}

bool TTessDatabase::VerifyWrites() const {
  if (!Connected()) DatabaseError(kDatabaseClosed);
  return fileIO_->VerifyWrites();
}

void TTessDatabase::CheckInactive() {
  if (Connected()) DatabaseError(kDatabaseOpen);
}

void TTessDatabase::SetDatabaseName(const std::string& name) {
  if (name == databaseName_) return;
  if (!Loading()) {
    CheckInactive();
    ValidateName(name);
  }
  databaseName_ = name;
}

void TTessDatabase::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  if (!Loading()) CheckInactive();
  fileName_ = name;
}

void TTessDatabase::SetMediumType(TTessDBMediumType mediumType) {
  if (mediumType == mediumType_) return;
  if (!Loading()) CheckInactive();
  mediumType_ = mediumType;
  for (TTDBDataSet* dataSet : dataSets_) {
    if (auto* tde = dynamic_cast<TTDEDataSet*>(dataSet)) tde->mediumType_ = mediumType;
  }
}

void TTessDatabase::SetExclusive(bool exclusive) {
  if (!Loading()) CheckInactive();
  exclusive_ = exclusive;
}

void TTessDatabase::SetReadOnly(bool readOnly) {
  if (!Loading()) CheckInactive();
  readOnly_ = readOnly;
}

void TTessDatabase::SetKeepConnection(bool keep) {
  if (keep == keepConnection_) return;
  keepConnection_ = keep;
  if (!keep && referenceCount_ == 0) Close();
}

void TTessDatabase::SetSessionName(const std::string& name) {
  if (Loading()) {
    sessionName_ = name;
    return;
  }
  CheckInactive();
  if (name == sessionName_) return;
  sessionName_ = name;
  TTessSession* target = Sessions().FindSession(name);
  if (target == nullptr || target == session_) return;
  try {
    MoveToSession(*target);
  } catch (...) {
    databaseName_.clear();
    throw;
  }
}

void TTessDatabase::SetAutoFlush(bool autoFlush) {
  autoFlush_ = autoFlush;
  if (autoFlush) flushTimer_->SetInterval(autoFlushInterval_);
  flushTimer_->SetEnabled(autoFlush);
}

void TTessDatabase::SetAutoFlushInterval(int milliseconds) {
  autoFlushInterval_ = milliseconds;
  if (autoFlush_) flushTimer_->SetInterval(milliseconds);
}

void TTessDatabase::FlushTick() {
  if (fileIO_ && !fileIO_->IsFlushed()) FlushCache();
}

void TTessDatabase::ValidateName(const std::string& name) {
  if (name.empty()) return;
  TTessDatabase* other = session_->FindDatabase(name);
  if (other == nullptr || other == this) return;
  if (!other->temporary_ || other->referenceCount_ > 0) {
    throw EDatabaseError(FormatMessage("Duplicate database name '%s'", name));
  }
  other->session_->FreeTemporary(*other);
}

void TTessDatabase::BindSession(const std::string& name) {
  TTessSession& target = Sessions().GetSession(name);
  if (&target != session_) MoveToSession(target);
}

void TTessDatabase::MoveToSession(TTessSession& session) {
  TTessSession& old = *session_;
  old.RemoveDatabase(*this);
  session_ = &session;
  session.AddDatabase(*this);
  ValidateName(databaseName_);
}

void TTessDatabase::Loaded() {
  TComponent::Loaded();
  if (streamedConnected_) {
    SetConnected(true);
  } else {
    BindSession(sessionName_);
  }
}

void TTessDatabase::Notification(TComponent& component, TOperation operation) {
  TComponent::Notification(component, operation);
}

}  // namespace tessdb
