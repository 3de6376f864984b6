// Runs the `tessdb` tool as a real process, without a controlling terminal, with the given
// standard input; stdout and stderr are captured through files of a temporary folder.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/tessdb/storage/temp_dir.h"

namespace tessdb::testing {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline ToolRun Tool(const TempDir& dir, std::vector<std::string> args,
                    const std::string& input = "") {
  args.insert(args.begin(), TESSDB_TOOL);
  const std::string inPath = dir.Write("stdin", input);
  const std::string outPath = dir.File("stdout"), errPath = dir.File("stderr");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();  // no terminal: a password prompt reads standard input
    const int in = ::open(inPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(outPath), ReadFile(errPath)};
}

}  // namespace tessdb::testing
