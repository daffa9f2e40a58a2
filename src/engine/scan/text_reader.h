// The text reader: logical lines and characters of a text file under the scanning rules.
//
// BeginPass prepares a pass. ReadLogicalLine prepares the next logical line in the state's
// line buffer: physical lines come through the reference processor, trailing spaces go,
// blank lines are skipped (except the last), the last line gets the end-of-line text and the
// end padding, and a line that does not end with the end hyphen gets the end-of-line text.
// NextScanChar and NextContextChar hand out the characters one at a time (a join character
// drops the rest of its line and is never returned); the vocabulary tokenizer reads whole
// logical lines instead, or under plain rules the whole physical lines read ahead, many at
// once (one at a time for a pass that hears of each line). All see exactly the same
// character stream, or words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/line_source.h"
#include "base/progress.h"
#include "scan/scan_state.h"

namespace wordloom {

enum class ReaderMode {
  Vocabulary,   // references mark letters as used; an exhausted file counts endOfFileCount
  Concordance,  // neither
};

// Copies the rules and the class table into the state and empties the line buffer.
void BeginPass(ScanContext& context, const ScanRules& rules, const CharTables& tables,
               const std::string& padding);

// Per-file start of a pass: names the file for the Error Report and resets the file's
// counters and the line buffer, so that no text of the previous file is read again.
void BeginFile(ScanContext& context, const std::string& path);

// Reads the next logical line into the line buffer. False when the file is exhausted (no
// line could be read); the state is then unchanged but for endOfFileCount.
bool ReadLogicalLine(ScanContext& context, LineSource& file, ReaderMode mode, ProgressSink* progress);

// The next character (0-255), or kNoChar for the empty string: once the file is exhausted,
// or once for an empty logical line.
int NextScanChar(ScanContext& context, LineSource& file, ProgressSink* progress = nullptr);
int NextContextChar(ScanContext& context, LineSource& file, ProgressSink* progress = nullptr);

// A stretch of characters that the character readers would return one after the other: the
// rest of a logical line up to its first join character or its end.
struct CharacterRun {
  std::string_view text;            // valid until the next read
  int64_t firstLineNumber = 0;      // currentLineNumber before the run's first character
  int64_t logicalLineTotal = 0;
  size_t insideLength = 0;          // the run's first characters whose end-of-line marker counts
  bool emptyLine = false;           // an empty logical line: the reader's one empty character
};

// Reads a whole run at once, leaving the state exactly as reading its characters one by one
// would (counters, position, current character). False when the file is exhausted.
bool ReadCharacterRun(ScanContext& context, LineSource& file, ReaderMode mode, CharacterRun& run,
                      ProgressSink* progress = nullptr);

// Plain rules: Windows-1252 text without reference markup, join character or end hyphen, whose
// end-of-line text is one character that, like the space, CR and LF, is no word character. A
// logical line is then its physical line with a character after it that ends any word, so
// that the words of whole lines are the runs of word characters in their bytes as they stand.
// A pass that keeps each byte's origin reads line by line all the same.
bool ReadsPlainLines(const ScanState& state);

// Under plain rules, between logical lines: takes the whole lines the file has read ahead
// (LineSource::LinesAhead, before file offset `end`, -1 for anywhere) at once, leaving the
// counters as reading them one by one would, and hands their bytes out in `lines`, terminators
// and all. False, with nothing read, when there are none; the reader then reads on line by
// line (it always reads the last line before `end` or the file's end itself).
bool ReadPlainLines(ScanContext& context, LineSource& file, int64_t end, std::string_view& lines,
                    ProgressSink* progress = nullptr);

// As ReadPlainLines, for a pass that hears of each line: the state is brought to each logical
// line in turn, as ReadCharacterRun leaves it after reading the whole line, and `line` is then
// called with the line's text (as the reader holds it, the end-of-line character after it).
bool ReadPlainLinesEach(ScanContext& context, LineSource& file, int64_t end,
                        const std::function<void(std::string_view)>& line, ProgressSink* progress = nullptr);

}  // namespace wordloom
