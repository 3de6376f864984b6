// Databases and sessions: the password decisions, temporary databases, names, the session pool
// and the messages with their component names.
#include <gtest/gtest.h>

#include <optional>

#include "tessdb/access/database.h"
#include "tessdb/access/login_prompt.h"
#include "tessdb/access/program_hooks.h"
#include "tessdb/access/session.h"
#include "tessdb/access/session_list.h"
#include "tessdb/access/tess_table.h"
#include "tessdb/core/exceptions.h"
#include "tessdb/storage/memory_databases.h"
#include "tests/tessdb/access/access_fixture.h"
#include "tests/tessdb/access/catalog_test.h"
#include "tests/tessdb/storage/temp_dir.h"

namespace tessdb {
namespace {

using testing::MessageOf;

using testing::TempDir;

// Installs a login prompt answering with the given entry (nullopt = Cancel) and counting calls.
class ScriptedPrompt {
 public:
  explicit ScriptedPrompt(std::optional<std::string> answer) : answer_(std::move(answer)) {
    previous_ = SetLoginPrompt([this](const std::string& path) {
      ++calls;
      lastPath = path;
      return answer_;
    });
  }
  ~ScriptedPrompt() { SetLoginPrompt(previous_); }
  void Answer(std::optional<std::string> answer) { answer_ = std::move(answer); }
  int calls = 0;
  std::string lastPath;

 private:
  std::optional<std::string> answer_;
  TLoginPrompt previous_;
};

void OpenTable(TTessTable& table, const std::string& path) {
  table.SetDatabaseName(path);
  table.SetTableName("cellphone");
  table.SetIndexName("nameindex");
  table.Open();
}

struct PasswordCase {
  const char* name;
  bool encrypted;
  std::optional<std::string> given;   // SetPassword before the open
  std::optional<std::string> prompt;  // the dialog's answer (nullopt = Cancel)
  const char* outcome;                // message of the open, "<none>" when it opens
  int promptCalls;
};

class PasswordDecision : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordDecision, OpenOutcome) {
  const PasswordCase& c = GetParam();
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", c.encrypted);
  ScriptedPrompt prompt(c.prompt);
  TTessTable table;
  table.SetName("TessTable1");
  table.SetDatabaseName(path);
  if (c.given) table.SetPassword(*c.given);
  table.SetTableName("cellphone");
  EXPECT_EQ(MessageOf([&] { table.Open(); }), c.outcome);
  EXPECT_EQ(prompt.calls, c.promptCalls);
  EXPECT_EQ(table.Active(), std::string(c.outcome) == "<none>");
  if (prompt.calls > 0) {
    EXPECT_EQ(prompt.lastPath, path);
  }
  if (table.Active()) {
    EXPECT_EQ(table.FieldByName("name").AsString(), "Alcatel");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordDecision,
    ::testing::Values(
        PasswordCase{"RightGiven", true, "secret", std::nullopt, "<none>", 0},
        PasswordCase{"WrongGiven", true, "wrong", "secret", "Access denied", 0},
        PasswordCase{"NoneCancel", true, std::nullopt, std::nullopt, "<abort>", 1},
        PasswordCase{"NoneWrongEntry", true, std::nullopt, "nope", "Access denied", 1},
        PasswordCase{"NoneRightEntry", true, std::nullopt, "secret", "<none>", 1},
        PasswordCase{"PlainAnyPassword", false, "whatever", std::nullopt, "<none>", 0},
        PasswordCase{"PlainNoPassword", false, std::nullopt, std::nullopt, "<none>", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Database, WrongEntryFailsAtOnceWhileConnectedAndCancelAsksAgain) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", true);
  TTessDatabase database;
  database.SetDatabaseName(path);
  database.SetKeepConnection(true);
  database.Open();
  EXPECT_FALSE(database.AccessGranted());

  ScriptedPrompt prompt(std::nullopt);
  TTessTable table;
  EXPECT_EQ(MessageOf([&] { OpenTable(table, path); }), "<abort>");
  EXPECT_EQ(MessageOf([&] { OpenTable(table, path); }), "<abort>");
  EXPECT_EQ(prompt.calls, 2);  // Cancel remembers nothing

  prompt.Answer("nope");
  EXPECT_EQ(MessageOf([&] { OpenTable(table, path); }), "Access denied");
  prompt.Answer("secret");
  EXPECT_EQ(MessageOf([&] { OpenTable(table, path); }), "Access denied");
  EXPECT_EQ(prompt.calls, 3);  // the wrong entry counts as given: no more dialogs
  EXPECT_TRUE(database.Connected());
}

TEST(Database, ClosingForgetsThePassword) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", true);
  TTessDatabase database;
  database.SetName("TessDatabase1");
  database.SetDatabaseName(path);
  database.Open();
  TTessTable table;
  table.SetDatabaseName(path);
  table.SetPassword(testing::kPassword);
  EXPECT_TRUE(database.AccessGranted());
  OpenTable(table, path);
  EXPECT_EQ(database.GetDataSetCount(), 1);

  database.Close();  // closes the table too
  EXPECT_FALSE(table.Active());
  EXPECT_FALSE(database.PasswordGiven());
  ScriptedPrompt prompt(std::nullopt);
  EXPECT_EQ(MessageOf([&] { OpenTable(table, path); }), "<abort>");
  EXPECT_EQ(prompt.calls, 1);
}

TEST(Database, ProgramStartUpSequence) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", true);
  TTessDatabase database;
  database.SetName("TessDatabase1");
  try {
    database.Close();
  } catch (...) {
  }
  database.SetDatabaseName(path);
  database.Open();
  TTessTable vendors, models;
  for (TTessTable* table : {&vendors, &models}) {
    table->SetDatabaseName(path);
    table->SetPassword(testing::kPassword);
  }
  vendors.SetTableName("cellphone");
  vendors.SetIndexName("nameindex");
  models.SetTableName("cellphoneconfig");
  models.SetIndexName("typeindex");
  vendors.Open();
  models.Open();
  EXPECT_EQ(vendors.Database(), &database);
  EXPECT_EQ(models.Database(), &database);
  EXPECT_EQ(database.ReferenceCount(), 2);
  EXPECT_EQ(vendors.RecordCount(), 5);
  // The component stays open only while counted datasets hold it.
  vendors.Close();
  models.Close();
  EXPECT_FALSE(database.Connected());
}

TEST(Database, TemporaryDatabaseIsCreatedCountedAndFreed) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  TTessSession& session = DefaultSession();
  const int before = session.DatabaseCount();
  TTessTable table;
  OpenTable(table, path);
  ASSERT_EQ(session.DatabaseCount(), before + 1);
  TTessDatabase* temporary = session.FindDatabase(path);
  ASSERT_NE(temporary, nullptr);
  EXPECT_TRUE(temporary->Temporary());
  EXPECT_EQ(temporary->ReferenceCount(), 1);
  table.Close();
  EXPECT_EQ(session.DatabaseCount(), before);
  EXPECT_EQ(session.FindDatabase(path), nullptr);
}

