// Thinning and sorting the rows of a hit store.
#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "hits/hit_record.h"
#include "hits/hits.h"
#include "scan/sort_key.h"

namespace wordloom {
namespace {

// A small, well-mixed generator whose sequence is fixed by its seed on every platform.
class SplitMix64 {
 public:
  explicit SplitMix64(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, bound): the rejection keeps every value equally likely.
  uint64_t Below(uint64_t bound) {
    const uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
    uint64_t value = Next();
    while (value >= limit) value = Next();
    return value % bound;
  }

 private:
  uint64_t state_;
};

void Thin(int64_t count, const Thinning& thinning, std::vector<int64_t>& rows) {
  rows.clear();
  if (thinning.kind == Thinning::Kind::Every && thinning.n > 0) {
    for (int64_t i = 0; i < count; i += thinning.n) rows.push_back(i);
    return;
  }
  if (thinning.kind == Thinning::Kind::Sample && thinning.n < count) {
    // Selection sampling: each hit is kept with the chance that the sample still needs it,
    // so the sample keeps gathering order and depends only on the seed.
    SplitMix64 random(thinning.seed);
    int64_t needed = std::max<int64_t>(0, thinning.n);
    for (int64_t i = 0; i < count && needed > 0; ++i) {
      if (random.Below(static_cast<uint64_t>(count - i)) < static_cast<uint64_t>(needed)) {
        rows.push_back(i);
        --needed;
      }
    }
    return;
  }
  rows.resize(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) rows[static_cast<size_t>(i)] = i;
}

// Where a level's word is kept in Hit::words: L5..L1, the key, R1..R5.
size_t WordIndex(SortField field) {
  const int n = static_cast<int>(field);
  if (field == SortField::Key) return kSortWords;
  return static_cast<size_t>(n <= kSortWords ? kSortWords - n : n);
}

// Each row's rank at one level: words ranked in the collation, equal words equal.
void RankWords(const HitStore& store, const std::vector<int64_t>& rows, size_t wordIndex, const CharTables& tables,
               std::vector<int32_t>& ranks) {
  // Each distinct word once, then ranked: the collation is asked only about distinct words.
  std::unordered_map<std::string_view, int32_t> idOf;
  std::vector<std::string_view> distinct;
  ranks.resize(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto [found, added] = idOf.try_emplace(store.Word(rows[i], wordIndex), static_cast<int32_t>(distinct.size()));
    if (added) distinct.push_back(found->first);
    ranks[i] = found->second;
  }
  const SortKeyOrder order(tables, 0);
  std::vector<int32_t> byOrder(distinct.size());
  for (size_t i = 0; i < byOrder.size(); ++i) byOrder[i] = static_cast<int32_t>(i);
  std::sort(byOrder.begin(), byOrder.end(), [&](int32_t a, int32_t b) { return order.Less(distinct[static_cast<size_t>(a)], distinct[static_cast<size_t>(b)]); });
  std::vector<int32_t> rankOfId(distinct.size());
  int32_t rank = 0;
  for (size_t i = 0; i < byOrder.size(); ++i) {
    if (i > 0 && order.Less(distinct[static_cast<size_t>(byOrder[i - 1])], distinct[static_cast<size_t>(byOrder[i])])) ++rank;
    rankOfId[static_cast<size_t>(byOrder[i])] = rank;
  }
  for (int32_t& r : ranks) r = rankOfId[static_cast<size_t>(r)];
}

}  // namespace

bool ArrangeHits(const HitStore& store, const CharTables& tables, const Thinning& thinning,
                 const std::vector<SortLevel>& levels, std::vector<int64_t>& rows, ProgressSink* progress,
                 bool byKeyFirst, const std::vector<int64_t>* within) {
  Thin(within ? static_cast<int64_t>(within->size()) : store.size(), thinning, rows);
  if (within) {
    for (int64_t& row : rows) row = (*within)[static_cast<size_t>(row)];
  }
  // A first level of Key stands for the key number when it was not asked for.
  std::vector<SortLevel> sortBy;
  const bool byKeyNumber = levels.empty() || byKeyFirst;
  if (byKeyNumber) sortBy.push_back(SortLevel{});
  sortBy.insert(sortBy.end(), levels.begin(), levels.end());
  std::vector<std::vector<int32_t>> ranks(sortBy.size());
  for (size_t level = 0; level < sortBy.size(); ++level) {
    if (progress && progress->StopRequested()) return false;
    if (progress) progress->Progress(static_cast<int64_t>(level), static_cast<int64_t>(sortBy.size()));
    const SortField field = sortBy[level].field;
    std::vector<int32_t>& rank = ranks[level];
    if (level == 0 && byKeyNumber) {
      rank.resize(rows.size());
      for (size_t i = 0; i < rows.size(); ++i) rank[i] = store.KeyNumber(rows[i]);
    } else if (field == SortField::File || field == SortField::Line) {
      rank.resize(rows.size());
      for (size_t i = 0; i < rows.size(); ++i) {
        rank[i] = field == SortField::File ? store.FileNumber(rows[i])
                                           : static_cast<int32_t>(std::min<int64_t>(store.FileLine(rows[i]), INT32_MAX));
      }
    } else {
      RankWords(store, rows, WordIndex(field), tables, rank);
    }
    if (sortBy[level].descending) {
      for (int32_t& r : rank) r = -r;
    }
  }
  std::vector<size_t> order(rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    for (const std::vector<int32_t>& rank : ranks) {
      if (rank[a] != rank[b]) return rank[a] < rank[b];
    }
    return false;
  });
  std::vector<int64_t> sorted(rows.size());
  for (size_t i = 0; i < order.size(); ++i) sorted[i] = rows[order[i]];
  rows.swap(sorted);
  return true;
}

Status GatherArrangedHits(const Session& session, const HitQuery& query, const ScratchFolder& scratch,
                          const Thinning& thinning, const std::vector<SortLevel>& levels, HitRunResult& result,
                          std::vector<int64_t>& rows, ProgressSink& progress) {
  const Status status = GatherHits(session, query, scratch, result, &progress);
  if (!status.ok() || !result.store) return status;
  if (!ArrangeHits(*result.store, session.tables, thinning, levels, rows, result.stopped ? nullptr : &progress)) {
    rows.resize(static_cast<size_t>(result.store->size()));  // stopped: in gathering order
    std::iota(rows.begin(), rows.end(), int64_t{0});
  }
  return Status::Ok();
}

int64_t CountHitPlaces(const HitStore& store) {
  int64_t places = 0;
  for (int64_t row = 0; row < store.size(); ++row) {
    if (row == 0 || store.FileNumber(row) != store.FileNumber(row - 1) || store.Offset(row) != store.Offset(row - 1)) {
      ++places;
    }
  }
  return places;
}

}  // namespace wordloom
