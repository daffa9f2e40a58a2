#include "scan/list_sort.h"

#include <algorithm>
#include <numeric>

#include "scan/run_files.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr size_t kEntryOverhead = sizeof(Entry) + 2 * sizeof(uint32_t);

// Entries that an order finds equal come out as the merge of natural runs would leave them:
// cut the list where an entry does not go after the one before it, deal the runs to two
// files in turn, and merge a run of each file into the outputs in turn, the second file's
// entry first on a tie, the rest of a longer file going to the second output. Where two equal
// entries meet decides their order, so it follows from the shape of the merge alone: walking
// the merges second input first ranks the runs, and equal entries go by the rank of their run.
std::vector<uint32_t> RunRanks(size_t runCount) {
  struct Node {
    int32_t first;   // -1 for a run of the list
    int32_t second;
    uint32_t run;
  };
  std::vector<Node> nodes;
  std::vector<int32_t> files[2];
  for (uint32_t run = 0; run < runCount; ++run) {
    files[run % 2].push_back(static_cast<int32_t>(nodes.size()));
    nodes.push_back(Node{-1, -1, run});
  }
  while (!files[0].empty() && !files[1].empty()) {
    std::vector<int32_t> outputs[2];
    size_t i = 0;
    for (int current = 0; i < files[0].size() && i < files[1].size(); ++i, current = 1 - current) {
      outputs[current].push_back(static_cast<int32_t>(nodes.size()));
      nodes.push_back(Node{files[0][i], files[1][i], 0});
    }
    const std::vector<int32_t>& longer = i < files[0].size() ? files[0] : files[1];
    outputs[1].insert(outputs[1].end(), longer.begin() + static_cast<std::ptrdiff_t>(i), longer.end());
    files[0].swap(outputs[0]);
    files[1].swap(outputs[1]);
  }
  std::vector<uint32_t> ranks(runCount);
  uint32_t next = 0;
  std::vector<int32_t> pending;
  if (!nodes.empty()) pending.push_back(files[0].empty() ? files[1].front() : files[0].front());
  while (!pending.empty()) {
    const Node node = nodes[static_cast<size_t>(pending.back())];
    pending.pop_back();
    if (node.first < 0) {
      ranks[node.run] = next++;
    } else {
      pending.push_back(node.first);  // visited after the second input
      pending.push_back(node.second);
    }
  }
  return ranks;
}

// The tie rank of each entry of a list of `size` entries (see RunRanks), where `before(i, j)`
// says whether entry i goes before entry j.
template <typename Before>
std::vector<uint32_t> TieRanks(size_t size, Before before) {
  std::vector<uint32_t> runOf(size);
  uint32_t runs = size == 0 ? 0 : 1;
  for (size_t i = 1; i < size; ++i) {
    if (!before(i - 1, i)) ++runs;
    runOf[i] = runs - 1;
  }
  std::vector<uint32_t> rank = RunRanks(runs);
  for (uint32_t& run : runOf) run = rank[run];
  return runOf;
}

class EntryMergeOrder : public MergeOrder {
 public:
  EntryMergeOrder(int order, const SortKeyOrder& keys) : order_(order), keys_(keys) {}
  int Compare(const RunRecord& first, const RunRecord& second) const override {
    if (CompareEntries(first.count, first.word, second.count, second.word, order_, keys_)) return -1;
    if (CompareEntries(second.count, second.word, first.count, first.word, order_, keys_)) return 1;
    return first.rank < second.rank ? -1 : 1;
  }

 private:
  int order_;
  const SortKeyOrder& keys_;
};

// The six orders over any words: `less` orders two words, `length` measures one.
template <typename Word, typename Less, typename Length>
bool CompareBy(int64_t count1, const Word& word1, int64_t count2, const Word& word2, int order, Less less,
               Length length) {
  switch (static_cast<ListOrder>(order)) {
    case ListOrder::AscendingAlphabetic: return less(word1, word2);
    case ListOrder::DescendingAlphabetic: return less(word2, word1);
    case ListOrder::IncreasingFrequency: return count1 < count2 || (count1 == count2 && less(word1, word2));
    case ListOrder::DecreasingFrequency: return count1 > count2 || (count1 == count2 && less(word1, word2));
    case ListOrder::IncreasingLength: {
      const auto l1 = length(word1), l2 = length(word2);
      return l1 < l2 || (l1 == l2 && less(word1, word2));
    }
    case ListOrder::DecreasingLength: {
      const auto l1 = length(word1), l2 = length(word2);
      return l1 > l2 || (l1 == l2 && less(word1, word2));
    }
    default: return false;
  }
}

// A UTF-8 word as the orders see it: compared forward or, for rhyme, with its user-perceived
// characters reversed, and as long as it has such characters. Made once per entry, not per
// comparison.
struct UnicodeSortWord {
  std::string text;
  size_t length = 0;
};

std::vector<UnicodeSortWord> UnicodeSortWords(const EntryList& vocabulary, const std::vector<EntryPosition>& positions,
                                              int keyMode) {
  std::vector<UnicodeSortWord> words(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    const std::string& word = vocabulary[positions[i]].word;
    words[i].text = keyMode != 0 ? UnicodeText::Reversed(word) : word;
    for (size_t at = 0; at < word.size(); at = ClusterEnd(word, at)) ++words[i].length;
  }
  return words;
}

}  // namespace

