// WordCounter: counts word occurrences, and the files each word occurs in, within a memory budget.
//
// Words are interned in an open-addressing hash table whose 32-byte slots hold the count, the
// range (the number of files the word was met in), the last of those files and, for words of
// up to 16 bytes, the word itself, so that counting a word touches one slot; longer words live
// in an arena. Beside each slot 8 bytes, written when its word is first met, keep when that
// was and in which file; while a recording is made (Record), 16 more keep the word's id and
// where its tokens fell, fetched with the slot. Words are looked up in batches, the slots of a
// batch being fetched from memory together. When the table would outgrow its budget it is
// written, in collating order, as one (word, count, files) run to scratch file "~A" or "~B"
// (followed by the counter's run tag, if any) in turn, and emptied; a table the system cannot
// give memory for is written out the same way, and so is a table whose word is about to be
// counted past 2^32 - 1 (a slot's limit). The last table stays in memory, sorted, when none
// was written out before (finished_runs.h). Finish() merges the runs,
// adding the counts of equal words in 64 bits and joining their files (a run's files follow
// those of the run before it, and may share one with it), and yields the vocabulary in
// collating order with each word's range. The result is the same whatever the budget. When
// not even the smallest table can be had, counting stops and Begin or Finish says so ("Not
// enough memory to scan the project.").
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/bits.h"
#include "base/file_writer.h"
#include "base/table_memory.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/finished_runs.h"
#include "scan/run_files.h"
#include "scan/sort_key.h"
#include "scan/token_recorder.h"
#include "scan/word_lists.h"

namespace wordloom {

// The word hash: each 8-byte chunk of the word (the last one zero-filled) is folded in with one
// multiplication; the length and a final mix come last, so a word can be hashed as it is read.
struct WordHash {
  static constexpr uint64_t kStart = 0x9E3779B97F4A7C15ULL;
  static uint64_t Step(uint64_t h, uint64_t chunk) {
    h = (h ^ chunk) * 0xbf58476d1ce4e5b9ULL;
    return h ^ (h >> 29);
  }
  static uint64_t Finish(uint64_t h, size_t length) {
    h = (h ^ length) * 0xff51afd7ed558ccdULL;
    return h ^ (h >> 32);
  }
  static uint64_t Of(const char* bytes, size_t length);
};

class WordCounter {
 public:
  // `mostCount`: what a slot counts to before the table is written out (lower only in tests).
  // `runTag` follows the scratch files' names ("~A<tag>" to "~D<tag>"), so that counters
  // working side by side keep apart.
  WordCounter(const ScratchFolder& scratch, const CharTables& tables, size_t budgetBytes,
              uint32_t mostCount = UINT32_MAX, const std::string& runTag = "");

  // The texts to come hold about `bytes` bytes: before the first word, the table is made as
  // large as they likely need (within the budget), so that it need not grow step by step,
  // each step hashing every word again.
  void ExpectBytes(uint64_t bytes);
  // Opens the run files; must succeed before Add.
  Status Begin();
  // The words from here on come from file number `file` (0 until called); files come in order.
  void BeginFile(uint32_t file) {
    ProcessBatch();
    file_ = file;
  }
  void Add(std::string_view word);

  // A word written in place: BeginWord gives room for `room` bytes of a word (and 24 more,
  // which the writer zero-fills after the word); called again with more room, it keeps what
  // was written and returns the word's new place. EndWord counts the `length` bytes written
  // there, whose WordHash is `hash`. A word begun and not ended is dropped.
  char* BeginWord(size_t room) {
    size_t need = batchUsed_ + room + kPadding;
    if (need > batchBytes_.size()) batchBytes_.resize(need > 2 * batchBytes_.size() ? need : 2 * batchBytes_.size());
    return batchBytes_.data() + batchUsed_;
  }
  void EndWord(size_t length, uint64_t hash) {
    if (table_) {
      Prefetch(table_.get() + (hash & (tableSize_ - 1)));
      if (recorder_) Prefetch(recorded_.get() + (hash & (tableSize_ - 1)));
    }
    batchStarts_[batchSize_] = batchUsed_;
    batchLengths_[batchSize_] = length;
    batchHashes_[batchSize_++] = hash;
    batchUsed_ += (length + kPadding) & ~size_t{7};
    if (batchSize_ == kBatch) ProcessBatch();
  }
  const CharTables& tables() const { return tables_; }
  // Counts the words waiting in the batch.
  void Flush() { ProcessBatch(); }

  // From here on each token's id (the order in which the counter first met its word) goes to
  // `recorder`, with each line read (null: none), and the counter keeps where each word's
  // tokens fell. The ids stand for one set of words only while the table is not written out
  // before the end: one written out mid-way ends the recording (recording() turns false), and
  // TakeIdWords then fails.
  void Record(TokenRecorder* recorder);
  bool recording() const { return recorder_ != nullptr; }
  // The text reader has read a logical line: the recorder hears of it.
  void RecordLine(const ScanContext& context) {
    if (recorder_) recorder_->LineRead(context, batchSize_);
  }
  // After FinishRun: the words the recorded ids stand for, in id order, with their positions.
  // False when the recording ended before (see Record).
  bool TakeIdWords(IdWords& words);

