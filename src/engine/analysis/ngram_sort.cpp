#include "analysis/ngram_sort.h"

#include <algorithm>
#include <vector>

namespace wordloom {
namespace {

constexpr ptrdiff_t kSmall = 64;  // stretches this short are sorted by comparison

class RadixSort {
 public:
  explicit RadixSort(int wordBits)
      : perWord_((wordBits + 9) / 10), digitBits_((wordBits + perWord_ - 1) / perWord_), digits_(5 * perWord_) {}

  void Sort(NgramRecord* first, NgramRecord* last, int digit) const {
    for (; digit < digits_ && last - first > kSmall; ++digit) {
      std::vector<NgramRecord*> ends(size_t{1} << digitBits_);
      std::vector<NgramRecord*> next(ends.size());
      {
        std::vector<size_t> counts(ends.size());
        for (const NgramRecord* r = first; r != last; ++r) ++counts[Digit(*r, digit)];
        if (counts[Digit(*first, digit)] == static_cast<size_t>(last - first)) continue;  // one value for all
        NgramRecord* at = first;
        for (size_t b = 0; b < counts.size(); ++b) {
          next[b] = at;
          at += counts[b];
          ends[b] = at;
        }
      }
      // Each record is swapped into the next free place of its digit's stretch.
      for (size_t b = 0; b < ends.size(); ++b) {
        while (next[b] != ends[b]) {
          const unsigned to = Digit(*next[b], digit);
          if (to == b) {
            ++next[b];
          } else {
            std::swap(*next[b], *next[to]++);
          }
        }
      }
      NgramRecord* from = first;
      for (NgramRecord* end : ends) {
        if (end - from > 1) Sort(from, end, digit + 1);
        from = end;
      }
      return;
    }
    std::sort(first, last, [](const NgramRecord& a, const NgramRecord& b) { return a.GramBefore(b); });
  }

 private:
  unsigned Digit(const NgramRecord& record, int digit) const {
    const int shift = (perWord_ - 1 - digit % perWord_) * digitBits_;
    return (record.Packed(digit / perWord_) >> shift) & ((1u << digitBits_) - 1);
  }

  const int perWord_;    // digits a word
  const int digitBits_;  // bits a digit
  const int digits_;
};

}  // namespace

void SortNgramRecords(NgramRecord* records, size_t count, int wordBits) {
  RadixSort(std::clamp(wordBits, 1, 32)).Sort(records, records + count, 0);
}

}  // namespace wordloom
