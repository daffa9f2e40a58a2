// Run files: the scratch files "~A" to "~D" of the vocabulary merge and the list sort.
//
// A run file is a sequence of RunRecords (count, word): a count of -1 ends a run, -2 ends
// the file. Records are stored length-prefixed, so a word may hold any byte; the vocabulary's
// records also carry the files their word occurs in (a FileSpan). MergeRunFiles is the
// balanced two-way merge over the four files: each pass merges a run of each input into the
// outputs in turn, until one input holds everything. Merged runs always come from adjacent
// stretches of the input, the first input's from the earlier one, so a vocabulary run's files
// follow or meet those of the run it is merged after. Memory: two records and two 256 KiB
// buffers, whatever the size of the files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/buffered_reader.h"
#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/word_lists.h"

namespace wordloom {

// The files a word of a vocabulary run occurs in (by their index in the scan): how many, the
// first and the last.
struct FileSpan {
  uint32_t range = 0;
  uint32_t first = 0;
  uint32_t last = 0;
  // The span of a word in two runs, the second counted from files no earlier than the first's.
  static FileSpan Joined(const FileSpan& earlier, const FileSpan& later) {
    return {earlier.range + later.range - (earlier.last == later.first ? 1u : 0u), earlier.first, later.last};
  }
};

struct RunRecord {
  int64_t count = 0;
  std::string word;
  uint32_t rank = 0;  // the list sort's order among entries its order code finds equal
  FileSpan files;     // runs with spans only (the vocabulary's)
  bool IsRunEnd() const { return count == -1; }
  bool IsFileEnd() const { return count == -2; }
  bool IsEntry() const { return !IsRunEnd() && !IsFileEnd(); }
};

inline constexpr int64_t kRunEnd = -1;
inline constexpr int64_t kFileEnd = -2;

void WriteRunRecord(FileWriter& out, int64_t count, std::string_view word, uint32_t rank = 0);
// A record of a run with spans, or a run or file end of one (any span).
void WriteSpanRecord(FileWriter& out, int64_t count, std::string_view word, const FileSpan& files);

class RunReader {
 public:
  RunReader() = default;
  ~RunReader();
  RunReader(const RunReader&) = delete;
  RunReader& operator=(const RunReader&) = delete;

  // `spans`: the file's records carry spans.
  Status Open(const ScratchFolder& scratch, const std::string& name, bool spans = false);
  // Reads the next record; at the end of the data (or a damaged record) it reads a file end.
  void Next(RunRecord& record);
  // Set when a read failed or a record was cut short: the data ended early.
  const Status& error() const { return error_.ok() ? reader_.error() : error_; }

 private:
  int fd_ = -1;
  BufferedReader reader_;
  std::string name_;
  bool spans_ = false;
  Status error_;
};

// How two records meet in a merge: negative writes the first input's record, positive the
// second's, zero writes one record with the sum of the counts and the first input's word
// (and, for runs with spans, the two spans joined).
class MergeOrder {
 public:
  virtual ~MergeOrder() = default;
  virtual int Compare(const RunRecord& first, const RunRecord& second) const = 0;
  // True when the runs' records carry spans.
  virtual bool Spans() const { return false; }
};

// The four scratch files of a merge: two of runs to merge, two to merge them into.
using RunFileNames = std::array<std::string, 4>;
inline RunFileNames RunFileNamesOf(const std::string& tag = "") { return {"A" + tag, "B" + tag, "C" + tag, "D" + tag}; }

// Merges the runs of scratch files names[0] and names[1] ("A" and "B") through names[2] and
// names[3] until one input holds a single run; `result` receives the name of that file.
Status MergeRunFiles(const ScratchFolder& scratch, const MergeOrder& order, std::string& result,
                     RunFileNames names = RunFileNamesOf());

// Ends the run files `runs` (written to names[0] and names[1]) and merges them; `result`
// receives the name of the file that holds the one run left.
Status EndRunFiles(const ScratchFolder& scratch, FileWriter (&runs)[2], const MergeOrder& order,
                   const RunFileNames& names, std::string& result);

// Ends the run files `runs` ("A" and "B"), merges them and puts the resulting run into
// `entries`, and with spans each entry's range into `ranges` (when not null).
Status FinishRunFiles(const ScratchFolder& scratch, FileWriter (&runs)[2], const MergeOrder& order,
                      EntryList& entries, std::vector<uint32_t>* ranges = nullptr);

}  // namespace wordloom
