#include "scan/word_counter.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "scan/run_files.h"

namespace wordloom {
namespace {

constexpr size_t kInitialTableSize = 1 << 14;

// The vocabulary merge: equal keys meet and their counts are added.
class VocabularyMergeOrder : public MergeOrder {
 public:
  explicit VocabularyMergeOrder(const SortKeyOrder& keys) : keys_(keys) {}
  int Compare(const RunRecord& first, const RunRecord& second) const override {
    return keys_.Compare(first.word, second.word);
  }

 private:
  const SortKeyOrder& keys_;
};

inline uint64_t Mix(uint64_t h) {
  h ^= h >> 31;
  h *= 0x7fb5d329728ea185ULL;
  h ^= h >> 27;
  h *= 0x81dadef4bc2dd44dULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

WordCounter::WordCounter(const ScratchFolder& scratch, const SortKeyOrder& order, size_t budgetBytes)
    : scratch_(scratch), order_(order), budgetBytes_(budgetBytes) {
  Clear();
}

Status WordCounter::Begin() {
  runToggle_ = 0;
  error_ = scratch_.OpenForWrite("A", runs_[0]);
  if (error_.ok()) error_ = scratch_.OpenForWrite("B", runs_[1]);
  return error_;
}

void WordCounter::Clear() {
  table_.assign(kInitialTableSize, 0);
  entries_.clear();
  arena_.clear();
}

uint64_t WordCounter::Hash(const char* bytes, size_t length) {
  uint64_t h = 0x9E3779B97F4A7C15ULL * (length + 1);
  while (length >= 8) {
    uint64_t chunk;
    std::memcpy(&chunk, bytes, 8);
    h = Mix(h ^ chunk);
    bytes += 8;
    length -= 8;
  }
  if (length > 0) {
    uint64_t chunk = 0;
    std::memcpy(&chunk, bytes, length);
    h = Mix(h ^ chunk);
  }
  return h;
}

void WordCounter::Add(std::string_view word) {
  uint64_t hash = Hash(word.data(), word.size());
  uint64_t tag = hash >> 32;
  size_t mask = table_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    uint64_t slot = table_[i];
    if (slot == 0) {
      entries_.push_back(Slot{static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(word.size()), 1});
      arena_.insert(arena_.end(), word.begin(), word.end());
      table_[i] = (tag << 32) | entries_.size();
      if (entries_.size() * 2 > table_.size()) Grow();
      if (MemoryUsed() > budgetBytes_) Spill();
      return;
    }
    if ((slot >> 32) == tag) {
      Slot& entry = entries_[(slot & 0xFFFFFFFFu) - 1];
      if (entry.length == word.size() && std::memcmp(arena_.data() + entry.offset, word.data(), word.size()) == 0) {
        ++entry.count;
        return;
      }
    }
  }
}

void WordCounter::Grow() {
  std::vector<uint64_t> bigger(table_.size() * 2, 0);
  size_t mask = bigger.size() - 1;
  for (size_t index = 0; index < entries_.size(); ++index) {
    const Slot& entry = entries_[index];
    uint64_t hash = Hash(arena_.data() + entry.offset, entry.length);
    size_t i = hash & mask;
    while (bigger[i] != 0) i = (i + 1) & mask;
    bigger[i] = ((hash >> 32) << 32) | (index + 1);
  }
  table_.swap(bigger);
}

size_t WordCounter::MemoryUsed() const {
  return arena_.capacity() + entries_.capacity() * sizeof(Slot) + table_.size() * sizeof(uint64_t);
}

void WordCounter::Spill() {
  std::vector<uint32_t> sorted(entries_.size());
  std::iota(sorted.begin(), sorted.end(), 0u);
  auto text = [this](uint32_t index) {
    return std::string_view(arena_.data() + entries_[index].offset, entries_[index].length);
  };
  std::sort(sorted.begin(), sorted.end(), [&](uint32_t a, uint32_t b) { return order_.Less(text(a), text(b)); });
  FileWriter& out = runs_[runToggle_];
  for (uint32_t index : sorted) WriteRunRecord(out, entries_[index].count, text(index));
  WriteRunRecord(out, kRunEnd, "");
  runToggle_ = 1 - runToggle_;
  Clear();
  // Release the memory of a table that grew large, so that the next run starts small.
  table_.shrink_to_fit();
  entries_.shrink_to_fit();
  arena_.shrink_to_fit();
}

Status WordCounter::Finish(EntryList& vocabulary) {
  vocabulary.clear();
  if (!error_.ok()) return error_;
  if (!entries_.empty()) Spill();
  for (FileWriter& out : runs_) {
    WriteRunRecord(out, kFileEnd, "");
    Status closed = out.Close();
    if (!closed.ok() && error_.ok()) {
      error_ = Status::Error("Could not write the scratch files in " + scratch_.folder() + ": " + closed.message());
    }
  }
  if (!error_.ok()) return error_;

  std::string result;
  VocabularyMergeOrder mergeOrder(order_);
  error_ = MergeRunFiles(scratch_, mergeOrder, result);
  if (!error_.ok()) return error_;
  RunReader reader;
  error_ = reader.Open(scratch_, result);
  if (!error_.ok()) return error_;
  RunRecord record;
  for (reader.Next(record); record.IsEntry(); reader.Next(record)) {
    vocabulary.push_back(Entry{std::move(record.word), record.count});
  }
  return Status::Ok();
}

}  // namespace wordloom
