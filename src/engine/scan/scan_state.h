// The reader's state: the current logical line, the line counters, the reference values.
//
// The session's ScanContext carries the reader from one pass over the texts to the next. A
// pass reads through a PassCopy of it and hands the copy back with Commit once it is done, so
// the session is never written while a pass runs. BeginPass copies what the reader needs from
// the rules and tables into ScanState, so a pass depends on nothing else. Counters are 64-bit
// and lines may be of any length.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "scan/line_origins.h"
#include "scan/scan_rules.h"

namespace wordloom {

// A character as the readers return it: its code 0-255, or kNoChar for the empty string.
inline constexpr int kNoChar = -1;

struct ScanState {
  // The current logical line and the 1-based position of its next character.
  std::string lineBuffer;
  int64_t linePosition = 1;
  int64_t lineLength = 0;
  bool joinPending = false;
  int endOfFileCount = 0;
  int currentChar = kNoChar;
  int currentClass = 0;

  // Copies of the rules taken by BeginPass.
  std::string endOfLine;
  std::string join;
  std::string endHyphen;
  std::string endPadding;
  bool readReferences = false;
  std::string leftReference;
  std::string rightReference;

  // Derived by BeginPass: the class (modulo 10) of each byte's lower-case partner, and the
  // single-character rules as bytes (-1 when a rule is not exactly one character, which never
  // matches).
  std::array<int8_t, 256> classOfLower{};
  int joinChar = -1;
  int endOfLineChar = -1;
  int endHyphenChar = -1;
  int leftMarker = -1;
  int rightMarker = -1;

  // UTF-8 projects: each physical line is decoded (see unicode/unicode_text.h) before the
  // markup sees it. A rule that is one character of several bytes stands, inside the reader,
  // for one byte that UTF-8 never uses (kFirstStandIn onward): ruleChars[k] is the character
  // of byte kFirstStandIn + k. RestoreRuleChars puts them back in text that leaves the reader.
  bool utf8 = false;
  std::vector<std::string> ruleChars;
  bool invalidReported = false;  // this file's first invalid sequence is in the Error Report
  std::string rawLine;

  // Kept when a pass sets trackOrigins: the file offsets of the line buffer's bytes, and the
  // file offset of the physical line they were read from.
  bool trackOrigins = false;
  LineOrigins origins;
  int64_t physicalLineOffset = 0;

  // Line counters.
  int64_t currentLineNumber = 0;
  int64_t fileLineNumber = 1;
  int64_t physicalLineTotal = 0;
  int64_t logicalLineTotal = 0;
  std::string currentFileName;
};

inline constexpr unsigned char kFirstStandIn = 0xF8;

// Text with the reader's stand-in bytes turned back into the rule characters they stand for.
inline void RestoreRuleChars(const ScanState& state, std::string& text) {
  if (state.ruleChars.empty()) return;
  std::string out;
  for (char c : text) {
    const size_t k = static_cast<unsigned char>(c) - size_t{kFirstStandIn};
    if (static_cast<unsigned char>(c) >= kFirstStandIn && k < state.ruleChars.size()) {
      out += state.ruleChars[k];
    } else {
      out += c;
    }
  }
  text.swap(out);
}

// Reference letters 1 (A) to 26 (Z); entry 0 is unused.
inline constexpr int kLetterCount = 26;

struct ReferenceState {
  std::array<int64_t, kLetterCount + 1> ReferenceLetterUsed{};
  std::array<std::string, kLetterCount + 1> ReferenceLetterValue{};
  // How many times a tag has set each letter's value (wrapping round), so that a pass can
  // tell which values the lines it was handed set, even to the value they had.
  std::array<uint32_t, kLetterCount + 1> ReferenceLetterSets{};
  // Appended to the last line of a file by concordance passes (empty until one sets it).
  std::string contextPadding;
};

// Everything a pass reads and writes besides the rules: reader, references, error report.
struct ScanContext {
  ScanState state;
  ReferenceState references;
  std::string ErrorReportText;

  // The reader and the references, for a pass that runs apart from this context; the copy's
  // Error Report starts empty and collects only the pass's own entries.
  ScanContext PassCopy() const { return ScanContext{state, references, std::string()}; }
  // Takes back what a pass made of a PassCopy: the reader and references it left, and its
  // Error Report entries after those already here.
  void Commit(ScanContext&& pass) {
    state = std::move(pass.state);
    references = std::move(pass.references);
    ErrorReportText += pass.ErrorReportText;
  }
};

// The totals of the last vocabulary scan (or of the opened project file). The line totals
// themselves are the reader's counters (ScanState), which every pass over the texts resets.
struct ScanTotals {
  int64_t linesShown = 0;
  int64_t tokenCount = 0;
  int64_t vocabularySize = 0;
  int64_t longestWord = 0;
  bool beyondAscii = false;  // the scan read a byte beyond ASCII
};

}  // namespace wordloom
