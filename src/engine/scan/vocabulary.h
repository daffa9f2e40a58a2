// The vocabulary scan: every word of the project's texts, with its frequency.
//
// ScanFileWords reads one file through the text reader a logical line at a time and cuts
// words: maximal runs of word characters (class 2 of the lower-cased character), folded to
// lower case; a word may run on across a line end (end hyphen, join, no end-of-line text),
// and a word still open when the file is exhausted is dropped. BuildVocabulary scans every
// file, counts the words within a memory budget (spilling sorted runs to the scratch files
// "~A" and "~B" and merging them through "~C" and "~D"), and yields the vocabulary and the
// totals. A file that cannot be read is reported in the Error Report and skipped.
// Memory: the counting budget plus one logical line, whatever the size of the texts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/scan_state.h"
#include "scan/word_counter.h"
#include "scan/word_lists.h"

namespace wordloom {

struct VocabularyOptions {
  size_t budgetBytes = 40u << 20;
  ProgressSink* progress = nullptr;
};

// Tokenizes one file into `counter`, adding to the token count and the longest word.
void ScanFileWords(const std::string& path, ScanContext& context, WordCounter& counter, ScanTotals& totals,
                   ProgressSink* progress = nullptr);

// The whole scan, into `vocabulary` (emptied first), in collating order. The end padding is
// 200 spaces. Fails when the scratch files cannot be written, when memory runs out, or when
// the texts hold more than kMostEntries word types; unreadable texts are reported in the
// context's Error Report.
Status BuildVocabulary(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                       const ScratchFolder& scratch, ScanContext& context, ScanTotals& totals, EntryList& vocabulary,
                       const VocabularyOptions& options = {});

}  // namespace wordloom
