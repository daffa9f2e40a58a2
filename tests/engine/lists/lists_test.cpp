// Number patterns, key-word selection, the word list and the profile.
#include <gtest/gtest.h>

#include <random>

#include "engine/engine_support.h"
#include "lists/keyword_selection.h"
#include "lists/number_format.h"
#include "lists/profile.h"
#include "lists/word_list.h"

namespace wordloom::test {
namespace {

TEST(NumberFormat, RoundsHalfAwayFromZeroOnTheExactValue) {
  const std::tuple<double, int, const char*> cases[] = {
      {50, 8, "50."},           {0.24, 8, "0.24"},       {16.970562748477143, 8, "16.97056275"},
      {10000.0 * 6 / 36, 8, "1666.66666667"}, {0.125, 2, "0.13"}, {0.375, 2, "0.38"},
      {0.0000000001, 8, "0."},  {99.999999999, 5, "100."}, {75, 5, "75."},  {-2.5, 0, "-3."}, {0, 8, "0."},
  };
  for (const auto& [value, decimals, text] : cases) EXPECT_EQ(FormatDecimals(value, decimals), text) << value;
  // In single precision seven digits count: 66.666664 shows as 66.66666; 161 of 1280 is 12.578125
  // exactly, whose seventh digit rounds half away from zero too; integer digits past the seventh
  // show as zeros.
  const std::pair<double, const char*> singles[] = {
      {1.0 / 3 * 100, "33.33333"},        {2.0 / 3 * 100, "66.66666"},       {100, "100."},
      {1.0 / 300000 * 100, "0.00033333"}, {161.0 / 1280 * 100, "12.57813"}, {99999992, "99999990."},
  };
  for (const auto& [value, text] : singles) EXPECT_EQ(FormatSingleDecimals(static_cast<float>(value), 8), text) << value;
}

TEST(KeyWords, PatternAndThresholdRules) {
  EXPECT_FALSE(PatternMatches(PatternKind::Suffix, "ab", "abab"));  // only the first occurrence counts
  EXPECT_FALSE(PatternMatches(PatternKind::Prefix, "Con", "concord"));
  const std::pair<const char*, int64_t> thresholds[] = {{"2.5", 2}, {"3.5", 4}, {"10", 10}, {"  -1e1x", -10},
                                                        {"", 0},    {"abc", 0}, {"+7.", 7}, {"1d2", 100}};
  for (const auto& [text, value] : thresholds) EXPECT_EQ(ReadThreshold(text), value) << text;
}

// Bulk moves must give what inserting the words one by one gives, in ordered and (as a damaged
// project can leave it) unordered key-word lists, with words of equal sort key.
TEST(KeyWords, BulkMovesEqualOneByOneInsertion) {
  ScanRules rules;
  rules.alphabet = "abc";  // other letters share the sort key value 0
  const CharTables tables = BuildCharTables(rules);
  std::mt19937 random(9);
  for (int round = 0; round < 300; ++round) {
    WordLists lists;
    // Now and then lists long enough to fill many blocks of an unordered list.
    const int words = round % 10 == 9 ? 3000 : 40;
    const int keyWords = round % 10 == 9 ? 1500 : 8;
    for (int i = 0; i < words; ++i) {
      std::string word;
      for (int n = std::uniform_int_distribution<int>(1, 3)(random); n > 0; --n) word += "abcx"[random() % 4];
      lists.Vocabulary.push_back({word, std::uniform_int_distribution<int64_t>(0, 5)(random)});
    }
    lists.KeyWords = EntryView();
    const bool ordered = round % 2 == 0;
    WordLists plain = lists;
    KeyWordsEditor plainEditor(plain, tables);
    KeyWordsEditor editor(lists, tables);
    for (int i = 0; i < keyWords; ++i) {
      const auto position = static_cast<EntryPosition>(random() % static_cast<unsigned>(words));
      if (ordered) {
        plainEditor.InsertKeyWord(position);
        editor.InsertKeyWord(position);
      } else {
        plain.KeyWords.positions().push_back(position);
        lists.KeyWords.positions().push_back(position);
      }
    }
    editor.FrequencyMove(MoveDirection::Add, FrequencyTest::Greater, "2");
    for (size_t p = 0; p < plain.Vocabulary.size(); ++p) {
      if (plain.Vocabulary[p].count > 2) plainEditor.InsertKeyWord(static_cast<EntryPosition>(p));
    }
    ASSERT_EQ(lists.KeyWords, plain.KeyWords) << "round " << round;
  }
}

// A session whose whole vocabulary is `entries`.
Session SessionOf(EntryList entries, int64_t tokens) {
  Session session;
  session.tables = BuildCharTables(session.project.rules);
  session.lists.Vocabulary = std::move(entries);
  session.lists.ResetViews();
  session.totals.tokenCount = tokens;
  return session;
}

// The sorted list comes back in the result: the next sort starts from it once it is committed.
TEST(WordList, RhymeOrderComparesFromTheEndAndTheCommitKeepsIt) {
  TempScratch temp;
  Session session = SessionOf({{"bring", 1}, {"ring", 1}, {"singing", 1}}, 3);
  WordListQuery query;
  query.rhyme = true;
  WordListResult result;
  ASSERT_TRUE(MakeWordList(session, query, temp.scratch, result).ok());
  EXPECT_EQ(ReadFile(result.outputPath), "singing\r\nring\r\nbring\r\n");
  EXPECT_EQ(session.lists.AllWordsList, EntryView::Whole(3));
  CommitWordList(session, result);
  EXPECT_EQ(session.lists.AllWordsList, EntryView({2, 1, 0}));
}

// TL is summed exactly or not at all.
TEST(Profile, FrequenciesBeyondWhatCanBeCountedAreRefused) {
  ProfileNumbers numbers;
  EXPECT_TRUE(ComputeProfile(SessionOf({{"cat", INT64_MAX / 2}, {"dog", INT64_MAX / 2}}, 5), false, numbers).ok());
  EXPECT_EQ(numbers.analysedTokens, INT64_MAX - 1);
  EXPECT_FALSE(ComputeProfile(SessionOf({{"cat", INT64_MAX / 2 + 1}, {"dog", INT64_MAX / 2 + 1}}, 5), false, numbers).ok());
}

}  // namespace
}  // namespace wordloom::test
