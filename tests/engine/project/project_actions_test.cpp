// Saving, new projects from a text file, and the OK of the project dialogs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "project/project_actions.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::ReadFile;
using test::TempFolder;

ScanRules OddRules() { return {"xyz", "+", "|", "y", ReferenceType::None, "<", ">"}; }

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
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE("title \"" + c.title + "\"");
    std::string path = folder.Write("old.wlm", "previous\r\nbytes");
    Session s;
    s.project.Title = c.title;
    s.project.Files = c.files;
    s.project.FileName = "/before.wlm";
    s.project.rules = OddRules();
    s.tables.CharClassTable.fill(3);
    Status status = SaveProject(s, path);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), c.message);
    CharTables built = BuildCharTables(OddRules());
    EXPECT_EQ(s.tables.CharClassTable, built.CharClassTable);
    EXPECT_EQ(s.tables.CollationTable, built.CollationTable);
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
  std::filesystem::create_directory(folder.File("taken.wlm"));
  const std::string missingFolder = folder.File("nowhere/p.wlm");
  const std::string folderTarget = folder.File("taken.wlm");

  Session s = SavableSession();
  Status status = SaveProject(s, missingFolder);
  EXPECT_EQ(status.message(), "Could not save the project to " + missingFolder + ": No such file or directory.");

  status = SaveProject(s, folderTarget);
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message().rfind("Could not save the project to " + folderTarget + ": ", 0), 0u)
      << status.message();
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename(), "taken.wlm");
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(SaveProject, UnwritableFolderKeepsThePreviousFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  TempFolder folder;
  std::string path = folder.Write("p.wlm", "previous\r\n");
  ASSERT_EQ(::chmod(folder.path().c_str(), 0500), 0);
  Session s = SavableSession();
  Status status = SaveProject(s, path);
  ::chmod(folder.path().c_str(), 0700);
  EXPECT_EQ(status.message(), "Could not save the project to " + path + ": Permission denied.");
  EXPECT_EQ(ReadFile(path), "previous\r\n");
}

TEST(SaveProject, ReplacesALongerFileAndTakesItsPath) {
  TempFolder folder;
  std::string path = folder.Write("p.wlm", std::string(100000, 'x'));
  Session s = SavableSession();
  s.lists.Vocabulary = {{"cat", 2}};
  s.totals.vocabularySize = 7;
  ASSERT_TRUE(SaveProject(s, path).ok());
  std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.rfind("\"wlm30\"\r\n", 0), 0u);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), "\r\n12345\r\n");
  EXPECT_EQ(bytes.find('x'), std::string::npos);
  EXPECT_EQ(s.project.FileName, path);
  EXPECT_EQ(s.totals.vocabularySize, 1);
}

TEST(ProjectDefaults, ResetKeepsScopePatternsAndFont) {
  Project p;
  p.Title = "Old";
  p.Files = {"/a"};
  p.scope = VocabularyScope::None;
  p.PrefixPattern = "pre";
  p.font.name = "Arial";
  p.rules = OddRules();
  p.SaveVocabulary = 0;
  for (const char* folder : {"/work", "/work/"}) {
    ResetToNewProjectDefaults(p, folder);
    EXPECT_EQ(p.FileName, "/work/Project1");
    EXPECT_EQ(p.Title, "Project1");
    EXPECT_TRUE(p.Files.empty());
    EXPECT_EQ(p.SaveVocabulary, 1);
    EXPECT_EQ(p.rules.alphabet, "abcdefghijklmnopqrstuvwxyz'-0123456789");
    EXPECT_EQ(p.rules.endOfLine, "/");
    EXPECT_EQ(p.rules.join, "");
    EXPECT_EQ(p.scope, VocabularyScope::None);
    EXPECT_EQ(p.PrefixPattern, "pre");
    EXPECT_EQ(p.font.name, "Arial");
  }
  EXPECT_TRUE(p.AddFile("/work/a.txt"));
  EXPECT_FALSE(p.AddFile("/work/a.txt"));
  EXPECT_TRUE(p.AddFile("/work/A.txt"));
  EXPECT_EQ(p.Files.size(), 2u);
}

TEST(ProjectDefaults, BlankTitleIsOnlySpaces) {
  EXPECT_TRUE(IsBlankTitle(""));
  EXPECT_TRUE(IsBlankTitle("    "));
  EXPECT_FALSE(IsBlankTitle("  a  "));
  EXPECT_FALSE(IsBlankTitle("\t"));
}

