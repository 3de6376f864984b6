// The login prompt: how the engine asks the user for a database's password. The engine knows no
// windows; a program installs a prompt (a dialog), and without one the prompt answers as a
// cancelled dialog does.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tessdb {

// Shows the database's path and asks for its password: the entered text, or nullopt when the
// user cancelled.
using TLoginPrompt = std::function<std::optional<std::string>(const std::string& databasePath)>;

// Installs the prompt (an empty one removes it); returns the one it replaces.
TLoginPrompt SetLoginPrompt(TLoginPrompt prompt);

// Asks through the installed prompt; nullopt (cancel) when none is installed.
std::optional<std::string> PromptForPassword(const std::string& databasePath);

}  // namespace tessdb
