// The project file: its record layout, writing and reading back, and damaged files.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "project/project_actions.h"
#include "project/project_file.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::CrLfLines;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// 1-based line numbers of records in a project file of `files` text files.
constexpr size_t FirstCellLine(size_t files) { return 33 + files; }
constexpr size_t FirstTableLine(size_t files) { return FirstCellLine(files) + 81; }
constexpr size_t FirstSentinelLine(size_t files) { return FirstTableLine(files) + 257; }

const std::string kAlphabet = ScanRules{}.alphabet;

std::string Join(const std::vector<std::string>& lines, size_t count) {
  std::string bytes;
  for (size_t i = 0; i < count && i < lines.size(); ++i) bytes += lines[i] + "\r\n";
  return bytes;
}

// The lines `session` saves to (each ended by CR LF), the date and time of saving blanked.
std::vector<std::string> SavedLines(Session session, const std::string& path) {
  EXPECT_TRUE(SaveProject(session, path).ok());
  const std::string bytes = ReadFile(path);
  std::vector<std::string> lines = CrLfLines(bytes);
  EXPECT_EQ(bytes.size(), Join(lines, lines.size()).size()) << "every line, the last included, ends with CR LF";
  const size_t date = lines.at(0) == "\"wlm32\"" ? 9 : 2;  // after the title, which follows the rules "wlm32" adds
  EXPECT_TRUE(std::regex_match(lines.at(date), std::regex("#[0-9]{4}-[0-1][0-9]-[0-3][0-9]#"))) << lines[date];
  EXPECT_TRUE(std::regex_match(lines.at(date + 1), std::regex("#[0-2][0-9]:[0-5][0-9]:[0-5][0-9]#"))) << lines[date + 1];
  lines[date] = lines[date + 1] = "";
  return lines;
}

// The rules a project file keeps, as one comparable value.
auto RuleFields(const ScanRules& r) {
  return std::tie(r.alphabet, r.join, r.endOfLine, r.endHyphen, r.referenceType, r.leftReference, r.rightReference,
                  r.encoding, r.unicodeLetters, r.needLetter, r.language, r.words);
}

ScanRules Rules(std::string alphabet, std::string join, std::string endOfLine, std::string endHyphen) {
  ScanRules rules;
  rules.alphabet = std::move(alphabet), rules.join = std::move(join);
  rules.endOfLine = std::move(endOfLine), rules.endHyphen = std::move(endHyphen);
  return rules;
}

