#include "concordance/key_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/cp1252.h"

namespace wordloom {
namespace {

// The bytes whose lower-case partner is `c`; false when there are more than two.
bool CasesOf(unsigned char c, unsigned char (&cases)[2]) {
  int found = 0;
  for (int b = 0; b < 256; ++b) {
    if (ToLower1252(static_cast<unsigned char>(b)) != c) continue;
    if (found == 2) return false;
    cases[found++] = static_cast<unsigned char>(b);
  }
  if (found == 0) return false;
  if (found == 1) cases[1] = cases[0];
  return true;
}

}  // namespace

KeySearcher::KeySearcher(std::string_view key) : key_(key) {
  const size_t m = key_.size();
  for (int c = 0; c < 256; ++c) {
    const unsigned char lower = ToLower1252(static_cast<unsigned char>(c));
    size_t shift = m;
    for (size_t i = 0; i + 1 < m; ++i) {
      if (static_cast<unsigned char>(key_[i]) == lower) shift = m - 1 - i;
    }
    shift_[static_cast<size_t>(c)] = shift;
  }
  twoCases_ = CasesOf(static_cast<unsigned char>(key_.front()), first_) &&
              CasesOf(static_cast<unsigned char>(key_.back()), last_);
}

bool KeySearcher::Matches(const unsigned char* at) const {
  const unsigned char* lower = LowerCaseTable().data();
  for (size_t i = 0; i < key_.size(); ++i) {
    if (lower[at[i]] != static_cast<unsigned char>(key_[i])) return false;
  }
  return true;
}

void KeySearcher::FindWithShifts(std::string_view text, std::vector<size_t>& found) const {
  const size_t m = key_.size();
  if (text.size() < m) return;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* lower = LowerCaseTable().data();
  const unsigned char last = static_cast<unsigned char>(key_[m - 1]);
  const size_t stop = text.size() - m;
  for (size_t at = 0; at <= stop;) {
    unsigned char c = p[at + m - 1];
    if (lower[c] == last && Matches(p + at)) found.push_back(at);
    at += shift_[c];
  }
}

void KeySearcher::FindAll(std::string_view text, std::vector<size_t>& found) const {
#if defined(__SSE2__)
  const size_t m = key_.size();
  if (!twoCases_ || text.size() < m + 15) return FindWithShifts(text, found);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const __m128i first0 = _mm_set1_epi8(static_cast<char>(first_[0]));
  const __m128i first1 = _mm_set1_epi8(static_cast<char>(first_[1]));
  const __m128i last0 = _mm_set1_epi8(static_cast<char>(last_[0]));
  const __m128i last1 = _mm_set1_epi8(static_cast<char>(last_[1]));
  const size_t stop = text.size() - m;  // the last offset an occurrence can start at
  size_t at = 0;
  for (; at + 15 <= stop; at += 16) {
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + m - 1));
    const __m128i both = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(head, first0), _mm_cmpeq_epi8(head, first1)),
                                       _mm_or_si128(_mm_cmpeq_epi8(tail, last0), _mm_cmpeq_epi8(tail, last1)));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(both)); mask != 0; mask &= mask - 1) {
      const size_t offset = at + static_cast<size_t>(__builtin_ctz(mask));
      if (Matches(p + offset)) found.push_back(offset);
    }
  }
  for (; at <= stop; ++at) {
    if (Matches(p + at)) found.push_back(at);
  }
#else
  FindWithShifts(text, found);
#endif
}

}  // namespace wordloom
