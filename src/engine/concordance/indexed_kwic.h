// The keyword pass of a concordance run over a project whose index matches it: each text is
// read only around the tokens whose words can be finds, from the index's restart points, so a
// rare key costs a few lines of each text that holds it and nothing for the others.
//
// The finds, their order, citations and contexts, and the reader's counters and reference
// values after each text are exactly those of reading every text whole (GatherKwic): a
// stretch is read from a restart point at least 1,024 characters before the first character
// it examines, with the reader's state there restored, and it examines every word start from
// one restart point before a candidate token to one after it, so no find can fall outside.
// Texts the reader cannot be restarted inside (see kReadWhole in index/index_format.h), and every
// text when the run is not one the index can serve (a UTF-8 project, an empty end-of-line text or
// one of a space, a Windows-1252 alphabet whose words may share sort keys, or keys whose words are
// more than one token in 64), are read whole as before.
// Memory: 8 bytes a candidate token, and the keyword pass's own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "concordance/gather.h"
#include "index/index.h"

namespace wordloom {

class IndexedKwic {
 public:
  // `rules` and `query` as the run uses them (the query with its key table).
  IndexedKwic(const Session& session, const ScanRules& rules, const GatherQuery& query);

  // True when the run reads through the index.
  bool serves() const { return index_ != nullptr; }

  // The keyword pass over text `file` (the run's files in order, each once), continuing from
  // `context` as the previous text left it, as GatherKwic does.
  [[nodiscard]] Status Gather(size_t file, ScanContext& context, CitationSink& sink, ProgressSink* progress);

 private:
  // The reader's counters and reference values as the text before left them.
  struct TextStart {
    int64_t physicalLines;
    int64_t logicalLines;
    int64_t lineNumber;
    std::array<std::string, kLetterCount + 1> values;
  };
  Status ReadStretch(size_t file, ScanContext& context, const TextStart& start, int64_t from, int64_t to,
                     CitationSink& sink, ProgressSink* progress);
  void RestoreAt(size_t file, const TextStart& start, const ProjectIndex::Checkpoint* checkpoint,
                 ScanContext& context) const;

  const Session& session_;
  const ScanRules& rules_;
  const GatherQuery& query_;
  const ProjectIndex* index_ = nullptr;
  LineSource text_;                 // the text being read in stretches
  size_t openText_ = SIZE_MAX;      // its number
  std::vector<int64_t> candidates_;  // the positions of the tokens whose words can be finds, ascending
  bool previousEndsJoined_ = false;
};

}  // namespace wordloom
