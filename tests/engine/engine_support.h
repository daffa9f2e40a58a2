// Helpers shared by the engine tests of more than one subsystem: a scratch folder of a test's
// own, and work run in a child process. It brings test_support.h with it.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "base/scratch_folder.h"
#include "test_support.h"

namespace wordloom::test {

// A scratch folder prepared in a temporary folder of its own.
struct TempScratch {
  TempFolder folder;
  ScratchFolder scratch;
  TempScratch() { EXPECT_TRUE(scratch.Prepare(folder.File("scratch")).ok()); }
};

// Runs `work` in a child process (as `user` when one is given) and returns what it returns:
// for what must not touch the test's own process (limits, the working folder, the user).
inline std::string InChild(const std::function<std::string()>& work, int user = -1) {
  int pipe[2];
  EXPECT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    std::string result = "could not become the other user";
    if (user < 0 || (::setgid(static_cast<gid_t>(user)) == 0 && ::setuid(static_cast<uid_t>(user)) == 0)) {
      result = work();
    }
    const ssize_t written = ::write(pipe[1], result.data(), result.size());
    ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
  }
  ::close(pipe[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<size_t>(got));
  ::close(pipe[0]);
  int status = -1;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return result;
}

}  // namespace wordloom::test
