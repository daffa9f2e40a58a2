#include "scan/finished_runs.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>
#include <system_error>
#include <thread>

namespace wordloom {
namespace {

// Fewer records than this are merged on one thread: a thread would cost more than it saves.
constexpr size_t kLeastRecordsToCut = size_t{1} << 15;

// A run's records, read from memory (from one record to another) or from its file.
class RunCursor {
 public:
  RunCursor(const FinishedRun& run, size_t begin, size_t end, const SortKeyOrder& keys)
      : memory_(run.file.empty() ? &run.memory : nullptr), at_(begin), end_(end), keys_(keys) {}
  RunCursor(const RunCursor&) = delete;
  RunCursor& operator=(const RunCursor&) = delete;

  Status Open(const ScratchFolder& scratch, const FinishedRun& run) {
    if (memory_) return Status::Ok();
    file_ = std::make_unique<RunReader>();  // its read buffer only for a run in a file
    return file_->Open(scratch, run.file, true);
  }
  // Moves to the next record: false past the last.
  bool Next() {
    if (memory_) {
      if (at_ == end_) return false;
      const MemoryRun::Record& record = memory_->records[at_++];
      word = std::string_view(memory_->words).substr(record.offset, record.length);
      prefix = record.prefix;
      count = record.count;
      files = record.files;
      return true;
    }
    file_->Next(record_);
    if (!record_.IsEntry()) return false;
    word = record_.word;
    prefix = keys_.Prefix(word);
    count = record_.count;
    files = record_.files;
    return true;
  }
  Status error() const { return file_ ? file_->error() : Status::Ok(); }

  std::string_view word;
  uint64_t prefix = 0;
  int64_t count = 0;
  FileSpan files;

