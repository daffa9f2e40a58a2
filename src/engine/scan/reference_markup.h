// Reference markup: tags such as <L 12> or <A Act 1> inside the texts.
//
// With reference type "type1" every physical line passes through ProcessReferenceLine
// before the reader sees it. A well-formed tag (left marker, letter, spaces, value, right
// marker) becomes one space, records its value under its letter, may mark the letter as used,
// and an "L" tag resets the current line number. A malformed tag is reported in the Error
// Report text and the line goes on. A marker takes effect only when it is one character.
// The work is linear in the line's length; the line is copied once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/line_source.h"
#include "scan/scan_state.h"

namespace wordloom {

// Removes the tags from `line` (in place) as described above. `markLetters` is true for the
// vocabulary scan, false for the concordance passes.
void ProcessReferenceLine(ScanContext& context, std::string& line, bool markLetters);

// Reads the next physical line of `file` into the state's line buffer: appends the context
// padding when the file is now at its end, then `suffix`, then removes the markup when the
// pass reads references. False when the file has no line left.
bool ReadScanLine(ScanContext& context, LineSource& file, std::string_view suffix, bool markLetters);

// The leading integer of a reference value: spaces skipped, an optional sign, digits; no
// number gives 0 ("12.7" gives 12). Values beyond 2^62 stop there.
int64_t LeadingInteger(std::string_view text);

}  // namespace wordloom
