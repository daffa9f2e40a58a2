// The Word List table: the rate per million, its rows in the word list's order with their
// ranges (kept from the scan or counted anew), and its export as TSV, CSV and JSON Lines.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "concordance/word_pattern.h"
#include "engine/engine_support.h"
#include "lists/word_table.h"
#include "project/project_actions.h"

namespace wordloom::test {
namespace {

TEST(WordTable, PerMillionRoundsHalfAwayFromZeroOnTheExactQuotient) {
  const std::tuple<int64_t, int64_t, const char*> cases[] = {
      {1, 3, "333333.33"},         {2, 3, "666666.67"},     {1234567, 1'000'000'000, "1234.57"},
      {1, 200'000'000, "0.01"},    {1, 200'000'001, "0.00"}, {0, 7, "0.00"},
      {INT64_MAX, INT64_MAX, "1000000.00"}, {INT64_MAX, 1, "9223372036854775807000000.00"},
      {-1, 3, "-333333.33"},       {5, 0, ""},
  };
  for (const auto& [frequency, tokens, text] : cases) {
    EXPECT_EQ(PerMillionText(frequency, tokens), text) << frequency << " of " << tokens;
  }
}

// Asks every pass to stop at once.
struct StopAtOnce : ProgressSink {
  bool StopRequested() override { return true; }
};

class WordTableExport : public testing::Test {
 protected:
  void SetUp() override {
    // "the" 4 times in 3 files, "café" 3 in 2, "cat" 2 in 2, "and" and "mat" once: 11 tokens.
    session_.project.Files = {folder_.Write("a.txt", "the cat\nthe mat\n"),
                              folder_.Write("b.txt", "The cat and caf\xE9\n"),
                              folder_.Write("c.txt", "caf\xE9 CAF\xC9 the\n")};
    session_.project.rules.alphabet += "\xE9";
    session_.tables = BuildCharTables(session_.project.rules);
    ASSERT_TRUE(ScanProjectTexts(session_, temp_.scratch).ok());
  }

  std::string Export(const WordTable& table, TableFormat format, const std::vector<uint32_t>* shown = nullptr,
                     ProgressSink* progress = nullptr) {
    FileWriter out;
    EXPECT_TRUE(temp_.scratch.OpenForWrite("x", out).ok());
    EXPECT_TRUE(ExportWordTable(table, session_.lists.Vocabulary, format, out, shown, progress).ok());
    EXPECT_TRUE(out.Close().ok());
    return ReadFile(temp_.scratch.PathOf("x"));
  }

  TempFolder folder_;
  TempScratch temp_;
  Session session_;
};

TEST_F(WordTableExport, WritesEveryFormatInTheWordListOrder) {
  WordTable table;
  ASSERT_TRUE(MakeWordTable(session_, WordTableQuery{false, 4, false}, table));  // by decreasing frequency
  EXPECT_FALSE(table.rangesCounted);
  EXPECT_EQ(WordTableCountText(table, session_.lists.Vocabulary.size()), " 5/ 5 words");
  EXPECT_EQ(Export(table, TableFormat::Tsv),
            "rank\tword\tfrequency\tper_million\trange\n"
            "1\tthe\t4\t363636.36\t3\n"
            "2\tcaf\xE9\t3\t272727.27\t2\n"
            "3\tcat\t2\t181818.18\t2\n"
            "4\tand\t1\t90909.09\t1\n"
            "5\tmat\t1\t90909.09\t1\n");
  EXPECT_EQ(Export(table, TableFormat::Csv),
            "rank,word,frequency,per_million,range\r\n"
            "1,the,4,363636.36,3\r\n"
            "2,caf\xE9,3,272727.27,2\r\n"
            "3,cat,2,181818.18,2\r\n"
            "4,and,1,90909.09,1\r\n"
            "5,mat,1,90909.09,1\r\n");
  const std::string jsonLines = Export(table, TableFormat::JsonLines);
  EXPECT_EQ(jsonLines.substr(0, jsonLines.find('\n', jsonLines.find('\n') + 1) + 1),
            "{\"rank\":1,\"word\":\"the\",\"frequency\":4,\"per_million\":363636.36,\"range\":3}\n"
            "{\"rank\":2,\"word\":\"caf\xC3\xA9\",\"frequency\":3,\"per_million\":272727.27,\"range\":2}\n");

  // A filter keeps each row's rank; a stop ends the table after its header.
  std::unique_ptr<WordPattern> pattern;
  ASSERT_TRUE(WordPattern::Wildcard("C*", nullptr, pattern).ok());
  const std::vector<uint32_t> shown = MatchingRows(table, session_.lists.Vocabulary, *pattern);
  EXPECT_EQ(Export(table, TableFormat::Tsv, &shown),
            "rank\tword\tfrequency\tper_million\trange\n2\tcaf\xE9\t3\t272727.27\t2\n3\tcat\t2\t181818.18\t2\n");
  StopAtOnce stop;
  EXPECT_EQ(Export(table, TableFormat::Csv, nullptr, &stop), "rank,word,frequency,per_million,range\r\n");
}

// A project file keeps no ranges: the table counts them from the texts, as the scan found them.
TEST_F(WordTableExport, CountsTheRangesAProjectFileLacks) {
  WordTable scanned;
  ASSERT_TRUE(MakeWordTable(session_, WordTableQuery{false, 1, true}, scanned));
  const std::vector<uint32_t> ranges = session_.lists.ranges;
  session_.lists.ranges.clear();

  StopAtOnce stop;
  WordTable table;
  EXPECT_FALSE(MakeWordTable(session_, WordTableQuery{false, 1, true}, table, &stop));
  EXPECT_EQ(table.size(), 0u);
  ASSERT_TRUE(MakeWordTable(session_, WordTableQuery{false, 1, true}, table));
  EXPECT_TRUE(table.rangesCounted);
  EXPECT_EQ(Export(table, TableFormat::Tsv), Export(scanned, TableFormat::Tsv));
  CommitWordTable(session_, table);
  EXPECT_EQ(session_.lists.ranges, ranges);
  EXPECT_TRUE(session_.lists.AllWordsList == table.rows);

  // The committed key words, in their own order.
  session_.lists.KeyWordsList = EntryView({3, 0});  // "mat", "and" of and, café, cat, mat, the
  ASSERT_TRUE(MakeWordTable(session_, WordTableQuery{true, 1, false}, table));
  EXPECT_EQ(Export(table, TableFormat::Tsv),
            "rank\tword\tfrequency\tper_million\trange\n1\tand\t1\t90909.09\t1\n2\tmat\t1\t90909.09\t1\n");
}

}  // namespace
}  // namespace wordloom::test