TEST(ProjectFileRoundTrip, ReopeningGivesBackTheSavedSessionInBothLayouts) {
  struct Case {
    const char* name;
    std::function<void(ScanRules&)> change;
    std::vector<std::string> head;  // the records from the first up to the title
  };
  const Case cases[] = {
      {"Windows-1252 at the defaults", [](ScanRules&) {}, {"\"wlm30\""}},
      {"Windows-1252, need letter off as by default", [](ScanRules& r) { r.needLetter = false; }, {"\"wlm30\""}},
      {"Windows-1252 needing a letter", [](ScanRules& r) { r.needLetter = true; },
       {"\"wlm32\"", "\"windows-1252\"", "\"\"", "\"alphabet\"", "#TRUE#", "#TRUE#", "\"+\"", "\"-\""}},
      {"Windows-1252 with a language and Unicode words",
       [](ScanRules& r) { r.language = "de", r.words = WordBoundaries::Unicode, r.unicodeLetters = false; },
       {"\"wlm32\"", "\"windows-1252\"", "\"de\"", "\"unicode\"", "#FALSE#", "#FALSE#", "\"+\"", "\"-\""}},
      {"UTF-8 at the defaults", [](ScanRules& r) { r.encoding = TextEncoding::Utf8; },
       {"\"wlm32\"", "\"utf-8\"", "\"\"", "\"alphabet\"", "#TRUE#", "#TRUE#", "\"+\"", "\"-\""}},
      {"UTF-8 with every rule changed",
       [](ScanRules& r) {
         r.encoding = TextEncoding::Utf8, r.alphabet += "\u00e9\u2019", r.endOfLine = "\u00b6";
         r.join = "\u00ac", r.endHyphen = "\u2010";
         r.language = "sv", r.words = WordBoundaries::Unicode, r.unicodeLetters = false, r.needLetter = false;
       },
       {"\"wlm32\"", "\"utf-8\"", "\"sv\"", "\"unicode\"", "#FALSE#", "#FALSE#", "\"\u00ac\"", "\"\u2010\""}},
  };
  ScanRules utf8;
  utf8.encoding = TextEncoding::Utf8;
  TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session saved;
    Project& p = saved.project;
    p.Title = "Harbour \"North\", 1998";
    p.Files = {"/texts/harbour.txt", "/texts/lanterns.txt"};
    p.SaveVocabulary = VocabularyCheck::Clear;
    p.scope = VocabularyScope::Matches;
    p.PrefixPattern = "pre", p.SuffixPattern = "ing", p.AnywherePattern = "\"q\"";
    p.rules = Rules("zyxabc-'", "+", "|", "-");
    p.rules.referenceType = ReferenceType::Type1, p.rules.leftReference = "[", p.rules.rightReference = "]";
    c.change(p.rules);
    p.font = {true, false, "Times New Roman", 10, true, false, 700};
    saved.referenceLetters.SetCell(3, 1, "Third");
    saved.referenceLetters.SetCell(1, 2, "first, \"the\" letter");
    saved.lists.Vocabulary = {{"zyx", 5}, {"a\"b", 2}, {"c-a", 1}};
    saved.scan.references.ReferenceLetterUsed[1] = 1, saved.scan.references.ReferenceLetterUsed[3] = 2;
    saved.scan.state.logicalLineTotal = 11, saved.scan.state.physicalLineTotal = 13;
    saved.totals.tokenCount = 40, saved.totals.longestWord = 5;
    const std::string path = folder.File("rich.wlm");
    std::vector<std::string> before = SavedLines(saved, path);
    const size_t extra = c.head.size() - 1;  // the records "wlm32" adds
    EXPECT_EQ(std::vector<std::string>(before.begin(), before.begin() + static_cast<long>(c.head.size())), c.head);
    EXPECT_EQ(before[1 + extra], "\"Harbour \"\"North\"\", 1998\"");

    Session s;
    s.lists.Vocabulary = {{"stale", 1}};
    s.lists.KeyWords = EntryView({0});
    s.tables = BuildCharTables(utf8);  // what a project opened before leaves
    s.tables.needLetter = !p.rules.NeedsLetter();
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    ASSERT_TRUE(report.status.ok()) << report.status.message();
    EXPECT_TRUE(report.messages.empty());
    EXPECT_EQ(s.project.FileName, path);
    EXPECT_EQ(s.totals.linesShown, 13);
    EXPECT_EQ(s.totals.vocabularySize, 3);
    EXPECT_EQ(s.lists.Vocabulary, saved.lists.Vocabulary);
    EXPECT_EQ(s.lists.Entries(s.lists.KeyWords), saved.lists.Vocabulary);
    EXPECT_EQ(s.lists.Entries(s.lists.AllWordsList), saved.lists.Vocabulary);
    ScanRules expected = p.rules;
    if (expected.needLetter == (expected.encoding == TextEncoding::Utf8)) expected.needLetter.reset();  // the default
    EXPECT_TRUE(RuleFields(s.project.rules) == RuleFields(expected));
    const CharTables built = BuildCharTables(p.rules);
    for (int code = 0; code < kTableSize; ++code) {
      EXPECT_EQ(s.tables.CollationTable[code], built.CollationTable[code]) << code;
      EXPECT_EQ(s.tables.CharClassTable[code] % 10, built.CharClassTable[code] % 10) << code;
    }
    EXPECT_EQ(s.tables.unicode != nullptr, p.rules.encoding == TextEncoding::Utf8);
    EXPECT_EQ(s.tables.needLetter, p.rules.NeedsLetter());
    // Saved again, the file is the same but for the letter L, which opening marks used.
    std::vector<std::string> again = SavedLines(s, path);
    before[FirstSentinelLine(2) + extra + 1 + 3 + 11] = "1";
    EXPECT_EQ(again, before);
  }
}

