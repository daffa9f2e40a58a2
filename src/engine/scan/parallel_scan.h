// The vocabulary scan on several threads: the texts' pieces read side by side, then merged.
//
// The texts are planned into pieces (text_pieces.h) and the pieces into one stretch a thread.
// Each thread reads its stretch piece by piece, every piece from a fresh reader, into a
// WordCounter of its own, with its share of the counting budget. The calling thread waits,
// reports progress (files done) and passes on a stop request. It then brings the pieces'
// readers into the pass's reader in text order and merges the counters' runs in the same
// order, so that the result is exactly the single pass's. Memory: the counting budget, and per
// thread one logical line, its read buffer and the reader state each of its pieces left.
#pragma once

#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "scan/scan_state.h"
#include "scan/vocabulary.h"
#include "scan/word_lists.h"

namespace wordloom {

// The threads that `options` asks for; for 0, one a hardware thread of the machine, as many as
// the counting budget gives 8 MiB each (at least one).
int ScanThreadsOf(const VocabularyOptions& options);

// The vocabulary scan of BuildVocabulary on ScanThreadsOf(options) threads, from `context` and
// `totals` as the start of the pass leaves them; `status` says how it ended. False, with
// nothing changed, when the single pass should read the texts instead: one thread, texts of
// no more than one piece or that could not be cut, or a plan that did not hold (a text changed
// or failed under the scan, a scratch file or memory was refused), so that the single pass
// gives its own result or error.
bool ScanInPieces(const std::vector<std::string>& files, const CharTables& tables, const ScratchFolder& scratch,
                  ScanContext& context, ScanTotals& totals, EntryList& vocabulary, std::vector<uint32_t>& ranges,
                  const VocabularyOptions& options, Status& status);

}  // namespace wordloom
