// The vocabulary scan: every word of the project's texts, with its frequency.
//
// ScanFileWords reads one file through the text reader a logical line at a time and cuts
// words: maximal runs of word characters (class 2 of the lower-cased character), folded to
// lower case; a word may run on across a line end (end hyphen, join, no end-of-line text),
// and a word still open when the file is exhausted is dropped. BuildVocabulary scans every
// file, counts the words within a memory budget (spilling sorted runs to the scratch files
// "~A" and "~B" and merging them through "~C" and "~D"), and yields the vocabulary, each
// word's range (the number of files it occurs in) and the totals. A file that cannot be read
// is reported in the Error Report and skipped. CountWordRanges finds the ranges of a
// vocabulary that came without them (a project opened from its file) by one more pass over
// the texts with the same tokenizer, so its words are exactly the scan's.
// With more than one thread, BuildVocabulary cuts texts of more than `pieceBytes` into pieces
// (whole files, and large files at line ends where the rules carry nothing across: see
// text_pieces.h), reads stretches of pieces side by side, each into a counter of its own
// (scratch files "~As1" to "~Ds1", "~As2" and so on), and merges them into exactly the result
// of the single pass: vocabulary, ranges, totals, the reader's state and the Error Report.
// Memory: the counting budget (shared among the threads) plus one logical line a thread,
// whatever the size of the texts; when a table is written out or ends the counting, 40 bytes
// and up to three copies of each of its words, its own memory given back first (the last table
// of a counter that wrote none out stays so, in memory, until the merge); while a recorder (VocabularyOptions::recorder) listens, its
// own, 16 bytes a slot of each counter's table where the counter keeps each word's positions
// for it, and a copy of each thread's words and positions at its end; CountWordRanges 20 to 32
// bytes a vocabulary entry besides.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "base/table_memory.h"
#include "scan/scan_state.h"
#include "scan/sort_key.h"
#include "scan/word_counter.h"
#include "scan/word_lists.h"

namespace wordloom {

struct VocabularyOptions {
  // Shared among the threads. On two threads, each half holds a table of 2^19 slots (20 MiB) and
  // its longer words: a vocabulary of up to about 360,000 words is counted without a spill.
  size_t budgetBytes = 48u << 20;
  // Called from the calling thread only. A scan on several threads heeds a stop request between
  // pieces: it then ends with an empty vocabulary, for the caller to drop.
  ProgressSink* progress = nullptr;
  // The threads of BuildVocabulary: 0 follows the machine (one a hardware thread, as many as
  // the budget gives 8 MiB each), 1 reads the texts in one pass.
  int threads = 0;
  // About how many bytes a piece of a large file holds; texts of no more are read in one pass.
  size_t pieceBytes = 4u << 20;
  // Where a scan in pieces records its tokens for an index build (null: nowhere). It hears of
  // Complete only when the whole scan ran in pieces and every stretch was recorded.
  ScanRecorder* recorder = nullptr;
};

// Tokenizes one file into `counter`, adding to the token count and the longest word. The
// caller tells the counter which file it is (WordCounter::BeginFile).
void ScanFileWords(const std::string& path, ScanContext& context, WordCounter& counter, ScanTotals& totals,
                   ProgressSink* progress = nullptr);

// The whole scan, into `vocabulary` (emptied first), in collating order. The end padding is
// 200 spaces. Fails when the scratch files cannot be written, when memory runs out, or when
// the texts hold more than kMostEntries word types; unreadable texts are reported in the
// context's Error Report.
Status BuildVocabulary(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                       const ScratchFolder& scratch, ScanContext& context, ScanTotals& totals, EntryList& vocabulary,
                       const VocabularyOptions& options = {});
// The same, with the range of each vocabulary entry in `ranges` (left empty for an alphabet
// whose words may share sort keys: see WordCounter::Finish). A project holds fewer than 2^32 files.
Status BuildVocabulary(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                       const ScratchFolder& scratch, ScanContext& context, ScanTotals& totals, EntryList& vocabulary,
                       std::vector<uint32_t>& ranges, const VocabularyOptions& options = {});

// The reading of BuildVocabulary without its words, for what needs only the texts' lines: the
// reader's line totals, reference flags and Error Report entries, exactly as the scan leaves
// them; `totals` gets its line counts, and no token count, longest word or vocabulary. Memory:
// one logical line.
void ReadTextLines(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                   ScanContext& context, ScanTotals& totals, ProgressSink* progress = nullptr);
// Less than that, for a concordance of given keys over texts that were not scanned: the reader's
// physical line total, which sets the width of the cited line numbers, and its Error Report
// entries, exactly as the scan leaves them. When a line can report nothing (Windows-1252 texts
// without reference markup), the lines are only counted, and the other line counts stay 0;
// else the texts are read as ReadTextLines reads them.
void CountTextLines(const std::vector<std::string>& files, const ScanRules& rules, const CharTables& tables,
                    ScanContext& context, ScanTotals& totals);

// Where the words of a pass go one by one, as positions in a vocabulary. Each file's words
// come between its BeginFile and EndFile (a file that cannot be read gives none).
class TokenSink {
 public:
  virtual ~TokenSink() = default;
  virtual void BeginFile(uint32_t file) = 0;
  // A logical line has been read, its reference tags with it; the words that end in it come
  // next (under Unicode word boundaries, a line's last word may come after the next line).
  virtual void LineRead(const ScanContext& context) { (void)context; }
  // kNoEntry for a word the vocabulary lacks (a text changed since the scan).
  virtual void Token(EntryPosition entry) = 0;
  // Tokens in a row, all in one line's words: a sink may look them up together.
  virtual void Tokens(const EntryPosition* entries, size_t count) {
    for (size_t i = 0; i < count; ++i) Token(entries[i]);
  }
  // The text has been read to its end (its last lines may have given no token): the reader as
  // it leaves it. Comes just before EndFile.
  virtual void TextRead(const ScanContext& context) { (void)context; }
  virtual void EndFile() {}
};
inline constexpr EntryPosition kNoEntry = UINT32_MAX;

// The entries of a vocabulary (a scan's, in collating order) found by their words' WordHash,
// in an open-addressing table of their positions. Read-only once made: the threads of a pass
// share one. Memory: 48 to 96 bytes an entry.
class VocabularyLookup {
 public:
  VocabularyLookup(const CharTables& tables, const EntryList& vocabulary);