// A project file that earlier releases wrote opens as a Windows-1252 project and is saved
// again byte for byte, but for the date and time and the text paths the opener completes.
TEST(ProjectFileRoundTrip, AnEarlierReleasesFileOpensAsWindows1252AndSavesUnchanged) {
  const std::string sample = ReadFile(WORDLOOM_SOURCE_DIR "/samples/samples.wlm");
  std::vector<std::string> lines = CrLfLines(sample);
  ASSERT_EQ(lines.at(0), "\"wlm30\"");
  Session s;
  ASSERT_TRUE(OpenProject(s, WORDLOOM_SOURCE_DIR "/samples/samples.wlm", "/program", "/current").status.ok());
  EXPECT_EQ(s.project.rules.encoding, TextEncoding::Windows1252);
  EXPECT_EQ(s.tables.unicode, nullptr);
  EXPECT_FALSE(s.tables.needLetter);
  TempFolder folder;
  const std::vector<std::string> again = SavedLines(s, folder.File("again.wlm"));
  lines[2] = lines[3] = "";
  for (size_t line = 12; line < 12 + s.project.Files.size(); ++line) {
    lines[line] = "\"/program/" + lines[line].substr(1);
  }
  EXPECT_EQ(again, lines);
}

TEST(ProjectFileRules, JoinEndOfLineAndHyphenComeBackFromTheClassColumn) {
  struct Case {
    std::string join, endOfLine, endHyphen;
    int code;                // a character whose table line is checked
    std::string line;        // its "order,class" line in the file
    int16_t classReopened;   // its class after reopening
    std::string join2, endOfLine2, endHyphen2;  // the rules after reopening
  };
  const Case cases[] = {
      {"", "/|", "", '|', "0,7", 7, "", "|", ""},        // two ends of line: the last comes back
      {"'", "/", "", '\'', "0,6", 6, "'", "/", ""},      // a join overrides the alphabet
      {"", "", "", '/', "0,0", 0, "", "", ""},           // no end of line
      {"+", "/", "+", '+', "0,16", 6, "", "/", "+"},     // a hyphen on a join is a hyphen only
  };
  TempFolder folder;
  const std::string path = folder.File("rules.wlm");
  for (const Case& c : cases) {
    SCOPED_TRACE("join \"" + c.join + "\" end of line \"" + c.endOfLine + "\" hyphen \"" + c.endHyphen + "\"");
    Session saved;
    saved.project.Files = {"/texts/a.txt"};
    saved.project.rules = Rules(kAlphabet, c.join, c.endOfLine, c.endHyphen);
    EXPECT_EQ(SavedLines(saved, path)[FirstTableLine(1) - 1 + c.code], c.line);
    Session s;
    ASSERT_TRUE(OpenProject(s, path, "/program", "/current").status.ok());
    EXPECT_EQ(s.tables.CharClassTable[c.code], c.classReopened);
    EXPECT_EQ(s.project.rules.join, c.join2);
    EXPECT_EQ(s.project.rules.endOfLine, c.endOfLine2);
    EXPECT_EQ(s.project.rules.endHyphen, c.endHyphen2);
  }
}

// A valid project file of two text files and a two-word vocabulary, as lines.
std::vector<std::string> ValidFileLines(const TempFolder& folder, const ScanRules& rules = {}) {
  Session s;
  s.project.rules = rules;
  s.project.Files = {"/texts/a.txt", "/texts/b.txt"};
  s.lists.Vocabulary = {{"cat", 3}, {"dog", 1}};
  s.scan.references.ReferenceLetterUsed[2] = 1;
  return SavedLines(s, folder.File("valid.wlm"));
}

