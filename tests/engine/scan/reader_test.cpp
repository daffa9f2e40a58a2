// The character tables and the text reader: logical lines, the character stream and the
// line counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/line_source.h"
#include "scan/scan_rules.h"
#include "scan/text_reader.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::TempFolder;

ScanRules Rules(std::string join, std::string endOfLine, std::string endHyphen) {
  ScanRules rules;
  rules.join = std::move(join);
  rules.endOfLine = std::move(endOfLine);
  rules.endHyphen = std::move(endHyphen);
  return rules;
}

// Reads a file to its end through one reader, writing each character as it comes and "{}"
// for an empty character; stops when a call finds the file exhausted (it reads no line).
struct Stream {
  std::string chars;
  ScanState state;
};

Stream ReadAll(const std::string& text, const ScanRules& rules, const std::string& padding, bool vocabularyMode) {
  TempFolder folder;
  std::string path = folder.Write("text.txt", text);
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), padding);
  LineSource file;
  EXPECT_TRUE(file.Open(path).ok());
  BeginFile(context, path);
  Stream stream;
  for (;;) {
    int64_t physical = context.state.physicalLineTotal;
    int c = vocabularyMode ? NextScanChar(context, file) : NextContextChar(context, file);
    if (c == kNoChar && context.state.physicalLineTotal == physical) break;
    stream.chars += c == kNoChar ? std::string("{}") : std::string(1, static_cast<char>(c));
  }
  stream.state = context.state;
  return stream;
}

TEST(CharTablesTest, LaterRulesOverwriteEarlierOnesAndTheHyphenAddsTen) {
  ScanRules rules = Rules("&", "/", "-b");
  rules.alphabet = "ab/&-a";
  CharTables tables = BuildCharTables(rules);
  struct Expect { int code; int charClass; int collation; };
  const Expect expected[] = {
      {'a', 2, 7},   // listed twice: the later position counts
      {'b', 12, 3},  // a word character that is also an end hyphen
      {'/', 7, 0},   {'&', 6, 0}, {'-', 12, 6}, {'c', 0, 0}, {'A', 0, 0}, {256, 0, 0},
  };
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.code);
    EXPECT_EQ(tables.CharClassTable[e.code], e.charClass);
    EXPECT_EQ(tables.CollationTable[e.code], e.collation);
  }
}

TEST(TextReaderTest, ClassOfACharacterIsTheClassOfItsLowerCasePartnerModuloTen) {
  struct Case { std::string alphabet; std::string endHyphen; char c; int expected; };
  const Case cases[] = {
      {"abc", "", 'A', 2},
      {"abc", "", '\xC9', 0},           // É: é is not in the alphabet
      {"abc\xE9", "", '\xC9', 2},       // É -> é
      {"\xFE", "", '\xDE', 2},          // Þ -> þ, the last of the 0xC0-0xDE range
      {"\xF7", "", '\xD7', 0},          // × has no lower-case partner
      {"\x9A", "", '\x8A', 2},          // Š -> š
      {"\x9C", "", '\x8C', 2},          // Œ -> œ
      {"\x9E", "", '\x8E', 2},          // Ž -> ž
      {"\xFF", "", '\x9F', 2},          // Ÿ -> ÿ
      {"\xDF", "", '\xDF', 2},          // ß is its own partner
      {"ABC", "", 'A', 0},              // the readers never look up the upper-case code
      {"ab-", "-", '-', 2},             // an end hyphen keeps its base class
      {"ab", "-", '-', 0},
      {"ab", "", '/', 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alphabet + " / " + std::string(1, c.c));
    ScanRules rules = Rules("", "/", c.endHyphen);
    rules.alphabet = c.alphabet;
    TempFolder folder;
    std::string path = folder.Write("t.txt", std::string(1, c.c));
    ScanContext context;
    BeginPass(context, rules, BuildCharTables(rules), "");
    LineSource file;
    ASSERT_TRUE(file.Open(path).ok());
    BeginFile(context, path);
    EXPECT_EQ(NextScanChar(context, file), static_cast<unsigned char>(c.c));
    EXPECT_EQ(context.state.currentClass, c.expected);
  }
}

struct StreamCase {
  const char* name;
  ScanRules rules;
  std::string text;
  std::string stream;
  int64_t logical, physical, currentLine;
  std::string padding = "~";
};

