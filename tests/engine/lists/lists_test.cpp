// Number patterns, key-word selection, the word list and the profile.
#include <gtest/gtest.h>

#include <random>

#include "lists/keyword_selection.h"
#include "lists/number_format.h"
#include "lists/profile.h"
#include "lists/word_list.h"
#include "test_support.h"

namespace wordloom::test {
namespace {

TEST(NumberFormat, RoundsHalfAwayFromZeroOnTheExactValue) {
  const std::tuple<double, int, const char*> cases[] = {
      {50, 8, "50."},           {0.24, 8, "0.24"},       {16.970562748477143, 8, "16.97056275"},
      {10000.0 * 6 / 36, 8, "1666.66666667"}, {0.125, 2, "0.13"}, {0.375, 2, "0.38"},
      {0.0000000001, 8, "0."},  {99.999999999, 5, "100."}, {75, 5, "75."},  {-2.5, 0, "-3."}, {0, 8, "0."},
  };
  for (const auto& [value, decimals, text] : cases) EXPECT_EQ(FormatDecimals(value, decimals), text) << value;
  EXPECT_EQ(FormatSingleDecimals(static_cast<float>(1.0 / 3 * 100), 8), "33.33333");
  EXPECT_EQ(FormatSingleDecimals(static_cast<float>(2.0 / 3 * 100), 8), "66.66666");  // 66.666664
  EXPECT_EQ(FormatSingleDecimals(100.0f, 8), "100.");
  EXPECT_EQ(FormatSingleDecimals(static_cast<float>(1.0 / 300000 * 100), 8), "0.00033333");
  // 161 of 1280 is 12.578125 exactly: the seventh digit rounds half away from zero too.
  EXPECT_EQ(FormatSingleDecimals(static_cast<float>(161.0 / 1280 * 100), 8), "12.57813");
  EXPECT_EQ(FormatSingleDecimals(99999992.0f, 8), "99999990.");  // integer digits past the seventh
}

TEST(KeyWords, PatternAndThresholdRules) {
  EXPECT_FALSE(PatternMatches(PatternKind::Suffix, "ab", "abab"));  // only the first occurrence counts
  EXPECT_TRUE(PatternMatches(PatternKind::Suffix, "ab", "cab"));
  EXPECT_FALSE(PatternMatches(PatternKind::Prefix, "Con", "concord"));
  EXPECT_TRUE(PatternMatches(PatternKind::Anywhere, "on", "concord"));
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
    const bool ordered = round % 2 == 0;
    WordLists plain = lists;
    KeyWordsEditor plainEditor(plain, tables);
    KeyWordsEditor editor(lists, tables);
    for (int i = 0; i < keyWords; ++i) {
      const Entry& entry = lists.Vocabulary[random() % static_cast<unsigned>(words)];
      if (ordered) {
        plainEditor.InsertKeyWord(entry);
        editor.InsertKeyWord(entry);
      } else {
        plain.KeyWords.push_back(entry);
        lists.KeyWords.push_back(entry);
      }
    }
    editor.FrequencyMove(MoveDirection::Add, FrequencyTest::Greater, "2");
    for (const Entry& entry : plain.Vocabulary) {
      if (entry.count > 2) plainEditor.InsertKeyWord(entry);
    }
    ASSERT_EQ(lists.KeyWords, plain.KeyWords) << "round " << round;
  }
}

TEST(KeyWords, MovesAndCommit) {
  const CharTables tables = BuildCharTables(ScanRules{});
  WordLists lists;
  lists.Vocabulary = {{"cab", 3}, {"cat", 1}, {"dog", 2}, {"the", 5}};
  KeyWordsEditor editor(lists, tables);
  editor.PatternMove(MoveDirection::Add, PatternKind::Prefix, "ca");
  editor.PatternMove(MoveDirection::Add, PatternKind::Prefix, "ca");  // already there
  editor.FrequencyMove(MoveDirection::Add, FrequencyTest::Equal, "5");
  EXPECT_EQ(lists.KeyWords, (EntryList{{"cab", 3}, {"cat", 1}, {"the", 5}}));
  editor.SelectionMove(MoveDirection::Remove, {0, 2});
  EXPECT_EQ(editor.CountText(), "1 words");
  EXPECT_TRUE(lists.KeyWordsList.empty());
  editor.Commit();
  EXPECT_EQ(lists.KeyWordsList, (EntryList{{"cat", 1}}));
}

// Patterns and words are lower-cased as concordance keys are (Windows-1252 letters too).
TEST(KeyWords, TypedPatternsAndWordsAreLowerCased) {
  const CharTables tables = BuildCharTables(ScanRules{});
  WordLists lists;
  lists.Vocabulary = {{"cab", 3}, {"cat", 1}, {"\xE9t\xE9", 2}, {"the", 5}};
  KeyWordsEditor editor(lists, tables);
  editor.PatternMove(MoveDirection::Add, PatternKind::Prefix, "CA");
  editor.PatternMove(MoveDirection::Add, PatternKind::Anywhere, "\xC9T");
  editor.WordMove(MoveDirection::Add, "The");
  EXPECT_EQ(lists.KeyWords, (EntryList{{"\xE9t\xE9", 2}, {"cab", 3}, {"cat", 1}, {"the", 5}}));
  editor.PatternMove(MoveDirection::Remove, PatternKind::Suffix, "T");
  editor.WordMove(MoveDirection::Remove, "THE");
  EXPECT_EQ(lists.KeyWords, (EntryList{{"\xE9t\xE9", 2}, {"cab", 3}}));
}

// A session whose whole vocabulary is `entries`.
Session SessionOf(EntryList entries, int64_t tokens) {
  Session session;
  session.tables = BuildCharTables(session.project.rules);
  session.lists.Vocabulary = std::move(entries);
  session.lists.CopyVocabularyToAll();
  session.totals.tokenCount = tokens;
  return session;
}

TEST(WordList, FrequencyWidthRoundsHalfToEven) {
  const std::pair<int64_t, int64_t> cases[] = {{1, 2}, {3, 2}, {5, 3}, {10, 3}, {99, 4}, {0, 0}};
  for (const auto& [maxFrequency, width] : cases) EXPECT_EQ(FrequencyWidth(2, maxFrequency), width) << maxFrequency;
  EXPECT_EQ(FrequencyWidth(1, 99), 0);
}

TEST(WordList, EachLayoutBreaksItsLines) {
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  EntryList entries;
  for (int i = 0; i < 12; ++i) entries.push_back({std::string(9, static_cast<char>('a' + i)), i + 1});
  Session session = SessionOf(entries, 78);
  auto written = [&](WordListLayout layout, bool frequencies) {
    WordListQuery query;
    query.layout = layout;
    query.frequencies = frequencies;
    WordListResult result;
    EXPECT_TRUE(MakeWordList(session, query, scratch, result).ok());
    EXPECT_EQ(result.countText, " 12/ 12 words");
    return ReadFile(result.outputPath);
  };
  // Columns of 9 + 6: the first item is free, then five more fit into 80.
  const std::string left = written(WordListLayout::ColumnsLeft, false);
  std::vector<std::string> lines = CrLfLines(left);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "aaaaaaaaa      bbbbbbbbb      ccccccccc      ddddddddd      eeeeeeeee      fffffffff      ");
  EXPECT_EQ(left.substr(left.size() - 2), "  ");  // no line end after the last line
  const std::string right = written(WordListLayout::ColumnsRight, true);
  EXPECT_EQ(right.substr(0, 30), "    1 aaaaaaaaa    2 bbbbbbbbb");  // frequency width 3
  // Packed: pieces of "1 aaaaaaaaa, " (13 columns); the piece opening a line is not counted.
  lines = CrLfLines(written(WordListLayout::Packed, true));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 13u * 7);
  EXPECT_EQ(lines[1].substr(0, 13), "8 hhhhhhhhh, ");
  EXPECT_EQ(lines[1].substr(lines[1].size() - 12), "12 lllllllll");
  // One column: every line ends, the last one too.
  const std::string column = written(WordListLayout::OneColumn, true);
  EXPECT_EQ(column.substr(0, 15), "  1 aaaaaaaaa\r\n");
  EXPECT_EQ(column.substr(column.size() - 15), " 12 lllllllll\r\n");
}

