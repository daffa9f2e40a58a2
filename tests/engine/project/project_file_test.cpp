// The project file: its record layout, writing and reading back, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "project/project_actions.h"
#include "project/project_file.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// 1-based line numbers of the records of a project with `files` text files.
constexpr int kFirstCellLine(int files) { return 33 + files; }
constexpr int kFirstTableLine(int files) { return kFirstCellLine(files) + 81; }
constexpr int kFirstSentinelLine(int files) { return kFirstTableLine(files) + 257; }

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::string Join(const std::vector<std::string>& lines, size_t count) {
  std::string bytes;
  for (size_t i = 0; i < count && i < lines.size(); ++i) bytes += lines[i] + "\r\n";
  return bytes;
}

// Everything of the session that the project file holds, the date and time of saving aside.
std::string Snapshot(const Session& session, const TempFolder& folder) {
  std::string path = folder.File("snapshot.wlm");
  EXPECT_TRUE(WriteProjectFile(session, path).ok());
  std::vector<std::string> lines = Lines(ReadFile(path));
  lines[2] = lines[3] = "";
  return session.project.FileName + "\n" + Join(lines, lines.size());
}

// A session unlike the defaults in every field the file stores.
Session RichSession() {
  Session s;
  Project& p = s.project;
  p.Title = "Harbour \"North\", 1998";
  p.Files = {"/texts/harbour.txt", "/texts/lanterns.txt"};
  p.SaveVocabulary = 0;
  p.scope = VocabularyScope::Matches;
  p.PrefixPattern = "pre";
  p.SuffixPattern = "ing";
  p.AnywherePattern = "\"q\"";
  p.rules = {"zyxabc-'", "+", "|", "-", ReferenceType::Type1, "[", "]"};
  p.font = {true, false, "Times New Roman", 10, true, false, 700};
  s.referenceLetters.SetCell(3, 1, "Third");
  s.referenceLetters.SetCell(1, 2, "first, \"the\" letter");
  s.lists.Vocabulary = {{"zyx", 5}, {"a\"b", 2}, {"c-a", 1}};
  s.scan.references.ReferenceLetterUsed[1] = 1;
  s.scan.references.ReferenceLetterUsed[3] = 2;
  s.scan.state.logicalLineTotal = 11;
  s.scan.state.physicalLineTotal = 13;
  s.totals.tokenCount = 40;
  s.totals.longestWord = 5;
  return s;
}

TEST(ProjectFileLayout, ThreeFilesAndNoVocabularyGiveTheDocumentedRecords) {
  TempFolder folder;
  Session s;
  s.project.Title = "Three";
  s.project.Files = {"/texts/a.txt", "/texts/b.txt", "/texts/c.txt"};
  s.scan.state.logicalLineTotal = 7;
  s.scan.state.physicalLineTotal = 9;
  s.totals.tokenCount = 40;
  s.totals.longestWord = 6;
  std::string path = folder.File("three.wlm");
  ASSERT_TRUE(SaveProject(s, path).ok());
  std::string bytes = ReadFile(path);
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  std::vector<std::string> lines = Lines(bytes);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), static_cast<long>(lines.size()));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), static_cast<long>(lines.size()));

  std::vector<std::string> expected = {
      "\"wlm30\"", "\"Three\"", "date", "time", "1", "#TRUE#", "#FALSE#", "#FALSE#", "\"\"", "\"\"", "\"\"", "3",
      "\"/texts/a.txt\"", "\"/texts/b.txt\"", "\"/texts/c.txt\"", "7", "9", "40", "0", "6", "\"/\"", "#FALSE#",
      "#FALSE#", "\"Courier New\"", "8.25", "#FALSE#", "#FALSE#", "400",
      "\"abcdefghijklmnopqrstuvwxyz'-0123456789\"", "#TRUE#", "#FALSE#", "\"<\"", "\">\"", "27", "3"};
  for (const char* header : {"Letter", "Value", "Comment"}) expected.push_back(std::string("\"") + header + "\"");
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    expected.insert(expected.end(), {std::string("\"") + letter + "\"", "\"\"", "\"\""});
  }
  for (int code = 0; code < 257; ++code) {
    int order = 0, charClass = 0;
    if (code >= 'a' && code <= 'z') order = code - 'a' + 2, charClass = 2;
    if (code >= '0' && code <= '9') order = code - '0' + 30, charClass = 2;
    if (code == '\'') order = 28, charClass = 2;
    if (code == '-') order = 29, charClass = 2;
    if (code == '/') charClass = 7;
    expected.push_back(std::to_string(order) + "," + std::to_string(charClass));
  }
  expected.insert(expected.end(), {"12345", "0"});
  expected.insert(expected.end(), 26, "0");
  expected.push_back("12345");

  ASSERT_EQ(lines.size(), expected.size());
  EXPECT_TRUE(std::regex_match(lines[2], std::regex("#[0-9]{4}-[0-9]{2}-[0-9]{2}#"))) << lines[2];
  EXPECT_TRUE(std::regex_match(lines[3], std::regex("#[0-2][0-9]:[0-5][0-9]:[0-5][0-9]#"))) << lines[3];
  for (size_t i = 4; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  EXPECT_EQ(lines[0], expected[0]);
  EXPECT_EQ(lines[1], expected[1]);
  EXPECT_EQ(lines[kFirstTableLine(3) - 1 + 'a'], "2,2");
  EXPECT_EQ(lines[kFirstTableLine(3) - 1 + '9'], "39,2");
}

