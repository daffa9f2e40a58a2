// The analyses' committed results as the pages' tables read them: a run's result, with what
// the run asked for where a drill-down needs it again, and the AnalysisRows over it.
//
// A result is made on the runner's thread and never changed once shown; the tables, the
// exports and the drill-downs share it. Its words are positions in the session's vocabulary,
// which the caller keeps unchanged while a table shows them (a scan or an open clears the
// tables first).
#pragma once

#include <memory>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/analysis_table_model.h"

namespace wordloom::app {

// A collocates run: the node's search, the window and the collocates found.
struct CollocatesRun {
  HitQuery query;
  CollocateOptions options;
  CollocateResult result;
};

// An n-gram or cluster run.
struct NgramRun {
  bool clusters = false;
  NgramResult result;
};

struct KeynessRun {
  std::vector<KeynessRow> rows;
};

// Columns as the command-line tool writes them.
enum CollocateColumn { kCollocateRank, kCollocateWord, kCollocateLeft, kCollocateRight, kCollocateObserved,
                       kCollocateFrequency, kCollocateMi, kCollocateT, kCollocateLogDice, kCollocateLl };
enum NgramColumn { kNgramRank, kNgramWords, kNgramN, kNgramFrequency, kNgramRange };
enum KeynessColumn { kKeynessRank, kKeynessWord, kKeynessFrequency, kKeynessReference, kKeynessLl,
                     kKeynessLogRatio, kKeynessDirection };

std::vector<AnalysisColumn> CollocateTableColumns();
std::vector<AnalysisColumn> NgramTableColumns();
std::vector<AnalysisColumn> KeynessTableColumns();

std::shared_ptr<const AnalysisRows> CollocateRows(std::shared_ptr<const CollocatesRun> run,
                                                  const EntryList* vocabulary, TextEncoding encoding);
std::shared_ptr<const AnalysisRows> NgramRows(std::shared_ptr<const NgramRun> run, const EntryList* vocabulary,
                                              TextEncoding encoding);
std::shared_ptr<const AnalysisRows> KeynessRows(std::shared_ptr<const KeynessRun> run, const EntryList* vocabulary,
                                                TextEncoding encoding);

// The run a table shows, or null (the rows are not of that analysis, or there are none).
std::shared_ptr<const CollocatesRun> CollocatesRunOf(const AnalysisRows* rows);
std::shared_ptr<const NgramRun> NgramRunOf(const AnalysisRows* rows);
std::shared_ptr<const KeynessRun> KeynessRunOf(const AnalysisRows* rows);

// The count beside a table, as the command-line tool reports it: "12 collocates of 40 hits",
// "25 n-grams", "9 key words (6 positive, 3 negative)".
QString CollocatesCountText(const CollocateResult& result);
QString NgramCountText(const NgramRun& run);
QString KeynessCountText(const KeynessRun& run);

}  // namespace wordloom::app
