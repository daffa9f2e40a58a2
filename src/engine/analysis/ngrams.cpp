// N-grams and clusters: every run of minN..maxN tokens within a file, counted within a budget
// (NgramCounter), the clusters being those that hold a whole hit of a search at a position.
#include <algorithm>
#include <numeric>
#include <type_traits>

#include "analysis/analysis.h"
#include "analysis/ngram_counter.h"
#include "index/index.h"

namespace wordloom {
namespace {

Status CheckOptions(const NgramOptions& options, int leastN) {
  if (options.minN < leastN || options.maxN > kMostGram || options.minN > options.maxN) {
    return Status::Error("The n-gram lengths must lie from " + std::to_string(leastN) + " to " +
                         std::to_string(kMostGram) + ", the least first (not " + std::to_string(options.minN) +
                         ".." + std::to_string(options.maxN) + ").");
  }
  if (options.minimum < 1) return Status::Error("The least frequency must be 1 or more.");
  return Status::Ok();
}

// The last tokens of a file and the length of the hit that starts at each (0 for none): as
// each token comes, the n-grams that end at it are counted, those of a cluster only when they
// hold a hit at its position.
class GramWindow {
 public:
  GramWindow(const NgramOptions& options, std::optional<ClusterPosition> position, NgramCounter& counter)
      : minN_(options.minN), maxN_(options.maxN), position_(position), counter_(counter) {}

  void Start(uint32_t file) {
    file_ = file;
    held_ = 0;
  }

  void Push(EntryPosition entry, int hitTokens) {
    if (entry == kNoEntry) {  // a word the vocabulary lacks: no n-gram holds it
      held_ = 0;
      return;
    }
    if (held_ == maxN_) {
      std::copy(words_ + 1, words_ + held_, words_);
      std::copy(hits_ + 1, hits_ + held_, hits_);
      --held_;
    }
    words_[held_] = entry;
    hits_[held_++] = hitTokens;
    for (int n = minN_; n <= held_; ++n) {
      if (!position_ || HoldsHit(n)) counter_.Add(NgramRecord::Of(words_ + held_ - n, n), file_);
    }
  }

 private:
  // Whether the last n tokens hold a whole hit where the position asks for it.
  bool HoldsHit(int n) const {
    const int first = held_ - n;
    const int last = held_ - 1;
    if (*position_ == ClusterPosition::Left) return hits_[first] > 0 && first + hits_[first] - 1 <= last;
    for (int at = first; at <= last; ++at) {
      if (hits_[at] == 0) continue;
      const int end = at + hits_[at] - 1;
      if (*position_ == ClusterPosition::Right ? end == last : end <= last) return true;
    }
    return false;
  }

  const int minN_;
  const int maxN_;
  const std::optional<ClusterPosition> position_;
  NgramCounter& counter_;
  uint32_t file_ = 0;
  EntryPosition words_[kMostGram] = {};
  int hits_[kMostGram] = {};
  int held_ = 0;
};

class NgramSink : public TokenSink {
 public:
  explicit NgramSink(GramWindow& window) : window_(window) {}
  void BeginFile(uint32_t file) override { window_.Start(file); }
  void Token(EntryPosition entry) override { window_.Push(entry, 0); }

 private:
  GramWindow& window_;
};

class ClusterSink : public HitTokenSink {
 public:
  ClusterSink(const NodeSearch& search, GramWindow& window) : HitTokenSink(search), window_(window) {}

 protected:
  void FileStarted(uint32_t file) override { window_.Start(file); }
  void TokenAt(int64_t position, EntryPosition entry, int hitTokens, uint32_t part) override {
    (void)position;
    (void)part;
    window_.Push(entry, hitTokens);
  }

 private:
  GramWindow& window_;
};

// Streams the tokens through `sink` (fed by `counter`'s window), then lists the n-grams of
// the least frequency or more: by frequency descending, ties in key order, which is the
// project's order word by word with a shorter n-gram before the longer ones it begins.
Status CountAndList(const Session& session, const NgramOptions& options, NgramCounter& counter, TokenSink& sink,
                    NgramResult& result, ProgressSink* progress) {
  if (!StreamProjectTokens(session, session.scan, sink, progress)) {
    result.stopped = true;
    return Status::Ok();
  }
  NgramTable& listed = result.table;  // in key order first
  EntryPosition words[kMostGram];
  bool stopped = false;
  const Status status = counter.Finish(
      [&](const NgramRecord& gram) {
        if (gram.count < options.minimum) return;
        const int n = gram.n();
        for (int i = 0; i < n; ++i) words[i] = gram.Word(i);
        listed.Add(words, n, gram.count, gram.files.range);
      },
      progress, stopped);
  if (!status.ok() || stopped) {
    listed.Clear();
    result.stopped = stopped;
    return status;
  }
  std::vector<size_t> order(listed.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return listed.frequency(a) != listed.frequency(b) ? listed.frequency(a) > listed.frequency(b) : a < b;
  });
  listed.Reorder(order);
  return Status::Ok();
}

}  // namespace

