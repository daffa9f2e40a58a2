#include "scan/word_counter.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "scan/run_files.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr size_t kMostInitialSlots = 1 << 14;
// The longer words a table holds before it is written out, whatever the budget: a run's words
// stay within 32-bit offsets.
constexpr size_t kMostArenaBytes = size_t{1} << 30;
constexpr char kNoMemory[] = "Not enough memory to scan the project.";

// The vocabulary merge: equal keys meet, their counts are added and their files joined.
class VocabularyMergeOrder : public MergeOrder {
 public:
  explicit VocabularyMergeOrder(const CharTables& tables) : keys_(tables, 0) {}
  int Compare(const RunRecord& first, const RunRecord& second) const override {
    return keys_.Compare(first.word, second.word);
  }
  bool Spans() const override { return true; }

 private:
  SortKeyOrder keys_;
};

// Windows-1252 words are keyed a byte a character: two word characters of one key byte make
// distinct words of equal keys. UTF-8 words never collate equal.
bool KeysMayMeet(const CharTables& tables) {
  std::array<bool, 256> keyTaken{};
  for (int c = 0; c < 256; ++c) {
    if (tables.unicode || tables.CharClassTable[c] % 10 != kWordClass) continue;
    const uint8_t key = static_cast<uint8_t>(tables.CollationTable[c] & 0xFF);
    if (keyTaken[key]) return true;
    keyTaken[key] = true;
  }
  return false;
}

}  // namespace

WordCounter::WordCounter(const ScratchFolder& scratch, const CharTables& tables, size_t budgetBytes,
                         uint32_t mostCount, const std::string& runTag)
    : scratch_(scratch), tables_(tables), budgetBytes_(budgetBytes), mostCount_(mostCount),
      runNames_(RunFileNamesOf(runTag)) {
  // The table starts small enough for the budget (a tiny budget spills every few words).
  while (initialSlots_ < kMostInitialSlots && initialSlots_ * 2 * sizeof(Slot) <= budgetBytes / 2) initialSlots_ *= 2;
  for (int c = 0; c < 256; ++c) keyByte_[c] = static_cast<uint8_t>(tables.CollationTable[c] & 0xFF);
  keysMayMeet_ = KeysMayMeet(tables);
  Reset(initialSlots_);
}

void WordCounter::ExpectBytes(uint64_t bytes) {
  // Room for about one new word in every 64 bytes of text, more than most texts hold, up to
  // room for some 360,000 words. A table too large costs the zeroing of its pages; growing one
  // step by step costs more.
  constexpr uint64_t kBytesPerSlot = 64;
  constexpr size_t kMostExpectedSlots = size_t{1} << 19;
  if (!table_ || used_ != 0 || recorder_) return;
  size_t slots = tableSize_;
  while (slots * kBytesPerSlot < bytes && slots < kMostExpectedSlots &&
         2 * slots * (sizeof(Slot) + sizeof(SlotHistory)) <= budgetBytes_) {
    slots *= 2;
  }
  if (slots == tableSize_) return;
  Reset(slots);
  if (!table_) {  // no memory for it: start small, as without the hint
    error_ = Status::Ok();
    Reset(initialSlots_);
  }
}

Status WordCounter::Begin() {
  runToggle_ = 0;
  wroteRun_ = false;
  if (!table_) return error_;
  error_ = scratch_.OpenForWrite(runNames_[0], runs_[0]);
  if (error_.ok()) error_ = scratch_.OpenForWrite(runNames_[1], runs_[1]);
  return error_;
}

std::unique_ptr<WordCounter::Slot[], MappedMemory> WordCounter::AllocateTable(size_t slots) {
  return MapTable<Slot>(slots);
}

void WordCounter::Reset(size_t slots) {
  FreeTable();
  table_ = AllocateTable(slots);
  tableSize_ = table_ ? slots : 0;
  if (!table_ && error_.ok()) error_ = Status::Error(kNoMemory);
  if (!table_) batchSize_ = 0;  // a batch being counted ends here
  history_ = table_ ? std::make_unique_for_overwrite<SlotHistory[]>(slots) : nullptr;
  used_ = 0;
}

