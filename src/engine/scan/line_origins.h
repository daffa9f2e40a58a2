// Where the bytes of the reader's line buffer came from in the file.
//
// A pass that reports byte offsets (the hit store) asks the reader to keep, for the logical
// line it is reading, a map from positions in the line buffer to offsets in the file. The
// reader's edits (a skipped byte-order mark, decoding, rule characters standing in as one
// byte, reference tags removed) each update it; bytes appended after the line (the end-of-line
// text, the end padding) map to the end of the line. A byte that decoding replaced maps to the
// start of what it replaced. Memory: a pair of numbers per edit of the line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace wordloom {

class LineOrigins {
 public:
  // The line buffer is the file's bytes from `offset` on.
  void Reset(int64_t offset) {
    points_.assign(1, {0, offset});
  }

  // The bytes [at, at + removed) of the buffer were replaced by `inserted` bytes.
  void Replace(size_t at, size_t removed, size_t inserted) {
    const int64_t start = FileOffset(at);
    const int64_t after = FileOffset(at + removed);
    auto first = std::lower_bound(points_.begin(), points_.end(), at, [](const Point& p, size_t pos) { return p.first < pos; });
    auto last = std::upper_bound(first, points_.end(), at + removed, [](size_t pos, const Point& p) { return pos < p.first; });
    std::vector<Point> tail(last, points_.end());
    points_.erase(first, points_.end());
    if (inserted > 0) points_.emplace_back(at, start);
    points_.emplace_back(at + inserted, after);
    for (Point& p : tail) p.first = p.first - removed + inserted;
    points_.insert(points_.end(), tail.begin(), tail.end());
  }

  // The file offset of the buffer's byte `pos`.
  int64_t FileOffset(size_t pos) const {
    auto after = std::upper_bound(points_.begin(), points_.end(), pos, [](size_t at, const Point& p) { return at < p.first; });
    if (after == points_.begin()) return points_.empty() ? 0 : points_.front().second;
    const Point& p = *(after - 1);
    return p.second + static_cast<int64_t>(pos - p.first);
  }

  // True when the buffer is the file's bytes from FileOffset(0) on, with no edit.
  bool Unedited() const { return points_.size() == 1 && points_.front().first == 0; }

  int64_t lineOffset() const { return points_.empty() ? 0 : points_.front().second; }

 private:
  using Point = std::pair<size_t, int64_t>;  // buffer position, file offset
  std::vector<Point> points_;
};

}  // namespace wordloom
