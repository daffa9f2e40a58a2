#include "scan/list_sort.h"

#include <algorithm>
#include <numeric>

#include "scan/run_files.h"

namespace wordloom {
namespace {

constexpr size_t kEntryOverhead = sizeof(Entry) + sizeof(size_t);

class EntryMergeOrder : public MergeOrder {
 public:
  EntryMergeOrder(int order, const SortKeyOrder& keys) : order_(order), keys_(keys) {}
  int Compare(const RunRecord& first, const RunRecord& second) const override {
    // Entries are never combined: the second input's entry wins whenever the first does not go first.
    return CompareEntries(first.count, first.word, second.count, second.word, order_, keys_) ? -1 : 1;
  }

 private:
  int order_;
  const SortKeyOrder& keys_;
};

}  // namespace

bool CompareEntries(int64_t count1, std::string_view word1, int64_t count2, std::string_view word2, int order,
                    const SortKeyOrder& keys) {
  switch (order) {
    case 1: return keys.Less(word1, word2);
    case 2: return keys.Less(word2, word1);
    case 3: return count1 < count2 || (count1 == count2 && keys.Less(word1, word2));
    case 4: return count1 > count2 || (count1 == count2 && keys.Less(word1, word2));
    case 5: return word1.size() < word2.size() || (word1.size() == word2.size() && keys.Less(word1, word2));
    case 6: return word1.size() > word2.size() || (word1.size() == word2.size() && keys.Less(word1, word2));
    default: return false;
  }
}

Status SortEntryList(EntryList& list, int order, int keyMode, const CharTables& tables,
                     const ListSortOptions& options) {
  SortKeyOrder keys(tables, keyMode);
  auto before = [&](const Entry& a, const Entry& b) {
    return CompareEntries(a.count, a.word, b.count, b.word, order, keys);
  };

  // Cut the list into chunks that fit the budget.
  std::vector<size_t> chunkEnds;
  size_t used = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    size_t cost = list[i].word.size() + kEntryOverhead;
    if (used > 0 && used + cost > options.budgetBytes) {
      chunkEnds.push_back(i);
      used = 0;
    }
    used += cost;
  }
  chunkEnds.push_back(list.size());
  if (chunkEnds.size() == 1) {
    std::stable_sort(list.begin(), list.end(), before);
    return Status::Ok();
  }
  if (options.scratch == nullptr) return Status::Error("No scratch folder for sorting the list.");

  // Each sorted chunk is one run, written to "A" and "B" in turn.
  const ScratchFolder& scratch = *options.scratch;
  FileWriter runs[2];
  Status status = scratch.OpenForWrite("A", runs[0]);
  if (status.ok()) status = scratch.OpenForWrite("B", runs[1]);
  if (!status.ok()) return status;
  std::vector<size_t> chunkOrder;
  size_t begin = 0;
  for (size_t c = 0; c < chunkEnds.size(); ++c) {
    chunkOrder.resize(chunkEnds[c] - begin);
    std::iota(chunkOrder.begin(), chunkOrder.end(), begin);
    std::stable_sort(chunkOrder.begin(), chunkOrder.end(),
                     [&](size_t a, size_t b) { return before(list[a], list[b]); });
    FileWriter& out = runs[c % 2];
    for (size_t i : chunkOrder) WriteRunRecord(out, list[i].count, list[i].word);
    WriteRunRecord(out, kRunEnd, "");
    begin = chunkEnds[c];
  }
  EntryList sorted;
  sorted.reserve(list.size());
  EntryMergeOrder mergeOrder(order, keys);
  status = FinishRunFiles(scratch, runs, mergeOrder, sorted);
  if (!status.ok()) return status;
  if (sorted.size() != list.size()) {
    return Status::Error("The scratch files in " + scratch.folder() + " were damaged while sorting the list.");
  }
  list.swap(sorted);
  return Status::Ok();
}

}  // namespace wordloom
