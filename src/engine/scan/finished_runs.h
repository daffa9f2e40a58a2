// Finished runs: what each vocabulary counter leaves when its counting ends, and their merge.
//
// A counter whose table was never written out keeps its last run in memory (MemoryRun): its
// records in collating order, each with the first bytes of its word's key, and their words in
// one string in the same order, so that the merge reads straight through. A counter that wrote
// runs out leaves its one merged run in a scratch file instead. MergeFinishedRuns merges the
// runs of counters over consecutive stretches of the texts into the vocabulary that one
// counter would have counted; when every run is in memory, it cuts the collating order into as
// many parts as there are runs and merges them side by side. Memory: the runs held, a record
// and a read buffer for each run in a file, and the result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/run_files.h"
#include "scan/sort_key.h"
#include "scan/word_lists.h"

namespace wordloom {

struct MemoryRun {
  struct Record {
    uint64_t prefix;  // SortKeyOrder::Prefix of the word
    uint32_t offset;  // of the word in `words`
    uint32_t length;
    int64_t count;
    uint32_t seen;  // when the counter first met the word, among its table's words
    FileSpan files;
  };
  std::string words;
  std::vector<Record> records;
};

struct FinishedRun {
  std::string file;  // when not empty, the scratch file that holds the run
  MemoryRun memory;
};

// Merges `runs` (with spans), each counted from files no earlier than the last of the one
// before it, in the collating order of `keys` (forward), into `entries` (appended): equal
// words are added up under the first run's word and their spans joined; with `ranges` (when
// not null) each entry's range.
Status MergeFinishedRuns(const ScratchFolder& scratch, const std::vector<FinishedRun>& runs, const SortKeyOrder& keys,
                         EntryList& entries, std::vector<uint32_t>* ranges);

}  // namespace wordloom
