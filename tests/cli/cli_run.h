// Runs wordloom-cli as a program, in a test's folder.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "test_support.h"

namespace wordloom::cli {

struct CliRun {
  int exit = -1;  // -1 when the program did not end by exiting (a crash)
  std::string out, err;
};

// The user that permission tests run as when the tests run as root.
inline constexpr int kNobody = 65534;

// Starts wordloom-cli (or `program`) with `args` in `folder`; `prepare` runs in the child first,
// to set its descriptors, limits or user.
inline pid_t StartCli(std::vector<std::string> args, const test::TempFolder& folder, const std::function<void()>& prepare,
                      const char* program = WORDLOOM_CLI) {
  std::vector<char*> argv = {const_cast<char*>(program)};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.path().c_str()) != 0) ::_exit(127);
    prepare();
    ::execv(program, argv.data());
    ::_exit(127);
  }
  return pid;
}

// The exit status, or -1 when the program did not end by exiting.
inline int WaitCli(pid_t pid) {
  int status = 0;
  if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Runs wordloom-cli with `args` in `folder`, its scratch files in the folder's "scratch" unless
// the arguments name a --temp of their own; stdout and stderr go through files of the folder,
// then `prepare`, if given, runs in the child as for StartCli.
inline CliRun RunCli(std::vector<std::string> args, const test::TempFolder& folder, const std::function<void()>& prepare = {},
                     const std::string& program = WORDLOOM_CLI) {
  const bool ownTemp = std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg.starts_with("--temp"); });
  if (!args.empty() && !ownTemp) args.insert(args.begin() + 1, "--temp=" + folder.File("scratch"));
  const std::string out = folder.File("stdout"), err = folder.File("stderr");
  CliRun run;
  run.exit = WaitCli(StartCli(
      args, folder,
      [&] {
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0) ::_exit(127);
        if (prepare) prepare();
      },
      program.c_str()));
  run.out = test::ReadFile(out);
  run.err = test::ReadFile(err);
  return run;
}

}  // namespace wordloom::cli