TEST(ProjectFileLayout, ValueOfLetterCIsTheEleventhCellLine) {
  TempFolder folder;
  Session s;
  s.project.Files = {"/texts/a.txt"};
  s.referenceLetters.SetCell(3, 1, "Third");
  ASSERT_TRUE(SaveProject(s, folder.File("p.wlm")).ok());
  std::vector<std::string> lines = Lines(ReadFile(folder.File("p.wlm")));
  EXPECT_EQ(lines[kFirstCellLine(1) - 2], "3");
  EXPECT_EQ(lines[kFirstCellLine(1) - 1 + 10], "\"Third\"");
  EXPECT_EQ(lines[kFirstCellLine(1) - 1 + 9], "\"C\"");
}

TEST(ProjectFileRoundTrip, ReopeningGivesBackTheSavedSession) {
  TempFolder folder;
  Session saved = RichSession();
  std::string path = folder.File("rich.wlm");
  ASSERT_TRUE(SaveProject(saved, path).ok());
  EXPECT_NE(ReadFile(path).find("\r\n\"Harbour \"\"North\"\", 1998\"\r\n"), std::string::npos);

  Session s;
  s.lists.KeyWords = {{"stale", 1}};
  ProjectFileReport report = OpenProject(s, path, "/program", "/current");
  ASSERT_TRUE(report.status.ok()) << report.status.message();
  EXPECT_TRUE(report.messages.empty());

  const Project& p = s.project;
  EXPECT_EQ(p.Title, saved.project.Title);
  EXPECT_EQ(p.FileName, path);
  EXPECT_EQ(p.Files, saved.project.Files);
  EXPECT_EQ(p.SaveVocabulary, 0);
  EXPECT_EQ(p.scope, VocabularyScope::Matches);
  EXPECT_EQ(p.PrefixPattern, "pre");
  EXPECT_EQ(p.SuffixPattern, "ing");
  EXPECT_EQ(p.AnywherePattern, "\"q\"");
  const ScanRules& r = p.rules;
  EXPECT_EQ(r.alphabet, "zyxabc-'");
  EXPECT_EQ(r.join, "+");
  EXPECT_EQ(r.endOfLine, "|");
  EXPECT_EQ(r.endHyphen, "-");
  EXPECT_EQ(r.referenceType, ReferenceType::Type1);
  EXPECT_EQ(r.leftReference, "[");
  EXPECT_EQ(r.rightReference, "]");
  EXPECT_TRUE(p.font.bold);
  EXPECT_FALSE(p.font.italic);
  EXPECT_EQ(p.font.name, "Times New Roman");
  EXPECT_EQ(p.font.size, 10);
  EXPECT_TRUE(p.font.strikethrough);
  EXPECT_FALSE(p.font.underline);
  EXPECT_EQ(p.font.weight, 700);

  CharTables built = BuildCharTables(saved.project.rules);
  for (int code = 0; code < kTableSize; ++code) {
    EXPECT_EQ(s.tables.CollationTable[code], built.CollationTable[code]) << code;
    EXPECT_EQ(s.tables.CharClassTable[code], built.CharClassTable[code] % 10) << code;
  }
  for (int row = 0; row < ReferenceLetters::kRows; ++row) {
    for (int column = 0; column < ReferenceLetters::kColumns; ++column) {
      EXPECT_EQ(s.referenceLetters.Cell(row, column), saved.referenceLetters.Cell(row, column)) << row << "," << column;
    }
  }
  EXPECT_EQ(s.lists.Vocabulary, saved.lists.Vocabulary);
  EXPECT_EQ(s.lists.KeyWords, saved.lists.Vocabulary);
  EXPECT_EQ(s.lists.KeyWordsList, saved.lists.Vocabulary);
  EXPECT_EQ(s.lists.AllWordsList, saved.lists.Vocabulary);
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    int64_t expected = letter == 1 ? 1 : letter == 3 ? 2 : letter == 12 ? 1 : 0;  // opening marks L used
    EXPECT_EQ(s.scan.references.ReferenceLetterUsed[letter], expected) << letter;
  }
  EXPECT_EQ(s.scan.state.logicalLineTotal, 11);
  EXPECT_EQ(s.scan.state.physicalLineTotal, 13);
  EXPECT_EQ(s.totals.linesShown, 13);
  EXPECT_EQ(s.totals.tokenCount, 40);
  EXPECT_EQ(s.totals.vocabularySize, 3);
  EXPECT_EQ(s.totals.longestWord, 5);
}

