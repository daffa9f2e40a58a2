// The passes of a concordance run over one text file: keyword in context and whole lines.
//
// Both read the file through the text reader in concordance mode (reference values change
// as tags are read, tag errors go to the Error Report, letters are not marked used) and hand
// every find to a sink, in text order. The keyword pass sees the text through a ring of 250
// characters: a word is examined once the 125 characters after its first letter have been
// read, and its contexts are cut from the ring, so its output is exactly that of reading the
// text one character at a time. It only does that work near a possible find: it searches for
// the keys' bytes first, so text that cannot match costs little more than reading it. Memory:
// the logical line being read and a window of about 64 KiB of text. In a UTF-8 project the
// keyword pass finds its words with the word cutter and measures contexts in display columns
// (see kwic_unicode.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_source.h"
#include "base/progress.h"
#include "base/status.h"
#include "concordance/citation_record.h"
#include "concordance/key_table.h"
#include "concordance/match_key.h"
#include "scan/scan_rules.h"
#include "scan/scan_state.h"

namespace wordloom {

struct GatherQuery {
  std::vector<std::string> keys;  // lower case, in key-list order; a find names its 1-based position
  MatchKind kind = MatchKind::Word;
  bool keepContexts = true;       // false for an index
  int64_t halfWidth = 30;         // half the context width, at most 120
  std::vector<int> letters;       // the citation letters
  int64_t lineNumberWidth = 6;
  int64_t blockSize = 64 * 1024;  // characters the keyword pass examines at a time
  // The table of `keys` and `kind`, made once for a run of many files; when null, each pass
  // makes its own.
  KeyTable* keyTable = nullptr;
  // For a run that keeps its finds as data (whole lines only): told the file offset and the
  // physical line of each numbered line's first character, and, when set, matching the lines
  // itself instead of the key table.
  std::function<void(int64_t offset, int64_t fileLine)> lineStarted;
  std::function<void(std::string_view lowered, const WordCharTable& isWord, std::vector<size_t>& found)> matchLine;
};

// The keyword pass over one file. `rules` are the project's, with the end-of-line text that
// the pass uses (one space when the project's is empty). Fails when the file cannot be opened
// or read; finds made before a read error are kept.
[[nodiscard]] Status GatherKwic(ScanContext& context, const ScanRules& rules, const CharTables& tables,
                                const std::string& path, const GatherQuery& query, CitationSink& sink,
                                ProgressSink* progress = nullptr);

// A stretch of a file for an indexed pass: reading starts at a line's first byte, the
// reader's counters and reference values there already in the context, and only the
// characters from examineFrom to examineTo (counted from 1 at the file's first character
// handed out) are examined. For the keyword pass of a Windows-1252 project they must lie at
// least 250 characters after the reading starts, so that the ring holds what a pass over the
// whole file would hold; the finds are then exactly those of the whole file's pass at those
// characters. The keyword pass of a UTF-8 project looks further back for a left context: when
// the stretch holds too little before its first find, it keeps nothing and sets `further`.
struct TextStretch {
  int64_t offset = 0;       // the byte offset of the line reading starts at
  int64_t charsBefore = 0;  // the characters the reader hands out before that line
  int64_t fileLine = 1;     // the reader's physical line number in the file there
  int64_t examineFrom = 1;
  int64_t examineTo = INT64_MAX;
};
// A stretch reads a few lines: its buffer starts this small and grows for a longer line.
constexpr size_t kStretchBufferBytes = 4 << 10;
[[nodiscard]] Status GatherKwicStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables,
                                       const std::string& path, const GatherQuery& query, CitationSink& sink,
                                       const TextStretch& stretch, ProgressSink* progress = nullptr);
// The same on `file`, already open at the stretch's offset.
[[nodiscard]] Status GatherKwicStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables,
                                       LineSource& file, const std::string& path, const GatherQuery& query,
                                       CitationSink& sink, const TextStretch& stretch, ProgressSink* progress = nullptr,
                                       bool* further = nullptr);

// The whole-line pass over one file: each numbered line, lower-cased, is matched against
// the keys; the context of a find is the line as written.
[[nodiscard]] Status GatherLine(ScanContext& context, const ScanRules& rules, const CharTables& tables,
                                const std::string& path, const GatherQuery& query, CitationSink& sink,
                                ProgressSink* progress = nullptr);
// The same over a stretch of `file`, open at the stretch's offset: the lines matched are those
// that start at an examined character. The stretch must start a numbered line and examine up to
// the start of one, as a text without line-number tags does at every restart point, so that
// every line lies in one stretch.
[[nodiscard]] Status GatherLineStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables,
                                       LineSource& file, const std::string& path, const GatherQuery& query,
                                       CitationSink& sink, const TextStretch& stretch, ProgressSink* progress = nullptr);

}  // namespace wordloom
