// Output text: the characters of an output line, the columns they stand in, the text a pane
// shows for them and the case folding that finding uses, in the encoding of the output.
//
// A Windows-1252 line is a byte a character and a column. A UTF-8 line is a user-perceived
// character (a grapheme cluster) a character, one column wide, or two when it is East Asian
// wide or fullwidth, as the engine lays its outputs out. In both a tab reaches the next
// multiple of kTabWidth. Offsets are bytes of the line; the functions that step over
// characters only ever stop at a character's start, so a line is never cut inside a UTF-8
// sequence. Invalid UTF-8 is shown as U+FFFD and is never a word character.
// Costs: one pass over the bytes looked at; a UTF-8 character beyond ASCII asks ICU where it ends.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_rules.h"

namespace wordloom::app {

inline constexpr uint64_t kTabWidth = 8;

// The end of the character that starts at `offset`.
size_t CharEnd(std::string_view line, size_t offset, TextEncoding encoding);
// The start of the character that ends at or holds `offset - 1`; 0 for offset 0.
size_t CharStart(std::string_view line, size_t offset, TextEncoding encoding);
// True when the character at `offset` is a letter or a digit.
bool IsWordChar(std::string_view line, size_t offset, TextEncoding encoding);

// Windows-1252 columns: the column after the bytes [begin, end) from `column`, a byte each,
// tabs to their stops.
uint64_t AdvanceBytes(uint64_t column, const char* begin, const char* end);
// The column where byte `offset` of `line` is shown, tabs expanded.
uint64_t ColumnOf(std::string_view line, uint64_t offset, TextEncoding encoding = TextEncoding::Windows1252);
// The character start whose place is nearest `column` (fractions allowed).
uint64_t OffsetNearColumn(std::string_view line, double column, TextEncoding encoding);
// The bytes to read of a line to show its first `columns` columns (more in UTF-8, where a
// character takes several).
uint64_t BytesForColumns(uint64_t columns, TextEncoding encoding);
// `bytes` without a UTF-8 sequence cut short at its end, as a read with a limit leaves it.
std::string_view WithoutCutSequence(std::string_view bytes, TextEncoding encoding);

// `line` (Windows-1252) with each tab replaced by the spaces that reach the next multiple of kTabWidth.
std::string ExpandTabs(std::string_view line);
// The text a pane shows for a line's bytes: decoded, tabs expanded, control characters shown
// as spaces. In Windows-1252, one character a column.
QString DisplayLine(std::string_view bytes, TextEncoding encoding = TextEncoding::Windows1252);

// A character to draw, at its first column.
struct ShownChar {
  uint64_t column;
  QString text;
};
// The characters of a UTF-8 line that reach into columns [first, first + count), tabs and
// control characters left out, for drawing each at its column.
std::vector<ShownChar> ShownChars(std::string_view line, uint64_t first, uint64_t count);

// The length of the UTF-8 sequence that `lead` starts; 0 for a byte that starts none.
size_t Utf8SequenceLength(unsigned char lead);
// The code point of the UTF-8 sequence at `at`, its length in `length`; length 0 when the
// bytes there are no complete, valid sequence.
char32_t DecodeUtf8At(std::string_view text, size_t at, size_t& length);
// Appends `c` to `text` in UTF-8.
void AppendUtf8(std::string& text, char32_t c);

// `text` with each character's case folded, every byte where it was: Windows-1252 lower case,
// or Unicode's simple case folding of each UTF-8 character whose folding has the same length.
std::string FoldCase(std::string_view text, TextEncoding encoding);

}  // namespace wordloom::app
