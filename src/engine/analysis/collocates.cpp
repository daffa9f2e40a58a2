// Collocates: the words in the windows around a search's hits, counted in one pass over the
// token stream. A ring of the last few positions holds each token until no later hit can
// reach it with its left window; by then every window that holds it is known, so it is
// counted once, with flags for the windows it lies in.
#include <algorithm>
#include <bit>
#include <cmath>

#include "analysis/analysis.h"
#include "index/index.h"

namespace wordloom {
namespace {

constexpr uint8_t kInLeft = 1;
constexpr uint8_t kInRight = 2;

Status CheckOptions(const CollocateOptions& options) {
  const auto inSpan = [](int words) { return words >= 0 && words <= kMostCollocateSpan; };
  if (!inSpan(options.left) || !inSpan(options.right)) {
    return Status::Error("The window must reach 0 to " + std::to_string(kMostCollocateSpan) +
                         " words to the left and to the right.");
  }
  if (options.left + options.right == 0) return Status::Error("The window must hold at least one word.");
  if (options.minimum < 1) return Status::Error("The least frequency of a collocate must be 1 or more.");
  return Status::Ok();
}

// Counts, per vocabulary entry, the positions in some hit's window. Memory: 24 bytes an entry
// and a ring of left + right + reach positions.
class WindowCounter final : public HitTokenSink {
 public:
  struct Counts {
    int64_t left = 0;
    int64_t right = 0;
    int64_t observed = 0;
  };

  WindowCounter(const NodeSearch& search, const CollocateOptions& options, size_t entries)
      : HitTokenSink(search), left_(options.left), right_(options.right), counts_(entries) {
    ring_.resize(std::bit_ceil(static_cast<size_t>(left_ + right_ + search.reach() + 1)));
    mask_ = static_cast<int64_t>(ring_.size() - 1);
  }

  int64_t hits() const { return hits_; }
  const std::vector<Counts>& counts() const { return counts_; }

 private:
  struct Slot {
    EntryPosition entry = kNoEntry;
    uint8_t windows = 0;  // kInLeft, kInRight
  };
  Slot& At(int64_t position) { return ring_[static_cast<size_t>(position & mask_)]; }

  void FileStarted(uint32_t) override { std::fill(ring_.begin(), ring_.end(), Slot{}); }

  void TokenAt(int64_t position, EntryPosition entry, int hitTokens, uint32_t) override {
    At(position).entry = entry;  // its right-window flag may be set already
    if (hitTokens > 0) {
      ++hits_;
      const int64_t last = position + hitTokens - 1;
      for (int64_t q = std::max<int64_t>(0, position - left_); q < position; ++q) At(q).windows |= kInLeft;
      // Flags past the file's end are cleared with the ring.
      for (int64_t q = last + 1; q <= last + right_; ++q) At(q).windows |= kInRight;
    }
    // No hit still to come has this position in its left window.
    if (position >= left_) Finish(position - left_);
  }

  void FileEnded(int64_t tokens) override {
    for (int64_t q = std::max<int64_t>(0, tokens - left_); q < tokens; ++q) Finish(q);
  }

  void Finish(int64_t position) {
    Slot& slot = At(position);
    if (slot.windows != 0 && slot.entry != kNoEntry) {
      Counts& counts = counts_[slot.entry];
      ++counts.observed;
      counts.left += slot.windows & kInLeft;
      counts.right += slot.windows >> 1;
    }
    slot = Slot{};
  }

  const int left_;
  const int right_;
  std::vector<Counts> counts_;
  std::vector<Slot> ring_;
  int64_t mask_ = 0;
  int64_t hits_ = 0;
};

// Finds the hits whose window holds a given entry: a hit's left window is looked back on when
// it is met; its right window is waited for, the hit kept until the window has passed.
class CollocateHitFinder final : public HitTokenSink {
 public:
  CollocateHitFinder(const NodeSearch& search, const CollocateOptions& options, EntryPosition collocate,
                     std::vector<int64_t>& found)
      : HitTokenSink(search), left_(options.left), right_(options.right), collocate_(collocate), found_(found) {}

  int64_t hits() const { return hits_; }

 private:
  struct Waiting {
    int64_t hit;
    int64_t last;  // the hit's last token
  };

