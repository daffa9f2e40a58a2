// The corners of reading through the index: a text whose last line starts with a join
// character, a text reused after its predecessor changed, an end-of-line text of one space,
// long runs the need-letter rule drops, and restart points damaged within the file's bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "concordance/concordance_run.h"
#include "engine/engine_support.h"
#include "index/index.h"
#include "index/index_format.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

std::string Filler(std::mt19937& random, int lines) {
  static const char* words[] = {"the", "cat", "sat", "on", "mat", "dog", "ran", "far", "away", "home"};
  std::string text;
  for (int l = 0; l < lines; ++l) {
    for (int w = 0; w < 10; ++w) text += std::string(words[random() % 10]) + (w < 9 ? " " : "\n");
  }
  return text;
}

std::string Kwic(const Session& session, const ScratchFolder& scratch, const std::string& keys, MatchKind kind,
                 const std::string& letters) {
  ConcordanceQuery query;
  query.keys = keys;
  query.match = kind;
  query.citationLetters = letters;
  ConcordanceResult result;
  EXPECT_TRUE(RunConcordance(session, query, scratch, result).ok());
  const ScanContext& after = *result.scan;
  std::string seen = ReadFile(result.outputPath) + "\n" + std::to_string(after.state.physicalLineTotal) + "/" +
                     std::to_string(after.state.logicalLineTotal) + "/" + std::to_string(after.state.currentLineNumber);
  for (const std::string& value : after.references.ReferenceLetterValue) seen += "|" + value;
  return seen;
}

// Kwic through the index equals kwic through the texts.
void ExpectKwicAgrees(Session& session, const ScratchFolder& scratch, const std::string& path, const std::string& keys,
                      MatchKind kind, const std::string& letters) {
  ASSERT_TRUE(UpdateProjectIndex(session, path, scratch, session.index).ok());
  ASSERT_TRUE(session.index && session.index->Matches(session));
  const std::string fromIndex = Kwic(session, scratch, keys, kind, letters);
  std::shared_ptr<const ProjectIndex> kept = std::move(session.index);
  const std::string fromTexts = Kwic(session, scratch, keys, kind, letters);
  session.index = kept;
  EXPECT_EQ(fromIndex, fromTexts);
}

// A last line that starts with the join character is read, its tags and counts with it, and
// handed out as no line at all.
TEST(IndexCorners, ALastLineStartingWithAJoinKeepsItsTagsAndCounts) {
  std::mt19937 random(5);
  ScanRules rules;
  rules.join = "&";
  rules.referenceType = ReferenceType::Type1;
  const std::string a = "<S Mira>\n" + Filler(random, 100) + "&<S Oren>\n";
  const std::string b = Filler(random, 3) + "a zebra here\n" + Filler(random, 100);
  ScannedProject corpus(NumberedTexts({a, b}), rules);
  ExpectKwicAgrees(corpus.session, corpus.temp.scratch, corpus.temp.folder.File("p.wlx"), "zebra", MatchKind::Word,
                   "SL");
}

// A reused text keeps no value its old predecessor set.
TEST(IndexCorners, AReusedTextKeepsNoValueOfItsOldPredecessor) {
  std::mt19937 random(5);
  ScanRules rules;
  rules.join = "&";
  rules.referenceType = ReferenceType::Type1;
  ScannedProject corpus(NumberedTexts({Filler(random, 5) + "&<S Oren>\n", Filler(random, 5)}), rules);
  Session& session = corpus.session;
  const std::string path = corpus.temp.folder.File("p.wlx");
  ASSERT_TRUE(UpdateProjectIndex(session, path, corpus.temp.scratch, session.index).ok());
  corpus.temp.folder.Write("0.txt", Filler(random, 5) + "&<S Anna>\n");
  ASSERT_TRUE(ScanProjectTexts(session, corpus.temp.scratch).ok());
  ASSERT_TRUE(UpdateProjectIndex(session, path, corpus.temp.scratch, session.index).ok());
  ASSERT_TRUE(session.index && session.index->Matches(session));
  struct Values : TokenSink {
    void BeginFile(uint32_t file) override { seen += "[" + std::to_string(file) + "]"; }
    void LineRead(const ScanContext& context) override { value = context.references.ReferenceLetterValue[19]; }
    void Token(EntryPosition) override { seen += value + " "; }
    std::string seen, value;
  };
  Values fromIndex, fromTexts;
  ASSERT_TRUE(session.index->Stream(session.scan, fromIndex, nullptr));
  ASSERT_TRUE(StreamTokens(session.project.Files, session.project.rules, session.tables, session.scan,
                           session.lists.Vocabulary, fromTexts));
  EXPECT_EQ(fromIndex.seen, fromTexts.seen);
}

