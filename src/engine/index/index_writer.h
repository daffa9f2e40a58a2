// IndexWriter: the token sink of an index build. It writes the tokens, lines, tag values and
// restart points of the texts as a token pass hands them out, each to a file of its own (the
// lines after the tokens in theirs, once room is left for the last ones), and
// counts each entry's coded positions as it goes (index_builder.cpp writes the positions).
//
// A writer of pieces takes the pieces of a stretch of the texts instead (BeginPiece to
// EndPiece), each read from a fresh reader, as one record apiece; AppendPieces then brings
// them into the build's writer in text order, counting lines, tokens, characters and
// positions on from where the texts before them left off, and keeps each stretch's own
// position counts for coding its positions apart. Memory: 24 bytes a vocabulary entry, and as
// much for each stretch brought in; 64 KiB of tokens.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "index/index_format.h"
#include "index/text_marks.h"
#include "scan/text_pieces.h"
#include "scan/token_recorder.h"
#include "scan/vocabulary.h"

namespace wordloom {

// An entry's coded positions as they are counted, then written: their bytes so far and the
// last position, side by side so that a token reaches one place.
struct PostingCursor {
  uint64_t bytes = 0;
  uint64_t last = 0;
};

// The coded size of an entry's positions in a stretch that starts at token `base`, counted
// there as `counted` with its first position `first` (both from the stretch's start), once
// that first one is coded against `last`, the entry's last position before the stretch.
inline uint64_t JoinedBytes(const PostingCursor& counted, uint64_t first, uint64_t base, uint64_t last) {
  return counted.bytes - VarintSize(first) + VarintSize(base + first - last);
}

// A stretch of the token stream whose positions were counted on their own: its first token,
// its tokens, and each entry's coded size there, with its first and last position there
// counted from the stretch's first token.
struct PositionSlice {
  int64_t firstToken = 0;
  int64_t tokenCount = 0;
  const std::vector<PostingCursor>* postings = nullptr;
  const std::vector<uint64_t>* firsts = nullptr;
};

// The zero bytes that bring `at` to the next 8-byte boundary, where each section of the index
// starts.
inline std::string_view PaddingToEight(uint64_t at) {
  static constexpr char kZeros[8] = {};
  return std::string_view(kZeros, static_cast<size_t>((8 - at % 8) % 8));
}

// Where a writer's records go.
struct IndexOutputs {
  FileWriter* tokens;
  FileWriter* lines;
  FileWriter* events;
  FileWriter* strings;
  FileWriter* checkpoints;
};

class IndexWriter final : public TokenSink {
 public:
  IndexWriter(const IndexOutputs& outputs, const EntryList& vocabulary, const ScanContext& reader);
  ~IndexWriter() override { FlushTokens(); }

  // Texts from here on are numbered through `fresh`: the pass's i-th text is fresh[i], and
  // `before` is told of each before it begins.
  void Texts(const std::vector<size_t>* fresh, std::function<void(size_t)> before) {
    fresh_ = fresh;
    before_ = std::move(before);
  }

  void BeginFile(uint32_t file) override;
  void LineRead(const ScanContext& context) override { LineRead(context, 0); }
  // A line read with `waiting` tokens before it still to come.
  void LineRead(const ScanContext& context, size_t waiting);
  void TextRead(const ScanContext& context) override;
  void Tokens(const EntryPosition* entries, size_t count) override;
  void Token(EntryPosition entry) override;
  void EndFile() override;

  // A text taken whole from the old index, its tokens renumbered through `renumber`.
  void CopyText(const ProjectIndex& old, size_t file, const std::vector<uint32_t>& renumber);

  // A writer of pieces: a piece begins, to be read from `reader` (as the piece's own reader
  // starts), and ends. A piece that ends its text is told so (TextRead) before it ends.
  void BeginPiece(const ScanContext& reader);
  // Ends `piece` (of a pass over `fileCount` texts), which `context` read to its end. False when
  // a fresh reader cannot stand for it: it set a tag value or the running line number, reported
  // an error, or ends joined to the next text; the pass's own reader must then read it.
  bool EndPiece(const TextPiece& piece, const ScanContext& context, size_t fileCount);
  // A writer of pieces that records a scan's tokens: its tokens are a counter's ids
  // (token_recorder.h); EndPiece fails once the writer holds more than kMostRecordedTokens
  // tokens. Once the stretch is counted, each id stands for the entry of `vocabulary` that
  // `entryOf` gives it: CountRecorded makes each id's `positions`, as the counter kept them,
  // its entry's (false when two ids share an entry or an id has none); MapRecorded then writes
  // the tokens, read back from `ids`, as entries at `offset` of `out` (false when the files
  // fail or an id is out of range).
  void Ids(const uint32_t* ids, size_t count);
  bool CountRecorded(const std::vector<uint32_t>& entryOf, const std::vector<RecordedPositions>& positions,
                     const EntryList& vocabulary);
  bool MapRecorded(int ids, const std::vector<uint32_t>& entryOf, const FileWriter& out, uint64_t offset);
  // Leaves room for the stream's last `count` tokens, for writers of pieces to fill in place
  // (MapRecorded) before their stretches are brought in; the room's offset in the tokens'
  // file, or -1 when the file fails. The lines then follow the tokens in their file, from the
  // next 8-byte boundary (linesFollowTokens).
  int64_t ReserveLastTokens(int64_t count);
  bool linesFollowTokens() const { return out_.lines == out_.tokens; }
  const FileWriter& tokensFile() const { return *out_.tokens; }
  // Brings in the pieces of `stretch` (a writer of pieces whose tokens, lines and restart
  // points are the scratch files `tokens`, `lines` and `checkpoints`), which are `which` in
  // order. A piece that begins its text begins one here; one that ends it ends it. No `tokens`:
  // the stretch's tokens are already in place, in room ReserveLastTokens left.
  Status AppendPieces(IndexWriter& stretch, const std::vector<TextPiece>& which, const ScratchFolder& scratch,
                      const std::string& tokens, const std::string& lines, const std::string& checkpoints);