  void FileStarted(uint32_t) override {
    waiting_.clear();
    lastSeen_ = -1 - int64_t{kMostCollocateSpan};
  }

  void TokenAt(int64_t position, EntryPosition entry, int hitTokens, uint32_t) override {
    if (!waiting_.empty()) {
      const bool seen = entry == collocate_;
      std::erase_if(waiting_, [&](const Waiting& w) {
        const bool inRight = position > w.last && position <= w.last + right_;
        if (seen && inRight) found_.push_back(w.hit);
        return position >= w.last + right_ || (seen && inRight);
      });
    }
    if (hitTokens > 0) {
      if (lastSeen_ >= position - left_) {
        found_.push_back(hits_);
      } else if (right_ > 0) {
        waiting_.push_back(Waiting{hits_, position + hitTokens - 1});
      }
      ++hits_;
    }
    if (entry == collocate_) lastSeen_ = position;
  }

  const int left_;
  const int right_;
  const EntryPosition collocate_;
  std::vector<int64_t>& found_;
  std::vector<Waiting> waiting_;  // hits whose right window is still to come
  int64_t lastSeen_ = 0;          // the collocate's last position in this file
  int64_t hits_ = 0;
};

// The order of the rows: the measure descending, NaN last, then the project's order.
double SortValue(const CollocateRow& row, CollocateMeasure measure) {
  switch (measure) {
    case CollocateMeasure::MI: return row.mi;
    case CollocateMeasure::T: return row.t;
    case CollocateMeasure::LogDice: return row.logDice;
    case CollocateMeasure::LL: return row.ll;
    case CollocateMeasure::Frequency: return static_cast<double>(row.observed);
  }
  return kNoMeasure;
}

void SortRows(std::vector<CollocateRow>& rows, CollocateMeasure measure) {
  std::sort(rows.begin(), rows.end(), [measure](const CollocateRow& a, const CollocateRow& b) {
    const double x = SortValue(a, measure);
    const double y = SortValue(b, measure);
    if (std::isnan(x) != std::isnan(y)) return std::isnan(y);
    if (!std::isnan(x) && x != y) return x > y;
    return a.entry < b.entry;
  });
}

}  // namespace

Status Collocates(const Session& session, const NodeSearch& search, const CollocateOptions& options,
                  CollocateResult& result, ProgressSink* progress) {
  result = CollocateResult{};
  Status status = CheckOptions(options);
  if (!status.ok()) return status;
  const EntryList& vocabulary = session.lists.Vocabulary;
  WindowCounter counter(search, options, vocabulary.size());
  if (!StreamProjectTokensAround(session, search.StartEntries(), options.left,
                                 search.reach() - 1 + options.right, counter, progress)) {
    result.stopped = true;
    return Status::Ok();
  }
  result.nodeHits = counter.hits();
  result.tokens = session.totals.tokenCount;
  const int span = options.left + options.right;
  for (size_t p = 0; p < vocabulary.size(); ++p) {
    const WindowCounter::Counts& counts = counter.counts()[p];
    if (counts.observed < options.minimum) continue;
    CollocateRow& row = result.rows.emplace_back();
    row.entry = static_cast<EntryPosition>(p);
    row.left = counts.left;
    row.right = counts.right;
    MeasureCollocate(counts.observed, result.nodeHits, vocabulary[p].count, result.tokens, span, row);
  }
  SortRows(result.rows, options.sortBy);
  return Status::Ok();
}

Status CollocateHits(const Session& session, const NodeSearch& search, const CollocateOptions& options,
                     EntryPosition collocate, std::vector<int64_t>& hits, ProgressSink* progress,
                     int64_t* nodeHits) {
  hits.clear();
  Status status = CheckOptions(options);
  if (!status.ok()) return status;
  CollocateHitFinder finder(search, options, collocate, hits);
  if (!StreamProjectTokensAround(session, search.StartEntries(), options.left,
                                 search.reach() - 1 + options.right, finder, progress)) {
    hits.clear();
    return Status::Ok();
  }
  // A hit whose right window was waited for may be found after a later one.
  std::sort(hits.begin(), hits.end());
  if (nodeHits) *nodeHits = finder.hits();
  return Status::Ok();
}

}  // namespace wordloom