TEST(Database, FailedOpenFreesTheTemporaryDatabase) {
  TempDir dir;
  const int before = DefaultSession().DatabaseCount();
  TTessTable table;
  table.SetDatabaseName(dir.File("missing.alo"));
  table.SetTableName("cellphone");
  EXPECT_EQ(MessageOf([&] { table.Open(); }), "Cannot open file " + dir.File("missing.alo"));
  EXPECT_EQ(DefaultSession().DatabaseCount(), before);
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  table.SetDatabaseName(path);
  table.SetName("TessTable2");
  table.SetTableName("nosuchtable");
  EXPECT_EQ(MessageOf([&] { table.Open(); }), "TessTable2: Table 'nosuchtable' not found");
  EXPECT_EQ(DefaultSession().DatabaseCount(), before);
}

TEST(Database, NamesAndPropertyChanges) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  TTessDatabase first;
  first.SetName("TessDatabase1");
  EXPECT_EQ(MessageOf([&] { first.Open(); }), "TessDatabase1: Database name missing");
  first.SetDatabaseName("catalog");
  EXPECT_EQ(MessageOf([&] { first.Open(); }), "Cannot open file catalog");
  EXPECT_FALSE(first.Connected());
  first.SetFileName(path);  // FileName wins over DatabaseName as the path
  first.Open();
  first.SetDatabaseName("catalog");  // the same name again: nothing happens
  EXPECT_EQ(MessageOf([&] { first.SetDatabaseName("other"); }),
            "TessDatabase1: Cannot perform this operation on an open database");
  EXPECT_EQ(MessageOf([&] { first.SetReadOnly(true); }),
            "TessDatabase1: Cannot perform this operation on an open database");
  EXPECT_FALSE(first.Encrypted());

  TTessDatabase second;
  EXPECT_EQ(MessageOf([&] { second.SetDatabaseName("CATALOG"); }),
            "Duplicate database name 'CATALOG'");
  first.Close();
  EXPECT_EQ(MessageOf([&] { (void)first.Compressed(); }),
            "TessDatabase1: Cannot perform this operation on a closed database");

  // A temporary holder that no dataset counts gives its name up.
  TTessTable table;
  table.SetDatabaseName(path);
  table.SetPassword("x");  // creates an uncounted temporary database
  ASSERT_NE(DefaultSession().FindDatabase(path), nullptr);
  EXPECT_TRUE(DefaultSession().FindDatabase(path)->Temporary());
  second.SetDatabaseName(path);
  EXPECT_EQ(DefaultSession().FindDatabase(path), &second);
}

