// Reference markup: tags removed from the lines, their values, "L" line numbers, and the
// Error Report entries of malformed tags.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "base/line_source.h"
#include "scan/reference_markup.h"
#include "scan/text_reader.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::TempFolder;

const std::string kNoSpace = "MESSAGE: At least one space must come after ";
const std::string kNoRight = "MESSAGE: Left reference \"<\" does not have a matching right reference \">\"";
const std::string kNotNumber = "MESSAGE: \"L \" must be followed by a number";

std::string ReportEntry(const std::string& file, int64_t line, const std::string& context, const std::string& message) {
  return "FILE: " + file + "\r\nERROR: syntax error on line " + std::to_string(line) + "\r\nCONTEXT: " + context +
         "\r\n" + message + "\r\n\r\n";
}

ScanContext MarkupContext(const std::string& left = "<", const std::string& right = ">") {
  ScanRules rules;
  rules.referenceType = ReferenceType::Type1;
  rules.leftReference = left;
  rules.rightReference = right;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), "");
  context.state.currentFileName = "act1.txt";
  context.state.fileLineNumber = 7;
  context.state.currentLineNumber = 40;
  return context;
}

std::string UsedLetters(const ReferenceState& references) {
  std::string used;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    if (references.ReferenceLetterUsed[letter] != 0) used += static_cast<char>('A' + letter - 1);
  }
  return used;
}

struct MarkupCase {
  const char* name;
  std::string input;
  std::string output;
  std::map<char, std::string> values;                      // letters whose value is set
  std::vector<std::pair<std::string, std::string>> errors;  // (context line, message line)
  int64_t lineNumber = 40;                                  // currentLineNumber afterwards
  std::string left = "<", right = ">";
};

TEST(ReferenceMarkupTest, ProcessesTagsAndReportsMalformedOnes) {
  const MarkupCase cases[] = {
      {"line tag", "<L 12>The cat", " The cat", {{'L', "12"}}, {}, 11},
      {"value keeps trailing spaces", "<A  Act 1 >Enter", " Enter", {{'A', "Act 1 "}}, {}},
      {"lower-case letter", "<a Act>", " ", {{'A', "Act"}}, {}},
      {"no space after the letter", "<AAct>", " ", {{'A', "Act"}}, {{"<AAct>", kNoSpace + "<A"}}},
      {"no right marker keeps the last character", "<B Scene 2 and more", "e", {}, {{"<B Scene 2 and more", kNoRight}}},
      {"L value not a number", "<L xii>", " ", {{'L', "xii"}}, {{"<L xii>", kNotNumber}}, -1},
      {"L value with a decimal point", "<L 12.7>x", " x", {{'L', "12.7"}}, {}, 11},
      {"L value with a sign", "<L -3>", " ", {{'L', "-3"}}, {{"<L -3>", kNotNumber}}, -4},
      {"L value followed by words", "<L   100 and more>", " ", {{'L', "100 and more"}}, {}, 99},
      {"comment tag", "<# a note> word", "  word", {}, {}},
      {"comment tag without right marker", "<# abc", "c", {}, {}},
      {"accented letter makes a comment tag", "<\xE9 x>y", " y", {}, {}},
      {"left marker as the last character", "word <", "word <", {}, {}},
      {"empty value", "<A >z", " z", {{'A', ""}}, {}},
      {"two tags", "<A a><B b>c", "  c", {{'A', "a"}, {'B', "b"}}, {}},
      {"context shows earlier tags replaced", "<A x> <Bfoo> bar", "    bar", {{'A', "x"}, {'B', "foo"}},
       {{"<A x  <Bfoo> bar", kNoSpace + "<B"}}},
      {"lettered tag cut off at the line end", "x <A", "x ", {}, {{"x <A", kNoSpace + "<A"}, {"x <A", kNoRight}}},
      {"two-character left marker never matches", "<<A x>> y", "<<A x>> y", {}, {}, 40, "<<", ">>"},
      {"empty right marker never matches", "<A x> y", "y", {},
       {{"<A x> y", "MESSAGE: Left reference \"<\" does not have a matching right reference \"\""}}, 40, "<", ""},
      {"same character on both sides", "|A x|y", " y", {{'A', "x"}}, {}, 40, "|", "|"},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScanContext context = MarkupContext(c.left, c.right);
    std::string line = c.input;
    ProcessReferenceLine(context, line, true);
    EXPECT_EQ(line, c.output);
    std::string report;
    for (const auto& [errorContext, message] : c.errors) report += ReportEntry("act1.txt", 7, errorContext, message);
    EXPECT_EQ(context.ErrorReportText, report);
    EXPECT_EQ(context.state.currentLineNumber, c.lineNumber);
    std::string lettered;  // every lettered tag marks its letter, well-formed or not
    for (int letter = 1; letter <= kLetterCount; ++letter) {
      char name = static_cast<char>('A' + letter - 1);
      auto value = c.values.find(name);
      EXPECT_EQ(context.references.ReferenceLetterValue[letter], value == c.values.end() ? "" : value->second) << name;
    }
    for (size_t i = 0; i + 1 < c.input.size(); ++i) {
      char letter = c.input[i + 1] & ~0x20;
      if (c.left.size() == 1 && c.input[i] == c.left[0] && letter >= 'A' && letter <= 'Z' &&
          lettered.find(letter) == std::string::npos) {
        lettered += letter;
      }
    }
    EXPECT_EQ(UsedLetters(context.references), lettered);
  }
}

