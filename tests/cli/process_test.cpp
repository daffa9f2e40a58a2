// wordloom-cli as one process among others: runs side by side, closed standard streams, and
// too little memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli_run.h"
#include "test_support.h"

namespace wordloom::cli {
namespace {

using test::ReadFile;
using test::TempFolder;

// Starts wordloom-cli in `folder` with `args`; `prepare` runs in the child before the program
// (to set its descriptors and limits).
pid_t Start(const std::vector<std::string>& args, const TempFolder& folder, const std::function<void()>& prepare) {
  std::vector<std::string> words = args;
  std::vector<char*> argv = {const_cast<char*>(WORDLOOM_CLI)};
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.path().c_str()) != 0) ::_exit(127);
    prepare();
    ::execv(WORDLOOM_CLI, argv.data());
    ::_exit(127);
  }
  return pid;
}

// The exit status, or -1 when the program did not end by exiting.
int Wait(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[65536];
  ssize_t got;
  while ((got = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  return text;
}

// A text whose concordance of "the" is far larger than a pipe holds.
void WriteLongText(const TempFolder& folder) {
  std::string text;
  for (int line = 0; line < 20000; ++line) text += "the cat sat on the mat\r\n";
  folder.Write("long.txt", text);
}

TEST(Processes, TwoRunsReadByOneConsumerBothFinish) {
  TempFolder folder;
  WriteLongText(folder);
  const std::vector<std::string> args = {"kwic", "long.txt", "--keys", "the", "--temp", folder.File("scratch")};
  int pipes[2][2];
  pid_t runs[2];
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(::pipe(pipes[run]), 0);
    runs[run] = Start(args, folder, [&] {
      ::dup2(pipes[run][1], 1);
      for (int i = 0; i <= run; ++i) ::close(pipes[i][0]), ::close(pipes[i][1]);
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 2);
    });
    ::close(pipes[run][1]);
  }
  // The second run is read to its end first, while the first one's output waits in its pipe.
  const std::string second = ReadAll(pipes[1][0]);
  const std::string first = ReadAll(pipes[0][0]);
  ::close(pipes[0][0]);
  ::close(pipes[1][0]);
  EXPECT_EQ(Wait(runs[0]), 0);
  EXPECT_EQ(Wait(runs[1]), 0);
  EXPECT_GT(first.size(), 1u << 20);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, RunCli({"kwic", "long.txt", "--keys", "the"}, folder).out);
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("scratch")));  // each run removed its folder
}

TEST(Processes, AClosedStreamFailsTheRunAndNoFileTakesItsPlace) {
  TempFolder folder;
  folder.Write("pets.txt", "the cat\r\nthe dog\r\n");
  const std::vector<std::string> args = {"kwic", "pets.txt", "--keys", "the", "--temp", folder.File("scratch")};
  struct Case {
    int closed;
    int exit;
  } cases[] = {{0, 0}, {1, 1}, {2, 1}};
  for (const Case& c : cases) {
    const int err = ::open(folder.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int out = ::open(folder.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t pid = Start(args, folder, [&] {
      ::dup2(out, 1);
      ::dup2(err, 2);
      ::close(c.closed);
    });
    ::close(out);
    ::close(err);
    EXPECT_EQ(Wait(pid), c.exit) << "descriptor " << c.closed;
    if (c.closed == 1) {
      EXPECT_EQ(ReadFile(folder.File("stderr")), " 1 key, 2 citations\nCould not write the output: Bad file descriptor.\n");
    }
    if (c.closed != 1) {
      EXPECT_EQ(ReadFile(folder.File("stdout")).substr(0, 4), "the\r");
    }
  }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Under every limit of its address space, the tool either does its work, or says that memory
// ran out and changes nothing: it never aborts.
TEST(Processes, RunningOutOfMemorySaysSoAndChangesNothing) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve more address space than any limit here";
  TempFolder folder;
  WriteLongText(folder);
  std::string words;  // a vocabulary of 200,000 words
  for (int n = 0; n < 200000; ++n) {
    for (int place = 0, rest = n; place < 4; ++place, rest /= 26) words += static_cast<char>('a' + rest % 26);
    words += n % 10 == 9 ? "\r\n" : " ";
  }
  folder.Write("words.txt", words);
  ASSERT_EQ(RunCli({"new", "long.wlm", "long.txt", "words.txt"}, folder).exit, 0);
  const std::string project = ReadFile(folder.File("long.wlm"));
  const std::string expected = RunCli({"kwic", "long.wlm", "--keys", "the", "--order", "left"}, folder).out;
  struct Command {
    std::vector<std::string> args;
    std::string message;
  } commands[] = {{{"kwic", "long.wlm", "--keys", "the", "--order", "left"}, "Not enough memory to make the concordance.\n"},
                  {{"scan", "long.wlm"}, "Not enough memory to scan the project.\n"}};
  for (const Command& command : commands) {
    bool ranOutOfMemory = false, worked = false;
    for (rlim_t megabytes = 16; megabytes <= 1024 && !worked; megabytes += 8) {
      std::vector<std::string> args = command.args;
      args.insert(args.begin() + 1, "--temp=" + folder.File("scratch"));
      const int err = ::open(folder.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int out = ::open(folder.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const pid_t pid = Start(args, folder, [&] {
        ::dup2(out, 1);
        ::dup2(err, 2);
        const rlimit limit{megabytes << 20, megabytes << 20};
        ::setrlimit(RLIMIT_AS, &limit);
      });
      ::close(out);
      ::close(err);
      const int exit = Wait(pid);
      const std::string errors = ReadFile(folder.File("stderr"));
      const std::string output = ReadFile(folder.File("stdout"));
      if (exit == 127 && errors.find("error while loading shared libraries") != std::string::npos) continue;
      ASSERT_TRUE(exit == 0 || exit == 1) << megabytes << " MB: exit " << exit << "\n" << errors;
      if (exit == 1) {
        EXPECT_TRUE(errors.ends_with(command.message) || errors == "Not enough memory to start.\n") << errors;
        EXPECT_EQ(output, "") << megabytes << " MB";
        EXPECT_EQ(ReadFile(folder.File("long.wlm")), project) << megabytes << " MB";
        ranOutOfMemory = ranOutOfMemory || errors.ends_with(command.message);
      } else {
        worked = true;
        if (command.args[0] == "kwic") {
          EXPECT_EQ(output, expected);
        }
      }
    }
    EXPECT_TRUE(ranOutOfMemory) << command.args[0];
    EXPECT_TRUE(worked) << command.args[0];
  }
}

}  // namespace
}  // namespace wordloom::cli
