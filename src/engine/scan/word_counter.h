// WordCounter: counts word occurrences within a memory budget.
//
// Words are interned in an open-addressing hash table whose 32-byte slots hold the count and,
// for words of up to 16 bytes, the word itself, so that counting a word touches one slot;
// longer words live in an arena. Words are looked up in batches, the slots of a batch being
// fetched from memory together. When the table would outgrow its budget it is written, in
// collating order, as one (word, count) run to scratch file "~A" or "~B" in turn, and
// emptied. Finish() merges the runs, adding the counts of equal words, and yields the
// vocabulary in collating order. The result is the same whatever the budget.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/sort_key.h"
#include "scan/word_lists.h"

namespace wordloom {

// Frees memory mapped for a table.
struct MappedMemory {
  size_t bytes = 0;
  void operator()(void* memory) const;
};

class WordCounter {
 public:
  WordCounter(const ScratchFolder& scratch, const CharTables& tables, size_t budgetBytes);

  // Opens the run files; must succeed before Add.
  Status Begin();
  void Add(std::string_view word) {
    Add(reinterpret_cast<const unsigned char*>(word.data()), word.size(), identity_.data());
  }
  // Counts the word made of `length` characters at `text`, each mapped through `fold`,
  // without an intermediate copy.
  void Add(const unsigned char* text, size_t length, const unsigned char* fold);
  // Writes the last run, merges, and fills `vocabulary` (emptied first). Ends the counting.
  Status Finish(EntryList& vocabulary);

 private:
  static constexpr size_t kInline = 16;
  static constexpr size_t kBatch = 32;

  struct alignas(32) Slot {
    uint32_t tag;  // 0: empty
    uint32_t length;
    int64_t count;
    char bytes[kInline];  // the word, or for a longer word its arena offset
  };

  static uint64_t Hash(const char* bytes, size_t length);
  const char* WordOf(const Slot& slot) const;
  void ProcessBatch();
  void Count(const char* word, size_t length, uint64_t hash);
  bool SameWord(const Slot& slot, const char* word, size_t length) const;
  void Grow();
  void Spill();
  void Reset(size_t slots);

  const ScratchFolder& scratch_;
  CharTables tables_;
  std::array<unsigned char, 256> identity_{};
  std::array<uint8_t, 256> keyByte_{};  // the collating byte of each character (mode-0 keys)
  size_t budgetBytes_;
  // The table lives in memory of its own, zeroed, in huge pages where the system allows:
  // lookups jump about a large table, and small pages would cost a page walk each.
  static std::unique_ptr<Slot[], MappedMemory> AllocateTable(size_t slots);
  std::unique_ptr<Slot[], MappedMemory> table_;
  size_t tableSize_ = 0;
  size_t used_ = 0;
  std::vector<char> arena_;
  FileWriter runs_[2];
  int runToggle_ = 0;
  Status error_;

  // The batch: words waiting to be counted, with their hashes.
  std::vector<char> batchBytes_;
  size_t batchUsed_ = 0;
  size_t batchStarts_[kBatch] = {};
  size_t batchLengths_[kBatch] = {};
  uint64_t batchHashes_[kBatch] = {};
  size_t batchSize_ = 0;
};

}  // namespace wordloom