uint64_t WordHash::Of(const char* bytes, size_t length) {
  uint64_t h = kStart;
  for (size_t done = 0; done < length; done += 8) {
    uint64_t chunk = 0;
    std::memcpy(&chunk, bytes + done, length - done < 8 ? length - done : 8);
    h = Step(h, chunk);
  }
  return Finish(h, length);
}

const char* WordCounter::WordOf(const Slot& slot) const {
  if ((slot.mark & 0xFF) != kLongWord) return slot.bytes;
  uint64_t offset;
  std::memcpy(&offset, slot.bytes, sizeof offset);
  return arena_.data() + offset;
}

size_t WordCounter::LengthOf(const Slot& slot) {
  if ((slot.mark & 0xFF) != kLongWord) return slot.mark & 0xFF;
  uint64_t length;
  std::memcpy(&length, slot.bytes + 8, sizeof length);
  return length;
}

void WordCounter::Add(std::string_view word) {
  char* out = BeginWord(word.size());
  std::memcpy(out, word.data(), word.size());
  std::memset(out + word.size(), 0, kPadding);
  EndWord(word.size(), WordHash::Of(word.data(), word.size()));
}

void WordCounter::ProcessBatch() {
  if (!table_) batchSize_ = 0;  // out of memory: nothing more is counted
  if (recorder_) {
    uint32_t ids[kBatch];
    for (size_t i = 0; i < batchSize_; ++i) {
      ids[i] = Count<true>(batchBytes_.data() + batchStarts_[i], batchLengths_[i], batchHashes_[i]);
    }
    if (recorder_) recorder_->Ids(ids, batchSize_);  // unless the table was written out meanwhile
  } else {
    for (size_t i = 0; i < batchSize_; ++i) Count<false>(batchBytes_.data() + batchStarts_[i], batchLengths_[i], batchHashes_[i]);
  }
  batchSize_ = 0;
  batchUsed_ = 0;
}

// A short word and its slot are both zero-padded to 16 bytes: two 8-byte comparisons. Equal
// marks say a short word's length is the same.
bool WordCounter::SameWord(const Slot& slot, const char* word, size_t length) const {
  if (length > kInline) return LengthOf(slot) == length && std::memcmp(WordOf(slot), word, length) == 0;
  uint64_t a[2], b[2];
  std::memcpy(a, slot.bytes, sizeof a);
  std::memcpy(b, word, sizeof b);
  return a[0] == b[0] && a[1] == b[1];
}

template <bool kRecord>
uint32_t WordCounter::Count(const char* word, size_t length, uint64_t hash) {
  const uint32_t mark = Mark(hash, length);
  const uint32_t file = file_;  // a local: the slot's stores cannot change it
  size_t mask = tableSize_ - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& slot = table_[i];
    if (slot.mark == mark && SameWord(slot, word, length)) {
      if (slot.count == mostCount_) [[unlikely]] {
        Spill();  // the merge adds counts in 64 bits
        return table_ ? Count<kRecord>(word, length, hash) : 0;
      }
      ++slot.count;
      // Without a branch: in texts of many files whether a word is new to the file is a toss-up.
      slot.range += slot.lastFile != file ? 1 : 0;
      slot.lastFile = file;
      if constexpr (!kRecord) return 0;
      return CountPosition(i);
    }
    if (slot.mark != 0) continue;
    slot.mark = mark;
    slot.count = 1;
    slot.range = 1;
    slot.lastFile = file;
    history_[i] = SlotHistory{static_cast<uint32_t>(used_), file};
    if (length <= kInline) {
      std::memcpy(slot.bytes, word, length);
    } else {
      const uint64_t offset = arena_.size();
      const uint64_t wordLength = length;
      std::memcpy(slot.bytes, &offset, sizeof offset);
      std::memcpy(slot.bytes + 8, &wordLength, sizeof wordLength);
      arena_.insert(arena_.end(), word, word + length);
    }
    const uint32_t seen = static_cast<uint32_t>(used_++);
    if (kRecord && recorded_) {
      recorded_[i].seen = seen;
      CountPosition(i);
    }
    if (arena_.size() > kMostArenaBytes) {
      Spill();  // a run keeps its words at 32-bit offsets
    } else if (used_ * 10 > tableSize_ * 7) {
      Grow();
    }
    return seen;
  }
}

