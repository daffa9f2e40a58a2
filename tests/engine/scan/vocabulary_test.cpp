// The vocabulary scan: words and frequencies, totals, unusual texts, the counting budget, and
// agreement with the character reader on generated texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "engine/engine_support.h"
#include "scan/text_pieces.h"
#include "scan/text_reader.h"
#include "scan/token_recorder.h"
#include "scan/vocabulary.h"

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
                const VocabularyOptions& options = {}) {
  test::TempScratch temp;
  ScanResult r;
  r.status =
      BuildVocabulary(files, rules, BuildCharTables(rules), temp.scratch, r.context, r.totals, r.vocabulary, options);
  return r;
}

std::vector<std::string> WriteTexts(const TempFolder& folder, const std::vector<std::string>& texts) {
  std::vector<std::string> paths;
  for (const std::string& text : texts) paths.push_back(folder.Write("text" + std::to_string(paths.size()) + ".txt", text));
  return paths;
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
// distinct words below go through several runs and merge passes, together with a word longer
// than the read buffer and one more frequent than a signed 16-bit count could hold. With the
// whole budget each thread's table stays in memory, and two or three threads merge the
// vocabulary in as many parts.
TEST(VocabularyTest, TheBudgetDoesNotChangeTheResult) {
  std::mt19937 rng(7);
  std::map<std::string, int64_t> counts;
  std::vector<std::string> texts = ManyWords(rng, 70'000, 200'000, counts);
  const std::string longWord(1'500'000, 'q');
  texts.push_back(longWord + " z");
  texts.emplace_back();
  for (int i = 0; i < 40'000; ++i) texts.back() += (i % 7 == 0) ? "A\r\n" : "a ";
  ++counts[longWord], ++counts["z"], counts["a"] += 40'000;
  EntryList expected;
  for (const auto& [word, count] : counts) expected.push_back(Entry{word, count});
  TempFolder folder;
  std::vector<std::string> files = WriteTexts(folder, texts);
  for (const VocabularyOptions& options :
       {VocabularyOptions{.budgetBytes = 1, .threads = 1}, VocabularyOptions{.budgetBytes = 1, .threads = 2},
        VocabularyOptions{.threads = 1}, VocabularyOptions{.threads = 2},
        VocabularyOptions{.threads = 3, .pieceBytes = 100'000}}) {
    const std::string where =
        "budget " + std::to_string(options.budgetBytes) + ", " + std::to_string(options.threads) + " threads";
    ScanResult r = Scan(files, ScanRules{}, options);
    ASSERT_TRUE(r.status.ok()) << where;
    EXPECT_TRUE(r.vocabulary == expected) << where;
    EXPECT_EQ(r.totals.tokenCount, 240'002) << where;
    EXPECT_EQ(r.totals.longestWord, 1'500'000) << where;
  }
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
    ScanResult r = Scan(files, rules, {.budgetBytes = budget});
    ASSERT_TRUE(r.status.ok());
    EXPECT_EQ(r.totals.tokenCount, 20'002);
    EXPECT_EQ(r.vocabulary.size(), 20'001u) << "budget " << budget;
    EXPECT_EQ(r.vocabulary.front().word, "a");
    EXPECT_EQ(r.vocabulary.front().count, 2);
  }
}

// The tokenizer followed step by step over the character reader: read the first character,
// then until the file counts as ended twice skip non-word characters and collect word
// characters; a word still open when the file ends is dropped.
struct Tokens {
  std::map<std::string, int64_t> counts;
  ScanTotals totals;
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
      ++out.totals.tokenCount;
      out.totals.longestWord = std::max<int64_t>(out.totals.longestWord, static_cast<int64_t>(word.size()));
    }
  }
  return out;
}

// Everything both scans leave behind, as one text.
std::string Summary(const Tokens& tokens) {
  const auto& [counts, totals, context] = tokens;
  const ScanState& s = context.state;
  std::string text = "tokens " + std::to_string(totals.tokenCount) + " longest " + std::to_string(totals.longestWord) +
                     " physical " + std::to_string(s.physicalLineTotal) + " logical " +
                     std::to_string(s.logicalLineTotal) + " current " + std::to_string(s.currentLineNumber) +
                     " file line " + std::to_string(s.fileLineNumber) + " join " + std::to_string(s.joinPending) +
                     " at " + std::to_string(s.physicalLineOffset) + " char " + std::to_string(s.currentChar) +
                     " position " + std::to_string(s.linePosition) + " of [" + s.lineBuffer.substr(0, s.lineLength) +
                     "]\n";
  for (const auto& [word, count] : counts) text += word + " " + std::to_string(count) + "\n";
  const ReferenceState& references = context.references;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
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

// Rules under which the scan cuts many whole lines at once (see ReadsPlainLines), most of the
// time: no join, end hyphen or markup, an end-of-line character that may be a word character.
ScanRules PlainRules(std::mt19937& rng, const std::string& alphabet) {
  const char* endOfLines[] = {"/", "/", "-", "L", "x", "\r"};
  return ScanRules{alphabet, "", endOfLines[rng() % std::size(endOfLines)], "", ReferenceType::None};
}

// The scan (BuildVocabulary, or for another end padding ScanFileWords) against the tokenizer
// above, on random texts under varied rules, several files a scan; a third of the scans under
// plain rules, of texts of many lines.
TEST(VocabularyTest, AgreesWithTheCharacterReaderOnGeneratedTexts) {
  std::mt19937 rng(20240611);
  const std::string alphabets[] = {ScanRules{}.alphabet, "abcdefghijklmnopqrstuvwxyz",
                                   "zyxwvutsrqponmlkjihgfedcba@`{\xE1", "ab -l", "ba\xE9/&l1", "ABCab"};
  const char* joins[] = {"", "", "&", "&&", "-"};
  const char* endOfLines[] = {"/", "/", "", "//", "-"};
  const char* hyphens[] = {"", "-", "-", " ", "--", "/"};
  const ReferenceType references[] = {ReferenceType::None, ReferenceType::Type1, ReferenceType::Type1,
                                      ReferenceType::Unselected};
  const std::string paddings[] = {kPadding, kPadding, "", " ", "~", "/"};
  for (int iteration = 0; iteration < 1500 && !HasFailure(); ++iteration) {
    const bool plain = iteration % 3 == 0;
    ScanRules rules{alphabets[rng() % 6], joins[rng() % 5], endOfLines[rng() % 5], hyphens[rng() % 6],
                    references[rng() % 4]};
    if (plain) rules = PlainRules(rng, rules.alphabet);
    if (rng() % 8 == 0) rules.rightReference = "";
    if (rng() % 8 == 0) rules.leftReference = "<<";
    const std::string& padding = paddings[rng() % 6];
    std::vector<std::string> texts(1 + rng() % 4);
    for (std::string& text : texts) {
      for (int part = plain ? static_cast<int>(rng() % 60) : 0; part >= 0; --part) text += RandomText(rng);
    }
    test::TempScratch temp;
    std::vector<std::string> files = WriteTexts(temp.folder, texts);
    SCOPED_TRACE(testing::PrintToString(std::make_tuple(rules.alphabet, rules.join, rules.endOfLine, rules.endHyphen,
                                                        rules.leftReference + rules.rightReference, padding,
                                                        static_cast<int>(rules.referenceType), texts)));
    Tokens expected = TokenizeByCharacters(files, rules, padding);

    CharTables tables = BuildCharTables(rules);
    Tokens got;
    auto& [counts, totals, context] = got;
    EntryList vocabulary;
    if (padding == kPadding) {
      // As a rescan: the totals and the letter flags start afresh, the Error Report is added to.
      context.references.ReferenceLetterUsed.fill(1);
      context.state.physicalLineTotal = context.state.logicalLineTotal = totals.tokenCount = totals.longestWord = 9;
      context.ErrorReportText = "earlier\r\n";
      expected.context.ErrorReportText.insert(0, context.ErrorReportText);
      vocabulary = {{"stale", 1}};
      ASSERT_TRUE(BuildVocabulary(files, rules, tables, temp.scratch, context, totals, vocabulary).ok());
    } else {
      BeginPass(context, rules, tables, padding);
      WordCounter counter(temp.scratch, tables, 1 << 20);
      ASSERT_TRUE(counter.Begin().ok());
      for (const std::string& path : files) ScanFileWords(path, context, counter, totals);
      ASSERT_TRUE(counter.Finish(vocabulary).ok());
    }
    SortKeyOrder keys(tables, 0);
    for (size_t i = 0; i < vocabulary.size(); ++i) {
      counts[vocabulary[i].word] = vocabulary[i].count;
      EXPECT_TRUE(i == 0 || keys.Less(vocabulary[i - 1].word, vocabulary[i].word));
    }
    EXPECT_EQ(Summary(got), Summary(expected));
  }
}

// What a recording counter hears: each line as the reader holds it when the line is handed
// on, with the tokens still waiting, and the tokens' ids.
class LineLog final : public TokenRecorder {
 public:
  void BeginPiece(const ScanContext&) override {}
  void LineRead(const ScanContext& context, size_t waiting) override {
    const ScanState& s = context.state;
    log += std::to_string(s.physicalLineTotal) + " " + std::to_string(s.logicalLineTotal) + " " +
           std::to_string(s.currentLineNumber) + " " + std::to_string(s.fileLineNumber) + " at " +
           std::to_string(s.physicalLineOffset) + " char " + std::to_string(s.currentChar) + " " +
           std::to_string(s.currentClass) + " position " + std::to_string(s.linePosition) + " of [" +
           s.lineBuffer.substr(0, static_cast<size_t>(s.lineLength)) + "] waiting " + std::to_string(waiting) + "\n";
  }
  void Ids(const uint32_t* ids, size_t count) override {
    for (size_t i = 0; i < count; ++i) log += std::to_string(ids[i]) + ",";
  }
  bool EndPiece(const TextPiece&, const ScanContext&) override { return true; }
  std::string log;
};

// A recording scan under plain rules hears of each line, and leaves the reader, as the line
// reader does: the same rules with a join character the texts never hold have every line read
// one by one.
TEST(VocabularyTest, RecordingHearsOfEachLineAsTheLineReaderGivesIt) {
  std::mt19937 rng(20261208);
  const std::string alphabets[] = {ScanRules{}.alphabet, "abcdefghijklmnopqrstuvwxyz", "ba\xE9/&l1"};
  for (int iteration = 0; iteration < 400 && !HasFailure(); ++iteration) {
    const ScanRules plain = PlainRules(rng, alphabets[rng() % 3]);
    std::vector<std::string> texts(1 + rng() % 3);
    for (std::string& text : texts) {
      for (int part = static_cast<int>(rng() % 80); part >= 0; --part) text += RandomText(rng);
      std::replace(text.begin(), text.end(), '\x01', 'a');  // the join character, never held
    }
    ScanRules lineByLine = plain;
    lineByLine.join = "\x01";
    test::TempScratch temp;
    const std::vector<std::string> files = WriteTexts(temp.folder, texts);
    SCOPED_TRACE(testing::PrintToString(std::make_tuple(plain.alphabet, plain.endOfLine, texts)));
    const auto record = [&](const ScanRules& rules) {
      const CharTables tables = BuildCharTables(rules);
      Tokens got;
      BeginPass(got.context, rules, tables, kPadding);
      WordCounter counter(temp.scratch, tables, 1 << 20);
      LineLog heard;
      EXPECT_TRUE(counter.Begin().ok());
      counter.Record(&heard);
      for (const std::string& path : files) ScanFileWords(path, got.context, counter, got.totals);
      counter.Flush();
      return heard.log + Summary(got);
    };
    EXPECT_EQ(record(plain), record(lineByLine));
  }
}

// The same over texts of several buffers (1 MiB) read in pieces, as the parallel scan and the
// index build read them: each piece, from a fresh reader, hears of its lines and ends as the
// line reader leaves it.
TEST(VocabularyTest, RecordingHearsOfEachLineOverBuffersAndPieces) {
  std::mt19937 rng(20261209);
  for (int iteration = 0; iteration < 6 && !HasFailure(); ++iteration) {
    ScanRules plain = PlainRules(rng, "abcdefghijklmnopqrstuvwxyz");
    plain.endOfLine = "/";
    std::string text;
    while (text.size() < (size_t{5} << 19)) {
      text += RandomText(rng);
      if (rng() % 4000 == 0) text += std::string(rng() % 3000, ' ') + "\r";
    }
    // Texts this long hold every byte: one is taken out, to be the join character.
    std::replace(text.begin(), text.end(), '\x01', 'a');
    ScanRules lineByLine = plain;
    lineByLine.join = "\x01";
    test::TempScratch temp;
    const std::vector<std::string> files = WriteTexts(temp.folder, {text});
    const CharTables plainTables = BuildCharTables(plain);
    ScanContext planner;
    BeginPass(planner, plain, plainTables, kPadding);
    PiecePlan plan = PlanPieces(files, planner, plainTables, 300'000, 2);
    ASSERT_GT(plan.pieces.size(), 2u);
    // The whole file as one piece too, whose lines go many buffers' worth at a time.
    plan.pieces.push_back(TextPiece{0, 0, -1});
    const auto record = [&](const ScanRules& rules) {
      const CharTables tables = BuildCharTables(rules);
      ScanContext fresh;
      BeginPass(fresh, rules, tables, kPadding);
      fresh.state.currentLineNumber = 0;
      WordCounter counter(temp.scratch, tables, 1 << 20);
      LineLog heard;
      EXPECT_TRUE(counter.Begin().ok());
      counter.Record(&heard);
      for (const TextPiece& piece : plan.pieces) {
        ScanContext context;
        PrepareForPiece(context, fresh, piece, files[0]);
        ScanTotals totals;
        EXPECT_EQ(ScanPieceWords(files[0], piece, context, counter, totals), PieceRead::Read);
        counter.Flush();
        Tokens got{{}, totals, context};
        heard.log += "piece " + std::to_string(piece.begin) + " " + Summary(got);
      }
      return heard.log;
    };
    EXPECT_TRUE(record(plain) == record(lineByLine)) << "iteration " << iteration;
  }
}

}  // namespace
}  // namespace wordloom
