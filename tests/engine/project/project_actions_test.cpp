// Saving a project (refusals and failures), the project dialogs' OK in its three steps, and
// opening a text file as a new project.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_support.h"
#include "project/project_actions.h"
#include "scan/status_texts.h"

namespace wordloom {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::TempScratch;

// A refused save writes nothing and keeps the file name, but leaves the tables built from the rules.
TEST(SaveProject, RefusedSaveLeavesTablesBuiltAndTargetUntouched) {
  TempFolder folder;
  const std::string path = folder.Write("old.wlm", "previous");
  for (const auto& [title, message] : {std::pair<std::string, std::string>{"   ", "Please Supply a Title"},
                                       {"Harbour", "No files in the project"}}) {
    Session s;
    s.project.Title = title;
    s.project.FileName = "/before.wlm";
    s.project.rules = {"xyz", "+", "|", "y", ReferenceType::None, "<", ">"};
    EXPECT_EQ(SaveProject(s, path).message(), message);
    EXPECT_EQ(s.tables.CollationTable, BuildCharTables(s.project.rules).CollationTable);
    EXPECT_EQ(s.tables.CharClassTable, BuildCharTables(s.project.rules).CharClassTable);
    EXPECT_EQ(ReadFile(path) + s.project.FileName, "previous/before.wlm");
  }
}

// A save that the system cuts short part way (here at a file-size limit, in a child process so
// that the limit stays there) is reported and leaves the previous file byte for byte.
TEST(SaveProject, AWriteCutShortKeepsThePreviousFileByteForByte) {
  TempFolder folder;
  const std::string path = folder.File("big.wlm");
  Session s;
  s.project.Files = {"/texts/a.txt"};
  ASSERT_TRUE(SaveProject(s, path).ok());
  const std::string before = ReadFile(path);
  for (int i = 0; i < 20000; ++i) s.lists.Vocabulary.push_back({"word" + std::to_string(i), i % 7 + 1});
  const std::string message = test::InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return SaveProject(s, path).message();
  });
  EXPECT_EQ(message, "Could not save the project to " + path + ": File too large.");
  EXPECT_EQ(ReadFile(path), before);
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename(), "big.wlm") << "a temporary file was left";
  }
}

// What the dialogs' OK may change in a session, as one text.
std::string Snapshot(const Session& s) {
  std::string text = s.project.Title + "|" + s.project.FileName + "|" + std::to_string(s.project.Files.size()) + "|" +
                     s.project.rules.alphabet + "|" + std::to_string(s.tables.CollationTable['z']) + "|" +
                     ProjectCountsText(1, s.totals) + "|" + ReferenceLetterBoxText(s.scan.references) + "|" +
                     std::to_string(s.scan.state.physicalLineTotal) + "|" + s.scan.ErrorReportText + "|" +
                     std::to_string(s.lists.KeyWords.size() + s.lists.KeyWordsList.size() + s.lists.AllWordsList.size());
  for (const Entry& entry : s.lists.Vocabulary) text += "," + entry.word + " " + std::to_string(entry.count);
  return text;
}

// The three steps of a dialog's OK give what the OK gives; a refused title or a failed scan
// leaves the session as it was, but for the tables a refused Edit Project OK rebuilds.
TEST(ProjectDialogOk, PrepareScanAndCommitMakeTheProjectCurrentOrChangeNothing) {
  TempScratch temp;
  ScratchFolder unusable;
  Session base;
  base.scan.ErrorReportText = "earlier\r\n";
  Project created = base.newProject;
  created.Title = "Harbour";
  created.Files = {temp.folder.Write("a.txt", "the <A x> tide\r\nthe <Bsea>\r\n"), temp.folder.File("missing.txt")};
  created.rules.referenceType = ReferenceType::Type1;
  created.rules.alphabet = "zyxwvutsrqponmlkjihgfedcba";

  Session composed = base;
  ASSERT_TRUE(AcceptNewProject(composed, created, temp.scratch).ok());
  Session stepped = base;
  ProjectCandidate candidate;
  ASSERT_TRUE(PrepareNewProject(stepped, created, candidate).ok());
  ScanOutcome outcome;
  ASSERT_TRUE(ScanCandidate(stepped, candidate, temp.scratch, outcome).ok());
  EXPECT_EQ(Snapshot(stepped), Snapshot(base));
  CommitProject(stepped, std::move(candidate), &outcome);
  EXPECT_EQ(Snapshot(stepped), Snapshot(composed));
  EXPECT_EQ(composed.lists.Vocabulary, (EntryList{{"tide", 1}, {"the", 2}}));
  EXPECT_EQ(ReferenceLetterBoxText(composed.scan.references), "ABL");
  EXPECT_EQ(composed.scan.ErrorReportText.find("earlier\r\nFILE: " + temp.folder.File("a.txt")), 0u);

  const std::string before = Snapshot(composed);
  EXPECT_FALSE(AcceptEditProject(composed, unusable).ok());
  EXPECT_EQ(Snapshot(composed), before);
  created.Title = "  ";
  EXPECT_EQ(AcceptNewProject(composed, created, temp.scratch).message(), "Please Supply a Title");
  EXPECT_EQ(Snapshot(composed), before);
  composed.project.Title = " ";
  composed.project.rules.alphabet = "abc";
  EXPECT_EQ(AcceptEditProject(composed, temp.scratch).message(), "Please Supply a Title");
  EXPECT_EQ(composed.tables.CollationTable['z'], 0);
}

// A text file opened as a new project: named after the file up to its first full stop, with
// the letter flags and the Error Report cleared; ".TXT" opens as text but keeps its name.
TEST(OpenTextFile, StartsANewProjectNamedAfterTheFile) {
  Session session;
  session.newProject.PrefixPattern = "pre";
  session.project.SuffixPattern = "current";
  session.scan.references.ReferenceLetterUsed[3] = 1;
  session.scan.ErrorReportText = "old\r\n";
  session.newProject.rules.alphabet = "abc";
  Project created = NewProjectFromTextFile(session, "/texts/Hamlet.act1.TXT", "/home");
  EXPECT_EQ(created.Files, std::vector<std::string>{"/texts/Hamlet.act1.TXT"});
  EXPECT_EQ(created.Title + created.FileName + created.rules.alphabet, "HamletHamlet" + ScanRules{}.alphabet);
  // The New Project dialog keeps its patterns.
  EXPECT_EQ(created.PrefixPattern + created.SuffixPattern, "pre");
  EXPECT_EQ(ReferenceLetterBoxText(session.scan.references) + session.scan.ErrorReportText, "");

  EXPECT_TRUE(OpensAsTextFile("/texts/Hamlet.act1.TXT") && !OpensAsTextFile("/texts/play.wlm"));
  EXPECT_EQ(StatusPathAfterOpen("/texts/play.txt") + StatusPathAfterOpen("/a.TXT"), "/texts/play.wlm/a.TXT");
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