void WordCounter::Grow() {
  // A table that cannot double within the budget is written out as a run instead.
  size_t size = tableSize_ * 2;
  if (size * (sizeof(Slot) + sizeof(SlotHistory)) + arena_.capacity() > budgetBytes_) {
    Spill();
    return;
  }
  auto bigger = AllocateTable(size);
  if (!bigger) {
    Spill();
    return;
  }
  auto biggerHistory = std::make_unique_for_overwrite<SlotHistory[]>(size);
  auto biggerRecorded = recorded_ ? MapTable<RecordedSlot>(size) : nullptr;
  if (recorded_ && !biggerRecorded) EndRecording();  // no memory to go on recording
  size_t mask = size - 1;
  for (size_t n = 0; n < tableSize_; ++n) {
    const Slot& slot = table_[n];
    if (slot.mark == 0) continue;
    size_t i = WordHash::Of(WordOf(slot), LengthOf(slot)) & mask;
    while (bigger[i].mark != 0) i = (i + 1) & mask;
    bigger[i] = slot;
    biggerHistory[i] = history_[n];
    if (biggerRecorded) biggerRecorded[i] = recorded_[n];
  }
  table_ = std::move(bigger);
  history_ = std::move(biggerHistory);
  recorded_ = std::move(biggerRecorded);
  tableSize_ = size;
}

void WordCounter::Spill() {
  // Gather the words, counts and files in one pass over the table, so that sorting and writing
  // the run never jump about the table; the table's memory then goes before the sort's comes.
  using Item = MemoryRun::Record;
  std::vector<Item> items;
  items.reserve(used_);
  std::string words, keys;
  if (recorder_ && !finishing_) EndRecording();  // words to come would take ids again
  if (recorder_) idWords_.positions.resize(used_);
  for (size_t i = 0; i < tableSize_; ++i) {
    const Slot& slot = table_[i];
    if (slot.mark == 0) continue;
    const SlotHistory& history = history_[i];
    const size_t length = LengthOf(slot);
    items.push_back(Item{0, static_cast<uint32_t>(words.size()), static_cast<uint32_t>(length), slot.count,
                         history.seen, FileSpan{slot.range, history.firstFile, slot.lastFile}});
    words.append(WordOf(slot), length);
    if (recorder_) idWords_.positions[history.seen] = recorded_[i].positions;
  }
  FreeTable();
  if (recorder_) {
    // The words in the order first met: what the recorded ids stand for.
    std::vector<uint32_t> bySeen(items.size());
    for (size_t n = 0; n < items.size(); ++n) bySeen[items[n].seen] = static_cast<uint32_t>(n);
    idWords_.words.reserve(words.size());
    idWords_.ends.reserve(items.size());
    for (uint32_t n : bySeen) {
      idWords_.words.append(words, items[n].offset, items[n].length);
      idWords_.ends.push_back(idWords_.words.size());
    }
  }
  const UnicodeText* unicode = tables_.unicode.get();
  auto word = [&](const Item& item) { return std::string_view(words.data() + item.offset, item.length); };
  // The first bytes of each word's key settle most comparisons, here and in the merge. UTF-8
  // words are compared by the collator, and distinct ones never collate equal, so each word is
  // a key of its own.
  const SortKeyOrder order(tables_, 0);
  for (Item& item : items) item.prefix = order.Prefix(word(item));
  if (!unicode) {
    keys.resize(words.size());
    for (size_t k = 0; k < words.size(); ++k) keys[k] = static_cast<char>(keyByte_[static_cast<unsigned char>(words[k])]);
  }
  const std::string& keyBytes = unicode ? words : keys;
  auto key = [&](const Item& item) { return std::string_view(keyBytes.data() + item.offset, item.length); };
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    int byKeys = unicode ? unicode->Compare(word(a), word(b)) : key(a).compare(key(b));
    return byKeys != 0 ? byKeys < 0 : a.seen < b.seen;
  });

  // Words with equal keys (possible only when the alphabet is longer than 255 characters)
  // become one entry under the word met first, as the merge keeps the first input's word.
  // Their files are not kept apart, so Finish gives no ranges then. The last table of a
  // counter that never wrote one out stays in memory for the merge, its records in the items'
  // place and its words copied in order, for the merge to read straight through.
  const bool inMemory = finishing_ && !wroteRun_;
  std::string sortedWords;
  if (inMemory) sortedWords.reserve(words.size());
  FileWriter& out = runs_[runToggle_];
  size_t kept = 0;
  for (size_t at = 0; at < items.size();) {
    Item first = items[at++];
    while (keysMayMeet_ && at < items.size() && items[at].prefix == first.prefix && key(items[at]) == key(first)) {
      first.count += items[at++].count;
    }
    if (inMemory) {
      sortedWords.append(word(first));
      first.offset = static_cast<uint32_t>(sortedWords.size() - first.length);
      items[kept++] = first;
    } else {
      WriteSpanRecord(out, first.count, word(first), first.files);
    }
  }
  if (inMemory) {
    items.resize(kept);
    lastRun_.records = std::move(items);
    lastRun_.words = std::move(sortedWords);
  } else {
    WriteSpanRecord(out, kRunEnd, "", FileSpan{});
    runToggle_ = 1 - runToggle_;
    wroteRun_ = true;
  }
  if (finishing_) {
    used_ = 0;  // the counting is over: no table to start again
  } else {
    Reset(initialSlots_);
  }
}

