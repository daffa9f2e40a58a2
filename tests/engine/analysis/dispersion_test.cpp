// Dispersion: the measures on hand-worked parts, parts by file with the table written out, and
// the sample play by speaker against counts made here from its text.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cctype>
#include <map>

#include "analysis/analysis.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

// A project of `texts` (name and bytes), reading reference tags, scanned.
// Reference tags read, the rest the defaults.
ScanRules TaggedRules() {
  ScanRules rules;
  rules.referenceType = ReferenceType::Type1;
  return rules;
}

struct Corpus : ScannedProject {
  explicit Corpus(const std::vector<std::pair<std::string, std::string>>& texts)
      : ScannedProject(texts, TaggedRules()) {}

  DispersionResult Run(const std::string& keys, int letter, bool places = false) const {
    HitQuery query;
    query.keys = keys;
    std::unique_ptr<NodeSearch> search;
    EXPECT_TRUE(NodeSearch::Make(session, query, search).ok());
    DispersionResult result;
    const Status status = Dispersion(session, *search, DispersionOptions{letter, places}, result);
    EXPECT_TRUE(status.ok()) << status.message();
    return result;
  }

  std::string Export(const DispersionResult& result) const {
    const std::string path = temp.folder.File("out.tsv");
    FileWriter out;
    out.Attach(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
    EXPECT_TRUE(ExportDispersion(session, result, TableFormat::Tsv, out).ok());
    EXPECT_TRUE(out.Close().ok());
    return ReadFile(path);
  }
};

// Each part's name, tokens and hits, in order.
std::string PartsText(const DispersionResult& result) {
  std::string text;
  for (const DispersionPart& part : result.parts) {
    text += part.name + " " + std::to_string(part.tokens) + " " + std::to_string(part.hits) + "; ";
  }
  return text;
}

TEST(Dispersion, MeasuresFromHandWorkedParts) {
  const struct {
    std::vector<std::pair<int64_t, int64_t>> parts;  // tokens, hits
    const char* measures;                            // N f range dp dp_norm juilland_d
  } cases[] = {
      {{{50, 2}, {30, 0}, {20, 3}, {0, 0}}, "100 5 2 0.4 0.5 0.291915"},  // the empty part is dropped
      {{{10, 1}, {20, 2}}, "30 3 2 0 0 1"},                              // hits as the parts' sizes
      {{{10, 2}}, "10 2 1 0  "},                                         // one part
      {{{10, 0}, {5, 0}}, "15 0 0   "},                                  // no hits
      {{}, "0 0 0   "},
  };
  for (const auto& c : cases) {
    DispersionResult result;
    for (const auto& [tokens, hits] : c.parts) result.parts.push_back(DispersionPart{"", tokens, hits, {}});
    MeasureDispersion(result);
    EXPECT_EQ(std::to_string(result.tokens) + " " + std::to_string(result.hits) + " " + std::to_string(result.range) +
                  " " + FormatMeasure(result.dp) + " " + FormatMeasure(result.dpNorm) + " " +
                  FormatMeasure(result.juillandD),
              c.measures);
  }
}

TEST(Dispersion, PartsByFileWithPlacesAndTheTable) {
  Corpus corpus({{"a.txt", "x y x"}, {"b.txt", "!!"}, {"c.txt", "y y y x"}});
  const std::vector<std::string>& files = corpus.session.project.Files;
  const DispersionResult result = corpus.Run("x", 0, true);
  EXPECT_EQ(PartsText(result), files[0] + " 3 2; " + files[2] + " 4 1; ");
  ASSERT_EQ(result.parts.size(), 2u);
  EXPECT_EQ(result.parts[0].places, (std::vector<float>{0, 2.0f / 3}));
  EXPECT_EQ(result.parts[1].places, (std::vector<float>{0.75f}));
  const std::string header = "part\ttokens\thits\tper_million\trange\tdp\tdp_norm\tjuilland_d\n";
  EXPECT_EQ(corpus.Export(result), header + files[0] + "\t3\t2\t666666.666667\t\t\t\t\n" +
                                       files[2] + "\t4\t1\t250000\t\t\t\t\n" +
                                       "*\t7\t3\t428571.428571\t2\t0.238095\t0.416667\t0.545455\n");
  // With no hits every measure is empty, the range too.
  EXPECT_EQ(corpus.Export(corpus.Run("zzz", 0)),
            header + files[0] + "\t3\t0\t0\t\t\t\t\n" + files[2] + "\t4\t0\t0\t\t\t\t\n*\t7\t0\t0\t\t\t\t\n");

  HitQuery query;
  query.keys = "x";
  std::unique_ptr<NodeSearch> search;
  ASSERT_TRUE(NodeSearch::Make(corpus.session, query, search).ok());
  DispersionResult failed;
  EXPECT_FALSE(Dispersion(corpus.session, *search, DispersionOptions{kLetterCount + 1}, failed).ok());
}

// The parts of `text` by the values of `letter`, with the hits of `word`, counted here: the
// tags of a line are read before its words, which are runs of the default alphabet.
std::string CountParts(const std::string& text, char letter, const std::string& word, const std::string& before) {
  std::vector<std::string> names;
  std::map<std::string, std::pair<int64_t, int64_t>> counts;
  std::string value = before;
  for (const std::string& line : CrLfLines(text)) {
    std::string words;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '<') {
        const size_t end = line.find('>', i);
        if (line[i + 1] == letter) {
          const size_t start = line.find_first_not_of(' ', i + 2);
          value = line.substr(start, end - start);
        }
        words += ' ';
        i = end;
      } else {
        words += static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
      }
    }
    const std::string alphabet = kDefaultAlphabet;
    for (size_t at = words.find_first_of(alphabet); at != std::string::npos; at = words.find_first_of(alphabet, at)) {
      const size_t end = std::min(words.find_first_not_of(alphabet, at), words.size());
      if (!counts.contains(value)) names.push_back(value);
      ++counts[value].first;
      counts[value].second += words.substr(at, end - at) == word;
      at = end;
    }
  }
  std::string parts;
  for (const std::string& name : names) {
    parts += name + " " + std::to_string(counts[name].first) + " " + std::to_string(counts[name].second) + "; ";
  }
  return parts;
}

