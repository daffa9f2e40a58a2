// TextMarks: what the index keeps of the reader's state in each text, gathered from the lines
// a token pass hands out (see TokenSink): the text's line counts, whether the reader can be
// restarted inside it, and its checkpoints, about every kCheckpointChars characters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "index/index_format.h"

namespace wordloom {

class TextMarks {
 public:
  static constexpr int64_t kLongestRingWord = 125;  // the keyword pass sees longer words through its ring

  // `reader`: the reader the pass starts from, before its first text.
  explicit TextMarks(const ScanContext& reader);

  void BeginText();
  // A logical line has been read. `tokens` and `events`: the text's tokens and tag values so
  // far, the line's own values not yet among them. True, with `checkpoint` filled, when the
  // reader may restart at this line.
  bool LineRead(const ScanContext& context, int64_t tokens, int64_t events, ProjectIndex::Checkpoint& checkpoint);
  // A token of the text whose word the vocabulary lacks, or whose word is longer than
  // kLongestRingWord bytes.
  void WordMissing() { flags_ |= kWordsMissing; }
  void LongWord() { flags_ |= kLongWord; }
  // The text has been read: the reader as it leaves it.
  void TextRead(const ScanContext& context);
  // The text's counts and flags, into `text`.
  void EndText(ProjectIndex::Text& text);
  // The characters handed out in this text so far.
  int64_t chars() const { return chars_; }
  // Which letters' values the reader has set since last asked: true for `letter` once each time.
  bool ValueSet(const ScanContext& context, int letter);
  // Whether ValueSet would be true for any letter.
  bool AnyValueSet(const ScanContext& context) const { return context.references.ReferenceLetterSets != seenSets_; }

 private:
  struct Counters {
    int64_t physical = 0;
    int64_t logical = 0;
    int64_t lineNumber = 0;
    int64_t fileLine = 1;
  };
  static Counters CountersOf(const ScanState& state) {
    return {state.physicalLineTotal, state.logicalLineTotal, state.currentLineNumber, state.fileLineNumber};
  }

  void LongRuns(const ScanState& state);

  const ScanContext* context_ = nullptr;  // the pass's reader: one object for the whole pass
  std::array<uint32_t, kLetterCount + 1> seenSets_;  // the reader's tag counts last looked at
  int64_t openRun_ = 0;           // word characters at the end of the lines so far, running on
  Counters last_;                 // after the last line read
  Counters start_;                // at the text's start
  size_t reportedBefore_ = 0;     // the pass's Error Report's length at the text's start (a pass starts it empty)
  uint32_t lineNumberSets_ = 0;   // line-number tags met by the pass
  bool lineNumberSet_ = false;    // a line-number tag in this text, before the line being read
  bool firstLine_ = true;
  uint32_t flags_ = 0;
  int64_t chars_ = 0;             // characters handed out in this text
  int64_t lastCheckpoint_ = 0;    // the characters before the last checkpoint
};

}  // namespace wordloom
