#include "tessdb/access/login_prompt.h"

#include <utility>

namespace tessdb {
namespace {

TLoginPrompt& InstalledPrompt() {
  static TLoginPrompt prompt;
  return prompt;
}

}  // namespace

TLoginPrompt SetLoginPrompt(TLoginPrompt prompt) {
  TLoginPrompt previous = std::move(InstalledPrompt());
  InstalledPrompt() = std::move(prompt);
  return previous;
}

std::optional<std::string> PromptForPassword(const std::string& databasePath) {
  if (!InstalledPrompt()) return std::nullopt;
  return InstalledPrompt()(databasePath);
}

}  // namespace tessdb
