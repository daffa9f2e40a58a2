#include "scan/sort_key.h"

#include <cstdio>

#include "unicode/unicode_text.h"

namespace wordloom {

std::string MakeSortKey(std::string_view word, int mode, const CharTables& tables) {
  static const char kHex[] = "0123456789abcdef";
  std::string key;
  if (mode == 0) {
    key.reserve(word.size() * 2);
    for (char c : word) {
      int value = tables.CollationTable[static_cast<unsigned char>(c)] & 0xFF;
      key += kHex[value >> 4];
      key += kHex[value & 15];
    }
    return key;
  }
  for (char c : word) {
    int value = tables.CollationTable[static_cast<unsigned char>(c)];
    char digits[16];
    std::snprintf(digits, sizeof digits, value < 0 ? "-%03d" : "%03d", value < 0 ? -value : value);
    key.insert(0, digits);
  }
  return key;
}

SortKeyOrder::SortKeyOrder(const CharTables& tables, int mode)
    : tables_(tables), unicode_(tables.unicode.get()), mode_(mode) {
  for (int c = 0; c < 256; ++c) {
    int16_t value = tables.CollationTable[c];
    forwardByte_[c] = static_cast<uint8_t>(value & 0xFF);
    value_[c] = value;
    if (value < 0 || value > 999) valuesFitThreeDigits_ = false;
  }
}

int SortKeyOrder::Compare(std::string_view a, std::string_view b) const {
  if (unicode_) {
    if (mode_ == 0) return unicode_->Compare(a, b);
    return unicode_->Compare(UnicodeText::Reversed(a), UnicodeText::Reversed(b));
  }
  if (mode_ == 0) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
      int x = forwardByte_[static_cast<unsigned char>(a[i])];
      int y = forwardByte_[static_cast<unsigned char>(b[i])];
      if (x != y) return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  }
  if (valuesFitThreeDigits_) {
    // Three-digit groups compare as their values, from the last character back.
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 1; i <= n; ++i) {
      int x = value_[static_cast<unsigned char>(a[a.size() - i])];
      int y = value_[static_cast<unsigned char>(b[b.size() - i])];
      if (x != y) return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
  }
  return MakeSortKey(a, mode_, tables_).compare(MakeSortKey(b, mode_, tables_));
}

uint64_t SortKeyOrder::Prefix(std::string_view word) const {
  if (mode_ != 0) return 0;  // the rhyme order: no prefix, Compare decides
  if (unicode_) return unicode_->SortKeyPrefix(word);
  uint64_t prefix = 0;
  for (size_t b = 0; b < 8; ++b) {
    prefix = (prefix << 8) | (b < word.size() ? forwardByte_[static_cast<unsigned char>(word[b])] : 0);
  }
  return prefix;
}

}  // namespace wordloom