TEST(WordList, RhymeOrderComparesFromTheEnd) {
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  Session session = SessionOf({{"bring", 1}, {"ring", 1}, {"singing", 1}}, 3);
  WordListQuery query;
  query.rhyme = true;
  WordListResult result;
  ASSERT_TRUE(MakeWordList(session, query, scratch, result).ok());
  EXPECT_EQ(ReadFile(result.outputPath), "singing\r\nring\r\nbring\r\n");
}

std::pair<std::string, std::string> Profile(Session& session, bool keyWords) {
  TempFolder folder;
  ScratchFolder scratch;
  EXPECT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  ProfileResult result;
  EXPECT_TRUE(MakeProfile(session, keyWords, scratch, result).ok());
  return {ReadFile(result.statisticsPath), ReadFile(result.spectrumPath)};
}

TEST(Profile, SpectrumRowsAndYule) {
  Session session = SessionOf({{"a", 1}, {"b", 1}, {"c", 3}, {"d", 1}}, 6);
  const auto [statistics, spectrum] = Profile(session, false);
  const std::vector<std::string> rows = CrLfLines(spectrum);
  ASSERT_EQ(rows.size(), 4u);
  // Fields start at columns 1, 15, 29, 43, 57 and 71.
  EXPECT_EQ(rows[2], "        1            3             3             3      75.           50.");
  EXPECT_EQ(rows[3], "        3            1             4             6      100.          100.");
  EXPECT_EQ(statistics,
            "Analysis based on the whole vocabulary\r\nTotal vocabulary = 4 types\r\nProject wordcount = 6 tokens\r\n"
            "Types/tokens = 0.66666667\r\nTypes/sqrt(tokens) = 1.63299316\r\nYule's k = 1666.66666667\r\n");
}

TEST(Profile, EmptyListsAndNoVocabulary) {
  Session session = SessionOf({}, 0);
  const auto [statistics, spectrum] = Profile(session, true);
  EXPECT_EQ(spectrum, "");
  EXPECT_EQ(statistics,
            "Analysis based on the key words\r\nTotal vocabulary = 0 types\r\nProject wordcount = 0 tokens\r\n"
            "KeyWords selected = 0 types (\r\nKeyWords wordcount = 0 tokens (\r\n\r\n");
}

TEST(Profile, FrequenciesBeyondWhatCanBeCountedAreRefused) {
  Session session = SessionOf({{"cat", INT64_MAX / 2 + 1}, {"dog", INT64_MAX / 2 + 1}}, 5);
  TempFolder folder;
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.Prepare(folder.File("scratch")).ok());
  ProfileResult result;
  EXPECT_FALSE(MakeProfile(session, false, scratch, result).ok());
}

}  // namespace
}  // namespace wordloom::test