  // Gives each text its path, then its stamp, once every text is in.
  void NameTexts(const std::vector<std::string>& paths);
  void StampTexts(const std::vector<TextStamp>& stamps);
  // Writes the tokens held back; called before the tokens are read back.
  void FlushTokens();

  int64_t totalTokens() const { return totalTokens_; }
  int64_t lineCount() const { return lineCount_; }
  int64_t eventCount() const { return eventCount_; }
  int64_t checkpointCount() const { return checkpointCount_; }
  uint64_t stringBytes() const { return stringBytes_; }
  const std::vector<ProjectIndex::Text>& texts() const { return texts_; }
  // Each entry's coded positions, every token counted.
  std::vector<PostingCursor>& postings() {
    while (delayedCount_ > 0) ApplyOldestPosition();
    return postings_;
  }
  // The stream's stretches whose positions were counted apart (one a stretch of pieces, else
  // the whole stream), in order; none when tokens came both in stretches and not.
  std::vector<PositionSlice> slices();

 private:
  void MarkLongWords(const EntryList& vocabulary);
  bool IsLongWord(EntryPosition entry) const {
    return anyLongWord_ && (longWords_[entry / 64] >> (entry % 64) & 1) != 0;
  }
  Status AppendPieces(IndexWriter& stretch, const std::vector<TextPiece>& which, int tokens, int lines,
                      int checkpoints);
  void StartText();
  void AddCheckpoint(const ProjectIndex::Checkpoint& checkpoint);
  void AddValuesSet(const ScanContext& context, int64_t token);
  void AddLine(const ProjectIndex::Line& line);
  void AddEvent(int64_t token, int letter, std::string_view value);
  void AddPostings(const std::vector<PostingCursor>& stretch, const std::vector<uint64_t>& firsts);

  // An entry's position is counted a few tokens late, its cursor fetched from memory meanwhile.
  void CountPosition(EntryPosition entry, uint64_t position) {
    Prefetch(&postings_[entry]);
    if (delayedCount_ == kDelayed) ApplyOldestPosition();
    delayed_[(delayedFirst_ + delayedCount_++) % kDelayed] = DelayedPosition{entry, position};
  }
  void ApplyOldestPosition() {
    const DelayedPosition& oldest = delayed_[delayedFirst_];
    PostingCursor& posting = postings_[oldest.entry];
    if (posting.bytes == 0) firsts_[oldest.entry] = oldest.position;
    posting.bytes += VarintSize(oldest.position - posting.last);
    posting.last = oldest.position;
    delayedFirst_ = (delayedFirst_ + 1) % kDelayed;
    --delayedCount_;
  }

  static constexpr size_t kPendingTokens = 1 << 14;
  bool idsOverflow_ = false;  // more ids than kMostRecordedTokens
  static constexpr size_t kDelayed = 16;
  struct DelayedPosition {
    EntryPosition entry;
    uint64_t position;
  };
  std::array<DelayedPosition, kDelayed> delayed_{};
  size_t delayedFirst_ = 0;
  size_t delayedCount_ = 0;

  IndexOutputs out_;
  std::vector<uint32_t> pending_;   // tokens not yet written
  std::vector<uint64_t> longWords_;  // per entry, a bit: its word is longer than a ring holds
  bool anyLongWord_ = false;
  std::vector<PostingCursor> postings_;  // per entry
  std::vector<uint64_t> firsts_;         // per entry: its first position
  TextMarks marks_;
  const std::vector<size_t>* fresh_ = nullptr;
  std::function<void(size_t)> before_;
  ProjectIndex::Text text_{};
  std::vector<ProjectIndex::Text> texts_;
  std::vector<int64_t> pieceChars_;  // a writer of pieces: the characters of each piece
  // Of each stretch of pieces brought in: its first token and its writer's positions.
  struct Stretch {
    int64_t firstToken;
    std::vector<PostingCursor> postings;
    std::vector<uint64_t> firsts;
  };
  std::vector<Stretch> stretches_;
  int64_t textChars_ = 0;            // the characters of the text being appended, so far
  int64_t appendedTokens_ = 0;       // the tokens that came in stretches
  int64_t lastOffset_ = -1;
  int64_t totalTokens_ = 0;
  int64_t lineCount_ = 0;
  int64_t eventCount_ = 0;
  int64_t checkpointCount_ = 0;
  uint64_t stringBytes_ = 0;
};

}  // namespace wordloom
