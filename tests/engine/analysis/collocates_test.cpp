// Collocates: windows counted by hand on a few tokens, the measures on hand-worked counts, and
// the streaming count against a plain count over whole files on random texts.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "analysis/analysis.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

// A project of `texts` (name and bytes), scanned under the default rules.
struct Corpus : ScannedProject {
  explicit Corpus(const std::vector<std::string>& texts) : ScannedProject(NumberedTexts(texts)) {}

  std::unique_ptr<NodeSearch> Search(const std::string& keys, SearchMode mode) const {
    HitQuery query;
    query.keys = keys;
    query.mode = mode;
    std::unique_ptr<NodeSearch> search;
    const Status status = NodeSearch::Make(session, query, search);
    EXPECT_TRUE(status.ok()) << status.message();
    return search;
  }
};

CollocateOptions Window(int left, int right, CollocateMeasure sortBy = CollocateMeasure::Frequency) {
  return CollocateOptions{.left = left, .right = right, .minimum = 1, .sortBy = sortBy};
}

// The rows as "word left/right/observed", in their order.
std::string RowsText(const Corpus& corpus, const CollocateResult& result) {
  std::string text;
  for (const CollocateRow& row : result.rows) {
    if (!text.empty()) text += ", ";
    text += corpus.session.lists.Vocabulary[row.entry].word + " " + std::to_string(row.left) + "/" +
            std::to_string(row.right) + "/" + std::to_string(row.observed);
  }
  return text;
}

