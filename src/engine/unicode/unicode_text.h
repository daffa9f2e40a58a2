// Unicode text: how a UTF-8 project reads its texts, finds its words, folds their case and
// orders them.
//
// Purpose. A Windows-1252 project sees bytes; a UTF-8 project sees characters. This is the
// one place that knows about Unicode, through ICU: normalisation (NFC), character properties,
// full lower-casing in the root locale, collation with the project's language and alphabet,
// grapheme clusters, East Asian widths and word boundaries (UAX #29 with ICU's dictionaries).
// Windows-1252 passes never call into it.
//
// Guarantees.
// - DecodeLine gives valid NFC UTF-8 for any bytes: an invalid sequence becomes U+FFFD, and
//   the first one of a line is reported by its byte offset. ASCII lines are passed as they are.
// - UnicodeText::Compare is a total order: words that collate equal are ordered by their
//   bytes, so two different words are never merged. SortKey gives keys that compare as bytes
//   exactly as Compare does.
// - The word cutter gives the same words, from the same characters, to every pass.
// - Const members may be called from any thread; a WordCutter belongs to one pass.
//
// Memory. A UnicodeText holds one ICU collator (the language's, tailored by the alphabet: a
// few hundred kilobytes at most), a 128-entry ASCII table and the alphabet's characters. A
// WordCutter holds a copy of its text up to the next word boundary and, for Unicode word
// boundaries, one ICU break iterator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/utf8.h>

#include "base/cp1252.h"
#include "base/status.h"
#include "scan/scan_rules.h"

struct UCollator;
struct UCaseMap;
struct UBreakIterator;

namespace wordloom {

// ---- Reading ---------------------------------------------------------------------------

inline constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// True when a line is valid UTF-8 that NFC leaves as it is: DecodeLine would copy it unchanged.
bool IsCleanLine(std::string_view line);

// Decodes one physical line into `out` (replaced): invalid sequences become U+FFFD and the
// text is put in NFC. Returns the byte offset in `line` of the first invalid sequence, or
// npos when there is none.
size_t DecodeLine(std::string_view line, std::string& out);

// The encoding the texts call for: UTF-8 when every readable text is valid UTF-8 and one of
// them holds a byte above 127 (a byte-order mark is such bytes); else Windows-1252.
// Unreadable texts are passed over (the scan reports them). Reads each text once, in large
// blocks, a large text in two halves side by side when `threads` (0: one a hardware thread)
// is more than one, and stops at the first text that is not UTF-8.
TextEncoding DetectEncoding(const std::vector<std::string>& files, int threads);
// True when the first bytes of the texts (64 KiB of each of the first 64) are all ASCII, or
// cannot be read: a sign that DetectEncoding will find Windows-1252.
bool TextsBeginInAscii(const std::vector<std::string>& files);

// ---- Characters ------------------------------------------------------------------------

// Decodes the character at `at` and moves `at` past it; an invalid sequence gives U+FFFD.
inline char32_t NextCodePoint(std::string_view text, size_t& at) {
  const unsigned char first = static_cast<unsigned char>(text[at]);
  if (first < 0x80) {
    ++at;
    return first;
  }
  int32_t i = static_cast<int32_t>(at);
  UChar32 c;
  U8_NEXT(text.data(), i, static_cast<int32_t>(text.size()), c);
  at = static_cast<size_t>(i);
  return c < 0 ? 0xFFFD : static_cast<char32_t>(c);
}

// The end of the user-perceived character (grapheme cluster) that starts at `at`.
size_t ClusterEnd(std::string_view text, size_t at);

// Display columns: a cluster takes two when its first character is East Asian Wide or
// Fullwidth, else one.
int ClusterWidth(std::string_view cluster);
int64_t DisplayWidth(std::string_view text);
// The columns of a text: its display width when `displayColumns`, else its bytes (Windows-1252).
inline int64_t Columns(std::string_view text, bool displayColumns) {
  return displayColumns ? DisplayWidth(text) : static_cast<int64_t>(text.size());
}

// Lower case for matching keys against a whole line: every character beyond ASCII that is
// not a word character becomes the one byte kNotWordByte, so that a byte table (word bytes:
// ASCII word characters and every byte beyond ASCII) finds the characters' word boundaries.
inline constexpr char kNotWordByte = '\x1F';

// ---- Words -----------------------------------------------------------------------------

class UnicodeText {
 public:
  // The Unicode side of `rules` (whose encoding is UTF-8).
  static std::shared_ptr<const UnicodeText> Make(const ScanRules& rules);
  ~UnicodeText();
  UnicodeText(const UnicodeText&) = delete;
  UnicodeText& operator=(const UnicodeText&) = delete;

