// NgramCounter: counts n-grams, and the files each is met in, within a memory budget.
//
// N-grams are counted in an open-addressing table of 40-byte slots (the n-gram, its count, its
// range, and the first and last file it was met in), looked up in batches whose slots are
// fetched from memory together. The table grows until it would outgrow the budget; then, when
// three quarters full (or when the system gives no more memory), it is sorted in place and
// written as a run to the scratch folder (NgramRunFile), and emptied. Finish hands every
// n-gram over in key order with its count and range summed over the runs: from the table
// itself when nothing spilled. The result is the same whatever the budget.
// Memory: the budget (at most 1.5 times it while the table grows; a table sized at once for
// the n-grams to come never grows), and the merge's buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "analysis/ngram_runs.h"
#include "scan/word_counter.h"

namespace wordloom {

class NgramCounter {
 public:
  // `mostGrams`: how many n-grams may come at most, when known (0 when not).
  NgramCounter(const ScratchFolder& scratch, size_t budgetBytes, uint64_t mostGrams = 0);

  // Counts `gram` (its key only) as met in file `file`; files come in increasing order.
  void Add(const NgramRecord& gram, uint32_t file) {
    if (batchSize_ == kBatch) ProcessBatch();
    const uint64_t hash = gram.Hash();
    if (table_) Prefetch(&table_[SlotOf(hash)]);
    batch_[batchSize_++] = Waiting{gram, hash, file};
  }

  // Every n-gram counted, in key order, into `sink`. Ends the counting. Fails when the scratch
  // folder cannot be written or read, or memory runs out; `stopped` when `progress` asked.
  Status Finish(const std::function<void(const NgramRecord&)>& sink, ProgressSink* progress, bool& stopped);

 private:
  static constexpr size_t kBatch = 32;
  using Table = std::unique_ptr<NgramRecord[], MappedMemory>;
  struct Waiting {
    NgramRecord gram;
    uint64_t hash;
    uint32_t file;
  };

  size_t SlotOf(uint64_t hash) const {
    __extension__ typedef unsigned __int128 Wide;  // the hash scaled to the table: no power of two needed
    return static_cast<size_t>((static_cast<Wide>(hash) * tableSize_) >> 64);
  }
  static void Prefetch(const void* address) { __builtin_prefetch(address, 1); }
  void ProcessBatch();
  void Count(const Waiting& waiting);
  static Table NewTable(size_t slots);
  void Grow();
  size_t GatherSorted();
  void Spill();

  size_t mostSlots_;
  Table table_;
  size_t tableSize_ = 0;
  size_t used_ = 0;
  NgramRunFile runs_;
  Status error_;
  Waiting batch_[kBatch];
  size_t batchSize_ = 0;
};

}  // namespace wordloom
