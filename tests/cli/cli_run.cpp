#include "cli_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

extern char** environ;

namespace wordloom::cli {

CliRun RunCli(std::vector<std::string> args, const test::TempFolder& folder) {
  const bool ownTemp = std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg.starts_with("--temp"); });
  if (!args.empty() && !ownTemp) args.insert(args.begin() + 1, "--temp=" + folder.File("scratch"));
  std::vector<char*> argv = {const_cast<char*>(WORDLOOM_CLI)};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string out = folder.File("stdout"), err = folder.File("stderr");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addchdir_np(&actions, folder.path().c_str());
  CliRun run;
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, WORDLOOM_CLI, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(spawned, 0);
  int status = 0;
  if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit = WEXITSTATUS(status);
  run.out = test::ReadFile(out);
  run.err = test::ReadFile(err);
  return run;
}

}  // namespace wordloom::cli
