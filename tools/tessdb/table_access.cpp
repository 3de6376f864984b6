#include "tools/tessdb/table_access.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>

#include "tessdb/access/login_prompt.h"
#include "tessdb/core/exceptions.h"
#include "tools/tessdb/commands.h"
#include "tools/tessdb/latin1.h"

namespace tessdb_tool {
namespace {

// Restores the terminal's echo however the read ends.
class EchoOff {
 public:
  explicit EchoOff(int fd) : fd_(fd) {
    active_ = ::isatty(fd) != 0 && ::tcgetattr(fd, &saved_) == 0;
    if (active_) {
      termios quiet = saved_;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
  }
  ~EchoOff() {
    if (active_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  int fd_;
  bool active_ = false;
  termios saved_{};
};

}  // namespace

void AddPasswordOptions(CLI::App& command, PasswordOptions& options) {
  command.add_option("--password", options.password, "Password of an encrypted database");
  command.add_flag("--ask-password", options.askPassword,
                   "Ask for the password on the terminal (without echo)");
}

std::optional<std::string> ReadPasswordFromTerminal(const std::string& databasePath) {
  int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
  const bool ownFd = fd >= 0;
  if (!ownFd) fd = STDIN_FILENO;
  // Without a terminal (a pipe feeds the password) nothing is shown: stderr stays for errors.
  const int promptFd = ownFd ? fd : (::isatty(STDERR_FILENO) != 0 ? STDERR_FILENO : -1);
  const std::string prompt = "Password for " + Latin1ToUtf8(databasePath) + ": ";
  if (promptFd >= 0 && ::write(promptFd, prompt.data(), prompt.size()) < 0) {
    // The prompt is a courtesy; reading goes on.
  }
  std::string line;
  bool ended = false;
  {
    EchoOff echoOff(fd);
    char c;
    for (;;) {
      const ssize_t n = ::read(fd, &c, 1);
      if (n <= 0) {
        ended = line.empty();
        break;
      }
      if (c == '\n') break;
      if (c != '\r') line += c;
    }
  }
  if (promptFd >= 0 && ::write(promptFd, "\n", 1) < 0) {
  }
  if (ownFd) ::close(fd);
  if (ended) return std::nullopt;
  return Utf8ToLatin1(line, "The password");
}

void OpenTable(tessdb::TTessTable& table, const std::string& file, const std::string& tableName,
               const std::string& indexName, const PasswordOptions& options) {
  const tessdb::TLoginPrompt previous =
      tessdb::SetLoginPrompt(options.askPassword ? tessdb::TLoginPrompt(ReadPasswordFromTerminal)
                                                 : tessdb::TLoginPrompt());
  try {
    table.SetDatabaseName(file);
    if (options.password) table.SetPassword(Utf8ToLatin1(*options.password, "The password"));
    table.SetTableName(tableName);
    table.SetIndexName(indexName);
    table.Open();
  } catch (const tessdb::EAbort&) {
    tessdb::SetLoginPrompt(previous);
    // No prompt, or a cancelled one: the tool has no password to try.
    throw ToolError("Access denied");
  } catch (...) {
    tessdb::SetLoginPrompt(previous);
    throw;
  }
  tessdb::SetLoginPrompt(previous);
}

}  // namespace tessdb_tool
