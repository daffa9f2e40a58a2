// Run files: the scratch files "~A" to "~D" of the vocabulary merge and the list sort.
//
// A run file is a sequence of RunRecords (count, word): a count of -1 ends a run, -2 ends
// the file. Records are stored length-prefixed, so a word may hold any byte. MergeRunFiles
// is the balanced two-way merge over the four files: each pass merges a run of each input
// into the outputs in turn, until one input holds everything. Memory: two records and two
// 256 KiB buffers, whatever the size of the files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/buffered_reader.h"
#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/word_lists.h"

namespace wordloom {

struct RunRecord {
  int64_t count = 0;
  std::string word;
  uint32_t rank = 0;  // the list sort's order among entries its order code finds equal
  bool IsRunEnd() const { return count == -1; }
  bool IsFileEnd() const { return count == -2; }
  bool IsEntry() const { return !IsRunEnd() && !IsFileEnd(); }
};

inline constexpr int64_t kRunEnd = -1;
inline constexpr int64_t kFileEnd = -2;

void WriteRunRecord(FileWriter& out, int64_t count, std::string_view word, uint32_t rank = 0);

class RunReader {
 public:
  RunReader() = default;
  ~RunReader();
  RunReader(const RunReader&) = delete;
  RunReader& operator=(const RunReader&) = delete;

  Status Open(const ScratchFolder& scratch, const std::string& name);
  // Reads the next record; at the end of the data (or a damaged record) it reads a file end.
  void Next(RunRecord& record);
  // Set when a read failed or a record was cut short: the data ended early.
  const Status& error() const { return error_.ok() ? reader_.error() : error_; }

 private:
  int fd_ = -1;
  BufferedReader reader_;
  std::string name_;
  Status error_;
};

// How two records meet in a merge: negative writes the first input's record, positive the
// second's, zero writes one record with the sum of the counts and the first input's word.
class MergeOrder {
 public:
  virtual ~MergeOrder() = default;
  virtual int Compare(const RunRecord& first, const RunRecord& second) const = 0;
};

// Merges the runs of scratch files "A" and "B" through "C" and "D" until one input holds a
// single run; `result` receives the name of that file.
Status MergeRunFiles(const ScratchFolder& scratch, const MergeOrder& order, std::string& result);

// Ends the run files `runs` ("A" and "B"), merges them and puts the resulting run into `entries`.
Status FinishRunFiles(const ScratchFolder& scratch, FileWriter (&runs)[2], const MergeOrder& order,
                      EntryList& entries);

}  // namespace wordloom