TEST(TextReaderTest, CharacterStreamAndLineCounters) {
  const StreamCase cases[] = {
      {"last line without a line end", Rules("", "/", ""), "a b", "a b/~/", 1, 1, 2},
      {"end of line inside a line starts a numbered line", Rules("", "/", ""), "a b/c d\r\nx", "a b/c d/x/~/", 2, 2, 4},
      {"join drops the rest of the line", Rules("&", "/", ""), "abc & def\nghi", "abc ghi/~/", 1, 2, 2},
      {"join on the last line drops the padding", Rules("&", "/", ""), "a &b", "a ", 1, 1, 1},
      {"join as the first character", Rules("&", "/", ""), "&abc\nd", "d/~/", 1, 2, 2},
      {"pending join passes over a blank line", Rules("&", "/", ""), "a&\n\nb", "ab/~/", 1, 3, 2},
      {"two-character join never matches", Rules("&&", "/", ""), "a&&b", "a&&b/~/", 1, 1, 2},
      {"end hyphen runs a word on", Rules("", "/", "-"), "inter-\nnational", "inter-national/~/", 2, 2, 3},
      {"end hyphen on the last line meets the padding", Rules("", "/", "-"), "in-", "in-/~/", 1, 1, 2},
      {"two-character end hyphen never matches", Rules("", "/", "--"), "in--\nx", "in--/x/~/", 2, 2, 3},
      {"blank lines and lines of spaces", Rules("", "/", ""), "x\n\n   \ny", "x/y/~/", 2, 4, 3},
      {"blank last line is numbered", Rules("", "/", ""), "x\r\n\r\n", "x//~/", 2, 2, 3},
      {"line of spaces last is numbered", Rules("", "/", ""), "x\n   ", "x//~/", 2, 2, 3},
      {"empty file", Rules("", "/", ""), "", "", 0, 0, 0},
      {"a single line end", Rules("", "/", ""), "\n", "/~/", 1, 1, 2},
      {"lone CR, CR LF and LF", Rules("", "/", ""), "a\rb\r\nc\nd\r", "a/b/c/d/~/", 4, 4, 5},
      {"LF CR is two line ends", Rules("", "/", ""), "a\n\rb", "a/b/~/", 2, 3, 3},
      {"only 0x20 counts as a trailing space", Rules("", "/", ""), "ab \t \nc", "ab \t/c/~/", 2, 2, 3},
      {"empty end of line", Rules("", "", ""), "a\nb", "ab~", 2, 2, 2},
      {"two-character end of line", Rules("", "//", ""), "a\nb", "a//b//~//", 2, 2, 2},
      {"empty last line with nothing appended", Rules("", "", ""), "a\n\n", "a{}", 2, 2, 2, ""},
      {"upper case comes through unchanged", Rules("", "/", ""), "AB", "AB/~/", 1, 1, 2},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool vocabularyMode : {true, false}) {
      Stream s = ReadAll(c.text, c.rules, c.padding, vocabularyMode);
      EXPECT_EQ(s.chars, c.stream);
      EXPECT_EQ(s.state.logicalLineTotal, c.logical);
      EXPECT_EQ(s.state.physicalLineTotal, c.physical);
      EXPECT_EQ(s.state.fileLineNumber, c.physical + 1);
      EXPECT_EQ(s.state.currentLineNumber, c.currentLine);
      // An empty file is exhausted at the first call, a file with lines at the call after its last.
      EXPECT_EQ(s.state.endOfFileCount, vocabularyMode ? (c.physical == 0 ? 1 : 2) : 0);
    }
  }
}

TEST(TextReaderTest, EndOfLineInsideALineCountsWhenReturned) {
  TempFolder folder;
  std::string path = folder.Write("t.txt", "a b/c d\nnext\n");
  ScanRules rules;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), std::string(200, ' '));
  LineSource file;
  ASSERT_TRUE(file.Open(path).ok());
  BeginFile(context, path);
  std::string got;
  for (int i = 0; i < 8; ++i) got += static_cast<char>(NextScanChar(context, file));
  EXPECT_EQ(got, "a b/c d/");
  EXPECT_EQ(context.state.currentLineNumber, 2);
  EXPECT_EQ(context.state.logicalLineTotal, 1);
  EXPECT_EQ(context.state.physicalLineTotal, 1);
  EXPECT_EQ(context.state.endOfFileCount, 0);
  EXPECT_EQ(NextScanChar(context, file), 'n');
  EXPECT_EQ(context.state.endOfFileCount, 1);  // the last line is being returned
  EXPECT_EQ(context.state.currentLineNumber, 3);
}

