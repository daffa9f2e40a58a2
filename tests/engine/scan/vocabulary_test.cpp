// The vocabulary scan: words and frequencies, totals, unusual texts, the counting budget, and
// agreement with the character reader on generated texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "scan/text_reader.h"
#include "scan/vocabulary.h"
#include "test_support.h"

namespace wordloom {
namespace {

using test::TempFolder;

const std::string kPadding(200, ' ');

struct ScanResult {
  Status status;
  EntryList vocabulary;
  ScanTotals totals;
  ScanContext context;
};

ScanResult Scan(const std::vector<std::string>& files, const ScanRules& rules,
                size_t budget = VocabularyOptions{}.budgetBytes) {
  TempFolder scratchFolder;
  ScratchFolder scratch;
  EXPECT_TRUE(scratch.Prepare(scratchFolder.path()).ok());
  ScanResult r;
  r.status = BuildVocabulary(files, rules, BuildCharTables(rules), scratch, r.context, r.totals, r.vocabulary, {budget});
  return r;
}

std::vector<std::string> WriteTexts(const TempFolder& folder, const std::vector<std::string>& texts) {
  std::vector<std::string> paths;
  for (const std::string& text : texts) paths.push_back(folder.Write("text" + std::to_string(paths.size()) + ".txt", text));
  return paths;
}

std::string Describe(const EntryList& list) {
  std::string text;
  for (const Entry& e : list) text += (text.empty() ? "" : ", ") + e.word + " " + std::to_string(e.count);
  return text;
}

ScanRules WithRules(const std::string& alphabet, std::string join, std::string endOfLine, std::string endHyphen,
                    ReferenceType references = ReferenceType::None) {
  return {alphabet.empty() ? ScanRules{}.alphabet : alphabet, join, endOfLine, endHyphen, references, "<", ">"};
}

TEST(VocabularyTest, LongWordsAndHighFrequencies) {
  TempFolder folder;
  const std::string longWord(1'500'000, 'q');  // one line longer than the read buffer
  std::string many;
  for (int i = 0; i < 40'000; ++i) many += (i % 7 == 0) ? "A\r\n" : "a ";
  ScanResult r = Scan(WriteTexts(folder, {longWord + " z", many}), ScanRules{});
  ASSERT_TRUE(r.status.ok());
  EXPECT_TRUE(r.vocabulary == (EntryList{{"a", 40'000}, {longWord, 1}, {"z", 1}}));
  EXPECT_EQ(r.totals.longestWord, 1'500'000);
  EXPECT_EQ(r.totals.tokenCount, 40'002);
}

// Texts of many distinct words ("<base-25 number>z<tail>"), drawn with a skew so that counts vary.
std::vector<std::string> ManyWords(std::mt19937& rng, int distinct, int tokens,
                                   std::map<std::string, int64_t>& counts) {
  std::vector<std::string> words(distinct), texts(3);
  for (int i = 0; i < distinct; ++i) {
    for (int n = i; n > 0 || words[i].empty(); n /= 25) words[i] += static_cast<char>('a' + n % 25);
    words[i] += 'z';
    for (int tail = static_cast<int>(rng() % 22); tail > 0; --tail) words[i] += static_cast<char>('a' + rng() % 26);
  }
  const char* ends[] = {" ", " ", " ", "\n", "\r\n", "\r", " \n\n"};
  for (int t = 0; t < tokens; ++t) {
    std::string word = words[rng() % (1 + rng() % distinct)];
    ++counts[word];
    if (rng() % 5 == 0) word[0] = static_cast<char>(word[0] - 32);
    texts[rng() % 3] += word + ends[rng() % 7];
  }
  return texts;
}

// A budget of one byte spills the counting table whenever it would grow, so the 50,000-odd
// distinct words below go through several runs and merge passes.
TEST(VocabularyTest, TheBudgetDoesNotChangeTheResult) {
  std::mt19937 rng(7);
  std::map<std::string, int64_t> counts;
  TempFolder folder;
  std::vector<std::string> files = WriteTexts(folder, ManyWords(rng, 70'000, 200'000, counts));
  ScanResult tiny = Scan(files, ScanRules{}, 1);
  ScanResult roomy = Scan(files, ScanRules{});
  ASSERT_TRUE(tiny.status.ok() && roomy.status.ok());
  EntryList expected;
  for (const auto& [word, count] : counts) expected.push_back(Entry{word, count});
  EXPECT_TRUE(roomy.vocabulary == expected);
  EXPECT_TRUE(tiny.vocabulary == expected);
  EXPECT_EQ(tiny.totals.tokenCount, 200'000);
  EXPECT_EQ(roomy.totals.tokenCount, 200'000);
}

// With more than 256 alphabet positions two characters share the low byte that the sort key
// keeps ('a' has 2, 'b' 258): their words have equal keys, and equal keys meet in the merge.
TEST(VocabularyTest, WordsWithEqualSortKeysMakeOneEntryWhateverTheBudget) {
  ScanRules rules;
  rules.alphabet = "acdefghijklmnopqrstuvwxy" + std::string(232, 'z') + "b";
  ASSERT_EQ(BuildCharTables(rules).CollationTable['b'], 258);
  std::string text = "a ";
  for (int i = 0; i < 20'000; ++i) {  // enough distinct words to fill more than one table
    for (int n = i, k = 0; k < 4; n /= 23, ++k) text += static_cast<char>('c' + n % 23);
    text += ' ';
  }
  TempFolder folder;
  std::vector<std::string> files = WriteTexts(folder, {text + "b\n"});
  for (size_t budget : {size_t{1}, VocabularyOptions{}.budgetBytes}) {
    ScanResult r = Scan(files, rules, budget);
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(r.totals.tokenCount, 20'002);
    EXPECT_EQ(r.vocabulary.size(), 20'001u) << "budget " << budget;
    EXPECT_TRUE(r.vocabulary.front() == (Entry{"a", 2})) << Describe({r.vocabulary.front()});
  }
}

// The tokenizer followed step by step over the character reader: read the first character,
// then until the file counts as ended twice skip non-word characters and collect word
// characters; a word still open when the file ends is dropped.
struct Tokens {
  std::map<std::string, int64_t> counts;
  int64_t tokens = 0, longest = 0;
  ScanContext context;
};

Tokens TokenizeByCharacters(const std::vector<std::string>& files, const ScanRules& rules, const std::string& padding) {
  Tokens out;
  ScanState& s = out.context.state;
  BeginPass(out.context, rules, BuildCharTables(rules), padding);
  for (const std::string& path : files) {
    LineSource file;
    if (!file.Open(path).ok()) continue;
    BeginFile(out.context, path);
    int c = NextScanChar(out.context, file);
    while (s.endOfFileCount < 2) {
      while (s.currentClass != kWordClass && s.endOfFileCount < 2) c = NextScanChar(out.context, file);
      std::string word;
      for (; s.currentClass == kWordClass; c = NextScanChar(out.context, file)) {
        word += static_cast<char>(ToLower1252(static_cast<unsigned char>(c)));
      }
      if (s.endOfFileCount >= 2) break;
      ++out.counts[word];
      ++out.tokens;
      out.longest = std::max<int64_t>(out.longest, static_cast<int64_t>(word.size()));
    }
  }
  return out;
}

// Everything both scans leave behind, as one text.
std::string Summary(const std::map<std::string, int64_t>& counts, int64_t tokens, int64_t longest,
                    const ScanContext& context) {
  const ScanState& s = context.state;
  std::string text = "tokens " + std::to_string(tokens) + " longest " + std::to_string(longest) + " physical " +
                     std::to_string(s.physicalLineTotal) + " logical " + std::to_string(s.logicalLineTotal) +
                     " current " + std::to_string(s.currentLineNumber) + " file line " +
                     std::to_string(s.fileLineNumber) + " join " + std::to_string(s.joinPending) + "\n";
  for (const auto& [word, count] : counts) text += word + " " + std::to_string(count) + "\n";
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    const ReferenceState& references = context.references;
    text += std::to_string(references.ReferenceLetterUsed[letter]) + references.ReferenceLetterValue[letter] + "|";
  }
  return text + "\n" + context.ErrorReportText;
}

std::string RandomText(std::mt19937& rng) {
  std::string text;
  if (rng() % 20 == 0) {  // bytes of any value
    for (int n = static_cast<int>(rng() % 120); n > 0; --n) text += static_cast<char>(rng() % 256);
    return text;
  }
  static const char* pieces[] = {"a", "b", "ab", "ba", "e", "L", "l", " ", " ", "  ", "/", "&", "-", "-", "<", ">",
                                 "0", "1", "\r", "\n", "\r\n", "\n\n", "\xC9", "\xE9", "<L 3>", "<a x>", "\t", "'",
                                 "abcdefgh", "IJKLMNOPQ", "rStUvWxYz", "@`{_[", "\xC1"};
  for (int n = static_cast<int>(rng() % 40); n > 0; --n) text += pieces[rng() % std::size(pieces)];
  return text;
}

// The scan (BuildVocabulary, or for another end padding ScanFileWords) against the tokenizer
// above, on random texts under varied rules, several files a scan.
TEST(VocabularyTest, AgreesWithTheCharacterReaderOnGeneratedTexts) {
  std::mt19937 rng(20240611);
  const char* alphabets[] = {"", "abcdefghijklmnopqrstuvwxyz", "zyxwvutsrqponmlkjihgfedcba@`{\xE1", "ab -l",
                             "ba\xE9/&l1", "ABCab"};
  const char* joins[] = {"", "", "&", "&&", "-"};
  const char* endOfLines[] = {"/", "/", "", "//", "-"};
  const char* hyphens[] = {"", "-", "-", " ", "--", "/"};
  const ReferenceType references[] = {ReferenceType::None, ReferenceType::Type1, ReferenceType::Type1,
                                      ReferenceType::Unselected};
  const std::string paddings[] = {kPadding, kPadding, "", " ", "~", "/"};
  for (int iteration = 0; iteration < 1500 && !HasFailure(); ++iteration) {
    ScanRules rules = WithRules(alphabets[rng() % 6], joins[rng() % 5], endOfLines[rng() % 5], hyphens[rng() % 6],
                                references[rng() % 4]);
    if (rng() % 8 == 0) rules.rightReference = "";
    if (rng() % 8 == 0) rules.leftReference = "<<";
    const std::string& padding = paddings[rng() % 6];
    std::vector<std::string> texts(1 + rng() % 4);
    for (std::string& text : texts) text = RandomText(rng);
    TempFolder folder;
    std::vector<std::string> files = WriteTexts(folder, texts);
    std::string trace = testing::PrintToString(std::vector<std::string>{rules.alphabet, rules.join, rules.endOfLine,
                                                                        rules.endHyphen, rules.leftReference + rules.rightReference,
                                                                        padding}) +
                        " references " + std::to_string(static_cast<int>(rules.referenceType)) + " texts " +
                        testing::PrintToString(texts);
    SCOPED_TRACE(trace);
    Tokens expected = TokenizeByCharacters(files, rules, padding);

    TempFolder scratchFolder;
    ScratchFolder scratch;
    ASSERT_TRUE(scratch.Prepare(scratchFolder.path()).ok());
    CharTables tables = BuildCharTables(rules);
    ScanContext context;
    ScanTotals totals;
    EntryList vocabulary;
    if (padding == kPadding) {
      // As a rescan: the totals and the letter flags start afresh, the Error Report is added to.
      context.references.ReferenceLetterUsed.fill(1);
      context.state.physicalLineTotal = context.state.logicalLineTotal = totals.tokenCount = totals.longestWord = 9;
      context.ErrorReportText = "earlier\r\n";
      expected.context.ErrorReportText.insert(0, context.ErrorReportText);
      vocabulary = {{"stale", 1}};
      ASSERT_TRUE(BuildVocabulary(files, rules, tables, scratch, context, totals, vocabulary).ok());
    } else {
      BeginPass(context, rules, tables, padding);
      WordCounter counter(scratch, tables, 1 << 20);
      ASSERT_TRUE(counter.Begin().ok());
      for (const std::string& path : files) ScanFileWords(path, context, counter, totals);
      ASSERT_TRUE(counter.Finish(vocabulary).ok());
    }
    std::map<std::string, int64_t> counts;
    SortKeyOrder keys(tables, 0);
    for (size_t i = 0; i < vocabulary.size(); ++i) {
      counts[vocabulary[i].word] = vocabulary[i].count;
      EXPECT_TRUE(i == 0 || keys.Less(vocabulary[i - 1].word, vocabulary[i].word));
    }
    EXPECT_EQ(Summary(counts, totals.tokenCount, totals.longestWord, context),
              Summary(expected.counts, expected.tokens, expected.longest, expected.context));
  }
}

}  // namespace
}  // namespace wordloom