// The join, end-of-line and end-hyphen characters come back from the class column only.
struct RulesCase {
  const char* name;
  std::string alphabet, join, endOfLine, endHyphen;
  int code;                // a character whose table line is checked
  std::string line;        // its "order,class" line in the file
  int16_t classReopened;   // its class after reopening
  std::string join2, endOfLine2, endHyphen2;  // the rules after reopening
};

class ProjectFileRules : public testing::TestWithParam<RulesCase> {};

TEST_P(ProjectFileRules, AreRecoveredFromTheClassColumn) {
  const RulesCase& c = GetParam();
  TempFolder folder;
  Session saved;
  saved.project.Files = {"/texts/a.txt"};
  saved.project.rules.alphabet = c.alphabet;
  saved.project.rules.join = c.join;
  saved.project.rules.endOfLine = c.endOfLine;
  saved.project.rules.endHyphen = c.endHyphen;
  std::string path = folder.File("rules.wlm");
  ASSERT_TRUE(SaveProject(saved, path).ok());
  EXPECT_EQ(Lines(ReadFile(path))[kFirstTableLine(1) - 1 + c.code], c.line);

  Session s;
  ASSERT_TRUE(OpenProject(s, path, "/program", "/current").status.ok());
  EXPECT_EQ(s.tables.CharClassTable[c.code], c.classReopened);
  EXPECT_EQ(s.project.rules.join, c.join2);
  EXPECT_EQ(s.project.rules.endOfLine, c.endOfLine2);
  EXPECT_EQ(s.project.rules.endHyphen, c.endHyphen2);
}

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz'-0123456789";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProjectFileRules,
    testing::Values(RulesCase{"HyphenInAlphabet", kAlphabet, "", "/", "-", '-', "29,12", 2, "", "/", "-"},
                    RulesCase{"HyphenOutsideAlphabet", "abc", "", "/", "=", '=', "0,10", 0, "", "/", "="},
                    RulesCase{"TwoJoinsKeepTheHigherCode", kAlphabet, "+&", "/", "", '&', "0,6", 6, "+", "/", ""},
                    RulesCase{"TwoEndsOfLineKeepTheHigherCode", kAlphabet, "", "/|", "", '|', "0,7", 7, "", "|", ""},
                    RulesCase{"JoinOverridesAlphabet", kAlphabet, "'", "/", "", '\'', "0,6", 6, "'", "/", ""},
                    RulesCase{"NoEndOfLine", kAlphabet, "", "", "", '/', "0,0", 0, "", "", ""},
                    RulesCase{"HyphenOnJoinIsAHyphenOnly", kAlphabet, "+", "/", "+", '+', "0,16", 6, "", "/", "+"}),
    [](const testing::TestParamInfo<RulesCase>& info) { return std::string(info.param.name); });

TEST(ProjectFileRead, RelativeTextPathsLieInTheProgramFolder) {
  struct Case {
    std::string programFolder, stored, expected;
  };
  const Case cases[] = {
      {"/opt/wl", "texts/a.txt", "/opt/wl/texts/a.txt"},
      {"/opt/wl/", "texts/a.txt", "/opt/wl/texts/a.txt"},
      {"/opt/wl", "../a.txt", "/opt/wl/../a.txt"},
      {"/opt/wl", "/abs/a.txt", "/abs/a.txt"},
      {"/", "a.txt", "/a.txt"},
  };
  TempFolder folder;
  Session saved;
  saved.project.Files = {"/placeholder"};
  std::string path = folder.File("rel.wlm");
  ASSERT_TRUE(SaveProject(saved, path).ok());
  std::vector<std::string> lines = Lines(ReadFile(path));
  for (const Case& c : cases) {
    lines[12] = "\"" + c.stored + "\"";
    WriteFile(path, Join(lines, lines.size()));
    Session s;
    ProjectFileReport report = OpenProject(s, path, c.programFolder, "/current");
    ASSERT_TRUE(report.status.ok());
    EXPECT_EQ(s.project.Files, std::vector<std::string>{c.expected}) << c.programFolder << " + " << c.stored;
    EXPECT_TRUE(report.messages.empty());
  }
}