void WordCounter::FreeTable() {
  table_.reset();
  history_.reset();
  recorded_.reset();
  tableSize_ = 0;
  std::vector<char>().swap(arena_);
}

Status WordCounter::FinishRun(FinishedRun& run) {
  ProcessBatch();
  if (!error_.ok()) return error_;
  finishing_ = true;
  if (used_ > 0) Spill();
  if (!error_.ok()) return error_;
  FreeTable();  // the counting is over: free the table before the merge
  if (!error_.ok()) return error_;
  run.file.clear();
  if (!wroteRun_) {
    run.memory = std::move(lastRun_);
    return error_;
  }
  VocabularyMergeOrder mergeOrder(tables_);
  error_ = EndRunFiles(scratch_, runs_, mergeOrder, runNames_, run.file);
  return error_;
}

void WordCounter::Record(TokenRecorder* recorder) {
  ProcessBatch();
  recorder_ = recorder;
  recorded_ = recorder && table_ ? MapTable<RecordedSlot>(tableSize_) : nullptr;
  if (recorder && !recorded_) EndRecording();  // no memory to record in
  for (size_t i = 0; recorded_ && i < tableSize_; ++i) {
    if (table_[i].mark != 0) recorded_[i].seen = history_[i].seen;  // words met before
  }
  recordedTokens_ = 0;
}

void WordCounter::EndRecording() {
  recorder_ = nullptr;
  recorded_.reset();
}

bool WordCounter::TakeIdWords(IdWords& words) {
  if (!recorder_) return false;
  words = std::move(idWords_);
  return true;
}

Status WordCounter::Finish(EntryList& vocabulary, std::vector<uint32_t>* ranges) {
  vocabulary.clear();
  if (ranges) ranges->clear();
  std::vector<FinishedRun> runs(1);
  Status status = FinishRun(runs[0]);
  if (!status.ok()) return status;
  error_ = MergeRuns(scratch_, tables_, runs, vocabulary, ranges);
  return error_;
}

Status WordCounter::MergeRuns(const ScratchFolder& scratch, const CharTables& tables,
                              const std::vector<FinishedRun>& runs, EntryList& vocabulary,
                              std::vector<uint32_t>* ranges) {
  vocabulary.clear();
  if (ranges) ranges->clear();
  return MergeFinishedRuns(scratch, runs, SortKeyOrder(tables, 0), vocabulary, KeysMayMeet(tables) ? nullptr : ranges);
}

}  // namespace wordloom
