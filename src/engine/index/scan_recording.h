// ScanRecording: the tokens of a vocabulary scan in pieces, kept for the index build that
// follows it, so that the build need not read the texts again.
//
// Each stretch of the scan records, in scratch files of its own ("Rt1", "Rl1" and so on), its
// tokens as its counter's ids, its lines and its restart points, as a writer of pieces of the
// index would (index_writer.h); a piece that a fresh reader cannot stand for (one that sets a
// tag value or the running line number, reports an error, or ends joined to the next text)
// drops the whole recording, and the build reads the texts itself. AppendTo maps each
// stretch's ids to vocabulary positions and brings the stretches into the build's writer,
// the stretches side by side. A recording stands for the texts only while they keep the size
// and time they had when the scan read them, under the same rules. It is used once.
// Memory: the stretches' words while they are mapped; 24 bytes a vocabulary entry a stretch
// while they are brought in.
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
  bool EndStretch(size_t stretch, IdWords words) override;
  void Complete(const PiecePlan& plan) override;

  // Whether the recording stands for reading `files` under rules of key `rulesKey`, now
  // stamped `stamps`.
  bool Fits(const std::vector<std::string>& files, uint64_t rulesKey, const std::vector<TextStamp>& stamps) const;
  // Brings every text's tokens, lines and restart points into `writer` (a writer that has
  // written nothing yet), each token as its entry in `vocabulary`, mapping the stretches side
  // by side; `taken` when it did. Not taken, and `writer` untouched, when a recorded word is
  // not in `vocabulary` or the scratch files or memory fail first.
  Status AppendTo(IndexWriter& writer, const CharTables& tables, const EntryList& vocabulary, bool& taken);

 private:
  class Stretch;

  const ScratchFolder& scratch_;
  std::vector<std::string> files_;
  uint64_t rulesKey_;
  std::vector<TextStamp> before_;  // the files' sizes and times before the scan
  std::vector<TextStamp> after_;   // and after it
  PiecePlan plan_;
  std::vector<std::unique_ptr<Stretch>> stretches_;
  bool complete_ = false;
};

}  // namespace wordloom
