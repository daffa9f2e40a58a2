// Saving a project (refusals and failures) and opening a text file as a new project.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "project/project_actions.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::ReadFile;
using test::TempFolder;

TEST(SaveProject, RefusedSaveLeavesTablesBuiltAndTargetUntouched) {
  struct Case {
    std::string title;
    std::vector<std::string> files;
    std::string message;
  };
  const Case cases[] = {
      {"", {"/texts/a.txt"}, "Please Supply a Title"},
      {"   ", {"/texts/a.txt"}, "Please Supply a Title"},
      {"   ", {}, "Please Supply a Title"},
      {"Harbour", {}, "No files in the project"},
  };
  const ScanRules rules = {"xyz", "+", "|", "y", ReferenceType::None, "<", ">"};
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE("title \"" + c.title + "\"");
    const std::string path = folder.Write("old.wlm", "previous\r\nbytes");
    Session s;
    s.project.Title = c.title;
    s.project.Files = c.files;
    s.project.FileName = "/before.wlm";
    s.project.rules = rules;
    s.tables.CharClassTable.fill(3);
    EXPECT_EQ(SaveProject(s, path).message(), c.message);
    EXPECT_EQ(s.tables.CharClassTable, BuildCharTables(rules).CharClassTable);
    EXPECT_EQ(s.tables.CollationTable, BuildCharTables(rules).CollationTable);
    EXPECT_EQ(s.tables.CharClassTable['y'], 12);
    EXPECT_EQ(ReadFile(path), "previous\r\nbytes");
    EXPECT_EQ(s.project.FileName, "/before.wlm");
  }
}

Session SavableSession() {
  Session s;
  s.project.Title = "Harbour";
  s.project.Files = {"/texts/a.txt"};
  return s;
}

TEST(SaveProject, FailedWriteNamesThePathAndLeavesNoTemporaryFile) {
  TempFolder folder;
  const std::string missingFolder = folder.File("nowhere/p.wlm");
  const std::string folderTarget = folder.File("taken.wlm");
  std::filesystem::create_directory(folderTarget);
  Session s = SavableSession();
  EXPECT_EQ(SaveProject(s, missingFolder).message(),
            "Could not save the project to " + missingFolder + ": No such file or directory.");
  Status status = SaveProject(s, folderTarget);
  EXPECT_EQ(status.message().rfind("Could not save the project to " + folderTarget + ": ", 0), 0u)
      << status.message();
  EXPECT_EQ(status.message().back(), '.');
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename(), "taken.wlm");
  }
}

// Runs `save` in a child process, as the user nobody when the tests run as root (permissions
// do not stop root), the folder and its files theirs, and returns the message of its status.
std::string SaveInChild(const std::string& folder, const std::function<Status()>& save) {
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0) {
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (::chown(entry.path().c_str(), kNobody, kNobody) != 0) ::_exit(2);
      }
    }
    if (::geteuid() == 0 && (::chown(folder.c_str(), kNobody, kNobody) != 0 || ::setgid(kNobody) != 0 ||
                             ::setuid(kNobody) != 0)) {
      ::_exit(2);
    }
    const Status status = save();
    [[maybe_unused]] ssize_t written = ::write(channel[1], status.message().data(), status.message().size());
    ::_exit(status.ok() ? 0 : 1);
  }
  ::close(channel[1]);
  std::string message;
  char buffer[512];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<size_t>(got));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return message;
}

TEST(SaveProject, UnwritableFolderKeepsThePreviousFile) {
  TempFolder folder;
  const std::string path = folder.Write("p.wlm", "previous\r\n");
  ASSERT_EQ(::chmod(folder.path().c_str(), 0500), 0);
  Session s = SavableSession();
  const std::string message = SaveInChild(folder.path(), [&] { return SaveProject(s, path); });
  ::chmod(folder.path().c_str(), 0700);
  EXPECT_EQ(message, "Could not save the project to " + path + ": Permission denied.");
  EXPECT_EQ(ReadFile(path), "previous\r\n");
}

// A save that the system cuts short part way (here at a file-size limit, in a child process so
// that the limit stays there) is reported and leaves the previous file byte for byte.
TEST(SaveProject, AWriteCutShortKeepsThePreviousFileByteForByte) {
  TempFolder folder;
  const std::string path = folder.File("big.wlm");
  Session s = SavableSession();
  ASSERT_TRUE(SaveProject(s, path).ok());
  const std::string before = ReadFile(path);
  for (int i = 0; i < 20000; ++i) s.lists.Vocabulary.push_back({"word" + std::to_string(i), i % 7 + 1});

  const std::string message = SaveInChild(folder.path(), [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return SaveProject(s, path);
  });
  EXPECT_EQ(message, "Could not save the project to " + path + ": File too large.");
  EXPECT_EQ(ReadFile(path), before);
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename(), "big.wlm") << "a temporary file was left";
  }
}

// A text file opened as a new project: named after the file up to its first full stop, with
// the letter flags and the Error Report cleared; ".TXT" opens as text but keeps its name.
TEST(OpenTextFile, StartsANewProjectNamedAfterTheFile) {
  Session session;
  session.newProject.PrefixPattern = "pre";
  session.project.SuffixPattern = "current";
  session.scan.references.ReferenceLetterUsed[3] = 1;
  session.scan.ErrorReportText = "old\r\n";
  Project created = NewProjectFromTextFile(session, "/texts/Hamlet.act1.TXT", "/home");
  EXPECT_EQ(created.Files, std::vector<std::string>{"/texts/Hamlet.act1.TXT"});
  EXPECT_EQ(created.Title, "Hamlet");
  EXPECT_EQ(created.FileName, "Hamlet");
  EXPECT_EQ(created.PrefixPattern, "pre");  // the New Project dialog keeps its patterns
  EXPECT_EQ(created.SuffixPattern, "");
  EXPECT_EQ(created.rules.alphabet, ScanRules{}.alphabet);
  EXPECT_EQ(session.scan.references.ReferenceLetterUsed[3], 0);
  EXPECT_EQ(session.scan.ErrorReportText, "");

  EXPECT_TRUE(OpensAsTextFile("/texts/Hamlet.act1.TXT"));
  EXPECT_FALSE(OpensAsTextFile("/texts/play.wlm"));
  EXPECT_EQ(StatusPathAfterOpen("/texts/play.txt"), "/texts/play.wlm");
  EXPECT_EQ(StatusPathAfterOpen("/texts/Hamlet.act1.TXT"), "/texts/Hamlet.act1.TXT");
}

// Adding many files at once gives the list and the answers of adding them one by one: order
// kept, each path once (exact comparison), the files already there left alone.
TEST(ProjectFiles, BulkAddEqualsAddingOneByOne) {
  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    Project bulk, single;
    for (int batch = 0; batch < 3; ++batch) {
      std::vector<std::string> paths;
      for (int n = std::uniform_int_distribution<int>(0, 40)(random); n > 0; --n) {
        // Short paths live inside the string, long ones outside it: both must stay found.
        paths.push_back((random() % 2 ? "/t/" : "/a/long/folder/name/for/the/texts/") + std::to_string(random() % 30));
      }
      std::vector<size_t> expected;
      for (size_t i = 0; i < paths.size(); ++i) {
        if (single.AddFile(paths[i])) expected.push_back(i);
      }
      ASSERT_EQ(bulk.AddFiles(paths), expected) << "round " << round;
      ASSERT_EQ(bulk.Files, single.Files) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace wordloom
