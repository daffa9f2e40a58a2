// Token recorders: what a vocabulary scan read in pieces can hand on, so that an index build
// need not cut the texts into words again. Each stretch's counter gives its tokens as ids of its own
// (the order in which its words were first met), with the lines they came in; once the
// stretch is counted, its words in id order say what each id stands for. The index build
// (index/scan_recording.h) maps the ids to vocabulary positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wordloom {

struct ScanContext;
struct TextPiece;
struct PiecePlan;

// Where a word's tokens fell in a stretch, counted from the stretch's first token: the bytes
// its positions take coded (each one's distance from the one before, the first's from 0), and
// its first and last position. 32 bits hold them for a stretch of up to kMostRecordedTokens
// tokens (five bytes a position at most); a longer stretch is not recorded.
struct RecordedPositions {
  uint32_t bytes = 0;
  uint32_t first = 0;
  uint32_t last = 0;
};
inline constexpr int64_t kMostRecordedTokens = int64_t{1} << 29;

// The words a counter gave ids, in id order: word `id` is words[ends[id - 1] .. ends[id]),
// and its tokens fell at `positions[id]`.
struct IdWords {
  std::string words;
  std::vector<uint64_t> ends;
  std::vector<RecordedPositions> positions;
};

// The recorder of one stretch of pieces, called on the stretch's thread.
class TokenRecorder {
 public:
  virtual ~TokenRecorder() = default;
  // A piece begins, read from `reader` (as its own reader starts).
  virtual void BeginPiece(const ScanContext& reader) = 0;
  // A logical line has been read; `waiting` tokens cut before it have not yet been handed on.
  virtual void LineRead(const ScanContext& context, size_t waiting) = 0;
  virtual void Ids(const uint32_t* ids, size_t count) = 0;
  // The piece has been read, every token handed on, with `context` as it leaves it. False when
  // the recording cannot stand for it: it then records no more.
  virtual bool EndPiece(const TextPiece& piece, const ScanContext& context) = 0;
};

// A scan's recording: one recorder a stretch.
class ScanRecorder {
 public:
  virtual ~ScanRecorder() = default;
  // A scan of `stretches` stretches begins; called before any stretch is read.
  virtual void BeginScan(size_t stretches) = 0;
  // The recorder of `stretch`, from the stretch's thread; null when it cannot record.
  virtual TokenRecorder* BeginStretch(size_t stretch) = 0;
  // From the stretch's thread: the stretch cannot be recorded, and what it recorded goes.
  virtual void DropStretch(size_t stretch) = 0;
  // The stretch is counted: its words in id order. False when the recording fails.
  virtual bool EndStretch(size_t stretch, IdWords words) = 0;
  // The scan succeeded in pieces as `plan` cut them, and every stretch was recorded.
  virtual void Complete(const PiecePlan& plan) = 0;
  // The scan has ended, however it went: a recording not complete goes.
  virtual void EndScan() = 0;
};

}  // namespace wordloom