  // A word character: listed in the alphabet (itself or its lower case), or with Unicode
  // letters a letter, mark or decimal digit; never a join or end-of-line character.
  bool IsWordChar(char32_t c) const {
    if (c < 128) return asciiWord_[c];
    if (c < 0x10000) return (basicWord_[c >> 6] >> (c & 63)) & 1;
    return IsWordCharSlow(c);
  }
  // A word passes the need-letter rule: it holds a letter or a digit (or the rule is off).
  bool KeepsWord(std::string_view word) const;
  bool needLetter() const { return needLetter_; }
  WordBoundaries boundaries() const { return boundaries_; }

  // Full lower case, Unicode's default mapping as the root locale applies it; appended.
  void AppendLower(std::string_view text, std::string& out) const;
  std::string Lower(std::string_view text) const;
  // A key or pattern typed by the user: NFC, then lower case.
  std::string FoldKey(std::string_view text) const;
  // Lower case with non-word characters beyond ASCII as kNotWordByte (see above).
  std::string MatchingText(std::string_view text) const;

  // The word order: the language's collation, tailored by the alphabet; equal collation goes
  // by bytes. Negative, zero or positive.
  int Compare(std::string_view a, std::string_view b) const;
  // The first eight bytes of the word's collation key, high byte first: words whose prefixes
  // differ compare as their prefixes do.
  uint64_t SortKeyPrefix(std::string_view word) const;
  // A key that compares as bytes as Compare does; appended to `key`.
  void AppendSortKey(std::string_view word, std::string& key) const;
  // The word with its user-perceived characters in reverse order (the rhyme order compares these).
  static std::string Reversed(std::string_view word);

 private:
  UnicodeText() = default;
  bool IsWordCharSlow(char32_t c) const;
  void Tailor(const ScanRules& rules);

  bool asciiWord_[128] = {};
  uint64_t basicWord_[1024] = {};   // IsWordChar of the Basic Multilingual Plane, one bit each
  std::vector<char32_t> alphabet_;  // sorted: the alphabet's characters beyond ASCII
  std::vector<char32_t> excluded_;  // sorted: join and end-of-line characters beyond ASCII
  bool unicodeLetters_ = true;
  bool needLetter_ = true;
  WordBoundaries boundaries_ = WordBoundaries::Alphabet;
  UCollator* collator_ = nullptr;
  UCaseMap* caseMap_ = nullptr;
};

// Cuts the words of a UTF-8 character stream. Feed it the text in pieces; a word may run on
// from one piece into the next, so words are reported once a character after them (or
// Finish) shows where they end. Each word is reported with its stream offset and length in
// bytes and its lower case; words that fail the need-letter rule are left out.
class WordCutter {
 public:
  using Sink = std::function<void(int64_t offset, std::string_view text, std::string_view lower)>;
  WordCutter(const UnicodeText& unicode, Sink sink);
  ~WordCutter();
  WordCutter(const WordCutter&) = delete;
  WordCutter& operator=(const WordCutter&) = delete;

  void Feed(std::string_view piece);
  // Ends an open word at a break the stream does not show (an empty logical line).
  void Break();
  // Drops what is still open (a word running into the end of the file is not a word).
  void Discard();
  int64_t consumed() const { return consumed_; }
  // The stream offset of the first byte that may still become part of a word.
  int64_t pendingOffset() const { return open_.empty() ? consumed_ : openOffset_; }

 private:
  void CutAlphabet(std::string_view text, int64_t base, bool final);
  void CutUnicode(bool final);
  void Emit(int64_t offset, std::string_view text);

  const UnicodeText& unicode_;
  Sink sink_;
  int64_t consumed_ = 0;  // stream bytes fed so far
  std::string open_;      // the open word (alphabet) or the text since the last boundary (Unicode)
  int64_t openOffset_ = 0;
  std::string lower_;
  UBreakIterator* breaker_ = nullptr;
};

}  // namespace wordloom