// An end-of-line text of one space counts the end padding's spaces as line ends.
TEST(IndexCorners, AnEndOfLineOfOneSpaceGivesTheSameLineNumbers) {
  std::mt19937 random(1);
  ScanRules rules;
  rules.endOfLine = " ";
  std::vector<std::string> texts;
  for (int t = 0; t < 2; ++t) texts.push_back(Filler(random, 300) + "zebra\n" + Filler(random, 100));
  ScannedProject corpus(NumberedTexts(texts), rules);
  ExpectKwicAgrees(corpus.session, corpus.temp.scratch, corpus.temp.folder.File("p.wlx"), "zebra", MatchKind::Word,
                   "L");
}

// A run of 126 hyphens or more is no word under the need-letter rule, but the keyword pass reads
// it through its ring and may find a key there: such a text is read whole.
TEST(IndexCorners, LongRunsTheNeedLetterRuleDropsAreReadWhole) {
  std::mt19937 random(2);
  ScanRules rules;
  rules.needLetter = true;
  std::vector<std::string> texts;
  for (int t = 0; t < 2; ++t) {
    std::string text;
    for (int block = 0; block < 40; ++block) {
      text += Filler(random, 60 + static_cast<int>(random() % 20));
      text += "zebra" + std::string(118, '.') + "\n" + std::string(130, '-') + " the cat\n";
    }
    texts.push_back(text);
  }
  ScannedProject corpus(NumberedTexts(texts), rules);
  ExpectKwicAgrees(corpus.session, corpus.temp.scratch, corpus.temp.folder.File("p.wlx"), "zebra",
                   MatchKind::Anywhere, "");
}

// Restart points damaged within the file's bounds: too close together, they fail the opening;
// rising and far apart but wrong, they give wrong finds, never a crash or a pass that never ends.
TEST(IndexCorners, DamagedRestartPointsNeverCrashKwic) {
  std::mt19937 random(3);
  const std::string text = Filler(random, 150) + "abcdefghijklmnopqrstuvwxy zebra the cat\n" + Filler(random, 150);
  ScannedProject corpus(NumberedTexts({text}));
  Session& session = corpus.session;
  const std::string path = corpus.temp.folder.File("p.wlx");
  ASSERT_TRUE(UpdateProjectIndex(session, path, corpus.temp.scratch, session.index).ok());
  session.index.reset();
  const std::string good = ReadFile(path);
  IndexHeader header;
  std::memcpy(&header, good.data() + good.size() - sizeof header, sizeof header);
  const IndexSectionPlace place = header.sections[kCheckpointsSection];
  ASSERT_GT(place.size, sizeof(ProjectIndex::Checkpoint));
  for (const int64_t shift : {int64_t{-1000}, int64_t{1000000}, kMostChars / 2}) {
    std::string bytes = good;
    for (uint64_t at = place.offset, i = 0; at < place.offset + place.size;
         at += sizeof(ProjectIndex::Checkpoint), ++i) {
      ProjectIndex::Checkpoint checkpoint;
      std::memcpy(&checkpoint, bytes.data() + at, sizeof checkpoint);
      checkpoint.chars = shift < 0 ? 100 + 20 * static_cast<int64_t>(i) : checkpoint.chars + shift;
      std::memcpy(bytes.data() + at, &checkpoint, sizeof checkpoint);
    }
    corpus.temp.folder.Write("p.wlx", bytes);
    if (shift < 0) {
      EXPECT_FALSE(ProjectIndex::Open(path, session.index).ok());
      continue;
    }
    ASSERT_TRUE(ProjectIndex::Open(path, session.index).ok());
    ASSERT_TRUE(session.index->Matches(session));
    const std::string outcome = InChild([&] {
      (void)Kwic(session, corpus.temp.scratch, "zebra", MatchKind::Word, "");
      return std::string("returned");
    });
    EXPECT_EQ(outcome, "returned");
  }
}

}  // namespace
}  // namespace wordloom::test