TEST(ProjectFileRead, ClassAtCode256SetsNoRule) {
  TempFolder folder;
  Session saved;
  saved.project.Files = {"/texts/a.txt"};
  std::string path = folder.File("p.wlm");
  ASSERT_TRUE(SaveProject(saved, path).ok());
  std::vector<std::string> lines = Lines(ReadFile(path));
  lines[kFirstTableLine(1) - 1 + 256] = "5,6";
  WriteFile(path, Join(lines, lines.size()));
  Session s;
  ASSERT_TRUE(OpenProject(s, path, "/program", "/current").status.ok());
  EXPECT_EQ(s.tables.CollationTable[256], 5);
  EXPECT_EQ(s.tables.CharClassTable[256], 6);
  EXPECT_EQ(s.project.rules.join, "");
}

TEST(ProjectFileRead, ForeignOrMissingFileChangesNothing) {
  TempFolder folder;
  const std::string foreign[] = {"", "\"WLM30\"\r\n", "\"wlm30 \"\r\n", "\"wlm3\"\r\n\"Title\"\r\n", "hello, world\n"};
  Session s = RichSession();
  s.project.FileName = "/before.wlm";
  const std::string before = Snapshot(s, folder);
  for (const std::string& bytes : foreign) {
    std::string path = folder.Write("foreign.wlm", bytes);
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    EXPECT_FALSE(report.status.ok()) << bytes;
    EXPECT_EQ(report.status.message(), path + " is not a Wordloom project file.");
    EXPECT_EQ(Snapshot(s, folder), before) << bytes;
  }
  std::string missing = folder.File("missing.wlm");
  ProjectFileReport report = OpenProject(s, missing, "/program", "/current");
  EXPECT_FALSE(report.status.ok());
  EXPECT_NE(report.status.message().find(missing), std::string::npos) << report.status.message();
  EXPECT_EQ(Snapshot(s, folder), before);
}

// A valid file of two text files and a two-word vocabulary, as lines.
std::vector<std::string> ValidFileLines(const TempFolder& folder) {
  Session s;
  s.project.Files = {"/texts/a.txt", "/texts/b.txt"};
  s.lists.Vocabulary = {{"cat", 3}, {"dog", 1}};
  s.scan.references.ReferenceLetterUsed[2] = 1;
  std::string path = folder.File("valid.wlm");
  EXPECT_TRUE(SaveProject(s, path).ok());
  return Lines(ReadFile(path));
}

TEST(ProjectFileDamaged, TruncatedAtAnyPointOpensWithSentinelMessages) {
  TempFolder folder;
  std::vector<std::string> lines = ValidFileLines(folder);
  const size_t first = kFirstSentinelLine(2), second = lines.size();
  ASSERT_EQ(lines[first - 1], "12345");
  ASSERT_EQ(second, first + 1 + 2 + 26 + 1);
  std::string path = folder.File("cut.wlm");
  for (size_t kept = 1; kept <= lines.size(); ++kept) {
    for (bool halfLine : {false, true}) {
      std::string bytes = Join(lines, kept - 1);
      const std::string& last = lines[kept - 1];
      bytes += halfLine ? last.substr(0, last.size() / 2) : last + "\r\n";
      WriteFile(path, bytes);
      Session s;
      ProjectFileReport report = OpenProject(s, path, "/program", "/current");
      if (kept == 1 && halfLine) {
        EXPECT_FALSE(report.status.ok());
        continue;
      }
      ASSERT_TRUE(report.status.ok()) << "after line " << kept;
      size_t faults = kept < first || (kept == first && halfLine) ? 2 : kept < second || halfLine ? 1 : 0;
      EXPECT_EQ(report.messages, std::vector<std::string>(faults, "Unknown fault with " + path))
          << "cut in line " << kept << (halfLine ? " (half)" : "");
    }
  }
}

