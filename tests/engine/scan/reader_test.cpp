// The character tables and the text reader: the character stream, logical lines and the line
// counters.
#include <gtest/gtest.h>

#include <string>

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
  return {std::move(alphabet), std::move(join), std::move(endOfLine), std::move(endHyphen)};
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

}  // namespace
}  // namespace wordloom
