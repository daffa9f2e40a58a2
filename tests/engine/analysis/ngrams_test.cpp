// N-grams and clusters: none crosses a file's end, ranges, the order of ties, each cluster
// position for a word and a phrase, and the same table at any budget as a plain count.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "analysis/analysis.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

// A scanned project of `texts`, one file each.
struct Corpus : ScannedProject {
  explicit Corpus(const std::vector<std::string>& texts) : ScannedProject(NumberedTexts(texts)) {}

  NgramTable Grams(const NgramOptions& options) {
    NgramResult result;
    const Status status = Ngrams(session, options, temp.scratch, result);
    EXPECT_TRUE(status.ok()) << status.message();
    return result.table;
  }
  NgramTable Clusters(const std::string& keys, SearchMode mode, ClusterPosition position, NgramOptions options) {
    std::unique_ptr<NodeSearch> search;
    HitQuery query;
    query.keys = keys;
    query.mode = mode;
    EXPECT_TRUE(NodeSearch::Make(session, query, search).ok());
    NgramResult result;
    const Status status = wordloom::Clusters(session, *search, position, options, temp.scratch, result);
    EXPECT_TRUE(status.ok()) << status.message();
    return result.table;
  }
  // Each row as "words frequency range".
  std::vector<std::string> Rows(const NgramTable& table) const {
    std::vector<std::string> rows;
    for (size_t row = 0; row < table.size(); ++row) {
      rows.push_back(table.Text(row, session.lists.Vocabulary) + " " + std::to_string(table.frequency(row)) + " " +
                     std::to_string(table.range(row)));
    }
    return rows;
  }
};

using Rows = std::vector<std::string>;

NgramOptions Lengths(int minN, int maxN, int64_t minimum = 1) {
  return {.minN = minN, .maxN = maxN, .minimum = minimum};
}

TEST(Ngrams, StayWithinTheirFileAndListByFrequencyThenWordByWord) {
  Corpus corpus({"Ant bee, cat.\nAnt bee", "", "cat ant\nbee cat"});
  // "bee cat" would be 3 and "bee cat ant" 2 if the stream ran on from one file into the next.
  EXPECT_EQ(corpus.Rows(corpus.Grams(Lengths(2, 3))),
            (Rows{"ant bee 3 2", "ant bee cat 2 2", "bee cat 2 2", "cat ant 2 2", "cat ant bee 2 2",
                  "bee cat ant 1 1"}));
  EXPECT_EQ(corpus.Rows(corpus.Grams(Lengths(2, 3, 2))).size(), 5u);

  FileWriter out;
  ASSERT_TRUE(corpus.temp.scratch.OpenForWrite("x", out).ok());
  ASSERT_TRUE(ExportNgrams(corpus.session, corpus.Grams(Lengths(3, 5, 2)), TableFormat::Tsv, out).ok());
  ASSERT_TRUE(out.Close().ok());
  EXPECT_EQ(ReadFile(corpus.temp.scratch.PathOf("x")),
            "rank\tngram\tn\tfrequency\trange\n1\tant bee cat\t3\t2\t2\n2\tcat ant bee\t3\t2\t2\n");

  // A word the vocabulary lacks (the text changed since the scan) breaks the stream.
  corpus.temp.folder.Write("2.txt", "cat ant zebra bee cat");
  EXPECT_EQ(corpus.Rows(corpus.Grams(Lengths(2, 2))), (Rows{"ant bee 2 1", "bee cat 2 2", "cat ant 2 2"}));
}

