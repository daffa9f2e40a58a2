// Keyness: the measures worked by hand, the listing (minimum, threshold, direction, order), and
// the three kinds of reference, across the two encodings.
#include <fcntl.h>
#include <gtest/gtest.h>

#include "analysis/analysis.h"
#include "engine/engine_support.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

// A project of `texts` (name and bytes) under `rules`, scanned.
using Corpus = ScannedProject;

// Windows-1252 rules whose alphabet holds é and œ, or the UTF-8 defaults.
ScanRules Rules(TextEncoding encoding) {
  ScanRules rules;
  rules.encoding = encoding;
  rules.alphabet = encoding == TextEncoding::Utf8 ? kDefaultUtf8Alphabet : std::string(kDefaultAlphabet) + "\xE9\xEF\x9C";
  return rules;
}

using Frequencies = std::unordered_map<std::string, int64_t>;

TEST(Keyness, MeasuresWorkedByHand) {
  const struct {
    int64_t a, b, c, d;
    const char* ll;
    const char* logRatio;
    bool positive;
  } cases[] = {
      {10, 0, 100, 100, "13.862944", "4.321928", true},  // 20 ln 2; log2(0.1 / 0.005)
      {5, 20, 100, 200, "2.184606", "-1", false},
      {10, 20, 100, 200, "0", "0", false},  // equal rates: not positive
      {0, 4, 50, 50, "5.545177", "-3", false},
      {3, 60, 20, 100, "8.507189", "-2", false},
  };
  for (const auto& c : cases) {
    KeynessRow row;
    MeasureKeyness(c.a, c.b, c.c, c.d, row);
    EXPECT_EQ(FormatMeasure(row.ll), c.ll) << c.a << " " << c.b;
    EXPECT_EQ(FormatMeasure(row.logRatio), c.logRatio) << c.a << " " << c.b;
    EXPECT_EQ(row.positive, c.positive) << c.a << " " << c.b;
  }
}

TEST(Keyness, ListsByDirectionThenLLWithinMinimumAndThreshold) {
  // c = 20: apple 8, bean 4, date 4, cherry 3, egg 1. d = 100: cherry 60, fig 40.
  Corpus corpus({{"t.txt", "Apple apple apple apple apple apple apple APPLE date bean date bean\r\n"
                           "date bean date bean cherry cherry cherry egg"}},
                Rules(TextEncoding::Windows1252));
  const std::string list = corpus.temp.folder.Write("ref.tsv", "cherry\t50\r\nCherry\t10\r\n\r\nfig\t40\r\n   \r\n");
  ReferenceCorpus reference;
  ASSERT_TRUE(AddReferenceWordList(corpus.session, list, reference).ok());
  EXPECT_EQ(reference.frequencies, (Frequencies{{"cherry", 60}, {"fig", 40}}));
  EXPECT_EQ(reference.tokens, 100);

  auto listed = [&](int64_t minimum, double threshold) {
    std::vector<KeynessRow> rows;
    EXPECT_TRUE(Keyness(corpus.session, reference, {minimum, threshold}, rows).ok());
    std::string words;
    for (const KeynessRow& row : rows) words += corpus.session.lists.Vocabulary[row.entry].word + " ";
    return words;
  };
  EXPECT_EQ(listed(3, 3.84), "apple bean date cherry ");  // bean and date tie: the project's order
  EXPECT_EQ(listed(1, 3.84), "apple bean date cherry ");  // egg: LL 3.583519
  EXPECT_EQ(listed(1, 3.5), "apple bean date egg cherry ");
  EXPECT_EQ(listed(4, 10.83), "apple bean date ");
  EXPECT_EQ(listed(3, 15.13), "apple ");

  std::vector<KeynessRow> rows;
  ASSERT_TRUE(Keyness(corpus.session, reference, {}, rows).ok());
  TempFolder out;
  FileWriter writer;
  writer.Attach(::open(out.File("k.tsv").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600));
  ASSERT_TRUE(ExportKeyness(corpus.session, rows, TableFormat::Tsv, writer).ok());
  ASSERT_TRUE(writer.Close().ok());
  EXPECT_EQ(ReadFile(out.File("k.tsv")),
            "rank\tword\tfrequency\treference_frequency\tll\tlog_ratio\tdirection\n"
            "1\tapple\t8\t0\t28.668152\t6.321928\t+\n"
            "2\tbean\t4\t0\t14.334076\t5.321928\t+\n"
            "3\tdate\t4\t0\t14.334076\t5.321928\t+\n"
            "4\tcherry\t3\t60\t8.507189\t-2\t-\n");

  EXPECT_EQ(Keyness(corpus.session, ReferenceCorpus{}, {}, rows).message(), "The reference corpus holds no words.");
  EXPECT_TRUE(rows.empty());
}

