// The character tables and the text reader: the character stream, logical lines, the line
// counters, and reference tags as the reader meets them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "base/line_source.h"
#include "scan/text_reader.h"
#include "test_support.h"

namespace wordloom {
namespace {

// A text file opened for a pass of the reader.
struct OpenText {
  test::TempFolder folder;
  std::string path;
  ScanContext context;
  LineSource file;
  OpenText(const std::string& text, const ScanRules& rules, const std::string& padding = "") {
    path = folder.Write("text.txt", text);
    BeginPass(context, rules, BuildCharTables(rules), padding);
    EXPECT_TRUE(file.Open(path).ok());
    BeginFile(context, path);
  }
  int Next(bool vocabularyMode = true) {
    return vocabularyMode ? NextScanChar(context, file) : NextContextChar(context, file);
  }
  // The rest of the stream, "{}" standing for an empty character, up to the first call that
  // finds the file exhausted (that call reads no line).
  std::string Rest(bool vocabularyMode = true) {
    std::string chars;
    for (;;) {
      int64_t physical = context.state.physicalLineTotal;
      int c = Next(vocabularyMode);
      if (c == kNoChar && context.state.physicalLineTotal == physical) return chars;
      chars += c == kNoChar ? std::string("{}") : std::string(1, static_cast<char>(c));
    }
  }
};

ScanRules Rules(std::string join, std::string endOfLine, std::string endHyphen,
                std::string alphabet = ScanRules{}.alphabet) {
  ScanRules rules;
  rules.alphabet = std::move(alphabet);
  rules.join = std::move(join);
  rules.endOfLine = std::move(endOfLine);
  rules.endHyphen = std::move(endHyphen);
  return rules;
}

TEST(CharTablesTest, LaterRulesOverwriteEarlierOnesAndTheHyphenAddsTen) {
  CharTables tables = BuildCharTables(Rules("&", "/", "-b", "ab/&-a"));
  // code, class, collation: 'a' is listed twice and keeps its later position.
  const int expected[][3] = {{'a', 2, 7}, {'b', 12, 3}, {'/', 7, 0}, {'&', 6, 0},
                             {'-', 12, 6}, {'c', 0, 0}, {'A', 0, 0}, {256, 0, 0}};
  for (const auto& e : expected) {
    EXPECT_EQ(tables.CharClassTable[e[0]], e[1]) << e[0];
    EXPECT_EQ(tables.CollationTable[e[0]], e[2]) << e[0];
  }
}

TEST(TextReaderTest, ClassOfACharacterIsTheClassOfItsLowerCasePartnerModuloTen) {
  struct Case { std::string alphabet; std::string endHyphen; char c; int expected; };
  const Case cases[] = {
      {"abc", "", 'A', 2},        {"abc", "", '\xC9', 0},     // É: é is not in the alphabet
      {"abc\xE9", "", '\xC9', 2}, {"\xFE", "", '\xDE', 2},    // É -> é, Þ -> þ
      {"\xF7", "", '\xD7', 0},                                // × has no lower-case partner
      {"\x9A", "", '\x8A', 2},    {"\x9C", "", '\x8C', 2},    // Š -> š, Œ -> œ
      {"\x9E", "", '\x8E', 2},    {"\xFF", "", '\x9F', 2},    // Ž -> ž, Ÿ -> ÿ
      {"\xDF", "", '\xDF', 2},                                // ß is its own partner
      {"ABC", "", 'A', 0},                                    // upper-case codes are never looked up
      {"ab-", "-", '-', 2},       {"ab", "-", '-', 0},        // an end hyphen keeps its base class
      {"ab", "", '/', 7},
  };
  for (const Case& c : cases) {
    OpenText text(std::string(1, c.c), Rules("", "/", c.endHyphen, c.alphabet));
    EXPECT_EQ(text.Next(), static_cast<unsigned char>(c.c));
    EXPECT_EQ(text.context.state.currentClass, c.expected) << c.alphabet << " / " << c.c;
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
  const ScanRules plain = Rules("", "/", "");
  const StreamCase cases[] = {
      {"last line without a line end", plain, "a b", "a b/~/", 1, 1, 2},
      {"end of line inside a line starts a numbered line", plain, "a b/c d\r\nx", "a b/c d/x/~/", 2, 2, 4},
      {"join drops the rest of the line", Rules("&", "/", ""), "abc & def\nghi", "abc ghi/~/", 1, 2, 2},
      {"join on the last line drops the padding", Rules("&", "/", ""), "a &b", "a ", 1, 1, 1},
      {"join as the first character", Rules("&", "/", ""), "&abc\nd", "d/~/", 1, 2, 2},
      {"pending join passes over a blank line", Rules("&", "/", ""), "a&\n\nb", "ab/~/", 1, 3, 2},
      {"two-character join never matches", Rules("&&", "/", ""), "a&&b", "a&&b/~/", 1, 1, 2},
      {"end hyphen runs a word on", Rules("", "/", "-"), "inter-\nnational", "inter-national/~/", 2, 2, 3},
      {"end hyphen on the last line meets the padding", Rules("", "/", "-"), "in-", "in-/~/", 1, 1, 2},
      {"two-character end hyphen never matches", Rules("", "/", "--"), "in--\nx", "in--/x/~/", 2, 2, 3},
      {"blank lines and lines of spaces", plain, "x\n\n   \ny", "x/y/~/", 2, 4, 3},
      {"blank last line is numbered", plain, "x\r\n\r\n", "x//~/", 2, 2, 3},
      {"line of spaces last is numbered", plain, "x\n   ", "x//~/", 2, 2, 3},
      {"empty file", plain, "", "", 0, 0, 0},
      {"a single line end", plain, "\n", "/~/", 1, 1, 2},
      {"lone CR, CR LF and LF", plain, "a\rb\r\nc\nd\r", "a/b/c/d/~/", 4, 4, 5},
      {"LF CR is two line ends", plain, "a\n\rb", "a/b/~/", 2, 3, 3},
      {"only 0x20 counts as a trailing space", plain, "ab \t \nc", "ab \t/c/~/", 2, 2, 3},
      {"empty end of line", Rules("", "", ""), "a\nb", "ab~", 2, 2, 2},
      {"two-character end of line", Rules("", "//", ""), "a\nb", "a//b//~//", 2, 2, 2},
      {"empty last line with nothing appended", Rules("", "", ""), "a\n\n", "a{}", 2, 2, 2, ""},
      {"upper case comes through unchanged", plain, "AB", "AB/~/", 1, 1, 2},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool vocabularyMode : {true, false}) {
      OpenText text(c.text, c.rules, c.padding);
      EXPECT_EQ(text.Rest(vocabularyMode), c.stream);
      const ScanState& s = text.context.state;
      EXPECT_EQ(s.logicalLineTotal, c.logical);
      EXPECT_EQ(s.physicalLineTotal, c.physical);
      EXPECT_EQ(s.fileLineNumber, c.physical + 1);
      EXPECT_EQ(s.currentLineNumber, c.currentLine);
      // An empty file is exhausted at the first call; concordance reading never counts.
      EXPECT_EQ(s.endOfFileCount, vocabularyMode ? (c.physical == 0 ? 1 : 2) : 0);
    }
  }
}

TEST(TextReaderTest, EndOfFileCountsAtTheLastLineAndAtEveryCallAfterIt) {
  OpenText text("a\nb", ScanRules{});
  const ScanState& s = text.context.state;
  EXPECT_TRUE(text.Next() == 'a' && text.Next() == '/' && s.endOfFileCount == 0);
  EXPECT_TRUE(text.Next() == 'b' && s.endOfFileCount == 1);  // while the last line is being returned
  EXPECT_TRUE(text.Rest() == "//" && s.endOfFileCount == 2 && s.currentClass == 0);
  EXPECT_TRUE(text.Next() == kNoChar && s.endOfFileCount == 3);
}

// Line ends at the end of the first 1 MiB read, and a line longer than that.
TEST(TextReaderTest, LineEndsAtTheEndOfTheReadBuffer) {
  const size_t kBlock = 1 << 20;
  std::string crLfLines;
  for (int i = 0; i < 70'000; ++i) crLfLines += "abcdefghijklmno\r\n";  // a CR at byte 17 * 61681 - 2
  ASSERT_EQ(crLfLines.substr(kBlock - 1, 2), "\r\n");
  const std::string full(kBlock - 1, 'a');
  const std::tuple<std::string, int64_t, int64_t> cases[] = {
      {crLfLines, 70'000, 70'000}, {full + "\r\nb", 2, 2}, {full + "\rb", 2, 2}, {full + "\r\r\nb", 3, 2},
      {full + "\r", 1, 1},         {full + "\r\n", 1, 1},  {full + full + "b\n", 1, 1},
  };
  for (const auto& [content, physical, logical] : cases) {
    OpenText text(content, ScanRules{});
    while (ReadLogicalLine(text.context, text.file, ReaderMode::Concordance, nullptr)) {
    }
    EXPECT_EQ(text.context.state.physicalLineTotal, physical) << content.size();
    EXPECT_EQ(text.context.state.logicalLineTotal, logical) << content.size();
  }
}

std::string ReportEntry(const std::string& file, int line, const std::string& context, const std::string& message) {
  return "FILE: " + file + "\r\nERROR: syntax error on line " + std::to_string(line) + "\r\nCONTEXT: " + context +
         "\r\n" + message + "\r\n\r\n";
}

TEST(TextReaderTest, LTagsNumberLinesAndErrorsNameTheFileLine) {
  ScanRules rules;
  rules.referenceType = ReferenceType::Type1;
  OpenText text("x\n\n<L 100>y <AAct>\nz\n<L 7>\nw", rules);
  std::map<char, int64_t> numberOf;
  for (int c; (c = text.Next()) != kNoChar;) {
    if (c >= 'w' && c <= 'z') numberOf[static_cast<char>(c)] = text.context.state.currentLineNumber;
  }
  EXPECT_EQ(numberOf['x'], 1);
  EXPECT_EQ(numberOf['y'], 100);
  EXPECT_EQ(numberOf['z'], 101);
  EXPECT_EQ(numberOf['w'], 7);  // a line holding only a tag is blank, but its number passes on
  EXPECT_EQ(text.context.ErrorReportText,
            ReportEntry(text.path, 3, "<L 100 y <AAct>", "MESSAGE: At least one space must come after <A"));
  EXPECT_EQ(text.context.references.ReferenceLetterUsed[1] + text.context.references.ReferenceLetterUsed[12], 2);
}

}  // namespace
}  // namespace wordloom
