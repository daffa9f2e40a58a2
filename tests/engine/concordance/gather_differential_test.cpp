// The two passes that gather finds, each against a plain version on random texts under random
// rules: the keyword pass against the plain ring pass, with random queries at every block size
// down to one character; and the whole-line pass against the plain line pass, which cites each
// line with the reference values in force when its last character was read, never with those
// that the next line's tags set.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "reference_passes.h"
#include "scan/text_reader.h"
#include "test_support.h"

namespace wordloom::test {
namespace {

const char* const kPieces[] = {"cat",  "Cat",     "concord", "icon",  "string", "the",    "a",      " ",   " ",
                               "  ",   ".",       ",",       "/",     "&",      "-",      "<A Act 1>", "<L 7>", "<B x",
                               "<L>",  "\r\n",    "\n",      "\r",    "\r\n\r\n", "   \r\n", "inter-", "\xC9" "cole",
                               "\xC0", "con-\r\ncord", "tab\t", "<S Hamlet>"};

std::string RandomText(std::mt19937& random) {
  std::string text;
  const int pieces = std::uniform_int_distribution<int>(0, 160)(random);
  for (int i = 0; i < pieces; ++i) {
    int pick = std::uniform_int_distribution<int>(0, 40)(random);
    if (pick < static_cast<int>(std::size(kPieces))) {
      text += kPieces[pick];
    } else if (pick < 38) {
      text += " ";
    } else {
      // A long word, sometimes longer than the ring.
      text += std::string(static_cast<size_t>(std::uniform_int_distribution<int>(1, 300)(random)),
                          "xyc"[std::uniform_int_distribution<int>(0, 2)(random)]);
    }
  }
  return text;
}

ScanRules RandomRules(std::mt19937& random) {
  auto pick = [&](std::initializer_list<const char*> options) {
    return std::string(*(options.begin() + std::uniform_int_distribution<size_t>(0, options.size() - 1)(random)));
  };
  ScanRules rules;
  rules.alphabet = pick({"abcdefghijklmnopqrstuvwxyz'-0123456789", "abcdefghijklmnopqrstuvwxyz", "xyc ", "cat&/"});
  rules.endOfLine = pick({"/", "/", "", "//", "."});
  rules.join = pick({"", "", "&"});
  rules.endHyphen = pick({"", "-", "--"});
  rules.referenceType = pick({"n", "t"}) == "t" ? ReferenceType::Type1 : ReferenceType::None;
  return rules;
}

GatherQuery RandomQuery(std::mt19937& random) {
  const char* const keys[] = {"cat", "con", "x", "xxxxxxxxxxxxx", "ing", "the", "a", "cord", "c", "y", "\xE9" "cole", "a-b",
                              "co", ""};
  GatherQuery query;
  int count = std::uniform_int_distribution<int>(1, 3)(random);
  // Enough keys to be matched through a table, some too many to search for.
  if (std::uniform_int_distribution<int>(0, 5)(random) == 0) count = std::uniform_int_distribution<int>(5, 14)(random);
  for (int i = 0; i < count; ++i) query.keys.push_back(keys[std::uniform_int_distribution<size_t>(0, std::size(keys) - 1)(random)]);
  query.kind = static_cast<MatchKind>(std::uniform_int_distribution<int>(1, 4)(random));
  query.keepContexts = std::uniform_int_distribution<int>(0, 3)(random) != 0;
  query.halfWidth = std::uniform_int_distribution<int>(5, 120)(random);
  query.letters = ParseCitationLetters(std::uniform_int_distribution<int>(0, 1)(random) ? "AL" : "LS");
  query.lineNumberWidth = 3;
  query.blockSize = std::uniform_int_distribution<int>(0, 2)(random) == 0 ? 64 * 1024
                                                                         : std::uniform_int_distribution<int>(1, 300)(random);
  return query;
}

// Asks to stop once the reader has read `lines` physical lines.
struct StopAtLine : ProgressSink {
  const ScanContext& context;
  int64_t lines;
  StopAtLine(const ScanContext& context, int64_t lines) : context(context), lines(lines) {}
  bool StopRequested() override { return context.state.physicalLineTotal >= lines; }
};

TEST(KwicPass, AgreesWithThePlainRingPassOnRandomTexts) {
  std::mt19937 random(20261206);
  TempFolder folder;
  for (int round = 0; round < 1500; ++round) {
    const ScanRules rules = RandomRules(random);
    const CharTables tables = BuildCharTables(rules);
    const GatherQuery query = RandomQuery(random);
    std::vector<std::string> files(static_cast<size_t>(std::uniform_int_distribution<int>(1, 3)(random)));
    for (size_t i = 0; i < files.size(); ++i) files[i] = folder.Write(std::to_string(i) + ".txt", RandomText(random));
    ScanContext fast, plain;
    CollectedFinds fastFinds, plainFinds;
    // Now and then the user asks to stop part of the way through the first file.
    const bool stopping = round % 4 == 3;
    const int64_t stopLine = std::uniform_int_distribution<int64_t>(1, 12)(random);
    StopAtLine fastStop(fast, stopLine), plainStop(plain, stopLine);
    for (size_t i = 0; i < files.size(); ++i) {
      if (i > 0) {
        --fast.state.currentLineNumber;
        --plain.state.currentLineNumber;
      }
      ASSERT_TRUE(GatherKwic(fast, rules, tables, files[i], query, fastFinds, stopping ? &fastStop : nullptr).ok());
      ASSERT_TRUE(ReferenceKwic(plain, rules, tables, files[i], query, plainFinds, stopping ? &plainStop : nullptr).ok());
      if (stopping) break;
    }
    std::string context = "round " + std::to_string(round) + " " +
                          testing::PrintToString(std::vector<std::string>{rules.alphabet, rules.endOfLine, rules.join,
                                                                          rules.endHyphen}) +
                          " kind " + std::to_string(static_cast<int>(query.kind)) + " block " +
                          std::to_string(query.blockSize) + " keys " + testing::PrintToString(query.keys);
    for (const std::string& file : files) context += "\n--- file:\n" + ReadFile(file);
    ASSERT_EQ(fastFinds.records, plainFinds.records) << context;
    if (stopping) continue;
    // The reader is left exactly as reading one character at a time leaves it.
    auto reader = [](const ScanContext& c) {
      return std::tie(c.state.currentLineNumber, c.state.logicalLineTotal, c.state.physicalLineTotal,
                      c.state.joinPending, c.ErrorReportText, c.references.ReferenceLetterValue);
    };
    EXPECT_EQ(reader(fast), reader(plain)) << context;
  }
}

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
    ASSERT_EQ(fastFinds.records, plainFinds.records)
        << "round " << round << " eol \"" << rules.endOfLine << "\" join \"" << rules.join << "\"\n" << text;
  }
}

}  // namespace
}  // namespace wordloom::test