bool CompareEntries(int64_t count1, std::string_view word1, int64_t count2, std::string_view word2, int order,
                    const SortKeyOrder& keys) {
  return CompareBy(count1, word1, count2, word2, order, [&](std::string_view a, std::string_view b) { return keys.Less(a, b); },
                   [](std::string_view w) { return w.size(); });
}

void SortEntryView(const EntryList& vocabulary, EntryView& view, int order, int keyMode, const CharTables& tables) {
  std::vector<EntryPosition>& positions = view.positions();
  SortKeyOrder keys(tables, keyMode);
  const UnicodeText* unicode = tables.unicode.get();
  const std::vector<UnicodeSortWord> unicodeWords =
      unicode ? UnicodeSortWords(vocabulary, positions, keyMode) : std::vector<UnicodeSortWord>();
  // Entries by their index in the view.
  auto before = [&](uint32_t a, uint32_t b) {
    const int64_t countA = vocabulary[positions[a]].count, countB = vocabulary[positions[b]].count;
    if (unicode) {
      return CompareBy(countA, unicodeWords[a], countB, unicodeWords[b], order,
                       [&](const UnicodeSortWord& x, const UnicodeSortWord& y) { return unicode->Compare(x.text, y.text) < 0; },
                       [](const UnicodeSortWord& w) { return w.length; });
    }
    return CompareEntries(countA, vocabulary[positions[a]].word, countB, vocabulary[positions[b]].word, order, keys);
  };
  const std::vector<uint32_t> rankOf =
      TieRanks(positions.size(), [&](size_t i, size_t j) { return before(static_cast<uint32_t>(i), static_cast<uint32_t>(j)); });
  std::vector<uint32_t> sortedOrder(positions.size());
  std::iota(sortedOrder.begin(), sortedOrder.end(), 0u);
  std::sort(sortedOrder.begin(), sortedOrder.end(), [&](uint32_t a, uint32_t b) {
    if (before(a, b)) return true;
    if (before(b, a)) return false;
    return rankOf[a] < rankOf[b];
  });
  std::vector<EntryPosition> sorted(positions.size());
  for (size_t i = 0; i < sorted.size(); ++i) sorted[i] = positions[sortedOrder[i]];
  positions.swap(sorted);
}

Status SortEntryList(EntryList& list, int order, int keyMode, const CharTables& tables,
                     const ListSortOptions& options) {
  SortKeyOrder keys(tables, keyMode);
  auto before = [&](const Entry& a, const Entry& b) {
    return CompareEntries(a.count, a.word, b.count, b.word, order, keys);
  };

  // The tie rank of each entry.
  const std::vector<uint32_t> runOf = TieRanks(list.size(), [&](size_t i, size_t j) { return before(list[i], list[j]); });
  auto sorted = [&](uint32_t a, uint32_t b) {
    if (before(list[a], list[b])) return true;
    if (before(list[b], list[a])) return false;
    return runOf[a] < runOf[b];
  };

  // Cut the list into chunks that fit the budget; each sorted chunk is one run of the merge.
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
  std::vector<uint32_t> chunkOrder;
  if (chunkEnds.size() == 1) {
    chunkOrder.resize(list.size());
    std::iota(chunkOrder.begin(), chunkOrder.end(), 0u);
    std::sort(chunkOrder.begin(), chunkOrder.end(), sorted);
    EntryList result;
    result.reserve(list.size());
    for (uint32_t i : chunkOrder) result.push_back(std::move(list[i]));
    list.swap(result);
    return Status::Ok();
  }
  if (options.scratch == nullptr) return Status::Error("No scratch folder for sorting the list.");

  const ScratchFolder& scratch = *options.scratch;
  FileWriter files[2];
  Status status = scratch.OpenForWrite("A", files[0]);
  if (status.ok()) status = scratch.OpenForWrite("B", files[1]);
  if (!status.ok()) return status;
  size_t begin = 0;
  for (size_t c = 0; c < chunkEnds.size(); ++c) {
    chunkOrder.resize(chunkEnds[c] - begin);
    std::iota(chunkOrder.begin(), chunkOrder.end(), static_cast<uint32_t>(begin));
    std::sort(chunkOrder.begin(), chunkOrder.end(), sorted);
    FileWriter& out = files[c % 2];
    for (uint32_t i : chunkOrder) WriteRunRecord(out, list[i].count, list[i].word, runOf[i]);
    WriteRunRecord(out, kRunEnd, "");
    begin = chunkEnds[c];
  }
  EntryList result;
  result.reserve(list.size());
  EntryMergeOrder mergeOrder(order, keys);
  status = FinishRunFiles(scratch, files, mergeOrder, result);
  if (!status.ok()) return status;
  if (result.size() != list.size()) {
    return Status::Error("The scratch files in " + scratch.folder() + " were damaged while sorting the list.");
  }
  list.swap(result);
  return Status::Ok();
}

}  // namespace wordloom