TEST(Database, InMemoryImageAndTableNames) {
  TempDir dir;
  TMemoryStream image;
  const std::string bytes = testing::ReadFile(testing::WriteCatalog(dir, "aloha.alo", false));
  image.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  TMemoryDatabaseRegistration registration(image);
  TTessTable table;
  table.SetMediumType(mtMemory);
  table.SetDatabaseName(registration.Name());
  table.SetTableName("Notes");
  table.Open();
  ASSERT_NE(table.Database(), nullptr);
  EXPECT_EQ(table.Database()->MediumType(), mtMemory);  // copied into the temporary database
  EXPECT_EQ(table.RecordCount(), 3);
  std::vector<std::string> names = {"kept"};
  table.Database()->GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"cellphone", "cellphoneconfig", "notes"}));
  EXPECT_EQ(table.Database()->TableDefs().Count(), 3);
  EXPECT_EQ(table.Database()->FindTableIO("CELLPHONE")->TableName(), "cellphone");
  EXPECT_EQ(table.Database()->FindTableIO("missing"), nullptr);
  table.AppendRecord({"in memory"});
  table.Close();
  // The change went into the image itself.
  TTessTable again;
  again.SetMediumType(mtMemory);
  again.SetDatabaseName(registration.Name());
  again.SetTableName("notes");
  again.Open();
  EXPECT_EQ(again.RecordCount(), 4);

  TTessDatabase closed;
  std::vector<std::string> untouched = {"x"};
  closed.GetTableNames(untouched);
  EXPECT_EQ(untouched, std::vector<std::string>{"x"});
}

TEST(Database, ReadOnlyRefusesModification) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  TTessDatabase database;
  database.SetDatabaseName(path);
  database.SetReadOnly(true);
  database.Open();
  EXPECT_EQ(MessageOf([&] { database.CheckCanModify(); }), "Cannot modify a read-only database");
  TTessTable table;
  table.SetName("T");
  OpenTable(table, path);
  EXPECT_FALSE(table.CanModify());
  EXPECT_EQ(MessageOf([&] { table.Edit(); }), "T: Cannot modify a read-only dataset");
}

// A timer the test ticks by hand.
class ManualTimer : public TFlushTimer {
 public:
  explicit ManualTimer(std::function<void()> tick) : tick(std::move(tick)) {}
  void SetInterval(int ms) override { interval = ms; }
  void SetEnabled(bool on) override { enabled = on; }
  std::function<void()> tick;
  int interval = 0;
  bool enabled = false;
};

TEST(Database, AutoFlushRunsOnTheInstalledTimer) {
  ManualTimer* timer = nullptr;
  const TFlushTimerFactory previous = SetFlushTimerFactory([&](std::function<void()> tick) {
    auto made = std::make_unique<ManualTimer>(std::move(tick));
    timer = made.get();
    return made;
  });
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  {
    TTessDatabase database;
    SetFlushTimerFactory(previous);
    ASSERT_NE(timer, nullptr);
    database.SetDatabaseName(path);
    database.SetAutoFlushInterval(500);
    EXPECT_FALSE(timer->enabled);
    database.SetAutoFlush(true);
    EXPECT_TRUE(timer->enabled);
    EXPECT_EQ(timer->interval, 500);
    database.SetAutoFlushInterval(250);
    EXPECT_EQ(timer->interval, 250);
    database.SetKeepConnection(true);
    TTessTable table;
    table.SetDatabaseName(path);
    table.SetTableName("notes");
    table.Open();
    table.AppendRecord({"new"});
    EXPECT_FALSE(database.FileIO()->IsFlushed());
    timer->tick();
    EXPECT_TRUE(database.FileIO()->IsFlushed());
    database.SetAutoFlush(false);
    EXPECT_FALSE(timer->enabled);
  }
}

