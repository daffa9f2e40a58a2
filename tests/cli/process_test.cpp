// wordloom-cli as one process among others: runs side by side, closed standard streams, and
// too little memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_run.h"
#include "test_support.h"

namespace wordloom::cli {
namespace {

using test::ReadFile;
using test::TempFolder;

std::string ReadAll(int fd) {
  std::string text;
  char buffer[65536];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
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
    runs[run] = StartCli(args, folder, [&] {
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
  EXPECT_EQ(WaitCli(runs[0]), 0);
  EXPECT_EQ(WaitCli(runs[1]), 0);
  EXPECT_GT(first.size(), 1u << 20);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, RunCli({"kwic", "long.txt", "--keys", "the"}, folder).out);
  EXPECT_TRUE(std::filesystem::is_empty(folder.File("scratch")));  // each run removed its folder
}

TEST(Processes, AClosedStreamFailsTheRunAndNoFileTakesItsPlace) {
  TempFolder folder;
  folder.Write("pets.txt", "the cat\r\nthe dog\r\n");
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1}};  // descriptor closed, exit status
  for (const auto& [closed, exit] : cases) {
    const CliRun run = RunCli({"kwic", "pets.txt", "--keys", "the"}, folder, [closed = closed] { ::close(closed); });
    EXPECT_EQ(run.exit, exit) << "descriptor " << closed;
    if (closed == 1) {
      EXPECT_EQ(run.err, " 1 key, 2 citations\nCould not write the output: Bad file descriptor.\n");
    } else {
      EXPECT_EQ(run.out.substr(0, 4), "the\r");
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
      const CliRun run = RunCli(command.args, folder, [megabytes] {
        const rlimit limit{megabytes << 20, megabytes << 20};
        ::setrlimit(RLIMIT_AS, &limit);
      });
      if (run.exit == 127 && run.err.find("error while loading shared libraries") != std::string::npos) continue;
      ASSERT_TRUE(run.exit == 0 || run.exit == 1) << megabytes << " MB: exit " << run.exit << "\n" << run.err;
      if (run.exit == 1) {
        EXPECT_TRUE(run.err.ends_with(command.message) || run.err == "Not enough memory to start.\n") << run.err;
        EXPECT_EQ(run.out, "") << megabytes << " MB";
        EXPECT_EQ(ReadFile(folder.File("long.wlm")), project) << megabytes << " MB";
        ranOutOfMemory = ranOutOfMemory || run.err.ends_with(command.message);
      } else {
        worked = true;
        if (command.args[0] == "kwic") { EXPECT_EQ(run.out, expected); }
      }
    }
    EXPECT_TRUE(ranOutOfMemory) << command.args[0];
    EXPECT_TRUE(worked) << command.args[0];
  }
}

}  // namespace
}  // namespace wordloom::cli
