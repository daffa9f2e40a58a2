#include "cli_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace wordloom::cli {

int OpenFolderBelow(const std::string& top, const std::string& relative, bool create) {
  int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  size_t start = 0;
  while (fd >= 0 && start < relative.size()) {
    size_t slash = relative.find('/', start);
    if (slash == std::string::npos) slash = relative.size();
    const std::string name = relative.substr(start, slash - start);
    start = slash + 1;
    if (name.empty()) continue;
    if (create) (void)::mkdirat(fd, name.c_str(), 0755);
    const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    fd = next;
  }
  return fd;
}

CliRun RunCli(std::vector<std::string> args, const test::TempFolder& folder, int user, const std::string& workFolder) {
  const bool ownTemp = std::any_of(args.begin(), args.end(), [](const std::string& arg) { return arg.starts_with("--temp"); });
  if (!args.empty() && !ownTemp) args.insert(args.begin() + 1, "--temp=" + folder.File("scratch"));
  std::vector<char*> argv = {const_cast<char*>(WORDLOOM_CLI)};
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string out = folder.File("stdout"), err = folder.File("stderr");
  CliRun run;
  const int workFd = OpenFolderBelow(folder.path(), workFolder);
  EXPECT_GE(workFd, 0) << workFolder.substr(0, 100);
  pid_t pid = 0;
  if (user >= 0) {
    // fork, then give up root before running the program.
    pid = ::fork();
    if (pid == 0) {
      const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      if (outFd < 0 || errFd < 0 || ::dup2(outFd, 1) < 0 || ::dup2(errFd, 2) < 0 || ::fchdir(workFd) != 0 ||
          ::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(user)) != 0 || ::setuid(static_cast<uid_t>(user)) != 0) {
        ::_exit(127);
      }
      ::execve(WORDLOOM_CLI, argv.data(), environ);
      ::_exit(127);
    }
    EXPECT_GT(pid, 0);
  } else {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addfchdir_np(&actions, workFd);
    const int spawned = posix_spawn(&pid, WORDLOOM_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    if (spawned != 0) pid = -1;
  }
  if (workFd >= 0) ::close(workFd);
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit = WEXITSTATUS(status);
  run.out = test::ReadFile(out);
  run.err = test::ReadFile(err);
  return run;
}

}  // namespace wordloom::cli
