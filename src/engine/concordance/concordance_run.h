// A concordance run: the "Kwic" and "Line" actions, from the query to the output text.
//
// The run takes its keys from the "Keys:" text (split at spaces, lower-cased) or from the
// committed key words (re-sorted first in the word list's order), reads every text file of
// the project once, orders the finds and writes the concordance or the index to the scratch
// file "~0". A file that cannot be read is reported in the Error Report and passed over; a
// stop request ends the reading, and what was found so far is ordered and written as usual.
// Memory: the ordering's budget plus one logical line and the keyword pass's window.
#pragma once

#include <cstdint>
#include <string>

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
};

struct ConcordanceOptions {
  CitationSortOptions sort;
  ProgressSink* progress = nullptr;  // progress per file, the stop request
};

// Runs the query over the session's project. Fails only when the scratch files cannot be
// written or read.
[[nodiscard]] Status RunConcordance(Session& session, const ConcordanceQuery& query, const ScratchFolder& scratch,
                                    ConcordanceResult& result, const ConcordanceOptions& options = {});

// The context width of a typed text: a number (a decimal rounded half to even) kept within 10
// to 240. False, and `width` untouched, when the text is not a number.
bool ParseContextWidth(const std::string& text, int& width);

// The keys of a typed pattern: its runs of non-space characters, lower-cased, in order.
std::vector<std::string> SplitKeys(const std::string& pattern);

}  // namespace wordloom
