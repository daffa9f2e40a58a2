// The texts that report the state of a project: the status-bar counts, the key-word summary,
// the line-number width of citations, the reference-letter box, and padded numbers.
//
// These are plain functions of their inputs; the desktop application puts the texts in its
// status bar and boxes, the command-line tool prints them.
#pragma once

#include <cstdint>
#include <string>

#include "scan/scan_state.h"
#include "scan/word_lists.h"

namespace wordloom {

// The decimal digits of `value`, left-padded with spaces to `width`, never truncated.
std::string PadNumber(int64_t value, int64_t width);

// ln(x) / ln(10).
double Log10(double x);

// The width of the line-number field: log10(lines) + 1 rounded half to even, 6 without lines.
int64_t LineNumberWidth(int64_t physicalLineTotal);

// "1 file, 120 lines, 1500 words, 400 word vocabulary"; zero counts are left out.
std::string ProjectCountsText(int64_t fileCount, const ScanTotals& totals);

// The texts of the status bar: the title (panel 1) and the counts (panel 3), with the
// line-number width of citations that goes with them.
struct ProjectStatus {
  std::string title;
  std::string counts;
  int64_t lineNumberWidth = 6;
};
ProjectStatus ShowProjectStatus(const std::string& title, int64_t fileCount, const ScanTotals& totals,
                                int64_t physicalLineTotal);

// The key-word summary of the key words being edited: "4 words:  cat, dog, the", "No words
// selected" or "No vocabulary saved".
std::string ShowKeyWordsSummary(const WordLists& lists);

// The count boxes of the KeyWords window: "400 words".
std::string WordCountText(int64_t count);

// The letters whose reference flag is set, in order: "AL".
std::string ReferenceLetterBoxText(const ReferenceState& references);

}  // namespace wordloom
