// What a pass over the reader's stream needs to cite a find: the reference values in force when
// each run of text was read, and the numbered line of a place inside a run.
//
// Values are kept as snapshots, a new one only when a cited letter changes, and only as long as
// a run that may still be cited needs them. Line numbers count a run's end-of-line characters up
// to the place asked for; places come in increasing order, so each character is counted once.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_state.h"

namespace wordloom {

using ReferenceValues = std::array<std::string, kLetterCount + 1>;

class ValueSnapshots {
 public:
  // `track`: whether the citations show reference values at all (else one snapshot serves).
  ValueSnapshots(const ReferenceValues& initial, bool track, const std::vector<int>& letters)
      : track_(track), letters_(letters) {
    snapshots_.push_back(initial);
  }

  // The snapshot of the values `now` in force.
  size_t Take(const ReferenceValues& now) {
    if (track_) {
      for (int letter : letters_) {
        if (now[static_cast<size_t>(letter)] != snapshots_.back()[static_cast<size_t>(letter)]) {
          snapshots_.push_back(now);
          break;
        }
      }
    }
    return first_ + snapshots_.size() - 1;
  }
  const ReferenceValues& At(size_t snapshot) const { return snapshots_[snapshot - first_]; }
  // Drops the snapshots before `snapshot`, which no run still needs.
  void DropBefore(size_t snapshot) {
    while (first_ < snapshot && snapshots_.size() > 1) {
      snapshots_.pop_front();
      ++first_;
    }
  }

 private:
  bool track_;
  std::vector<int> letters_;
  std::deque<ReferenceValues> snapshots_;
  size_t first_ = 0;
};

class LineCounter {
 public:
  explicit LineCounter(int endOfLineChar) : marker_(endOfLineChar) {}

  // The numbered line of stream offset `place` in the run that starts at `runStart` with line
  // `firstLineNumber`, whose markers count before `insideEnd`. `text` is the stream from
  // `textStart` on.
  int64_t LineAt(int64_t runStart, int64_t firstLineNumber, int64_t insideEnd, int64_t place, std::string_view text,
                 int64_t textStart) {
    if (marker_ < 0) return firstLineNumber;
    if (countedRun_ != runStart) {
      countedRun_ = runStart;
      countedTo_ = runStart;
      markers_ = 0;
    }
    const int64_t to = std::min(place, insideEnd);
    if (to > countedTo_) {
      const std::string_view counted = text.substr(static_cast<size_t>(countedTo_ - textStart), static_cast<size_t>(to - countedTo_));
      markers_ += std::count(counted.begin(), counted.end(), static_cast<char>(marker_));
      countedTo_ = to;
    }
    return firstLineNumber + markers_;
  }

 private:
  int marker_;
  int64_t countedRun_ = -1;  // the run whose markers are counted up to countedTo_
  int64_t countedTo_ = 0;
  int64_t markers_ = 0;
};

}  // namespace wordloom