TEST(ProjectFileDamaged, TruncatedFileKeepsEarlierValuesOfUnreadFields) {
  TempFolder folder;
  std::vector<std::string> lines = ValidFileLines(folder);
  std::string path = folder.Write("cut.wlm", Join(lines, 19));  // up to the longest word
  Session s;
  s.project.font.name = "Arial";
  s.referenceLetters.SetCell(3, 1, "Third");
  s.scan.references.ReferenceLetterUsed[4] = 1;
  s.lists.Vocabulary = {{"old", 1}};
  s.lists.CopyVocabularyToAll();
  ProjectFileReport report = OpenProject(s, path, "/program", "/current");
  ASSERT_TRUE(report.status.ok());
  EXPECT_EQ(report.messages.size(), 2u);
  EXPECT_EQ(s.project.Files, (std::vector<std::string>{"/texts/a.txt", "/texts/b.txt"}));
  EXPECT_EQ(s.project.font.name, "Arial");
  EXPECT_EQ(s.referenceLetters.Cell(3, 1), "Third");
  EXPECT_EQ(s.scan.references.ReferenceLetterUsed[4], 1);
  EXPECT_EQ(s.scan.references.ReferenceLetterUsed[12], 1);
  EXPECT_TRUE(s.lists.Vocabulary.empty()) << "the lists are emptied before the vocabulary is read";
  EXPECT_TRUE(s.lists.KeyWords.empty());
  EXPECT_EQ(s.totals.vocabularySize, 0);
}

TEST(ProjectFileDamaged, GarbageInAnyNumericFieldOpensWithoutCrash) {
  TempFolder folder;
  std::vector<std::string> lines = ValidFileLines(folder);
  const std::regex numeric("-?[0-9][0-9.]*(,.*)?");
  std::string path = folder.File("garbled.wlm");
  int garbled = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (!std::regex_match(lines[i], numeric)) continue;
    std::vector<std::string> copy = lines;
    size_t comma = copy[i].find(',');
    copy[i] = "x1" + (comma == std::string::npos ? "" : copy[i].substr(comma));
    WriteFile(path, Join(copy, copy.size()));
    Session s;
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    ASSERT_TRUE(report.status.ok()) << "line " << i + 1;
    EXPECT_LE(report.messages.size(), 2u);
    ++garbled;
  }
  EXPECT_GT(garbled, 257 + 26);
}

TEST(ProjectFileDamaged, GarbledFieldKeepsItsEarlierValue) {
  TempFolder folder;
  std::vector<std::string> lines = ValidFileLines(folder);
  const int table = kFirstTableLine(2), sentinel = kFirstSentinelLine(2);
  struct Case {
    int line;
    size_t faults;
    std::function<void(const Session&)> check;
  };
  const Case cases[] = {
      {15, 0, [](const Session& s) { EXPECT_EQ(s.scan.state.logicalLineTotal, 999); }},
      {16, 0, [](const Session& s) { EXPECT_EQ(s.totals.linesShown, 998); }},
      {24, 0, [](const Session& s) { EXPECT_EQ(s.project.font.size, 12.5); }},
      {27, 0, [](const Session& s) { EXPECT_EQ(s.project.font.weight, 700); }},
      {table + 'a', 0, [](const Session& s) { EXPECT_EQ(s.tables.CollationTable['a'], 77); }},
      {sentinel, 1, [](const Session& s) { EXPECT_EQ(s.lists.Vocabulary.size(), 2u); }},
      {sentinel + 3, 0,  // dog's frequency: the one read before it stays
       [](const Session& s) { EXPECT_EQ(s.lists.Vocabulary, (EntryList{{"cat", 3}, {"dog", 3}})); }},
      {sentinel + 5, 0, [](const Session& s) { EXPECT_EQ(s.scan.references.ReferenceLetterUsed[2], 5); }},
      {static_cast<int>(lines.size()), 1, [](const Session& s) { EXPECT_EQ(s.project.Files.size(), 2u); }},
  };
  std::string path = folder.File("garbled.wlm");
  for (const Case& c : cases) {
    SCOPED_TRACE("line " + std::to_string(c.line));
    std::vector<std::string> copy = lines;
    size_t comma = copy[c.line - 1].find(',');
    copy[c.line - 1] = "x1" + (comma == std::string::npos ? "" : copy[c.line - 1].substr(comma));
    WriteFile(path, Join(copy, copy.size()));
    Session s;
    s.scan.state.logicalLineTotal = 999;
    s.scan.state.physicalLineTotal = s.totals.linesShown = 998;
    s.project.font.size = 12.5;
    s.project.font.weight = 700;
    s.tables.CollationTable['a'] = 77;
    s.scan.references.ReferenceLetterUsed[2] = 5;
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    ASSERT_TRUE(report.status.ok());
    EXPECT_EQ(report.messages.size(), c.faults);
    c.check(s);
  }
}

}  // namespace
}  // namespace wordloom