TEST(TextReaderTest, AnExhaustedFileReturnsNoCharacterOfClassZero) {
  TempFolder folder;
  std::string path = folder.Write("t.txt", "ab");
  ScanRules rules;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), "");
  LineSource file;
  ASSERT_TRUE(file.Open(path).ok());
  BeginFile(context, path);
  for (char expected : std::string("ab//")) EXPECT_EQ(NextScanChar(context, file), expected);
  EXPECT_EQ(context.state.endOfFileCount, 1);
  EXPECT_EQ(NextScanChar(context, file), kNoChar);
  EXPECT_EQ(context.state.currentClass, 0);
  EXPECT_EQ(context.state.endOfFileCount, 2);
  EXPECT_EQ(NextScanChar(context, file), kNoChar);
  EXPECT_EQ(context.state.endOfFileCount, 3);
  EXPECT_EQ(context.state.physicalLineTotal, 1);
}

TEST(TextReaderTest, BeginFileDropsTheRestOfThePreviousFilesLine) {
  TempFolder folder;
  std::string first = folder.Write("1.txt", "abc def");
  std::string second = folder.Write("2.txt", "xy");
  ScanRules rules;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), "");
  LineSource file;
  ASSERT_TRUE(file.Open(first).ok());
  BeginFile(context, first);
  EXPECT_EQ(NextScanChar(context, file), 'a');
  ASSERT_TRUE(file.Open(second).ok());
  BeginFile(context, second);
  EXPECT_EQ(context.state.currentFileName, second);
  std::string got;
  for (int c; (c = NextScanChar(context, file)) != kNoChar;) got += static_cast<char>(c);
  EXPECT_EQ(got, "xy//");
  EXPECT_EQ(context.state.fileLineNumber, 2);
  EXPECT_EQ(context.state.physicalLineTotal, 2);
}

// A join on a file's last line carries to the next file of the same pass, not past a new pass.
TEST(TextReaderTest, PendingJoinCarriesToTheNextFileWithinAPass) {
  TempFolder folder;
  const std::string files[] = {folder.Write("1.txt", "a &"), folder.Write("2.txt", "b")};
  ScanRules rules = Rules("&", "/", "");
  for (bool newPassPerFile : {false, true}) {
    ScanContext context;
    for (const std::string& path : files) {
      if (newPassPerFile || path == files[0]) BeginPass(context, rules, BuildCharTables(rules), "");
      LineSource file;
      ASSERT_TRUE(file.Open(path).ok());
      BeginFile(context, path);
      while (NextScanChar(context, file) != kNoChar) {
      }
    }
    EXPECT_EQ(context.state.logicalLineTotal, newPassPerFile ? 2 : 1);
  }
}

TEST(TextReaderTest, ALineLongerThanTheReadBufferIsReadWhole) {
  const std::string word(1'500'000, 'q');
  TempFolder folder;
  std::string path = folder.Write("long.txt", word + " z\r\nnext\r\n");
  ScanRules rules;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), "");
  LineSource file;
  ASSERT_TRUE(file.Open(path).ok());
  BeginFile(context, path);
  ASSERT_TRUE(ReadLogicalLine(context, file, ReaderMode::Vocabulary, nullptr));
  EXPECT_EQ(context.state.lineBuffer, word + " z/");
  EXPECT_EQ(context.state.lineLength, 1'500'003);
  EXPECT_EQ(context.state.physicalLineTotal, 1);
  ASSERT_TRUE(ReadLogicalLine(context, file, ReaderMode::Vocabulary, nullptr));
  EXPECT_EQ(context.state.lineBuffer, "next//");
}

TEST(TextReaderTest, YieldsEveryHundredNumberedLines) {
  struct Counter : ProgressSink {
    int yields = 0;
    void Yield() override { ++yields; }
  } counter;
  std::string text;
  for (int i = 0; i < 250; ++i) text += "w\n";
  TempFolder folder;
  std::string path = folder.Write("t.txt", text);
  ScanRules rules;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), "");
  LineSource file;
  ASSERT_TRUE(file.Open(path).ok());
  BeginFile(context, path);
  while (NextScanChar(context, file, &counter) != kNoChar) {
  }
  EXPECT_EQ(counter.yields, 2);
}

}  // namespace
}  // namespace wordloom