// A relative text path lies in the program's folder; a class at code 256 sets no rule.
TEST(ProjectFileRead, RelativeTextPathsAndTheClassOfCode256) {
  const std::string cases[][3] = {
      {"/opt/wl", "texts/a.txt", "/opt/wl/texts/a.txt"}, {"/opt/wl/", "texts/a.txt", "/opt/wl/texts/a.txt"},
      {"/opt/wl", "../a.txt", "/opt/wl/../a.txt"},       {"/opt/wl", "/abs/a.txt", "/abs/a.txt"},
      {"/", "a.txt", "/a.txt"},
  };
  TempFolder folder;
  std::vector<std::string> lines = ValidFileLines(folder);
  lines[FirstTableLine(2) - 1 + 256] = "5,6";
  const std::string path = folder.File("relative.wlm");
  for (const auto& [programFolder, stored, expected] : cases) {
    lines[12] = "\"" + stored + "\"";
    WriteFile(path, Join(lines, lines.size()));
    Session s;
    ProjectFileReport report = OpenProject(s, path, programFolder, "/current");
    ASSERT_TRUE(report.status.ok() && report.messages.empty());
    EXPECT_EQ(s.project.Files, (std::vector<std::string>{expected, "/texts/b.txt"})) << programFolder << stored;
    EXPECT_EQ(s.tables.CollationTable[256] * 10 + s.tables.CharClassTable[256], 56);
    EXPECT_EQ(s.project.rules.join, "");
  }
}

TEST(ProjectFileRead, ForeignOrMissingFileChangesNothing) {
  TempFolder folder;
  Session s;
  s.project.FileName = "/before.wlm";
  s.project.Files = {"/texts/a.txt"};
  s.referenceLetters.SetCell(3, 1, "Third");
  s.lists.Vocabulary = {{"cat", 3}};
  const std::vector<std::string> before = SavedLines(s, folder.File("before.wlm"));
  const std::string foreign[] = {"", "\"WLM30\"\r\n", "\"wlm30 \"\r\n", "\"wlm3\"\r\n\"Title\"\r\n", "\"wlm31\"\r\n",
                                 "\"WLM32\"\r\n", "hello, world\n"};
  for (const std::string& bytes : foreign) {
    const std::string path = folder.Write("foreign.wlm", bytes);
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    EXPECT_EQ(report.status.message(), path + " is not a Wordloom project file.");
    EXPECT_EQ(SavedLines(s, folder.File("after.wlm")), before) << bytes;
  }
  EXPECT_FALSE(OpenProject(s, folder.File("missing.wlm"), "/program", "/current").status.ok());
  EXPECT_EQ(SavedLines(s, folder.File("after.wlm")), before);
}

TEST(ProjectFileDamaged, TruncatedAtAnyPointOpensWithSentinelMessages) {
  ScanRules utf8;
  utf8.encoding = TextEncoding::Utf8, utf8.words = WordBoundaries::Unicode;
  TempFolder folder;
  for (const ScanRules& rules : {ScanRules(), utf8}) {
    const std::vector<std::string> lines = ValidFileLines(folder, rules);
    const size_t extra = lines[0] == "\"wlm32\"" ? 7 : 0;
    const size_t first = FirstSentinelLine(2) + extra, second = lines.size();
    const std::string path = folder.File("cut.wlm");
    for (size_t line = 1; line <= lines.size(); ++line) {
      for (bool half : {false, true}) {
        SCOPED_TRACE(lines[0] + " cut in line " + std::to_string(line) + (half ? ", half of it kept" : ""));
        const std::string& last = lines[line - 1];
        WriteFile(path, Join(lines, line - 1) + (half ? last.substr(0, last.size() / 2) : last + "\r\n"));
        Session s;
        s.project.Title = "Stale";
        s.project.Files = {"/stale.txt"};
        s.project.rules.alphabet = "xyz";
        ProjectFileReport report = OpenProject(s, path, "/program", "/current");
        ASSERT_EQ(report.status.ok(), line > 1 || !half);
        if (line == 1 && !half) {  // the tag alone: the new-project defaults, in Windows-1252
          EXPECT_EQ(s.project.Title, "Project1");
          EXPECT_TRUE(s.project.Files.empty());
          EXPECT_EQ(s.project.rules.alphabet, kAlphabet);
          EXPECT_EQ(s.project.rules.encoding, TextEncoding::Windows1252);
        }
        if (!report.status.ok()) continue;
        EXPECT_EQ(s.tables.unicode != nullptr, s.project.rules.encoding == TextEncoding::Utf8);
        size_t faults = line < first || (line == first && half) ? 2 : line < second || half ? 1 : 0;
        EXPECT_EQ(report.messages, std::vector<std::string>(faults, "Unknown fault with " + path));
      }
    }
  }
}

