// The commands of the `tessdb` tool. Each command lives in its own file and adds itself, with its
// options and its action, as a subcommand of the tool's application. An action reports failure by
// throwing (tessdb::Exception or ToolError); main prints "tessdb: <message>" and exits with 1.
#pragma once

#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

namespace tessdb_tool {

// A failure of the tool itself (bad arguments, unreadable schema), reported like engine errors.
class ToolError : public std::runtime_error {
 public:
  explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

// A search that found nothing: main prints "tessdb: not found" and exits with 2.
class NotFound : public std::runtime_error {
 public:
  NotFound() : std::runtime_error("not found") {}
};

void AddInfoCommand(CLI::App& app);
void AddCreateCommand(CLI::App& app);
void AddImportCommand(CLI::App& app);
void AddDumpCommand(CLI::App& app);
void AddFindCommand(CLI::App& app);

}  // namespace tessdb_tool