TEST(Keyness, AMalformedWordListNamesItsLineAndAddsNothing) {
  Corpus latin({{"t.txt", "word"}}, Rules(TextEncoding::Windows1252));
  Corpus utf8({{"t.txt", "word"}}, Rules(TextEncoding::Utf8));
  const struct {
    const Corpus& target;
    const char* bytes;
    const char* error;
  } cases[] = {
      {latin, "fig\t3\nno tab here\n", "line 2: no tab between the word and its frequency."},
      {latin, "fig\t3\n\n\t4\n", "line 3: the word is empty."},
      {latin, "fig\t-3\n", "line 1: the frequency \"-3\" is not a whole number of 0 or more."},
      {latin, "fig\t3 \n", "line 1: the frequency \"3 \" is not a whole number of 0 or more."},
      {latin, "fig\t\n", "line 1: the frequency \"\" is not a whole number of 0 or more."},
      {latin, "fig\t99999999999999999999\n", "line 1: the frequency 99999999999999999999 is too large."},
      {latin, "fig\t9223372036854775807\r\negg\t1\r\n", "line 2: the frequencies add up to more than 9223372036854775807."},
      {utf8, "fig\t1\ncaf\xE9\t2\n", "line 2: the word is not valid UTF-8."},
  };
  for (const auto& c : cases) {
    const std::string path = c.target.temp.folder.Write("bad.tsv", c.bytes);
    ReferenceCorpus reference{{{"fig", 5}}, 5};
    EXPECT_EQ(AddReferenceWordList(c.target.session, path, reference).message(), path + ": " + c.error);
    EXPECT_EQ(reference.frequencies, (Frequencies{{"fig", 5}}));
    EXPECT_EQ(reference.tokens, 5);
  }
}

TEST(Keyness, AUtf8WordListMeetsAWindows1252ProjectInItsEncodingAndCase) {
  Corpus corpus({{"t.txt", "Caf\xE9 \xC9t\xE9 \x9Cuvre"}}, Rules(TextEncoding::Windows1252));
  // É and Œ fold to é and œ; a decomposed é composes; 日本 has no Windows-1252 form: d alone.
  const std::string list =
      corpus.temp.folder.Write("ref.tsv", "\xEF\xBB\xBF" "CAFÉ\t3\nété\t2\ne\xCC\x81t\xC3\xA9\t1\nŒUVRE\t1\n日本\t4\n");
  ReferenceCorpus reference;
  ASSERT_TRUE(AddReferenceWordList(corpus.session, list, reference).ok());
  EXPECT_EQ(reference.frequencies, (Frequencies{{"caf\xE9", 3}, {"\xE9t\xE9", 3}, {"\x9Cuvre", 1}}));
  EXPECT_EQ(reference.tokens, 11);
}

TEST(Keyness, ReferenceProjectsAndTextsComeInTheTargetsEncoding) {
  Corpus unicode({{"u.txt", "Café naïve ŒUVRE 日本 café"}}, Rules(TextEncoding::Utf8));
  Corpus latin({{"l.txt", "Caf\xE9 na\xEFve caf\xE9 caf\xE9"}}, Rules(TextEncoding::Windows1252));
  const std::string unicodePath = unicode.temp.folder.File("u.wlm");
  const std::string latinPath = latin.temp.folder.File("l.wlm");
  ASSERT_TRUE(SaveProject(unicode.session, unicodePath).ok());
  ASSERT_TRUE(SaveProject(latin.session, latinPath).ok());

  ReferenceCorpus reference;
  ASSERT_TRUE(AddReferenceProject(latin.session, unicodePath, reference).ok());
  EXPECT_EQ(reference.frequencies, (Frequencies{{"caf\xE9", 2}, {"na\xEFve", 1}, {"\x9Cuvre", 1}}));
  EXPECT_EQ(reference.tokens, 5);  // 日本 counts in d alone
  ASSERT_TRUE(AddReferenceProject(latin.session, latinPath, reference).ok());
  EXPECT_EQ(reference.frequencies, (Frequencies{{"caf\xE9", 5}, {"na\xEFve", 2}, {"\x9Cuvre", 1}}));
  EXPECT_EQ(reference.tokens, 9);

  reference = {};
  ASSERT_TRUE(AddReferenceProject(unicode.session, latinPath, reference).ok());
  EXPECT_EQ(reference.frequencies, (Frequencies{{"café", 3}, {"naïve", 1}}));
  // Texts are scanned under the target's rules: its alphabet, its case.
  ASSERT_TRUE(AddReferenceTexts(unicode.session, {unicode.temp.folder.Write("r.txt", "NAÏVE Naïve x")},
                                unicode.temp.scratch, reference).ok());
  EXPECT_EQ(reference.frequencies, (Frequencies{{"café", 3}, {"naïve", 3}, {"x", 1}}));
  EXPECT_EQ(reference.tokens, 7);

  const std::string missing = unicode.temp.folder.File("missing.txt");
  EXPECT_EQ(AddReferenceTexts(unicode.session, {missing}, unicode.temp.scratch, reference).message(),
            "Could not read the reference text " + missing + ": No such file or directory.");
  const std::string text = unicode.temp.folder.Write("plain.txt", "not a project");
  EXPECT_EQ(AddReferenceProject(unicode.session, text, reference).message(), text + " is not a Wordloom project file.");
  EXPECT_EQ(reference.tokens, 7);
}

}  // namespace
}  // namespace wordloom::test
