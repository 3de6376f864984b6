// Opening a table for the `import`, `dump` and `find` commands: the password options, and the
// engine's dataset opened on the table with them. A wrong or missing password is "Access denied";
// the login prompt is installed only for --ask-password, and it reads the password from the
// terminal without echo.
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "tessdb/access/tess_table.h"

namespace tessdb_tool {

struct PasswordOptions {
  std::optional<std::string> password;
  bool askPassword = false;
};

void AddPasswordOptions(CLI::App& command, PasswordOptions& options);

// Opens table (database file, table name, index name) with the password options.
void OpenTable(tessdb::TTessTable& table, const std::string& file, const std::string& tableName,
               const std::string& indexName, const PasswordOptions& options);

// Asks for a password on the terminal (without echo); nullopt when input ends.
std::optional<std::string> ReadPasswordFromTerminal(const std::string& databasePath);

}  // namespace tessdb_tool
