// Word ranges (the number of files a word occurs in): the counter's, at every budget and
// count limit, and the one-pass count of a vocabulary that came without them, against a plain
// reference built from the vocabulary of each file scanned alone.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/engine_support.h"
#include "scan/sort_key.h"
#include "scan/text_reader.h"
#include "scan/vocabulary.h"

namespace wordloom {
namespace {

struct Scanned {
  EntryList vocabulary;
  std::vector<uint32_t> ranges;
};

// The scan as BuildVocabulary runs it, with the counter's budget and count limit chosen.
Scanned ScanWithCounter(const std::vector<std::string>& files, const ScanRules& rules, size_t budget,
                        uint32_t mostCount) {
  test::TempScratch temp;
  const CharTables tables = BuildCharTables(rules);
  ScanContext context;
  ScanTotals totals;
  BeginPass(context, rules, tables, std::string(200, ' '));
  WordCounter counter(temp.scratch, tables, budget, mostCount);
  EXPECT_TRUE(counter.Begin().ok());
  for (size_t i = 0; i < files.size(); ++i) {
    counter.BeginFile(static_cast<uint32_t>(i));
    ScanFileWords(files[i], context, counter, totals);
  }
  Scanned out;
  EXPECT_TRUE(counter.Finish(out.vocabulary, &out.ranges).ok());
  return out;
}

// For each entry, the files whose own vocabulary holds a word of its sort key.
std::vector<uint32_t> ReferenceRanges(const std::vector<std::string>& files, const ScanRules& rules,
                                      const EntryList& vocabulary) {
  const CharTables tables = BuildCharTables(rules);
  const SortKeyOrder keys(tables, 0);
  auto less = [&](const std::string& a, const std::string& b) { return keys.Less(a, b); };
  std::vector<uint32_t> ranges(vocabulary.size(), 0);
  for (const std::string& file : files) {
    test::TempScratch temp;
    ScanContext context;
    ScanTotals totals;
    EntryList own;
    EXPECT_TRUE(BuildVocabulary({file}, rules, tables, temp.scratch, context, totals, own).ok());
    std::set<std::string, decltype(less)> words(less);
    for (const Entry& entry : own) words.insert(entry.word);
    for (size_t i = 0; i < vocabulary.size(); ++i) ranges[i] += words.count(vocabulary[i].word);
  }
  return ranges;
}

// Texts drawn from 400 words of `letters` with a skew, so that words fall in some files and
// not others, in lines of varied ends; one text is empty and one cannot be read.
std::vector<std::string> WriteTexts(const test::TempFolder& folder, const std::string& letters, bool utf8,
                                    std::mt19937& rng) {
  std::vector<std::string> words(400), files;
  for (size_t i = 0; i < words.size(); ++i) {
    for (size_t n = 1 + rng() % 6; n > 0; --n) words[i] += letters[rng() % letters.size()];
    if (utf8 && i % 3 == 0) words[i] += "\xC5\x99\xC3\xA9";  // "řé"
  }
  const char* ends[] = {" ", " ", ", ", "\n", "\r\n", ". "};
  for (char name = 'a'; name < 'h'; ++name) {
    std::string text;
    const size_t reach = 1 + rng() % words.size();  // the file's share of the vocabulary
    for (int t = 0; name != 'd' && t < 1500; ++t) text += words[rng() % (1 + rng() % reach)] + ends[rng() % 6];
    files.push_back(folder.Write(std::string(1, name) + ".txt", text));
  }
  files.insert(files.begin() + 5, folder.File("missing.txt"));
  return files;
}

TEST(WordRanges, AgreeWithEachFileScannedAlone) {
  ScanRules windows1252;
  ScanRules utf8;
  utf8.encoding = TextEncoding::Utf8;
  utf8.alphabet = kDefaultUtf8Alphabet;
  ScanRules segments = utf8;
  segments.words = WordBoundaries::Unicode;
  // 'a' and 'b' share a sort key byte: their words make one entry, whose files the counter cannot tell.
  ScanRules sharedKeys;
  sharedKeys.alphabet = "acdefghijklmnopqrstuvwxy" + std::string(232, 'z') + "b";
  struct Case {
    const char* name;
    const ScanRules& rules;
    std::string letters;
    size_t budget;
    uint32_t mostCount;
    bool counterRanges;
  };
  const Case cases[] = {
      {"whole table", windows1252, "abcdefgh", VocabularyOptions{}.budgetBytes, UINT32_MAX, true},
      {"a run at every growth", windows1252, "abcdefgh", 1, UINT32_MAX, true},
      {"runs of a few hundred words", windows1252, "abcdefghij", 16 << 10, UINT32_MAX, true},
      {"a run whenever a count reaches 3", windows1252, "abcdefgh", VocabularyOptions{}.budgetBytes, 3, true},
      {"UTF-8, a run at every growth", utf8, "abc", 1, UINT32_MAX, true},
      {"UTF-8 by Unicode's word boundaries", segments, "abc", 1, UINT32_MAX, true},
      {"shared sort keys", sharedKeys, "abcd", 1, UINT32_MAX, false},
  };
  std::mt19937 rng(31);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    const std::vector<std::string> files = WriteTexts(folder, c.letters, c.rules.encoding == TextEncoding::Utf8, rng);
    const Scanned scanned = ScanWithCounter(files, c.rules, c.budget, c.mostCount);
    const Scanned whole = ScanWithCounter(files, c.rules, VocabularyOptions{}.budgetBytes, UINT32_MAX);
    ASSERT_TRUE(scanned.vocabulary == whole.vocabulary);
    const std::vector<uint32_t> expected = ReferenceRanges(files, c.rules, scanned.vocabulary);
    EXPECT_EQ(scanned.ranges, c.counterRanges ? expected : std::vector<uint32_t>{});

    // A vocabulary without ranges, as a project file gives it: one more pass counts them.
    std::vector<uint32_t> counted;
    ASSERT_TRUE(CountWordRanges(files, c.rules, BuildCharTables(c.rules), ScanContext{}, scanned.vocabulary, counted));
    EXPECT_EQ(counted, expected);
  }
}

}  // namespace
}  // namespace wordloom