TEST(Dispersion, SamplePlayBySpeaker) {
  const std::string play = ReadFile(std::string(WORDLOOM_SOURCE_DIR) + "/samples/lanterns.txt");
  Corpus corpus({{"lanterns.txt", play}});
  const int speaker = 'S' - 'A' + 1;
  DispersionResult result = corpus.Run("the", speaker, true);
  const std::string expected = CountParts(play, 'S', "the", "");
  EXPECT_EQ(PartsText(result), expected);
  EXPECT_EQ(result.tokens, corpus.session.totals.tokenCount);
  EXPECT_EQ(expected.substr(0, 7), " 10 2; ");  // the title, before any speaker
  EXPECT_EQ(result.parts[0].places, (std::vector<float>{0, 0.3f}));
  int64_t hits = 0;
  for (const DispersionPart& part : result.parts) hits += part.hits;
  EXPECT_EQ(result.hits, hits);

  // A value the project defines is in force before the first tag, whatever the last pass left.
  corpus.session.referenceLetters.SetCell(speaker, 1, "Prologue");
  result = corpus.Run("the", speaker);
  EXPECT_EQ(PartsText(result), CountParts(play, 'S', "the", "Prologue"));
}

// A value runs on into the next file, as citations have it; a value met again is the same part.
TEST(Dispersion, AValueRunsOnIntoTheNextFile) {
  Corpus corpus({{"one.txt", "<S Ann> the cat\n"}, {"two.txt", "the dog\n<S Bo> the end\n<S Ann> a the\n"}});
  EXPECT_EQ(PartsText(corpus.Run("the", 'S' - 'A' + 1)), "Ann 6 3; Bo 2 1; ");
}

}  // namespace
}  // namespace wordloom::test