  // Writes the last run, merges, and fills `vocabulary` (emptied first) and, when not null,
  // `ranges` with each entry's range. Ends the counting. The ranges stay empty when words of
  // equal sort keys may meet (a Windows-1252 alphabet of more than 255 positions), since one
  // entry then stands for several words whose files cannot be told apart.
  Status Finish(EntryList& vocabulary, std::vector<uint32_t>* ranges = nullptr);
  // Ends the counting as Finish does, leaving the one merged run (with spans) in `run` instead,
  // for MergeRuns: in memory when the table was never written out before, else in a scratch file.
  Status FinishRun(FinishedRun& run);
  // Merges the runs that counters over consecutive stretches of the texts left with
  // FinishRun, in the order of the stretches, into `vocabulary` (emptied first) and, when not
  // null and the ranges can be known, `ranges`: the result one counter would have given.
  static Status MergeRuns(const ScratchFolder& scratch, const CharTables& tables, const std::vector<FinishedRun>& runs,
                          EntryList& vocabulary, std::vector<uint32_t>* ranges);

 private:
  static constexpr size_t kInline = 16;
  static constexpr size_t kBatch = 32;
  static constexpr size_t kPadding = 24;  // zero bytes after a batch word: its last chunk and 16 more
  static constexpr uint32_t kLongWord = 0xFF;  // the length code of a word longer than kInline

  struct alignas(32) Slot {
    uint32_t mark;  // 0: empty; else 24 bits of the word's hash (never all 0) and its length code
    uint32_t count;
    uint32_t range;
    uint32_t lastFile;
    char bytes[kInline];  // the word, or for a longer word its arena offset and its length
  };
  // When a slot's word was first met: the order among the table's words, and the file.
  struct SlotHistory {
    uint32_t seen;
    uint32_t firstFile;
  };
  static uint32_t Mark(uint64_t hash, size_t length) {
    return ((static_cast<uint32_t>(hash >> 40) | 1u) << 8) | (length <= kInline ? static_cast<uint32_t>(length) : kLongWord);
  }

  const char* WordOf(const Slot& slot) const;
  static size_t LengthOf(const Slot& slot);
  void ProcessBatch();
  template <bool kRecord>
  uint32_t Count(const char* word, size_t length, uint64_t hash);
  bool SameWord(const Slot& slot, const char* word, size_t length) const;
  // Counts a token of the word in `slot` where it fell, and returns the word's id.
  uint32_t CountPosition(size_t slot) {
    if (!recorded_) return 0;  // the table was written out mid-batch: the recording is over
    RecordedSlot& at = recorded_[slot];
    const uint32_t position = recordedTokens_++;
    if (at.positions.bytes == 0) at.positions.first = position;
    at.positions.bytes += static_cast<uint32_t>(VarintSize(position - at.positions.last));
    at.positions.last = position;
    return at.seen;
  }
  void Grow();
  // The ids handed on no longer stand for one set of words: recording() turns false.
  void EndRecording();
  void Spill();
  // Frees the table and what goes with it; a recording's slots go too, which ends it.
  void FreeTable();
  void Reset(size_t slots);

  const ScratchFolder& scratch_;
  CharTables tables_;
  std::array<uint8_t, 256> keyByte_{};  // the collating byte of each character (mode-0 keys)
  size_t budgetBytes_;
  uint32_t mostCount_;
  size_t initialSlots_ = 4;
  // The table lives in memory of its own, zeroed, in huge pages where the system allows:
  // lookups jump about a large table, and small pages would cost a page walk each. Null when
  // the system has no memory to give.
  static std::unique_ptr<Slot[], MappedMemory> AllocateTable(size_t slots);
  std::unique_ptr<Slot[], MappedMemory> table_;
  size_t tableSize_ = 0;
  std::unique_ptr<SlotHistory[]> history_;  // per slot
  // While recording, per slot: its word's id (the history's `seen` again) and where its tokens
  // fell. Kept by slot, in a line of their own, they are fetched ahead with the slot.
  struct RecordedSlot {
    uint32_t seen = 0;
    RecordedPositions positions;
  };
  std::unique_ptr<RecordedSlot[], MappedMemory> recorded_;  // in memory of its own, as the table
  uint32_t recordedTokens_ = 0;
  size_t used_ = 0;
  uint32_t file_ = 0;
  bool keysMayMeet_ = false;  // distinct words may have equal sort keys
  std::vector<char> arena_;
  RunFileNames runNames_;
  FileWriter runs_[2];
  int runToggle_ = 0;
  Status error_;
  TokenRecorder* recorder_ = nullptr;
  bool finishing_ = false;  // FinishRun writes the last table out
  bool wroteRun_ = false;   // a run went to a scratch file
  MemoryRun lastRun_;       // the last table, sorted, when no run went to a file
  IdWords idWords_;         // of the last table, when recording

  // The batch: words waiting to be counted, with their hashes.
  std::vector<char> batchBytes_;
  size_t batchUsed_ = 0;
  size_t batchStarts_[kBatch] = {};
  size_t batchLengths_[kBatch] = {};
  uint64_t batchHashes_[kBatch] = {};
  size_t batchSize_ = 0;
};

}  // namespace wordloom
