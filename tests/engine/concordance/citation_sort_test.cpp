// The citation ordering against the merge of one-record runs it replaces, in memory and
// spilled to the scratch files at tiny budgets; and the hand-over of records to it on a thread.
#include <gtest/gtest.h>

#include <random>

#include "concordance/citation_sort.h"
#include "concordance/threaded_sink.h"
#include "engine/engine_support.h"
#include "reference_passes.h"

namespace wordloom::test {
namespace {

std::vector<CitationRecord> RandomRecords(std::mt19937& random, int count) {
  std::vector<CitationRecord> records;
  int64_t sequence = 1;
  auto text = [&] {
    std::string s;
    const int length = std::uniform_int_distribution<int>(0, 5)(random);
    for (int i = 0; i < length; ++i) s += "abA. \t"[std::uniform_int_distribution<int>(0, 5)(random)];
    return s;
  };
  for (int i = 0; i < count; ++i) {
    sequence += std::uniform_int_distribution<int>(0, 1)(random);  // several finds may share a line
    records.push_back(CitationRecord{std::uniform_int_distribution<int64_t>(1, 3)(random), sequence,
                                     std::to_string(i), text(), text()});
  }
  return records;
}

std::vector<CitationRecord> Sorted(const std::vector<CitationRecord>& records, CitationOrder order,
                                   const CharTables& tables, const ScratchFolder& scratch, size_t budget) {
  CitationSorter sorter(scratch, "1", order, tables, CitationSortOptions{budget});
  for (const CitationRecord& r : records) sorter.Add(r.keyNumber, r.sequence, r.citation, r.leftContext, r.rightContext);
  EXPECT_TRUE(sorter.Finish().ok());
  std::vector<CitationRecord> out;
  CitationRecord record;
  while (sorter.Next(record)) out.push_back(record);
  EXPECT_TRUE(sorter.error().ok());
  sorter.RemoveScratchFiles();
  return out;
}

TEST(CitationSorter, AgreesWithTheMergeOfSingleRecordRunsAtEveryBudget) {
  TempScratch temp;
  ScanRules rules;
  rules.alphabet = "ba";  // b collates before a
  const CharTables tables = BuildCharTables(rules);
  const CollationView view(tables);
  std::mt19937 random(42);
  for (int round = 0; round < 300; ++round) {
    const std::vector<CitationRecord> records = RandomRecords(random, std::uniform_int_distribution<int>(0, 90)(random));
    for (CitationOrder order : {CitationOrder::AsItOccurs, CitationOrder::LeftContext, CitationOrder::RightContext}) {
      const std::vector<CitationRecord> expected = ReferenceSort(records, order, view);
      // 300 bytes holds a few records: many runs, more than one merge can read at once.
      for (size_t budget : {size_t{32} << 20, size_t{300}}) {
        ASSERT_EQ(Sorted(records, order, tables, temp.scratch, budget), expected)
            << "round " << round << " order " << static_cast<int>(order) << " budget " << budget;
      }
    }
  }
}

TEST(CitationBefore, ComparesContextsByWordCharactersCaseBlind) {
  const CharTables tables = BuildCharTables(ScanRules{});
  const CollationView view(tables);
  auto left = [](int64_t key, int64_t sequence, std::string context) {
    return CitationRecord{key, sequence, "", std::move(context), ""};
  };
  auto right = [](int64_t sequence, std::string context) { return CitationRecord{1, sequence, "", "", std::move(context)}; };
  // Keys first, whatever the contexts.
  EXPECT_TRUE(CitationBefore(left(1, 9, "z"), left(2, 1, "a"), CitationOrder::LeftContext, view));
  // Backwards, spaces skipped, case-blind: "tac der a" before "tac der eht".
  EXPECT_TRUE(CitationBefore(left(1, 2, "a Red cat"), left(1, 1, "the red cat"), CitationOrder::LeftContext, view));
  EXPECT_FALSE(CitationBefore(left(1, 1, "the red cat"), left(1, 2, "a Red cat"), CitationOrder::LeftContext, view));
  // Equal contexts fall back to the sequence.
  EXPECT_TRUE(CitationBefore(left(1, 1, "x y"), left(1, 2, "xy"), CitationOrder::LeftContext, view));
  EXPECT_FALSE(CitationBefore(left(1, 2, "x y"), left(1, 1, "xy"), CitationOrder::LeftContext, view));
  // The last character of a right context never takes part; an empty one is used up at once.
  EXPECT_FALSE(CitationBefore(right(2, "abz"), right(1, "aba"), CitationOrder::RightContext, view));
  EXPECT_TRUE(CitationBefore(right(1, ""), right(2, ""), CitationOrder::RightContext, view));
  EXPECT_TRUE(CitationBefore(right(5, "aab"), right(1, "abz"), CitationOrder::RightContext, view));
}

}  // namespace
}  // namespace wordloom::test

namespace wordloom::test {
namespace {

// Keeps every record as text, and runs out of memory at record `failAt`.
struct RecordingSink : CitationSink {
  int64_t failAt = -1;
  std::vector<std::string> records;
  void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view left,
           std::string_view right) override {
    if (static_cast<int64_t>(records.size()) == failAt) throw std::bad_alloc();
    records.push_back(std::to_string(keyNumber) + "/" + std::to_string(sequence) + "/" + std::string(citation) + "/" +
                      std::string(left) + "/" + std::string(right));
  }
};

// The records reach the other sink as they came, across many batches; memory running out on
// its thread comes out of Finish, and the records after it never make Add wait.
TEST(ThreadedSink, HandsOnEveryRecordInOrderAndItsFailure) {
  for (int64_t failAt : {-1, 0, 70000}) {
    RecordingSink recording;
    recording.failAt = failAt;
    std::vector<std::string> expected;
    ThreadedSink threaded(recording);
    for (int64_t n = 0; n < 200000; ++n) {
      const std::string context(static_cast<size_t>(n % 50), static_cast<char>('a' + n % 26));
      threaded.Add(n % 7, n, " cite", context, n % 3 ? context : "");
      expected.push_back(std::to_string(n % 7) + "/" + std::to_string(n) + "/ cite/" + context + "/" +
                         (n % 3 ? context : ""));
    }
    if (failAt < 0) {
      threaded.Finish();
      EXPECT_EQ(recording.records, expected);
    } else {
      EXPECT_THROW(threaded.Finish(), std::bad_alloc);
      EXPECT_EQ(recording.records.size(), static_cast<size_t>(failAt));
    }
  }
}

}  // namespace
}  // namespace wordloom::test