TEST(ReferenceMarkupTest, ConcordanceReadingSetsValuesWithoutMarkingLetters) {
  ScanContext context = MarkupContext();
  std::string line = "<A Act 2> x";
  ProcessReferenceLine(context, line, false);
  EXPECT_EQ(line, "  x");
  EXPECT_EQ(context.references.ReferenceLetterValue[1], "Act 2");
  EXPECT_EQ(UsedLetters(context.references), "");
}

TEST(ReferenceMarkupTest, ReadScanLineAppendsPaddingOnTheLastLineThenTheSuffix) {
  TempFolder folder;
  std::string path = folder.Write("t.txt", "p <B x\r\nq <B y\r\n");
  for (bool type1 : {false, true}) {
    SCOPED_TRACE(type1);
    ScanRules rules;
    rules.referenceType = type1 ? ReferenceType::Type1 : ReferenceType::None;
    ScanContext context;
    BeginPass(context, rules, BuildCharTables(rules), "");
    context.references.contextPadding = "..";
    LineSource file;
    ASSERT_TRUE(file.Open(path).ok());
    BeginFile(context, path);
    ASSERT_TRUE(ReadScanLine(context, file, "!", true));
    EXPECT_EQ(context.state.lineBuffer, type1 ? "p !" : "p <B x!");
    ASSERT_TRUE(ReadScanLine(context, file, "!", true));
    // An unclosed tag keeps only the line's last character: here the suffix.
    EXPECT_EQ(context.state.lineBuffer, type1 ? "q !" : "q <B y..!");
    EXPECT_FALSE(ReadScanLine(context, file, "!", true));
    EXPECT_EQ(context.ErrorReportText, type1 ? ReportEntry(path, 1, "p <B x!", kNoRight) +
                                                   ReportEntry(path, 1, "q <B y..!", kNoRight)
                                             : "");
  }
}

// Through the reader: the file line number counts blank lines, and an "L" tag numbers its line.
TEST(ReferenceMarkupTest, ReaderNumbersLinesFromLTagsAndReportsFileLines) {
  TempFolder folder;
  std::string path = folder.Write("scene.txt", "x\n\n<L 100>y <AAct>\nz\n");
  ScanRules rules;
  rules.referenceType = ReferenceType::Type1;
  ScanContext context;
  BeginPass(context, rules, BuildCharTables(rules), "");
  LineSource file;
  ASSERT_TRUE(file.Open(path).ok());
  BeginFile(context, path);
  std::map<char, int64_t> numberOf;
  for (int c; (c = NextScanChar(context, file)) != kNoChar;) {
    if (c >= 'x' && c <= 'z') numberOf[static_cast<char>(c)] = context.state.currentLineNumber;
  }
  EXPECT_EQ(numberOf['x'], 1);
  EXPECT_EQ(numberOf['y'], 100);
  EXPECT_EQ(numberOf['z'], 101);
  EXPECT_EQ(context.ErrorReportText, ReportEntry(path, 3, "<L 100 y <AAct>", kNoSpace + "<A"));
  EXPECT_EQ(UsedLetters(context.references), "AL");
}

TEST(ReferenceMarkupTest, NoMarkupIsReadWithReferenceTypeNone) {
  for (ReferenceType type : {ReferenceType::None, ReferenceType::Unselected}) {
    ScanRules rules;
    rules.referenceType = type;
    TempFolder folder;
    std::string path = folder.Write("t.txt", "<AAct> x");
    ScanContext context;
    BeginPass(context, rules, BuildCharTables(rules), "");
    LineSource file;
    ASSERT_TRUE(file.Open(path).ok());
    BeginFile(context, path);
    ASSERT_TRUE(ReadLogicalLine(context, file, ReaderMode::Vocabulary, nullptr));
    EXPECT_EQ(context.state.lineBuffer, "<AAct> x//");
    EXPECT_EQ(context.ErrorReportText, "");
    EXPECT_EQ(UsedLetters(context.references), "");
  }
}

TEST(ReferenceMarkupTest, LeadingInteger) {
  const std::pair<const char*, int64_t> cases[] = {
      {"12", 12},   {"  12", 12}, {"12.7", 12}, {"+5", 5},   {"-5", -5},    {"007", 7},  {"12abc", 12},
      {"", 0},      {"x1", 0},    {"- 5", 0},   {"\t12", 0}, {"  -", 0},    {"-0", 0},
      {"99999999999999999999", std::numeric_limits<int64_t>::max()},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(LeadingInteger(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace wordloom