TEST(Database, BusyCursorWhileAFilteredViewIsBuilt) {
  std::vector<bool> shown;
  const TBusyCursorHook previous = SetBusyCursorHook([&](bool busy) { shown.push_back(busy); });
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  TTessTable table;
  OpenTable(table, path);
  table.SetFilter("name > 'M'");
  table.SetFiltered(true);
  EXPECT_EQ(shown, (std::vector<bool>{true, false}));
  DefaultSession().SetSQLHourGlass(false);
  table.SetFilter("name > 'N'");
  DefaultSession().SetSQLHourGlass(true);
  EXPECT_EQ(shown.size(), 2u);
  SetBusyCursorHook(previous);
}

TEST(Session, ListDefaultsAndNames) {
  EXPECT_EQ(Sessions().FindSession(""), &DefaultSession());
  EXPECT_EQ(DefaultSession().SessionName(), "Default");
  EXPECT_EQ(Sessions().FindSession("dEfAuLt"), &DefaultSession());
  EXPECT_EQ(MessageOf([] { Sessions().GetSession("nowhere"); }), "Invalid session name nowhere");

  TTessSession session;
  session.SetName("Session1");
  session.SetLockRetryCount(-5);
  session.SetLockWaitTime(-1);
  EXPECT_EQ(session.LockRetryCount(), 0);
  EXPECT_EQ(session.LockWaitTime(), 0);
  EXPECT_EQ(MessageOf([&] { session.Open(); }), "Session1: Session name missing");
  EXPECT_EQ(MessageOf([&] { session.SetSessionName("DEFAULT"); }),
            "Session1: Duplicate session name 'DEFAULT'");
  session.SetSessionName("Mine");
  session.Open();
  EXPECT_EQ(MessageOf([&] { session.SetSessionName("Other"); }),
            "Session1: Cannot perform this operation on an active session");
  session.Close();
}

TEST(Session, DatabasesInNamedSessionsAndTheirDeactivation) {
  TempDir dir;
  const std::string path = testing::WriteCatalog(dir, "aloha.alo", false);
  TTessSession session;
  session.SetSessionName("Second");
  TTessDatabase database(&session);
  EXPECT_EQ(database.SessionName(), "Second");
  database.SetDatabaseName("cat");
  database.SetFileName(path);
  // The same name in another session does not clash.
  TTessDatabase elsewhere;
  elsewhere.SetDatabaseName("cat");

  TTessTable table;
  table.SetSessionName("Second");
  table.SetDatabaseName("cat");
  table.SetTableName("cellphone");
  table.Open();
  EXPECT_EQ(table.Database(), &database);
  EXPECT_TRUE(session.Active());
  session.Close();  // closes its databases and so the table
  EXPECT_FALSE(database.Connected());
  EXPECT_FALSE(table.Active());
}

TEST(Session, AutoSessionNamesComeFromThePool) {
  TComponent form;
  form.SetName("Form1");
  TTessSession first(&form);
  first.SetName("Session");
  TTessTable table(&form);
  first.SetAutoSessionName(true);
  const int number = first.AutoSessionNumber();
  EXPECT_EQ(first.SessionName(), "Session_" + std::to_string(number + 1));
  EXPECT_EQ(table.SessionName(), first.SessionName());
  EXPECT_EQ(MessageOf([&] { first.SetSessionName("x"); }),
            "Session: Cannot modify SessionName while AutoSessionName is enabled");
  EXPECT_EQ(MessageOf([&] { TTessSession another(&form); }),
            "Cannot add a session to the form or data-module while session '" +
                first.SessionName() + "' has AutoSessionName enabled");
  first.SetName("Renamed");
  EXPECT_EQ(first.SessionName(), "Renamed_" + std::to_string(number + 1));

  TComponent otherForm;
  TTessSession second(&otherForm);
  second.SetName("S");
  second.SetAutoSessionName(true);
  EXPECT_EQ(second.AutoSessionNumber(), number + 1);
  first.SetAutoSessionName(false);  // returns the number
  TComponent thirdForm;
  TTessSession third(&thirdForm);
  third.SetName("T");
  third.SetAutoSessionName(true);
  EXPECT_EQ(third.AutoSessionNumber(), number);

  TComponent crowded;
  TTessSession a(&crowded), b(&crowded);
  a.SetName("A");
  EXPECT_EQ(MessageOf([&] { a.SetAutoSessionName(true); }),
            "A: Cannot enable AutoSessionName property with more than one session on a form or "
            "data-module");
}

}  // namespace
}  // namespace tessdb