TEST(OpenTextFile, NewProjectIsNamedAfterTheFileUpToItsFirstDot) {
  struct Case {
    std::string path, name;
  };
  const Case cases[] = {
      {"/texts/Harbour.Notes.TXT", "Harbour"},
      {"/texts/orchard.txt", "orchard"},
      {"/texts/README", "README"},
      {"/te.xts/plain", "plain"},
  };
  for (const Case& c : cases) {
    Session s;
    s.project.Title = "Current";
    s.project.scope = VocabularyScope::Matches;
    s.project.font.name = "Arial";
    s.scan.references.ReferenceLetterUsed[5] = 1;
    s.scan.ErrorReportText = "FILE: x\r\n";
    Project created = NewProjectFromTextFile(s, c.path, "/work");
    EXPECT_EQ(created.Title, c.name);
    EXPECT_EQ(created.FileName, c.name);
    EXPECT_EQ(created.Files, std::vector<std::string>{c.path});
    EXPECT_EQ(created.scope, VocabularyScope::Matches);
    EXPECT_EQ(created.font.name, "Arial");
    EXPECT_EQ(s.project.Title, "Current");
    EXPECT_EQ(s.scan.references.ReferenceLetterUsed[5], 0);
    EXPECT_EQ(s.scan.ErrorReportText, "");
  }
}

TEST(OpenTextFile, StatusPathReplacesOnlyAnExactTxtExtension) {
  const std::pair<std::string, std::string> cases[] = {
      {"/a/notes.txt", "/a/notes.wlm"}, {"/a/notes.TXT", "/a/notes.TXT"}, {"/a/notes.wlm", "/a/notes.wlm"},
      {".txt", ".wlm"},                 {"txt", "txt"},                   {"/a/notes.txt.bak", "/a/notes.txt.bak"},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(StatusPathAfterOpen(path), expected) << path;
}

TEST(AcceptProject, NewProjectTakesTheRecordButNotScopePatternsOrFont) {
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  Session s;
  s.project.scope = VocabularyScope::Matches;
  s.project.PrefixPattern = "kept";
  s.project.font.name = "Arial";
  Project created;
  created.Title = "Pets";
  created.FileName = "/work/pets.wlm";
  created.Files = {folder.Write("pets.txt", "the cat\r\nthe dog\r\n")};
  created.rules.join = "+";
  created.scope = VocabularyScope::None;
  created.PrefixPattern = "dropped";
  created.font.name = "Times New Roman";
  ASSERT_TRUE(AcceptNewProject(s, created, scratch).ok());
  EXPECT_EQ(s.project.Title, "Pets");
  EXPECT_EQ(s.project.FileName, "/work/pets.wlm");
  EXPECT_EQ(s.project.Files, created.Files);
  EXPECT_EQ(s.project.rules.join, "+");
  EXPECT_EQ(s.tables.CharClassTable['+'], 6);
  EXPECT_EQ(s.project.scope, VocabularyScope::Matches);
  EXPECT_EQ(s.project.PrefixPattern, "kept");
  EXPECT_EQ(s.project.font.name, "Arial");
  EXPECT_EQ(s.lists.Vocabulary, (EntryList{{"cat", 1}, {"dog", 1}, {"the", 2}}));
  EXPECT_EQ(s.scan.references.ReferenceLetterUsed[12], 1);

  created.Title = " ";
  EXPECT_EQ(AcceptNewProject(s, created, scratch).message(), "Please Supply a Title");
}

TEST(AcceptProject, EditRescansOnlyWhenVocabularyIsSaved) {
  for (int64_t saveVocabulary : {1, 0}) {
    TempFolder folder;
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
    Session s;
    s.project.Title = "Pets";
    s.project.Files = {folder.Write("pets.txt", "the cat\r\n")};
    ASSERT_TRUE(AcceptEditProject(s, scratch).ok());
    ASSERT_EQ(s.lists.Vocabulary.size(), 2u);
    test::WriteFile(s.project.Files[0], "the cat\r\nthe dog sat\r\n");
    s.project.SaveVocabulary = saveVocabulary;
    ASSERT_TRUE(AcceptEditProject(s, scratch).ok());
    EXPECT_EQ(s.lists.Vocabulary.size(), saveVocabulary == 1 ? 4u : 2u) << saveVocabulary;
  }
}

}  // namespace
}  // namespace wordloom