// A name the "wlm32" records do not know leaves that rule at its default.
TEST(ProjectFileDamaged, UnknownNamesReadAsWindows1252AndAlphabet) {
  const std::pair<size_t, std::string> cases[] = {
      {1, "\"automatic\""}, {1, "\"UTF-8\""}, {1, "\"latin-1\""}, {1, "#TRUE#"}, {3, "\"words\""}, {3, "\"\""},
  };
  ScanRules utf8;
  utf8.encoding = TextEncoding::Utf8, utf8.words = WordBoundaries::Unicode;
  TempFolder folder;
  const std::vector<std::string> lines = ValidFileLines(folder, utf8);
  ASSERT_EQ(lines[1] + lines[3], "\"utf-8\"\"unicode\"");
  const std::string path = folder.File("named.wlm");
  for (const auto& [line, text] : cases) {
    std::vector<std::string> copy = lines;
    copy[line] = text;
    WriteFile(path, Join(copy, copy.size()));
    Session s;
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    ASSERT_TRUE(report.status.ok() && report.messages.empty()) << text;
    EXPECT_EQ(s.project.rules.encoding, line == 1 ? TextEncoding::Windows1252 : TextEncoding::Utf8) << text;
    EXPECT_EQ(s.project.rules.words, line == 3 ? WordBoundaries::Alphabet : WordBoundaries::Unicode) << text;
    EXPECT_EQ(s.tables.unicode != nullptr, line != 1) << text;
  }
}

TEST(ProjectFileDamaged, GarbageInAnyNumericFieldKeepsTheEarlierValue) {
  TempFolder folder;
  const std::vector<std::string> lines = ValidFileLines(folder);
  const size_t table = FirstTableLine(2), sentinel = FirstSentinelLine(2);
  const std::string path = folder.File("garbled.wlm");
  int garbled = 0;
  for (size_t line = 2; line <= lines.size(); ++line) {
    std::vector<std::string> copy = lines;
    std::string& field = copy[line - 1];
    if (!std::regex_match(field, std::regex("-?[0-9][0-9.]*(,.*)?"))) continue;
    field = "x1" + (field.find(',') == std::string::npos ? "" : field.substr(field.find(',')));
    WriteFile(path, Join(copy, copy.size()));
    Session s;
    s.scan.state.logicalLineTotal = 999;
    s.tables.CollationTable.fill(77);
    ProjectFileReport report = OpenProject(s, path, "/program", "/current");
    ASSERT_TRUE(report.status.ok()) << "line " << line;
    EXPECT_LE(report.messages.size(), 2u);
    EXPECT_TRUE(line != 15 || s.scan.state.logicalLineTotal == 999);
    EXPECT_TRUE(line < table || line >= table + 257 || s.tables.CollationTable[line - table] == 77) << line;
    EXPECT_TRUE((line != sentinel && line != lines.size()) || report.messages.size() == 1u) << line;
    EXPECT_TRUE(line != sentinel + 3 || s.lists.Vocabulary == (EntryList{{"cat", 3}, {"dog", 3}}))
        << "dog's frequency keeps the one read before it";
    ++garbled;
  }
  EXPECT_GT(garbled, 257 + 26);
}

}  // namespace
}  // namespace wordloom