TEST(Collocates, WindowsCountEachPositionOnce) {
  const struct {
    const char* name;
    std::vector<std::string> texts;
    const char* keys;
    SearchMode mode;
    int left, right;
    const char* rows;  // by O, then the project's order
  } cases[] = {
      // "c" lies in both hits' windows, counted once; the first "x" lies in the second hit's.
      {"overlapping windows", {"a b x c x d e"}, "x", SearchMode::Word, 2, 2,
       "x 1/1/2, a 1/0/1, b 1/0/1, c 1/1/1, d 0/1/1, e 0/1/1"},
      {"left only", {"a b x c x d e"}, "x", SearchMode::Word, 1, 0, "b 1/0/1, c 1/0/1"},
      // A window stops at its file's end: "c" and "d" lie only in the second file's hit's.
      {"file ends", {"x a b x", "c d x"}, "x", SearchMode::Word, 2, 2, "a 1/1/1, b 1/1/1, c 1/0/1, d 1/0/1"},
      // Two keys, one hit a token; "y" and "x" hit, so "a" lies in two windows.
      {"several keys", {"x a y, b"}, "x y", SearchMode::Word, 1, 1, "a 1/1/1, b 0/1/1"},
      // A phrase's window runs from its first and last tokens; the tokens between are its own.
      {"phrase", {"a b x y c x q y d"}, "x {0,1} y", SearchMode::Phrase, 1, 1, "b 1/0/1, c 1/1/1, d 0/1/1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Corpus corpus(c.texts);
    CollocateResult result;
    ASSERT_TRUE(Collocates(corpus.session, *corpus.Search(c.keys, c.mode), Window(c.left, c.right), result).ok());
    EXPECT_EQ(RowsText(corpus, result), c.rows);
    EXPECT_EQ(result.tokens, corpus.session.totals.tokenCount);
  }
}

TEST(Collocates, MeasuresFromHandWorkedCounts) {
  const struct {
    int64_t observed, nodeHits, frequency, tokens;
    int span;
    const char *mi, *t, *logDice, *ll;
  } cases[] = {
      {2, 2, 3, 20, 4, "0.736966", "0.565685", "13.678072", "1.026938"},
      {3, 2, 3, 20, 4, "1.321928", "1.03923", "14.263034", "6.323352"},  // a zero cell counts 0
      {0, 2, 3, 20, 4, "", "", "", "3.41232"},                           // log and division by O
      {2, 5, 3, 20, 10, "-1.906891", "-3.889087", "13", ""},             // windows outnumber tokens
      {0, 0, 0, 0, 4, "", "", "", ""},
  };
  for (const auto& c : cases) {
    CollocateRow row;
    MeasureCollocate(c.observed, c.nodeHits, c.frequency, c.tokens, c.span, row);
    EXPECT_EQ(FormatMeasure(row.mi) + "|" + FormatMeasure(row.t) + "|" + FormatMeasure(row.logDice) + "|" +
                  FormatMeasure(row.ll),
              std::string(c.mi) + "|" + c.t + "|" + c.logDice + "|" + c.ll)
        << c.observed << " " << c.nodeHits << " " << c.frequency << " " << c.tokens;
  }
}

TEST(Collocates, ExportWritesEveryColumnAndBadOptionsFail) {
  Corpus corpus({"a b x c x d e"});
  const auto search = corpus.Search("x", SearchMode::Word);
  CollocateResult result;
  ASSERT_TRUE(Collocates(corpus.session, *search, CollocateOptions{.left = 2, .right = 2, .minimum = 2}, result).ok());
  const std::string path = corpus.temp.folder.File("out.tsv");
  FileWriter out;
  out.Attach(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
  ASSERT_TRUE(ExportCollocates(corpus.session, result, TableFormat::Tsv, out).ok());
  ASSERT_TRUE(out.Close().ok());
  // E = 2·4·2/7; the windows hold more than the 7 tokens, so LL is empty.
  EXPECT_EQ(ReadFile(path),
            "rank\tword\tleft\tright\tfrequency\tcollocate_frequency\tmi\tt\tlogdice\tll\n"
            "1\tx\t1\t1\t2\t2\t-0.192645\t-0.202031\t14\t\n");

  const CollocateOptions bad[] = {{.left = -1}, {.right = kMostCollocateSpan + 1}, {.left = 0, .right = 0},
                                  {.minimum = 0}};
  std::vector<int64_t> hits;
  for (const CollocateOptions& options : bad) {
    EXPECT_FALSE(Collocates(corpus.session, *search, options, result).ok());
    EXPECT_FALSE(CollocateHits(corpus.session, *search, options, 0, hits).ok());
  }
  EXPECT_TRUE(CollocateMeasureNamed("logdice") == CollocateMeasure::LogDice);
  EXPECT_FALSE(CollocateMeasureNamed("dice").has_value());
}

// Each file's tokens with the length of the hit starting at each, as the search finds them.
class TokenRecorder : public HitTokenSink {
 public:
  using HitTokenSink::HitTokenSink;
  struct Token {
    EntryPosition entry;
    int hitTokens;
  };
  std::vector<std::vector<Token>> files;

 private:
  void FileStarted(uint32_t) override { files.emplace_back(); }
  void TokenAt(int64_t, EntryPosition entry, int hitTokens, uint32_t) override {
    files.back().push_back({entry, hitTokens});
  }
};

// The plain count: every hit's window marked over its whole file.
struct Reference {
  std::map<EntryPosition, std::array<int64_t, 3>> counts;  // left, right, observed
  std::map<EntryPosition, std::vector<int64_t>> hits;      // per collocate, the hits holding it
  int64_t nodeHits = 0;

  Reference(const std::vector<std::vector<TokenRecorder::Token>>& files, int left, int right) {
    for (const auto& tokens : files) {
      const auto n = static_cast<int64_t>(tokens.size());
      std::vector<int> inLeft(tokens.size()), inRight(tokens.size());
      for (int64_t s = 0; s < n; ++s) {
        if (tokens[s].hitTokens == 0) continue;
        std::set<EntryPosition> seen;
        const int64_t e = s + tokens[s].hitTokens - 1;
        for (int64_t q = std::max<int64_t>(0, s - left); q < s; ++q) {
          inLeft[q] = 1;
          seen.insert(tokens[q].entry);
        }
        for (int64_t q = e + 1; q <= std::min(n - 1, e + right); ++q) {
          inRight[q] = 1;
          seen.insert(tokens[q].entry);
        }
        for (EntryPosition entry : seen) hits[entry].push_back(nodeHits);
        ++nodeHits;
      }
      for (size_t q = 0; q < tokens.size(); ++q) {
        if (!inLeft[q] && !inRight[q]) continue;
        auto& count = counts[tokens[q].entry];
        count[0] += inLeft[q];
        count[1] += inRight[q];
        ++count[2];
      }
    }
  }
};

TEST(Collocates, AgreeWithAPlainCountOnRandomTexts) {
  std::mt19937 random(17);
  const char* words[] = {"a", "b", "c", "x", "y"};
  const char* separators[] = {" ", " ", ", ", "\r\n", ". "};
  const std::pair<const char*, SearchMode> searches[] = {
      {"x", SearchMode::Word}, {"x y", SearchMode::Word}, {"x y", SearchMode::Phrase},
      {"x {0,2} x|a", SearchMode::Phrase}};
  // Sorting by O is checked above; here each measure that may be NaN.
  const std::pair<CollocateMeasure, double CollocateRow::*> measures[] = {
      {CollocateMeasure::MI, &CollocateRow::mi}, {CollocateMeasure::T, &CollocateRow::t},
      {CollocateMeasure::LogDice, &CollocateRow::logDice}, {CollocateMeasure::LL, &CollocateRow::ll}};
  const auto pick = [&](int most) { return static_cast<int>(random() % static_cast<unsigned>(most + 1)); };
  for (int round = 0; round < 150; ++round) {
    std::vector<std::string> texts(1 + pick(2));
    for (std::string& text : texts) {
      for (int i = pick(30); i > 0; --i) text += std::string(words[pick(4)]) + separators[pick(4)];
    }
    texts[0] += "a";  // never an empty vocabulary
    Corpus corpus(texts);
    const auto& [keys, mode] = searches[pick(3)];
    const auto search = corpus.Search(keys, mode);
    const auto& [measure, field] = measures[pick(3)];
    CollocateOptions options = Window(pick(3), pick(3), measure);
    if (options.left + options.right == 0) options.right = 1;
    SCOPED_TRACE(std::to_string(round) + ": " + keys + " " + std::to_string(options.left) + "/" +
                 std::to_string(options.right));

    TokenRecorder recorder(*search);
    const Session& session = corpus.session;
    ASSERT_TRUE(StreamTokens(session.project.Files, session.project.rules, session.tables, session.scan,
                             session.lists.Vocabulary, recorder));
    const Reference reference(recorder.files, options.left, options.right);

    CollocateResult result;
    ASSERT_TRUE(Collocates(session, *search, options, result).ok());
    EXPECT_EQ(result.nodeHits, reference.nodeHits);
    std::map<EntryPosition, std::array<int64_t, 3>> counts;
    for (const CollocateRow& row : result.rows) counts[row.entry] = {row.left, row.right, row.observed};
    EXPECT_EQ(counts, reference.counts);
    // The chosen measure descending, NaN last, ties in the project's order.
    const auto value = [&](size_t row) {
      const double measured = result.rows[row].*field;
      return std::isnan(measured) ? -INFINITY : measured;
    };
    for (size_t i = 1; i < result.rows.size(); ++i) {
      const bool tie = value(i - 1) == value(i) && result.rows[i - 1].entry < result.rows[i].entry;
      EXPECT_TRUE(value(i - 1) > value(i) || tie) << i;
    }

    for (EntryPosition entry = 0; entry < session.lists.Vocabulary.size(); ++entry) {
      std::vector<int64_t> hits;
      ASSERT_TRUE(CollocateHits(session, *search, options, entry, hits).ok());
      const auto expected = reference.hits.find(entry);
      EXPECT_EQ(hits, expected == reference.hits.end() ? std::vector<int64_t>{} : expected->second)
          << session.lists.Vocabulary[entry].word;
    }
  }
}

}  // namespace
}  // namespace wordloom::test
