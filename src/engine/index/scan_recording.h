// ScanRecording: the tokens of a vocabulary scan in pieces, kept for the index build that
// follows it, so that the build need not cut the texts into words again (it still reads them
// for their content hashes).
//
// Each stretch of the scan records, in scratch files of its own ("Rt1", "Rl1" and so on), its
// tokens as its counter's ids, its lines and its restart points, as a writer of pieces of the
// index would (index_writer.h); a piece that a fresh reader cannot stand for (one that sets a
// tag value or the running line number, reports an error, or ends joined to the next text)
// drops the whole recording, and the build reads the texts itself; so do a counter that
// writes its table out before the end, and a stretch of more than 2^29 tokens. AppendTo maps
// each stretch's ids to vocabulary positions, the stretches side by side, writing their tokens
// straight into the index, and brings their lines and restart points into the build's writer.
// A recording stands for the texts only while their size, modification time and change time
// (which no one can set back) stay as they were when the scan read them, under the same rules.
// It is used once; its scratch files go as soon as it is spent or dropped.
// Memory: while the scan runs, 16 bytes a slot of each stretch's counter, where it counts each
// word's positions (word_counter.h), and 1.3 MiB of buffers; then its words; while it is
// brought in, 28 bytes a vocabulary entry a stretch (no more stretches than the writers'
// budget of piece_tokens.h allows, or the build reads the texts itself).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "index/index_format.h"
#include "scan/text_pieces.h"
#include "scan/token_recorder.h"
#include "scan/word_lists.h"

namespace wordloom {

class IndexWriter;

class ScanRecording final : public ScanRecorder {
 public:
  // A recording of the scan of `files` under rules of key `rulesKey` (RulesKey), about to begin.
  ScanRecording(const ScratchFolder& scratch, const std::vector<std::string>& files, uint64_t rulesKey);
  ~ScanRecording() override;

  void BeginScan(size_t stretches) override;
  TokenRecorder* BeginStretch(size_t stretch) override;
  void DropStretch(size_t stretch) override;
  bool EndStretch(size_t stretch, IdWords words) override;
  void Complete(const PiecePlan& plan) override;
  void EndScan() override;

  // Brings the tokens, lines and restart points of `files` into `writer` (a writer that has
  // written nothing yet), each token as its entry in `vocabulary`, mapping the stretches side
  // by side; `taken` when it did. Not taken, and `writer` untouched, when the recording does
  // not stand for reading `files` as they now are under rules of key `rulesKey`, a recorded
  // word is not in `vocabulary`, a scratch file is missing or cut short, or memory fails
  // first; once taken, a failure to read or write fails the build. Spends the recording
  // either way.
  Status AppendTo(IndexWriter& writer, const std::vector<std::string>& files, uint64_t rulesKey,
                  const CharTables& tables, const EntryList& vocabulary, bool& taken);

 private:
  class Stretch;
  // What tells a text's content changed: its size, modification and change times.
  struct Stamp {
    int64_t size = -1;
    int64_t mtimeNs = 0;
    int64_t ctimeNs = 0;
    bool operator==(const Stamp&) const = default;
  };
  static std::vector<Stamp> Stamps(const std::vector<std::string>& files);

  const ScratchFolder& scratch_;
  std::vector<std::string> files_;
  uint64_t rulesKey_;
  std::vector<Stamp> before_;  // before the scan
  std::vector<Stamp> after_;   // and after it
  PiecePlan plan_;
  std::vector<std::unique_ptr<Stretch>> stretches_;
  bool complete_ = false;
};

}  // namespace wordloom
