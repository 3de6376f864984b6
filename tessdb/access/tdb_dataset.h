// TTDBDataSet: a dataset bound to a TessDB database by name. It reaches its database through its
// session (SessionName, empty = the default session) and DatabaseName: OpenDatabase with counting
// as it opens, ReleaseDatabase as it closes, so a database nobody keeps connected closes with its
// last dataset. While open it is registered with the database, which closes it when it closes.
#pragma once

#include <string>

#include "tessdb/access/dataset.h"

namespace tessdb {

class TTessDatabase;

class TTDBDataSet : public TDataSet {
 public:
  // An owner that is a TTessDatabase gives its SessionName; an auto-named session on the owner
  // gives its name.
  explicit TTDBDataSet(TComponent* owner = nullptr);
  ~TTDBDataSet() override;

  const std::string& DatabaseName() const { return databaseName_; }
  // Only on a closed dataset that is not bound to a database.
  virtual void SetDatabaseName(const std::string& name);
  const std::string& SessionName() const { return sessionName_; }
  void SetSessionName(const std::string& name);
  // The database while open, else nullptr.
  TTessDatabase* Database() const { return database_; }

  // Gives the database of DatabaseName its password, opening (without counting) the database,
  // temporary if need be. Call after SetDatabaseName and before Open.
  void SetPassword(const std::string& password);

  // Closes the dataset (the database closing).
  virtual void CloseDataSet() { Close(); }
  // The database connected or disconnected.
  virtual void DatabaseConnectChanged(bool) { DataEvent(TDataEvent::deConnectChange); }

 protected:
  // Binds to the database (counted, registered) and runs its CheckCanAccess; undone on failure.
  void OpenDatabase();
  // Unregisters and releases the database.
  void CloseDatabase();

 private:
  std::string databaseName_;
  std::string sessionName_;
  TTessDatabase* database_ = nullptr;
};

}  // namespace tessdb
