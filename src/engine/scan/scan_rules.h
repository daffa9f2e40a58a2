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
#include <memory>
#include <optional>
#include <string>

namespace wordloom {

// The texts' encoding. Automatic is a request, settled from the texts when a project is made
// (see SettleEncoding); a project holds Windows1252 or Utf8.
enum class TextEncoding { Windows1252, Utf8, Automatic };

// Where words come from: runs of word characters, or Unicode's word boundaries.
enum class WordBoundaries { Alphabet, Unicode };

inline constexpr char kDefaultAlphabet[] = "abcdefghijklmnopqrstuvwxyz'-0123456789";
// A UTF-8 project's default also keeps the typographic apostrophe inside words ("don’t").
inline constexpr char kDefaultUtf8Alphabet[] = "abcdefghijklmnopqrstuvwxyz'\u2019-0123456789";

// The "References:" option buttons. Unselected is the state a damaged project file can leave
// when it clears both buttons; it reads no markup, like None.
enum class ReferenceType { Unselected, None, Type1 };

struct ScanRules {
  std::string alphabet = kDefaultAlphabet;
  std::string join;
  std::string endOfLine = "/";
  std::string endHyphen;
  ReferenceType referenceType = ReferenceType::None;
  std::string leftReference = "<";
  std::string rightReference = ">";

  // The rules of UTF-8 projects; a Windows-1252 project reads only needLetter.
  TextEncoding encoding = TextEncoding::Windows1252;
  bool unicodeLetters = true;       // letters, marks and digits of every script are word characters
  std::optional<bool> needLetter{};  // a word needs a letter or a digit; unset: yes in UTF-8 projects
  std::string language{};           // BCP 47 tag of the word order; empty: the root order
  WordBoundaries words = WordBoundaries::Alphabet;

  bool NeedsLetter() const { return needLetter.value_or(encoding == TextEncoding::Utf8); }
};

inline constexpr int kTableSize = 257;

class UnicodeText;

struct CharTables {
  std::array<int16_t, kTableSize> CharClassTable{};
  std::array<int16_t, kTableSize> CollationTable{};
  // Set for a UTF-8 project: its word characters, case and order (see unicode/unicode_text.h).
  // Null for Windows-1252, whose passes never reach ICU.
  std::shared_ptr<const UnicodeText> unicode;
  bool needLetter = false;  // the rule, for either encoding
};

// Fills both tables from the rules; a later rule overwrites an earlier one for a character.
CharTables BuildCharTables(const ScanRules& rules);

// Class values, as the readers see them (the table value modulo 10).
inline constexpr int kWordClass = 2;
inline constexpr int kJoinClass = 6;
inline constexpr int kEndOfLineClass = 7;

}  // namespace wordloom
