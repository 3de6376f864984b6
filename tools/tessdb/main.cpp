// tessdb: inspect and author TessDB database files from the command line.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "tessdb/core/exceptions.h"
#include "tools/tessdb/commands.h"

namespace {

// Every failure is one line on stderr.
int Fail(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  std::cerr << "tessdb: " << message << '\n';
  return 1;
}

bool IsCommand(CLI::App& app, const std::string& name) {
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->get_name() == name) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Inspect, create, fill and search TessDB database files.", "tessdb");
  app.require_subcommand(1);
  tessdb_tool::AddInfoCommand(app);
  tessdb_tool::AddCreateCommand(app);
  tessdb_tool::AddImportCommand(app);
  tessdb_tool::AddDumpCommand(app);
  tessdb_tool::AddFindCommand(app);
  // CLI11 would report an unknown command as a missing one.
  if (argc > 1 && argv[1][0] != '-' && !IsCommand(app, argv[1])) {
    return Fail(std::string("Unknown command '") + argv[1] + "'");
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    return Fail(error.what());
  } catch (const tessdb_tool::NotFound& notFound) {
    Fail(notFound.what());
    return 2;
  } catch (const tessdb::EAbort&) {
    return 1;
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
  return 0;
}
