// Sort keys, the six list orders and the list sort.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/concordance/reference_passes.h"
#include "engine/engine_support.h"
#include "scan/list_sort.h"
#include "scan/sort_key.h"

namespace wordloom {
namespace {

using test::TempScratch;

CharTables Tables(const std::string& alphabet = ScanRules{}.alphabet) {
  ScanRules rules;
  rules.alphabet = alphabet;
  return BuildCharTables(rules);
}

std::string Describe(const EntryList& list) {
  std::string text;
  for (const Entry& e : list) text += (text.empty() ? "" : ", ") + e.word + " " + std::to_string(e.count);
  return text;
}

int Sign(int64_t v) { return (v > 0) - (v < 0); }

TEST(SortKeyTest, KeysOfWords) {
  const std::string wide = std::string(298, 'y') + "x";    // y 299, x 300
  const std::string wider = std::string(1000, 'y') + "x";  // x 1002
  struct Case { std::string alphabet; std::string word; int mode; std::string key; };
  const std::string plain = ScanRules{}.alphabet;
  const Case cases[] = {
      {plain, "ab", 0, "0203"},   {plain, "ab", 7, "003002"}, {plain, "ab", -1, "003002"},
      {plain, "a'b", 0, "021c03"}, {plain, "z9", 0, "1b27"},  {plain, "a?", 0, "0200"},  // '?' is outside: 0
      {plain, "A", 1, "000"},      {plain, "", 0, ""},
      {wide, "xy", 0, "2c2b"},     {wide, "xy", 1, "299300"},  // the low 8 bits of 300 and 299 in mode 0
      {wider, "xa", 0, "ea00"},    {wider, "xa", 1, "0001002"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeSortKey(c.word, c.mode, Tables(c.alphabet)), c.key) << c.word << " mode " << c.mode;
  }
}

// Comparing two words must give the order of their keys as binary strings, in both modes,
// for alphabets with positions beyond 255 and beyond 999 as well.
TEST(SortKeyTest, CompareAgreesWithComparingTheKeys) {
  std::mt19937 rng(11);
  const std::string chars = "abcxyz'?-9";
  std::vector<std::string> alphabets = {ScanRules{}.alphabet, "zyxwvutsrqponmlkjihgfedcba'"};
  for (size_t length : {300, 1200}) {
    std::string alphabet;
    for (size_t i = 0; i < length; ++i) alphabet += "abcxyz'-q"[rng() % 9];
    alphabets.push_back(alphabet);
  }
  for (const std::string& alphabet : alphabets) {
    CharTables tables = Tables(alphabet);
    for (int mode : {0, 1, 3}) {
      SortKeyOrder keys(tables, mode);
      for (int i = 0; i < 3000; ++i) {
        std::string a, b;
        for (int n = static_cast<int>(rng() % 6); n > 0; --n) a += chars[rng() % chars.size()];
        b = (rng() % 4 == 0) ? a.substr(0, a.size() / 2) : "";
        for (int n = static_cast<int>(rng() % 6); n > 0; --n) b += chars[rng() % chars.size()];
        int expected = Sign(MakeSortKey(a, mode, tables).compare(MakeSortKey(b, mode, tables)));
        ASSERT_EQ(Sign(keys.Compare(a, b)), expected) << a << " / " << b << " mode " << mode << " alphabet of "
                                                      << alphabet.size();
        ASSERT_EQ(keys.Less(a, b), expected < 0);
      }
    }
  }
}

// The list sort done step by step: natural runs dealt to two files in turn, then the plain
// two-way merge passes.
EntryList MergeNaturalRuns(const EntryList& list, int order, const SortKeyOrder& keys) {
  auto before = [&](const Entry& a, const Entry& b) { return CompareEntries(a.count, a.word, b.count, b.word, order, keys); };
  std::vector<EntryList> files[2];
  int current = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0 && !before(list[i - 1], list[i])) current = 1 - current;
    if (i == 0 || !before(list[i - 1], list[i])) files[current].emplace_back();
    files[current].back().push_back(list[i]);
  }
  return test::MergeRuns(std::move(files[0]), std::move(files[1]), before);
}

// Sorting in memory, through the scratch files (a budget of one byte makes every entry a chunk
// of its own) and as a view of positions all give the list that merging its natural runs
// gives, also where the order finds entries equal (duplicates, words of characters outside
// the alphabet, an unknown order code), whatever order the view starts in.
TEST(SortEntryListTest, AnyBudgetSortsAsTheRunMergeDoes) {
  std::mt19937 rng(11);
  TempScratch temp;
  CharTables tables = Tables("abc");  // "x", "y" and "z" all have the key 00
  const std::string chars = "abxyz";
  for (size_t size : {1, 2, 3, 5, 8, 33, 200}) {
    EntryList list;
    for (size_t i = 0; i < size; ++i) {
      std::string w;
      for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) w += chars[rng() % chars.size()];
      list.push_back(Entry{w, 1 + static_cast<int64_t>(rng() % 3)});
    }
    for (int order : {1, 2, 3, 4, 5, 6, 7}) {
      for (int keyMode : {0, 1}) {
        SCOPED_TRACE("size " + std::to_string(size) + " order " + std::to_string(order) + " key mode " +
                     std::to_string(keyMode));
        EntryList expected = MergeNaturalRuns(list, order, SortKeyOrder(tables, keyMode));
        EntryList roomy = list, tiny = list;
        ASSERT_TRUE(SortEntryList(roomy, order, keyMode, tables, {&temp.scratch, 1 << 20}).ok());
        ASSERT_TRUE(SortEntryList(tiny, order, keyMode, tables, {&temp.scratch, 1}).ok());
        EXPECT_EQ(Describe(roomy), Describe(expected));
        EXPECT_EQ(Describe(tiny), Describe(expected));
        // The same list as a view of a vocabulary that holds its entries in reverse.
        WordLists lists;
        lists.Vocabulary.assign(list.rbegin(), list.rend());
        std::vector<EntryPosition> positions;
        for (size_t i = 0; i < size; ++i) positions.push_back(static_cast<EntryPosition>(size - 1 - i));
        EntryView view(positions);
        SortEntryView(lists.Vocabulary, view, order, keyMode, tables);
        EXPECT_EQ(Describe(lists.Entries(view)), Describe(expected));
      }
    }
  }
}

}  // namespace
}  // namespace wordloom
