// A keyword concordance read through the index, only around the candidate tokens, equals the
// one that reads every text whole: output, counts, and the reader it leaves.
#include <gtest/gtest.h>

#include <random>

#include "concordance/concordance_run.h"
#include "engine/engine_support.h"
#include "index/index.h"

namespace wordloom::test {
namespace {

// Texts of a few thousand characters: words of a small vocabulary and a few rare ones,
// reference tags (line numbers among them), joins, end hyphens, blank lines and spaces,
// a long word now and then, and lines of every length.
std::string RandomText(std::mt19937& random) {
  static const char* common[] = {"the", "cat", "sat", "on", "mat", "fish.", "Don't", "--"};
  static const char* lines[] = {"re-\r\n", "&cut\n", "\r\n", "\r\n\r\n  \r\n", "\n", "end-"};
  static const char* tags[] = {"<A one>", "<B two>", "<A three>", "<L 40>"};
  std::string text;
  for (int i = static_cast<int>(random() % 3000); i > 0; --i) {
    const unsigned pick = random() % 1000;
    if (pick < 800) {
      text += common[pick % 8];
    } else if (pick < 930) {
      text += lines[pick % 6];
    } else if (pick < 933) {
      text += tags[random() % 4];
    } else if (pick < 995) {
      text += "rare" + std::to_string(random() % 40);
    } else if (pick < 996) {
      text += std::string(120 + random() % 20, 'w');  // about the ring's reach
    } else {
      text += pick % 2 ? "zebra" : "quagga";
    }
    text += random() % 9 == 0 ? "\r\n" : " ";
  }
  if (random() % 4 == 0) text += "<B>";  // a malformed tag: the text goes to the Error Report
  return text;
}

struct Outcome {
  std::string output, counts, reader;
};

Outcome Concordance(const Session& session, const ScratchFolder& scratch, const ConcordanceQuery& query) {
  ConcordanceResult result;
  EXPECT_TRUE(RunConcordance(session, query, scratch, result).ok());
  Outcome run{ReadFile(result.outputPath), result.countsText, ""};
  const ScanContext& after = *result.scan;
  run.reader = std::to_string(after.state.physicalLineTotal) + "/" + std::to_string(after.state.logicalLineTotal) +
               "/" + std::to_string(after.state.currentLineNumber) + "/" + after.ErrorReportText;
  for (const std::string& value : after.references.ReferenceLetterValue) run.reader += "|" + value;
  return run;
}

TEST(IndexedKwic, EqualsReadingEveryTextWhole) {
  std::mt19937 random(73);
  const MatchKind kinds[] = {MatchKind::Word, MatchKind::Prefix, MatchKind::Suffix, MatchKind::Anywhere};
  const char* keys[] = {"zebra", "rare7 rare13", "quagga zebra rare1", "rare4", "ww", "wwwwwwwwwwwwwwwwwwww", "rare2"};
  for (int round = 0; round < 60; ++round) {
    std::vector<std::string> texts(1 + random() % 3);
    for (std::string& text : texts) text = RandomText(random);
    if (round % 5 == 0) texts.push_back("short <A four> zebra&");  // a join on a text's last line
    ScanRules rules;
    rules.join = "&";
    rules.endHyphen = "-";
    rules.referenceType = ReferenceType::Type1;
    ScannedProject corpus(NumberedTexts(texts), rules);
    Session& session = corpus.session;
    ASSERT_TRUE(UpdateProjectIndex(session, corpus.temp.folder.File("p.wlx"), corpus.temp.scratch, session.index).ok());
    ASSERT_TRUE(session.index);

    ConcordanceQuery query;
    query.keys = keys[round % 7];
    query.match = kinds[round % 4];
    query.order = static_cast<CitationOrder>(1 + round % 3);
    query.citationLetters = round % 2 ? "ABL" : "BA";
    query.contextWidth = 20 + 20 * (round % 6);
    query.index = round % 7 == 6;
    const Outcome fromIndex = Concordance(session, corpus.temp.scratch, query);
    std::shared_ptr<const ProjectIndex> kept = std::move(session.index);
    const Outcome fromTexts = Concordance(session, corpus.temp.scratch, query);
    EXPECT_EQ(fromIndex.output, fromTexts.output) << "round " << round << ", keys " << query.keys;
    EXPECT_EQ(fromIndex.counts, fromTexts.counts);
    EXPECT_EQ(fromIndex.reader, fromTexts.reader);
  }
}

}  // namespace
}  // namespace wordloom::test
