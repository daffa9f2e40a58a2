// WordCounter: counts word occurrences within a memory budget.
//
// Words are interned in an open-addressing hash table (one arena for their bytes, no
// allocation per occurrence). When the table outgrows its budget it is written, in collating
// order, as one (word, count) run to scratch file "~A" or "~B" in turn, and emptied. Finish()
// merges the runs, adding the counts of equal words, and yields the vocabulary in collating
// order. The result is the same whatever the budget; only the number of runs changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/sort_key.h"
#include "scan/word_lists.h"

namespace wordloom {

class WordCounter {
 public:
  WordCounter(const ScratchFolder& scratch, const SortKeyOrder& order, size_t budgetBytes);

  // Opens the run files; must succeed before Add.
  Status Begin();
  void Add(std::string_view word);
  // Writes the last run, merges, and fills `vocabulary` (emptied first).
  Status Finish(EntryList& vocabulary);
  const Status& error() const { return error_; }

 private:
  struct Slot {
    uint32_t offset;
    uint32_t length;
    int64_t count;
  };
  static uint64_t Hash(const char* bytes, size_t length);
  void Grow();
  size_t MemoryUsed() const;
  void Spill();
  void Clear();

  const ScratchFolder& scratch_;
  const SortKeyOrder& order_;
  size_t budgetBytes_;
  std::vector<uint64_t> table_;  // high 32 bits: hash tag; low 32 bits: entry index + 1
  std::vector<Slot> entries_;
  std::vector<char> arena_;
  FileWriter runs_[2];
  int runToggle_ = 0;
  Status error_;
};

}  // namespace wordloom
