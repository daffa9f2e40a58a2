#include "analysis/ngram_counter.h"

#include <algorithm>
#include <bit>

#include "analysis/ngram_sort.h"

namespace wordloom {
namespace {

constexpr size_t kLeastSlots = 8;
constexpr size_t kFirstSlots = size_t{1} << 12;
constexpr size_t kMergeBuffer = size_t{64} << 10;  // read buffer of each run merged at once
constexpr size_t kMostFanIn = 64;
constexpr uint64_t kStopCheck = uint64_t{1} << 16;
constexpr char kNoMemory[] = "Not enough memory to count the n-grams.";

}  // namespace

// A table of `slots` empty slots, or null when the system has no memory for it.
NgramCounter::Table NgramCounter::NewTable(size_t slots) {
  return MapTable<NgramRecord>(slots);
}

NgramCounter::NgramCounter(const ScratchFolder& scratch, size_t budgetBytes, uint64_t mostGrams)
    : mostSlots_(std::max(kLeastSlots, budgetBytes / sizeof(NgramRecord))), runs_(scratch) {
  // Room for every n-gram that may come, within the budget: growing a table step by step
  // would zero and fill twice the memory.
  const uint64_t room = std::max<uint64_t>(kFirstSlots, mostGrams + mostGrams / 3 + 1);
  for (size_t slots : {static_cast<size_t>(std::min<uint64_t>(room, mostSlots_)), std::min(kFirstSlots, mostSlots_)}) {
    table_ = NewTable(slots);
    tableSize_ = table_ ? slots : 0;
    if (table_) return;
  }
  error_ = Status::Error(kNoMemory);
}

void NgramCounter::ProcessBatch() {
  if (error_.ok()) {
    for (size_t i = 0; i < batchSize_; ++i) Count(batch_[i]);
  }
  batchSize_ = 0;
}

void NgramCounter::Count(const Waiting& waiting) {
  for (size_t i = SlotOf(waiting.hash);; i = i + 1 == tableSize_ ? 0 : i + 1) {
    NgramRecord& slot = table_[i];
    if (slot.SameGram(waiting.gram)) {
      ++slot.count;
      slot.files.range += slot.files.last != waiting.file ? 1 : 0;
      slot.files.last = waiting.file;
      return;
    }
    if (slot.high != 0) continue;
    slot = waiting.gram;
    slot.count = 1;
    slot.files = FileSpan{1, waiting.file, waiting.file};
    if (++used_ * 4 > tableSize_ * 3) Grow();
    return;
  }
}

// Doubles the table within the budget; a table that cannot grow is written out as a run.
void NgramCounter::Grow() {
  const size_t size = std::min(tableSize_ * 2, mostSlots_);
  auto bigger = size > tableSize_ ? NewTable(size) : nullptr;
  if (!bigger) {
    Spill();
    return;
  }
  std::swap(table_, bigger);
  const size_t oldSize = tableSize_;
  tableSize_ = size;
  for (size_t n = 0; n < oldSize; ++n) {
    const NgramRecord& slot = bigger[n];
    if (slot.high == 0) continue;
    size_t i = SlotOf(slot.Hash());
    while (table_[i].high != 0) i = i + 1 == tableSize_ ? 0 : i + 1;
    table_[i] = slot;
  }
}

// Moves the n-grams to the front of the table, in key order; returns how many there are.
size_t NgramCounter::GatherSorted() {
  size_t kept = 0;
  uint64_t words = 0;  // every word's bits
  for (size_t i = 0; i < tableSize_; ++i) {
    const NgramRecord& slot = table_[i];
    if (slot.high == 0) continue;
    words |= slot.high | slot.middle | slot.low;
    if (i != kept) {
      table_[kept] = slot;
      table_[i] = NgramRecord{};
    }
    ++kept;
  }
  SortNgramRecords(table_.get(), kept, std::bit_width(static_cast<uint32_t>(words | words >> 32)));
  return kept;
}

void NgramCounter::Spill() {
  const size_t kept = GatherSorted();
  runs_.WriteRun(table_.get(), kept);
  std::fill(table_.get(), table_.get() + kept, NgramRecord{});
  used_ = 0;
  if (!runs_.error().ok()) error_ = runs_.error();
}

Status NgramCounter::Finish(const std::function<void(const NgramRecord&)>& sink, ProgressSink* progress,
                            bool& stopped) {
  ProcessBatch();
  stopped = false;
  if (!error_.ok()) return error_;
  if (runs_.runs() == 0) {
    const size_t kept = GatherSorted();
    for (size_t i = 0; i < kept; ++i) {
      if (i % kStopCheck == kStopCheck - 1 && progress && progress->StopRequested()) {
        stopped = true;
        break;
      }
      sink(table_[i]);
    }
    table_.reset();
    return Status::Ok();
  }
  if (used_ > 0) Spill();
  table_.reset();  // the counting is over: free the table before the merge
  tableSize_ = 0;
  if (!error_.ok()) return error_;
  const size_t fanIn = std::clamp(mostSlots_ * sizeof(NgramRecord) / kMergeBuffer, size_t{2}, kMostFanIn);
  return runs_.Merge(fanIn, kMergeBuffer, sink, progress, stopped);
}

}  // namespace wordloom
