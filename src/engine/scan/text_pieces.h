// Text pieces: the texts cut for readers that work side by side, and the reading of a piece.
//
// A piece is a whole file, or a stretch of one between two cuts at physical line ends. A cut is
// made only where the scan carries nothing from the line before it to the line after it: that
// line is not blank and holds no join character, and its logical line ends with a character
// that ends any word (under Unicode word boundaries, an ASCII punctuation mark that is a
// boundary whatever follows, before a line that starts with an ASCII character). A reader that
// starts afresh at a cut then cuts the words a pass over the whole file cuts there, and its
// line counters add up to the pass's; what else it leaves (line numbers within the file, the
// Error Report, a join pending at the start of a file) the merge of the pieces settles, reading
// a piece again on the pass's own reader in the rare cases it cannot settle otherwise.
// PlanPieces reads a window of at most 256 KiB about each place it would cut, no more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/progress.h"
#include "scan/scan_state.h"
#include "scan/word_counter.h"

namespace wordloom {

class TokenSink;
class VocabularyLookup;

struct TextPiece {
  uint32_t file = 0;   // its index among the texts
  int64_t begin = 0;   // the first byte of a physical line
  int64_t end = -1;    // the byte after a physical line's end; -1: the end of the file
  bool FirstOfFile() const { return begin == 0; }
  bool LastOfFile() const { return end < 0; }
  bool WholeFile() const { return FirstOfFile() && LastOfFile(); }
};

// The pieces of `files` in text order, cut about every `pieceBytes` bytes and where the texts'
// bytes divide evenly into `groups` stretches; `groupStarts` holds the first piece of each
// stretch (fewer than `groups` when the texts could not be cut so often). `reader` is a
// reader prepared for the pass (BeginPass), whose rules say where a cut is safe.
// Texts of no more than `pieceBytes` in all make one piece a file and one stretch.
struct PiecePlan {
  std::vector<TextPiece> pieces;
  std::vector<size_t> groupStarts;
  std::vector<int64_t> fileBytes;  // each file's size (0 when it cannot be read)
  // The bytes of a piece.
  int64_t BytesOf(const TextPiece& piece) const {
    return (piece.end < 0 ? fileBytes[piece.file] : piece.end) - piece.begin;
  }
  // The pieces of stretch `stretch`, in order.
  std::vector<TextPiece> StretchPieces(size_t stretch) const {
    const size_t end = stretch + 1 < groupStarts.size() ? groupStarts[stretch + 1] : pieces.size();
    return {pieces.begin() + static_cast<std::ptrdiff_t>(groupStarts[stretch]),
            pieces.begin() + static_cast<std::ptrdiff_t>(end)};
  }
};
PiecePlan PlanPieces(const std::vector<std::string>& files, const ScanContext& reader, const CharTables& tables,
                     size_t pieceBytes, size_t groups);

// A piece after the first of its file is read with this line number for its first line: any
// but the first, where a byte-order mark would be looked for. The merge puts the real one.
inline constexpr int64_t kPieceFirstLine = 2;

// `context` made `fresh`, the reader a piece starts from, ready for `piece` of the file at
// `path`: a later piece of a file begins the file here, numbered from kPieceFirstLine (the
// first begins it as it opens it).
void PrepareForPiece(ScanContext& context, const ScanContext& fresh, const TextPiece& piece, const std::string& path);

enum class PieceRead {
  Read,        // read, or a whole file that failed part way (its Error Report entry says so)
  Unreadable,  // a whole file that could not be opened: its Error Report entry says why
  Changed,     // a piece of a cut file could not be read, or did not end where it was cut
};

// The reading of one piece of the file at `path` by the vocabulary scan (vocabulary.cpp). The
// first piece of a file begins it (BeginFile); for a later one the caller prepares `context`.
// ScanPieceWords cuts the words into `counter`, adding to `totals`; ReadPieceLines only reads
// the lines, as ReadTextLines does.
PieceRead ScanPieceWords(const std::string& path, const TextPiece& piece, ScanContext& context, WordCounter& counter,
                         ScanTotals& totals);
PieceRead ReadPieceLines(const std::string& path, const TextPiece& piece, ScanContext& context,
                         ProgressSink* progress);
// StreamPieceTokens hands the piece's words to `sink` as StreamTokens hands a text's (its lines
// and tokens, without BeginFile, TextRead or EndFile), looked up in `lookup`. `context` is
// prepared as for ScanPieceWords, from a reader that BeginTokenPass made.
PieceRead StreamPieceTokens(const std::string& path, const TextPiece& piece, ScanContext& context,
                            const VocabularyLookup& lookup, TokenSink& sink);

}  // namespace wordloom
