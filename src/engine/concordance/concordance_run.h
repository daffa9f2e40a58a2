// A concordance run: the "Kwic" and "Line" actions, from the query to the output text.
//
// The run takes its keys from the "Keys:" text (split at spaces, lower-cased) or from the
// committed key words (re-sorted first in the word list's order), reads every text file of
// the project once, orders the finds and writes the concordance or the index to the scratch
// file "~0". A file that cannot be read is reported in the Error Report and passed over; a
// stop request ends the reading, and what was found so far is ordered and written as usual.
// The run only reads the session: what it changes there (the reader's state, the reference
// values, its Error Report entries, the re-sorted key words) comes back in the result, and
// CommitConcordance makes it current.
// Memory: the ordering's budget plus one logical line and the keyword pass's window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "concordance/citation_sort.h"
#include "concordance/match_key.h"
#include "project/session.h"

namespace wordloom {

enum class ConcordanceKind { Kwic, Line };

struct ConcordanceQuery {
  ConcordanceKind kind = ConcordanceKind::Kwic;
  std::string keys;             // the "Keys:" text
  MatchKind match = MatchKind::Word;
  bool keyWords = false;        // the keys are the committed key words, matched as words
  int keyWordsOrder = 1;        // the word list's order and rhyme flag, to re-sort them by
  bool keyWordsRhyme = false;
  bool index = false;           // an index instead of a concordance
  CitationOrder order = CitationOrder::AsItOccurs;
  std::string citationLetters;  // the letters to cite, as typed
  int contextWidth = 60;        // kept within 10 to 240
};

struct ConcordanceResult {
  bool wrote = false;      // false when there was nothing to do: no keys typed, or no files
  int64_t keyCount = 0;
  int64_t citationCount = 0;
  std::string countsText;  // " 2 keys, 15 citations"
  std::string outputPath;  // the output text, "~0" in the scratch folder
  bool stopped = false;    // a stop request ended the reading: the output holds what was found

  // For CommitConcordance. The reader after the run, when the run read the texts (even if it
  // failed afterwards); its ErrorReportText holds only the run's own entries.
  std::optional<ScanContext> scan;
  std::optional<EntryView> keyWordsList;  // the committed key words re-sorted, when the run used them
};

struct ConcordanceOptions {
  CitationSortOptions sort;
  ProgressSink* progress = nullptr;  // progress per file, the stop request
};

// Runs the query over the session's project, reading the session only. Fails only when the
// scratch files cannot be written or read.
[[nodiscard]] Status RunConcordance(const Session& session, const ConcordanceQuery& query,
                                    const ScratchFolder& scratch, ConcordanceResult& result,
                                    const ConcordanceOptions& options = {});

// Makes what a run changed current: the re-sorted key words, and the reader with the run's
// Error Report entries after those already there. Moves them out of `result`; its texts stay.
void CommitConcordance(Session& session, ConcordanceResult& result);

// The context width of a typed text: a number (a decimal rounded half to even) kept within 10
// to 240. False, and `width` untouched, when the text is not a number.
bool ParseContextWidth(const std::string& text, int& width);

// The keys of a typed pattern: its runs of non-space characters, lower-cased (in a UTF-8
// project, `unicode`: NFC and Unicode lower case), in order.
std::vector<std::string> SplitKeys(const std::string& pattern, const UnicodeText* unicode = nullptr);

}  // namespace wordloom
