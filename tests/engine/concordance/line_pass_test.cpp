// The whole-line pass against the plain one: each line is cited with the reference values in
// force when its last character was read, never with those that the next line's tags set.
#include <gtest/gtest.h>

#include <random>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "reference_passes.h"
#include "scan/text_reader.h"
#include "test_support.h"

namespace wordloom::test {
namespace {

// The line pass put plainly: one character at a time, the citation taken again after every
// read that leaves the line number as it was.
Status PlainLinePass(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                     const GatherQuery& query, CitationSink& sink) {
  LineSource file;
  Status opened = file.Open(path);
  if (!opened.ok()) return opened;
  BeginPass(context, rules, tables, "");
  BeginFile(context, path);
  ScanState& s = context.state;
  WordCharTable isWord;
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;
  auto isEndOfLine = [&](int c) {
    return c == kNoChar ? s.endOfLine.empty() : s.endOfLine == std::string(1, static_cast<char>(c));
  };
  auto exhausted = [&] { return file.AtEnd() && s.linePosition > s.lineLength; };
  auto next = [&] { return NextContextChar(context, file); };
  auto cite = [&](int64_t lineNumber) {
    std::string citation;
    BuildCitation(query.letters, lineNumber, query.lineNumberWidth, context.references.ReferenceLetterValue, citation);
    return citation;
  };
  int c = next();
  while (!exhausted()) {
    if (isEndOfLine(c)) c = next();
    const int64_t lineNumber = s.currentLineNumber;
    const int64_t sequence = s.logicalLineTotal;
    std::string line;
    std::string citation = cite(lineNumber);
    while (!exhausted() && s.currentLineNumber == lineNumber) {
      if (!isEndOfLine(c) && c != kNoChar) line += static_cast<char>(c);
      c = next();
      if (s.currentLineNumber == lineNumber) citation = cite(lineNumber);
    }
    for (size_t n = 0; n < query.keys.size(); ++n) {
      if (MatchKey(query.kind, query.keys[n], Lower1252(line), isWord)) {
        sink.Add(static_cast<int64_t>(n + 1), sequence, citation, line, "");
      }
    }
  }
  return file.error();
}

TEST(LinePass, AgreesWithThePlainPassOnRandomTexts) {
  const char* const pieces[] = {"tide", "a",     " ",      "/",       "&",     "-",         "<A Hale>", "<A Wren> ",
                                "<L 7>", "<L 2>", "<B x>",  "<A ",     "\r\n",  "\r\n\r\n",  "   \r\n",  "<A Oren>\r\n"};
  std::mt19937 random(7);
  TempFolder folder;
  for (int round = 0; round < 1000; ++round) {
    ScanRules rules;
    rules.referenceType = random() % 5 ? ReferenceType::Type1 : ReferenceType::None;
    rules.endOfLine = std::vector<const char*>{"/", "", "//"}[random() % 3];
    rules.join = random() % 2 ? "&" : "";
    rules.endHyphen = random() % 3 ? "" : "-";
    GatherQuery query;
    query.keys = {"tide", "a"};
    query.kind = MatchKind::Anywhere;
    query.letters = ParseCitationLetters(random() % 2 ? "AL" : "BAL");
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 60)(random); n > 0; --n) text += pieces[random() % std::size(pieces)];
    const std::string path = folder.Write("random.txt", text);
    ScanContext plain, fast;
    CollectedFinds plainFinds, fastFinds;
    ASSERT_TRUE(PlainLinePass(plain, rules, BuildCharTables(rules), path, query, plainFinds).ok());
    ASSERT_TRUE(GatherLine(fast, rules, BuildCharTables(rules), path, query, fastFinds).ok());
    std::vector<std::string> expected, found;
    for (const CitationRecord& record : plainFinds.records) expected.push_back(Describe(record));
    for (const CitationRecord& record : fastFinds.records) found.push_back(Describe(record));
    ASSERT_EQ(found, expected)
        << "round " << round << " eol \"" << rules.endOfLine << "\" join \"" << rules.join << "\"\n" << text;
  }
}

}  // namespace
}  // namespace wordloom::test
