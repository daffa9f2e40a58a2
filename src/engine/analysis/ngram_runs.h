// N-gram records and their runs: the sorted tables an n-gram count writes to the scratch folder
// when it outgrows its budget, and the merge that joins them.
//
// An n-gram is keyed by its words as vocabulary positions plus one, packed most significant
// first and zero past its last word, so comparing keys compares n-grams word by word in the
// vocabulary's order with a shorter n-gram before the longer ones it begins. A run is a stretch
// of records in key order, each n-gram once with its count and the files it was met in; runs
// are written one after another to one scratch file, each covering the files read since the
// run before, so a run's files follow the earlier run's or share one file with it (a file read
// across a spill). A record is stored as the words it does not share with the one before and
// its numbers, in variable-length bytes: about a quarter of its 40 bytes in memory. Merge
// merges adjacent runs, up to `fanIn` at a time, through the scratch files "~N1" and "~N2"
// until `fanIn` or fewer remain, then merges those into a sink, summing the counts of equal
// n-grams and joining their files exactly.
// Memory: one read buffer per run merged at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/file_writer.h"
#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/run_files.h"
#include "scan/word_lists.h"

namespace wordloom {

// One n-gram with its count and files; a table slot and a run record alike (high == 0: none).
struct NgramRecord {
  uint64_t high = 0;    // words 1 and 2, as vocabulary positions plus one
  uint64_t middle = 0;  // words 3 and 4
  int64_t count = 0;
  uint32_t low = 0;     // word 5
  FileSpan files;

  static NgramRecord Of(const EntryPosition* words, int n);
  int n() const;
  EntryPosition Word(int i) const { return Packed(i) - 1; }
  // Word i as stored: its position plus one, 0 past the last word.
  uint32_t Packed(int i) const {
    return static_cast<uint32_t>(i == 4 ? low : (i < 2 ? high : middle) >> (i % 2 == 0 ? 32 : 0));
  }
  void SetPacked(int i, uint32_t word);
  bool SameGram(const NgramRecord& other) const {
    return high == other.high && middle == other.middle && low == other.low;
  }
  bool GramBefore(const NgramRecord& other) const {
    if (high != other.high) return high < other.high;
    if (middle != other.middle) return middle < other.middle;
    return low < other.low;
  }
  uint64_t Hash() const;
};
static_assert(sizeof(NgramRecord) == 40);

// The runs written so far: one scratch file and where each run ends in it.
class NgramRunFile {
 public:
  explicit NgramRunFile(const ScratchFolder& scratch) : scratch_(scratch) {}
  ~NgramRunFile();  // removes the scratch files left by a count that never merged
  // Appends one run, its records in key order.
  void WriteRun(const NgramRecord* records, size_t count);
  size_t runs() const { return ends_.size(); }
  const Status& error() const { return error_; }

  // Merges the runs into `sink` in key order, each n-gram once, and removes the scratch files.
  // `stopped` tells when `progress` asked to stop (the sink then had only some n-grams).
  Status Merge(size_t fanIn, size_t bufferBytes, const std::function<void(const NgramRecord&)>& sink,
               ProgressSink* progress, bool& stopped);

 private:
  const ScratchFolder& scratch_;
  std::string name_ = "N1";
  FileWriter out_;
  std::vector<uint64_t> ends_;  // in bytes, from the start of the file
  uint64_t written_ = 0;
  Status error_;
};

}  // namespace wordloom