TEST(Ngrams, ClustersHoldAWholeHitAtTheirPosition) {
  Corpus corpus({"ant bee cat ant cat bee", "bee ant"});
  const struct {
    std::string keys;
    SearchMode mode;
    ClusterPosition position;
    NgramOptions options;
    Rows rows;
  } cases[] = {
      {"ant", SearchMode::Word, ClusterPosition::Left, Lengths(2, 2), {"ant bee 1 1", "ant cat 1 1"}},
      {"ant", SearchMode::Word, ClusterPosition::Right, Lengths(2, 2), {"bee ant 1 1", "cat ant 1 1"}},
      {"ant", SearchMode::Word, ClusterPosition::Any, Lengths(2, 2),
       {"ant bee 1 1", "ant cat 1 1", "bee ant 1 1", "cat ant 1 1"}},
      {"ant", SearchMode::Word, ClusterPosition::Left, Lengths(1, 2, 2), {"ant 3 2"}},
      // Hits "ant bee cat" and "ant cat": the shortest match from each first word.
      {"ant {0,1} cat", SearchMode::Phrase, ClusterPosition::Left, Lengths(1, 3),
       {"ant bee cat 1 1", "ant cat 1 1", "ant cat bee 1 1"}},
      {"ant {0,1} cat", SearchMode::Phrase, ClusterPosition::Right, Lengths(1, 3),
       {"ant bee cat 1 1", "ant cat 1 1", "cat ant cat 1 1"}},
      {"ant {0,1} cat", SearchMode::Phrase, ClusterPosition::Any, Lengths(2, 3),
       {"ant bee cat 1 1", "ant cat 1 1", "ant cat bee 1 1", "cat ant cat 1 1"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(corpus.Rows(corpus.Clusters(c.keys, c.mode, c.position, c.options)), c.rows)
        << c.keys << " at " << static_cast<int>(c.position);
  }
}

// Random texts against a plain count, at the default budget and at budgets that spill every
// few n-grams (and merge their runs in many passes).
TEST(Ngrams, AnyBudgetGivesThePlainCount) {
  const std::vector<std::string> words = {"ant", "bee", "cat", "dog", "eel", "fox", "gnu", "hen", "ibis", "jay"};
  std::mt19937 random(17);
  std::vector<std::string> texts;
  std::vector<std::vector<std::string>> tokens;
  for (int file = 0; file < 7; ++file) {
    std::string& text = texts.emplace_back();
    std::vector<std::string>& fileTokens = tokens.emplace_back();
    const int count = file == 3 ? 0 : static_cast<int>(random() % 400);
    for (int i = 0; i < count; ++i) {
      // The least of two draws: the words are skewed, so n-grams repeat.
      const size_t word = std::min(random() % words.size(), random() % words.size());
      fileTokens.push_back(words[word]);
      text += words[word] + (random() % 9 == 0 ? ".\n" : " ");
    }
  }
  Corpus corpus(texts);
  std::map<std::string, EntryPosition> positions;
  for (size_t p = 0; p < corpus.session.lists.Vocabulary.size(); ++p) {
    positions[corpus.session.lists.Vocabulary[p].word] = static_cast<EntryPosition>(p);
  }

  // The n-grams of minN..maxN words that `keep` accepts, listed as the table lists them.
  auto plain = [&](const NgramOptions& options, const std::function<bool(const std::vector<std::string>&)>& keep) {
    std::map<std::vector<EntryPosition>, std::pair<int64_t, std::set<size_t>>> counts;
    for (size_t file = 0; file < tokens.size(); ++file) {
      for (size_t at = 0; at < tokens[file].size(); ++at) {
        for (int n = options.minN; n <= options.maxN && at + static_cast<size_t>(n) <= tokens[file].size(); ++n) {
          const std::vector<std::string> gram(tokens[file].begin() + static_cast<std::ptrdiff_t>(at),
                                              tokens[file].begin() + static_cast<std::ptrdiff_t>(at) + n);
          if (!keep(gram)) continue;
          std::vector<EntryPosition> key;
          for (const std::string& word : gram) key.push_back(positions.at(word));
          ++counts[key].first;
          counts[key].second.insert(file);
        }
      }
    }
    std::vector<std::pair<int64_t, std::vector<EntryPosition>>> listed;
    for (const auto& [key, count] : counts) {
      if (count.first >= options.minimum) listed.emplace_back(-count.first, key);
    }
    std::sort(listed.begin(), listed.end());
    Rows rows;
    for (const auto& [negated, key] : listed) {
      std::string text;
      for (EntryPosition p : key) text += (text.empty() ? "" : " ") + corpus.session.lists.Vocabulary[p].word;
      rows.push_back(text + " " + std::to_string(-negated) + " " + std::to_string(counts[key].second.size()));
    }
    return rows;
  };
  const std::string key = "bee";
  const std::pair<ClusterPosition, std::function<bool(const std::vector<std::string>&)>> positionTests[] = {
      {ClusterPosition::Left, [&](const auto& gram) { return gram.front() == key; }},
      {ClusterPosition::Right, [&](const auto& gram) { return gram.back() == key; }},
      {ClusterPosition::Any, [&](const auto& gram) { return std::count(gram.begin(), gram.end(), key) > 0; }},
  };
  for (const size_t budget : {NgramOptions{}.budgetBytes, size_t{1}, size_t{3000}}) {
    for (NgramOptions options : {Lengths(2, 5, 1), Lengths(2, 3, 2), Lengths(4, 4, 2)}) {
      options.budgetBytes = budget;
      const Rows rows = corpus.Rows(corpus.Grams(options));
      EXPECT_EQ(rows, plain(options, [](const auto&) { return true; })) << budget << " " << options.minN;
      EXPECT_GT(rows.size(), 100u);
    }
    for (const auto& [position, keep] : positionTests) {
      const NgramOptions options = {.minN = 1, .maxN = 4, .minimum = 2, .budgetBytes = budget};
      EXPECT_EQ(corpus.Rows(corpus.Clusters(key, SearchMode::Word, position, options)), plain(options, keep))
          << budget << " at " << static_cast<int>(position);
    }
  }
}

struct StopAtOnce : ProgressSink {
  bool StopRequested() override { return true; }
};

TEST(Ngrams, RefusesBadOptionsAndStopsWhenAsked) {
  Corpus corpus({"ant bee ant bee"});
  NgramResult result;
  for (const NgramOptions& options : {Lengths(1, 3), Lengths(3, 2), Lengths(2, 6), Lengths(2, 3, 0)}) {
    EXPECT_FALSE(Ngrams(corpus.session, options, corpus.temp.scratch, result).ok())
        << options.minN << ".." << options.maxN;
  }
  std::unique_ptr<NodeSearch> search;
  HitQuery query;
  query.keys = "ant";
  ASSERT_TRUE(NodeSearch::Make(corpus.session, query, search).ok());
  auto clusters = [&](const NgramOptions& options) {
    return Clusters(corpus.session, *search, ClusterPosition::Any, options, corpus.temp.scratch, result).ok();
  };
  EXPECT_TRUE(clusters(Lengths(1, 1)));
  EXPECT_FALSE(clusters(Lengths(0, 1)));
  EXPECT_EQ(ClusterPositionNamed("right"), ClusterPosition::Right);
  EXPECT_EQ(ClusterPositionNamed("middle"), std::nullopt);

  StopAtOnce stop;
  ASSERT_TRUE(Ngrams(corpus.session, Lengths(2, 2), corpus.temp.scratch, result, &stop).ok());
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.table.size(), 0u);
}

}  // namespace
}  // namespace wordloom::test