  const CharTables& tables() const { return tables_; }
  // Fetches the slot of a word of hash `hash` from memory, ahead of Find.
  void Prefetch(uint64_t hash) const;
  // The entry of `word`, whose bytes are followed by at least 16 zeros; kNoEntry when it has
  // none. A word not in the table (one of several words of equal sort keys, or a word the
  // vocabulary lacks) is looked for by its sort key.
  EntryPosition Find(std::string_view word, uint64_t hash) const;

 private:
  // A word of up to 16 bytes is told by its slot alone: its length is in the mark and its
  // bytes in the prefix. A longer one is compared with the vocabulary's word, a reach into
  // memory far away.
  struct alignas(32) Slot {
    std::array<uint64_t, 2> prefix{};  // the word's first 16 bytes, zero-filled
    uint32_t mark = 0;                 // 0: empty; else 24 bits of the hash and the length (255: more than 16)
    uint32_t position = 0;
  };

  const CharTables& tables_;
  const EntryList& vocabulary_;
  SortKeyOrder keys_;
  std::unique_ptr<Slot[], MappedMemory> slots_;
  size_t size_ = 0;
};

// The reader a pass of StreamTokens starts from: a copy of `reader` with its line totals from
// zero, prepared for `rules` and `tables`.
ScanContext BeginTokenPass(const ScanContext& reader, const ScanRules& rules, const CharTables& tables);

// The words of `files`, read under `rules` and `tables` from a copy of `reader` exactly as the
// vocabulary scan cuts them, handed to `sink` as their positions in `vocabulary` (a scan's, in
// collating order). Progress counts files; a stop is heeded between files. False
// when `progress` asked to stop. Memory: 24 to 48 bytes a vocabulary entry and one line.
[[nodiscard]] bool StreamTokens(const std::vector<std::string>& files, const ScanRules& rules,
                                const CharTables& tables, const ScanContext& reader, const EntryList& vocabulary,
                                TokenSink& sink, ProgressSink* progress = nullptr);

// The range of each entry of `vocabulary` (a scan's, in collating order) over `files`, read
// under `rules` and `tables` from a copy of `reader`, into `ranges` (one per entry). A word the
// vocabulary lacks (a text changed since the scan) is passed over; an unreadable text adds
// nothing. Progress counts files; a stop is heeded between files. False, with `ranges`
// empty, when `progress` asked to stop.
[[nodiscard]] bool CountWordRanges(const std::vector<std::string>& files, const ScanRules& rules,
                                   const CharTables& tables, const ScanContext& reader, const EntryList& vocabulary,
                                   std::vector<uint32_t>& ranges, ProgressSink* progress = nullptr);

}  // namespace wordloom
