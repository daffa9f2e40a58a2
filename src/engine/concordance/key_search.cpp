#include "concordance/key_search.h"

#include <bit>

#include "base/bits.h"
#include "base/cp1252.h"

namespace wordloom {
namespace {

// The bytes whose lower-case partner is `c`; false when there are more than two.
bool CasesOf(unsigned char c, unsigned char (&cases)[2]) {
  const unsigned char* lower = LowerCaseTable().data();
  int found = 0;
  for (int b = 0; b < 256; ++b) {
    if (lower[b] != c) continue;
    if (found == 2) return false;
    cases[found++] = static_cast<unsigned char>(b);
  }
  if (found == 0) return false;
  if (found == 1) cases[1] = cases[0];
  return true;
}

}  // namespace

KeySearcher::KeySearcher(std::string_view key) : key_(key) {
  // A stretch of a text builds its searchers afresh, so this stays a pass over 256 bytes.
  const unsigned char* lower = LowerCaseTable().data();
  const size_t m = key_.size();
  std::array<size_t, 256> shiftOfLower;
  shiftOfLower.fill(m);
  for (size_t i = 0; i + 1 < m; ++i) shiftOfLower[static_cast<unsigned char>(key_[i])] = m - 1 - i;
  for (int c = 0; c < 256; ++c) shift_[static_cast<size_t>(c)] = shiftOfLower[lower[c]];
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
  const size_t m = key_.size();
  if (!kFastByteMatcher || !twoCases_ || text.size() < m + 15) return FindWithShifts(text, found);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const ByteMatcher first(first_[0], first_[1]);
  const ByteMatcher last(last_[0], last_[1]);
  const size_t stop = text.size() - m;  // the last offset an occurrence can start at
  size_t at = 0;
  for (; at + 15 <= stop; at += 16) {
    for (uint32_t mask = first.Match16(p + at) & last.Match16(p + at + m - 1); mask != 0; mask &= mask - 1) {
      const size_t offset = at + static_cast<size_t>(std::countr_zero(mask));
      if (Matches(p + offset)) found.push_back(offset);
    }
  }
  for (; at <= stop; ++at) {
    if (Matches(p + at)) found.push_back(at);
  }
}

}  // namespace wordloom
