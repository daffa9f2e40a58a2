// Reference markup: tags removed from the lines, their values, "L" line numbers, and the
// Error Report entries of malformed tags.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "scan/reference_markup.h"
#include "scan/status_texts.h"
#include "scan/text_reader.h"

namespace wordloom {
namespace {

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

struct MarkupCase {
  const char* name;
  std::string input;
  std::string output;
  std::string used;                                         // letters marked as used
  std::map<char, std::string> values;                      // letters whose value is set
  std::vector<std::pair<std::string, std::string>> errors;  // (context line, message line)
  int64_t lineNumber = 40;                                  // currentLineNumber afterwards
  std::string left = "<", right = ">";
  bool markLetters = true;                                  // false for a concordance pass
};

TEST(ReferenceMarkupTest, ProcessesTagsAndReportsMalformedOnes) {
  const MarkupCase cases[] = {
      {"no space after the letter", "<AAct>", " ", "A", {{'A', "Act"}}, {{"<AAct>", kNoSpace + "<A"}}},
      {"no right marker keeps the last character", "<B Scene 2 and more", "e", "B", {},
       {{"<B Scene 2 and more", kNoRight}}},
      {"L value not a number", "<L xii>", " ", "L", {{'L', "xii"}}, {{"<L xii>", kNotNumber}}, -1},
      {"L value with a decimal point", "<L 12.7>x", " x", "L", {{'L', "12.7"}}, {}, 11},
      {"L value with a sign", "<L -3>", " ", "L", {{'L', "-3"}}, {{"<L -3>", kNotNumber}}, -4},
      {"L value followed by words", "<L   100 and more>", " ", "L", {{'L', "100 and more"}}, {}, 99},
      {"comment tag without right marker", "<# abc", "c", "", {}, {}},
      {"accented letter makes a comment tag", "<\xE9 x>y", " y", "", {}, {}},
      {"left marker as the last character", "word <", "word <", "", {}, {}},
      {"empty value", "<A >z", " z", "A", {{'A', ""}}, {}},
      {"two tags", "<A a><B b>c", "  c", "AB", {{'A', "a"}, {'B', "b"}}, {}},
      {"context shows earlier tags replaced", "<A x> <Bfoo> bar", "    bar", "AB", {{'A', "x"}, {'B', "foo"}},
       {{"<A x  <Bfoo> bar", kNoSpace + "<B"}}},
      {"lettered tag cut off at the line end", "x <A", "x ", "A", {}, {{"x <A", kNoSpace + "<A"}, {"x <A", kNoRight}}},
      {"two-character left marker never matches", "<<A x>> y", "<<A x>> y", "", {}, {}, 40, "<<", ">>"},
      {"empty right marker never matches", "<A x> y", "y", "A", {},
       {{"<A x> y", "MESSAGE: Left reference \"<\" does not have a matching right reference \"\""}}, 40, "<", ""},
      {"same character on both sides", "|A x|y", " y", "A", {{'A', "x"}}, {}, 40, "|", "|"},
      {"a concordance pass marks no letter", "<A Act 2> x", "  x", "", {{'A', "Act 2"}}, {}, 40, "<", ">", false},
  };
  for (const MarkupCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScanContext context = MarkupContext(c.left, c.right);
    std::string line = c.input;
    ProcessReferenceLine(context, line, c.markLetters);
    EXPECT_EQ(line, c.output);
    std::string report;
    for (const auto& [errorContext, message] : c.errors) report += ReportEntry("act1.txt", 7, errorContext, message);
    EXPECT_EQ(context.ErrorReportText, report);
    EXPECT_EQ(context.state.currentLineNumber, c.lineNumber);
    for (int letter = 1; letter <= kLetterCount; ++letter) {
      char name = static_cast<char>('A' + letter - 1);
      auto value = c.values.find(name);
      EXPECT_EQ(context.references.ReferenceLetterValue[letter], value == c.values.end() ? "" : value->second) << name;
    }
    EXPECT_EQ(ReferenceLetterBoxText(context.references), c.used);
  }
}

TEST(ReferenceMarkupTest, LeadingInteger) {
  const std::pair<const char*, int64_t> cases[] = {
      {"12", 12},   {"  12", 12}, {"12.7", 12}, {"+5", 5},   {"-5", -5},    {"007", 7},  {"12abc", 12},
      {"", 0},      {"x1", 0},    {"- 5", 0},   {"\t12", 0}, {"  -", 0},    {"-0", 0},
      {"99999999999999999999", int64_t{1} << 62},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(LeadingInteger(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace wordloom
