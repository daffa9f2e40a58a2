// The six list orders and the list sort.
//
// CompareEntries says whether one (count, word) entry goes before another in an order:
// 1 collating order, 2 reverse, 3 increasing and 4 decreasing count, 5 increasing and
// 6 decreasing word length, ties broken by the sort key; any other order code never says
// yes. SortEntryList sorts a list in place, leaving entries the order finds equal where a
// two-way merge of the list's natural runs leaves them (the later run's entry first where
// two meet). Chunks of at most `budgetBytes` are sorted in memory, and when there is more
// than one they are merged through the scratch files "~A" to "~D"; the result is the same
// whatever the budget. SortEntryView sorts the positions of a view of the vocabulary instead
// of the entries themselves, in memory and in the same order.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/scan_rules.h"
#include "scan/sort_key.h"
#include "scan/word_lists.h"

namespace wordloom {

// The orders of word lists, by the numbers the list sort, the order box and `--order` take.
enum class ListOrder {
  AscendingAlphabetic = 1,
  DescendingAlphabetic = 2,
  IncreasingFrequency = 3,
  DecreasingFrequency = 4,
  IncreasingLength = 5,
  DecreasingLength = 6,
};

bool CompareEntries(int64_t count1, std::string_view word1, int64_t count2, std::string_view word2, int order,
                    const SortKeyOrder& keys);

struct ListSortOptions {
  const ScratchFolder* scratch = nullptr;  // needed only when the list exceeds the budget
  size_t budgetBytes = 32u << 20;
};

// Sorts `list` in the order code `order` with keys of `keyMode` (0 forward, else rhyme).
Status SortEntryList(EntryList& list, int order, int keyMode, const CharTables& tables,
                     const ListSortOptions& options = {});

// Sorts a view of `vocabulary` as SortEntryList sorts the entries it shows, with the same
// result. Only positions move: it takes 12 bytes an entry, in memory, whatever the words.
void SortEntryView(const EntryList& vocabulary, EntryView& view, int order, int keyMode, const CharTables& tables);

}  // namespace wordloom
