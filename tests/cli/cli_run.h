// Runs wordloom-cli as a program, in a test's folder.
#pragma once

#include <string>
#include <vector>

#include "test_support.h"

namespace wordloom::cli {

struct CliRun {
  int exit = -1;  // -1 when the program did not end by exiting (a crash)
  std::string out, err;
};

// Runs wordloom-cli with `args` in the test's folder, its scratch files in the folder's
// "scratch" unless the arguments name a --temp of their own; stdout and stderr go through
// files of the folder. With `user`, the program runs as that user (the caller being root).
// With `workFolder` (relative to the test's folder, and of any length) it runs there instead.
CliRun RunCli(std::vector<std::string> args, const test::TempFolder& folder, int user = -1,
              const std::string& workFolder = "");

// Opens `relative` below the folder `top`, one folder at a time so that its path may be longer
// than the system allows in one call; with `create`, makes the folders that are missing.
// -1 on failure.
int OpenFolderBelow(const std::string& top, const std::string& relative, bool create = false);

// The user that permission tests run as when the tests run as root.
inline constexpr int kNobody = 65534;

}  // namespace wordloom::cli