 private:
  const MemoryRun* memory_;
  size_t at_, end_;
  const SortKeyOrder& keys_;
  std::unique_ptr<RunReader> file_;
  RunRecord record_;
};

int Compare(const SortKeyOrder& keys, uint64_t prefixA, std::string_view a, uint64_t prefixB, std::string_view b) {
  if (prefixA != prefixB) return prefixA < prefixB ? -1 : 1;
  return keys.Compare(a, b);
}

// Merges the cursors' records into `entries` and `ranges`.
void MergeCursors(std::deque<RunCursor>& cursors, const SortKeyOrder& keys, EntryList& entries,
                  std::vector<uint32_t>* ranges) {
  const size_t n = cursors.size();
  std::vector<char> live(n);
  for (size_t i = 0; i < n; ++i) live[i] = cursors[i].Next();
  std::vector<size_t> equal;  // the later runs whose word equals the least
  for (;;) {
    // The least word, compared once with each run's; among equal words the first run's, which
    // the others join in turn.
    size_t least = n;
    equal.clear();
    for (size_t i = 0; i < n; ++i) {
      if (!live[i]) continue;
      const RunCursor& at = cursors[i];
      const int compared =
          least == n ? -1 : Compare(keys, at.prefix, at.word, cursors[least].prefix, cursors[least].word);
      if (compared < 0) {
        least = i;
        equal.clear();
      } else if (compared == 0) {
        equal.push_back(i);
      }
    }
    if (least == n) return;
    RunCursor& first = cursors[least];
    int64_t count = first.count;
    FileSpan files = first.files;
    for (size_t i : equal) {
      count += cursors[i].count;
      files = FileSpan::Joined(files, cursors[i].files);
      live[i] = cursors[i].Next();
    }
    if (ranges) ranges->push_back(files.range);
    entries.push_back(Entry{std::string(first.word), count});
    live[least] = first.Next();
  }
}

// Merges the records of each memory run from begins[i] to ends[i].
void MergePart(const std::vector<FinishedRun>& runs, const std::vector<size_t>& begins,
               const std::vector<size_t>& ends, const SortKeyOrder& keys, EntryList& entries,
               std::vector<uint32_t>* ranges) {
  std::deque<RunCursor> cursors;
  size_t most = 0;
  for (size_t i = 0; i < runs.size(); ++i) {
    cursors.emplace_back(runs[i], begins[i], ends[i], keys);
    most = std::max(most, ends[i] - begins[i]);
  }
  entries.reserve(entries.size() + most);
  if (ranges) ranges->reserve(ranges->size() + most);
  MergeCursors(cursors, keys, entries, ranges);
}

// Every run in memory: the collating order is cut at words of the longest run into as many
// parts as there are runs, each merged on a thread of its own (the first on this one). A part
// that finds no thread, or no memory, is merged here after the others.
void MergeInParts(const std::vector<FinishedRun>& runs, const SortKeyOrder& keys, EntryList& entries,
                  std::vector<uint32_t>* ranges) {
  const size_t parts = runs.size();
  const MemoryRun& longest =
      std::max_element(runs.begin(), runs.end(), [](const FinishedRun& a, const FinishedRun& b) {
        return a.memory.records.size() < b.memory.records.size();
      })->memory;
  // cuts[p][i]: where part p starts in run i (part `parts` starts at each run's end).
  std::vector<std::vector<size_t>> cuts(parts + 1, std::vector<size_t>(runs.size(), 0));
  for (size_t i = 0; i < runs.size(); ++i) cuts[parts][i] = runs[i].memory.records.size();
  for (size_t p = 1; p < parts; ++p) {
    const MemoryRun::Record& pivot = longest.records[longest.records.size() * p / parts];
    const std::string_view pivotWord = std::string_view(longest.words).substr(pivot.offset, pivot.length);
    for (size_t i = 0; i < runs.size(); ++i) {
      const MemoryRun& run = runs[i].memory;
      const auto below = [&](const MemoryRun::Record& record, int) {
        const std::string_view word = std::string_view(run.words).substr(record.offset, record.length);
        return Compare(keys, record.prefix, word, pivot.prefix, pivotWord) < 0;
      };
      cuts[p][i] = static_cast<size_t>(
          std::lower_bound(run.records.begin() + cuts[p - 1][i], run.records.end(), 0, below) - run.records.begin());
    }
  }
  // Room for every record, so that the parts are moved in after the first without moving it:
  // the room no entry takes is never touched, and costs no memory.
  size_t records = 0;
  for (const FinishedRun& run : runs) records += run.memory.records.size();
  entries.reserve(entries.size() + records);
  if (ranges) ranges->reserve(ranges->size() + records);
  std::vector<EntryList> partEntries(parts);
  std::vector<std::vector<uint32_t>> partRanges(parts);
  std::vector<char> merged(parts, 0);
  const auto merge = [&](size_t p) {
    try {
      MergePart(runs, cuts[p], cuts[p + 1], keys, partEntries[p], ranges ? &partRanges[p] : nullptr);
      merged[p] = 1;
    } catch (...) {
      partEntries[p] = EntryList();  // merged again below, where running out of memory is reported
      partRanges[p].clear();
    }
  };
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(parts);
    for (size_t p = 1; p < parts; ++p) {
      try {
        helpers.emplace_back(merge, p);
      } catch (const std::system_error&) {
        break;  // no more threads: those parts are merged below
      }
    }
    MergePart(runs, cuts[0], cuts[1], keys, entries, ranges);
  }
  size_t total = entries.size();
  for (const EntryList& part : partEntries) total += part.size();
  entries.reserve(total);
  if (ranges) ranges->reserve(total);
  for (size_t p = 1; p < parts; ++p) {
    if (!merged[p]) {
      MergePart(runs, cuts[p], cuts[p + 1], keys, entries, ranges);
      continue;
    }
    entries.insert(entries.end(), std::make_move_iterator(partEntries[p].begin()),
                   std::make_move_iterator(partEntries[p].end()));
    partEntries[p] = EntryList();
    if (ranges) ranges->insert(ranges->end(), partRanges[p].begin(), partRanges[p].end());
  }
}

}  // namespace

Status MergeFinishedRuns(const ScratchFolder& scratch, const std::vector<FinishedRun>& runs, const SortKeyOrder& keys,
                         EntryList& entries, std::vector<uint32_t>* ranges) {
  size_t longest = 0;
  bool inMemory = true;
  for (const FinishedRun& run : runs) {
    inMemory = inMemory && run.file.empty();
    longest = std::max(longest, run.memory.records.size());
  }
  if (inMemory && runs.size() > 1 && longest >= kLeastRecordsToCut) {
    MergeInParts(runs, keys, entries, ranges);
    return Status::Ok();
  }
  std::deque<RunCursor> cursors;  // not moved: each may hold a file open
  for (const FinishedRun& run : runs) {
    cursors.emplace_back(run, 0, run.memory.records.size(), keys);
    Status status = cursors.back().Open(scratch, run);
    if (!status.ok()) return status;
  }
  entries.reserve(entries.size() + longest);
  if (ranges) ranges->reserve(ranges->size() + longest);
  MergeCursors(cursors, keys, entries, ranges);
  for (const RunCursor& cursor : cursors) {
    if (!cursor.error().ok()) return cursor.error();
  }
  return Status::Ok();
}

}  // namespace wordloom
