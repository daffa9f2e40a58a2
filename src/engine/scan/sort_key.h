// Sort keys: the collating order of words.
//
// MakeSortKey builds the key of a word from the CollationTable: in mode 0 two lower-case hex
// digits of each character's value (low 8 bits), first character first; in any other mode
// the value with at least three decimal digits, last character first (the rhyme order).
// Keys compare as binary strings. SortKeyOrder compares two words as their keys would,
// without building the keys in the usual case (every value within 0-999). In a UTF-8 project
// words are compared by the Unicode side's collation instead, forward or (rhyme order) with
// their user-perceived characters reversed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "scan/scan_rules.h"

namespace wordloom {

std::string MakeSortKey(std::string_view word, int mode, const CharTables& tables);

class SortKeyOrder {
 public:
  SortKeyOrder(const CharTables& tables, int mode);
  // Negative, zero or positive as the key of `a` is lower than, equal to or higher than that of `b`.
  int Compare(std::string_view a, std::string_view b) const;
  bool Less(std::string_view a, std::string_view b) const { return Compare(a, b) < 0; }
  // The first eight bytes of the word's key, big-endian and zero-filled (in other modes than
  // 0, zero): words whose prefixes differ compare as their prefixes do.
  uint64_t Prefix(std::string_view word) const;
  int mode() const { return mode_; }

 private:
  const CharTables& tables_;
  const UnicodeText* unicode_;
  int mode_;
  std::array<uint8_t, 256> forwardByte_{};  // mode 0: the byte each character's two hex digits stand for
  std::array<int16_t, 256> value_{};
  bool valuesFitThreeDigits_ = true;
};

}  // namespace wordloom
