// The scanning rules and the two character tables derived from them.
//
// The rules say which characters make words (`alphabet`, in collating order), which end a
// line, join two lines or hyphenate a word across a line end, and how reference tags are
// marked. BuildCharTables turns them into CharClassTable (0 separator, 2 word character,
// 6 join, 7 end of line, plus 10 for an end hyphen) and CollationTable (position in the
// alphabet plus one, 0 for other characters), 257 entries each, indexed by code 0-256.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace wordloom {

// The "References:" option buttons. Unselected is the state a damaged project file can leave
// when it clears both buttons; it reads no markup, like None.
enum class ReferenceType { Unselected, None, Type1 };

struct ScanRules {
  std::string alphabet = "abcdefghijklmnopqrstuvwxyz'-0123456789";
  std::string join;
  std::string endOfLine = "/";
  std::string endHyphen;
  ReferenceType referenceType = ReferenceType::None;
  std::string leftReference = "<";
  std::string rightReference = ">";
};

inline constexpr int kTableSize = 257;

struct CharTables {
  std::array<int16_t, kTableSize> CharClassTable{};
  std::array<int16_t, kTableSize> CollationTable{};
};

// Fills both tables from the rules; a later rule overwrites an earlier one for a character.
CharTables BuildCharTables(const ScanRules& rules);

// Class values, as the readers see them (the table value modulo 10).
inline constexpr int kWordClass = 2;
inline constexpr int kJoinClass = 6;
inline constexpr int kEndOfLineClass = 7;

}  // namespace wordloom
