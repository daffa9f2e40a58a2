// The keyword pass against the plain ring pass, on random texts under random rules and queries,
// at every block size down to one character.
#include <gtest/gtest.h>

#include <random>

#include "concordance/citation.h"
#include "concordance/gather.h"
#include "reference_passes.h"
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
  const ScanContext* context = nullptr;
  int64_t lines = 0;
  bool StopRequested() override { return context->state.physicalLineTotal >= lines; }
};

TEST(KwicPass, AgreesWithThePlainRingPassOnRandomTexts) {
  std::mt19937 random(20261206);
  TempFolder folder;
  for (int round = 0; round < 1500; ++round) {
    const ScanRules rules = RandomRules(random);
    const CharTables tables = BuildCharTables(rules);
    const GatherQuery query = RandomQuery(random);
    std::vector<std::string> files;
    const int fileCount = std::uniform_int_distribution<int>(1, 3)(random);
    for (int i = 0; i < fileCount; ++i) {
      files.push_back(folder.Write(std::to_string(i) + ".txt", RandomText(random)));
    }
    ScanContext fast, plain;
    CollectedFinds fastFinds, plainFinds;
    // Now and then the user asks to stop part of the way through the first file.
    const bool stopping = round % 4 == 3;
    const int64_t stopLine = std::uniform_int_distribution<int64_t>(1, 12)(random);
    StopAtLine fastStop, plainStop;
    fastStop.context = &fast;
    plainStop.context = &plain;
    fastStop.lines = plainStop.lines = stopLine;
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
    std::vector<std::string> fastDescribed, plainDescribed;
    for (const CitationRecord& record : fastFinds.records) fastDescribed.push_back(Describe(record));
    for (const CitationRecord& record : plainFinds.records) plainDescribed.push_back(Describe(record));
    ASSERT_EQ(fastDescribed, plainDescribed) << context;
    if (stopping) continue;
    // The reader is left exactly as reading one character at a time leaves it.
    EXPECT_EQ(fast.state.currentLineNumber, plain.state.currentLineNumber) << context;
    EXPECT_EQ(fast.state.logicalLineTotal, plain.state.logicalLineTotal) << context;
    EXPECT_EQ(fast.state.physicalLineTotal, plain.state.physicalLineTotal) << context;
    EXPECT_EQ(fast.state.joinPending, plain.state.joinPending) << context;
    EXPECT_EQ(fast.ErrorReportText, plain.ErrorReportText) << context;
    EXPECT_EQ(fast.references.ReferenceLetterValue, plain.references.ReferenceLetterValue) << context;
  }
}

}  // namespace
}  // namespace wordloom::test
