// The token stream the analyses read: every token of the scan, each the vocabulary entry the
// scan counted it under, so counting the stream gives back the word list.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis/analysis.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

// A project of `texts` (name and bytes) under `rules`, scanned.
using Corpus = ScannedProject;

class EntryCounter : public TokenSink {
 public:
  explicit EntryCounter(size_t entries) : counts(entries) {}
  void BeginFile(uint32_t) override {}
  void Token(EntryPosition entry) override {
    ++tokens;
    if (entry == kNoEntry) {
      ++missing;
    } else {
      ++counts[entry];
    }
  }
  std::vector<int64_t> counts;
  int64_t tokens = 0;
  int64_t missing = 0;
};

void ExpectStreamGivesTheWordList(const Corpus& corpus) {
  const Session& session = corpus.session;
  const EntryList& vocabulary = session.lists.Vocabulary;
  ASSERT_FALSE(vocabulary.empty());
  EntryCounter counter(vocabulary.size());
  ASSERT_TRUE(StreamTokens(session.project.Files, session.project.rules, session.tables, session.scan, vocabulary,
                           counter));
  EXPECT_EQ(counter.missing, 0);
  EXPECT_EQ(counter.tokens, session.totals.tokenCount);
  for (size_t p = 0; p < vocabulary.size(); ++p) {
    EXPECT_EQ(counter.counts[p], vocabulary[p].count) << vocabulary[p].word;
  }
}

std::vector<std::pair<std::string, std::string>> SampleTexts(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> texts;
  for (const auto& item : std::filesystem::directory_iterator(std::string(WORDLOOM_SOURCE_DIR) + "/" + folder)) {
    if (item.path().extension() == ".txt") texts.emplace_back(item.path().filename(), ReadFile(item.path()));
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

TEST(TokenStream, CountsGiveBackTheWordList) {
  // Joins, end hyphens, tags, a word open at a file's end, letters beyond ASCII, a word of
  // hyphens only, text on both sides of a join.
  const std::string windows1252 =
      "<A One> Don't re-\r\nturn the cat&dropped\r\nfish. Caf\xE9 CAF\xC9 -- de-\r\n\r\ncision<B x>end-";
  const std::string utf8 =
      "\xEF\xBB\xBF<S Mira> \xC3\x87" "a va? na\xC3\xAFve fa-\r\n\xC3\xA7" "ade "
      "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82 don\xE2\x80\x99t&x\r\n"
      "<S Oren> \xE5\x9B\xAD\xE5\xAD\x90\xE9\x87\x8C\xE7\x9A\x84 cat-";
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> texts;
    ScanRules rules;
  } cases[] = {
      {"windows-1252", {{"a.txt", windows1252}, {"b.txt", "the cat\r\n"}}, MarkupRules(TextEncoding::Windows1252)},
      {"utf-8 alphabet", {{"a.txt", utf8}, {"b.txt", "the cat"}}, MarkupRules(TextEncoding::Utf8)},
      {"utf-8 boundaries", {{"a.txt", utf8}, {"b.txt", "the cat"}}, MarkupRules(TextEncoding::Utf8, WordBoundaries::Unicode)},
      {"samples", SampleTexts("samples"), MarkupRules(TextEncoding::Windows1252)},
      {"unicode samples", SampleTexts("samples/unicode"), MarkupRules(TextEncoding::Utf8)},
      {"unicode samples by boundaries", SampleTexts("samples/unicode"),
       MarkupRules(TextEncoding::Utf8, WordBoundaries::Unicode)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectStreamGivesTheWordList(Corpus(c.texts, c.rules));
  }
}

}  // namespace
}  // namespace wordloom::test