std::optional<ClusterPosition> ClusterPositionNamed(std::string_view name) {
  if (name == "left") return ClusterPosition::Left;
  if (name == "right") return ClusterPosition::Right;
  if (name == "any") return ClusterPosition::Any;
  return std::nullopt;
}

std::string NgramTable::Text(size_t row, const EntryList& vocabulary) const {
  std::string text;
  const EntryPosition* gram = words(row);
  for (int i = 0; i < n(row); ++i) {
    if (i > 0) text += ' ';
    text += vocabulary[gram[i]].word;
  }
  return text;
}

void NgramTable::Add(const EntryPosition* words, int n, int64_t frequency, int64_t range) {
  starts_.push_back(words_.size());
  words_.insert(words_.end(), words, words + n);
  lengths_.push_back(static_cast<uint8_t>(n));
  frequency_.push_back(frequency);
  range_.push_back(range);
}

void NgramTable::Clear() { *this = NgramTable{}; }

void NgramTable::Reorder(const std::vector<size_t>& order) {
  // A column at a time, so that only one is held twice; the starts follow from the lengths.
  std::vector<EntryPosition> words;
  words.reserve(words_.size());
  for (size_t row : order) words.insert(words.end(), this->words(row), this->words(row) + n(row));
  words_ = std::move(words);
  auto reorder = [&](auto& column) {
    std::remove_reference_t<decltype(column)> sorted;
    sorted.reserve(order.size());
    for (size_t row : order) sorted.push_back(column[row]);
    column = std::move(sorted);
  };
  reorder(lengths_);
  reorder(frequency_);
  reorder(range_);
  uint64_t start = 0;
  for (size_t row = 0; row < starts_.size(); ++row) {
    starts_[row] = start;
    start += lengths_[row];
  }
}

Status Ngrams(const Session& session, const NgramOptions& options, const ScratchFolder& scratch, NgramResult& result,
              ProgressSink* progress) {
  result = NgramResult{};
  Status status = CheckOptions(options, 2);
  if (status.ok()) status = RequireWords(session);
  if (!status.ok()) return status;
  // A file of t tokens holds at most t n-grams of each length.
  const auto lengths = static_cast<uint64_t>(options.maxN - options.minN + 1);
  NgramCounter counter(scratch, options.budgetBytes, static_cast<uint64_t>(session.totals.tokenCount) * lengths);
  GramWindow window(options, std::nullopt, counter);
  NgramSink sink(window);
  return CountAndList(session, options, counter, sink, result, progress);
}

Status Clusters(const Session& session, const NodeSearch& search, ClusterPosition position,
                const NgramOptions& options, const ScratchFolder& scratch, NgramResult& result,
                ProgressSink* progress) {
  result = NgramResult{};
  Status status = CheckOptions(options, kLeastGram);
  if (!status.ok()) return status;
  NgramCounter counter(scratch, options.budgetBytes);
  GramWindow window(options, position, counter);
  ClusterSink sink(search, window);
  return CountAndList(session, options, counter, sink, result, progress);
}

std::vector<TableColumn> NgramColumns() {
  return {{"rank", true}, {"ngram"}, {"n", true}, {"frequency", true}, {"range", true}};
}

Status ExportNgrams(const Session& session, const NgramTable& table, TableFormat format, FileWriter& out) {
  TableWriter writer(out, format, NgramColumns(), session.tables.unicode == nullptr);
  std::string rank, text, n, frequency, range;
  for (size_t row = 0; row < table.size(); ++row) {
    rank = std::to_string(row + 1);
    text = table.Text(row, session.lists.Vocabulary);
    n = std::to_string(table.n(row));
    frequency = std::to_string(table.frequency(row));
    range = std::to_string(table.range(row));
    writer.Row({rank, text, n, frequency, range});
  }
  return out.error();
}

}  // namespace wordloom
