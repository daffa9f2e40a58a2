#include "index/text_marks.h"

#include <algorithm>

namespace wordloom {

namespace {
constexpr size_t kLineNumberLetter = 12;  // "L"
}  // namespace

TextMarks::TextMarks(const ScanContext& reader)
    : seenSets_(reader.references.ReferenceLetterSets),
      lineNumberSets_(reader.references.ReferenceLetterSets[kLineNumberLetter]) {
  // The pass starts its line totals afresh and keeps the running line number.
  last_.lineNumber = reader.state.currentLineNumber;
}

void TextMarks::BeginText() {
  start_ = last_;
  if (context_) reportedBefore_ = context_->ErrorReportText.size();
  lineNumberSet_ = false;
  firstLine_ = true;
  openRun_ = 0;
  flags_ = 0;
  chars_ = 0;
  lastCheckpoint_ = 0;
}

bool TextMarks::LineRead(const ScanContext& context, int64_t tokens, int64_t events,
                         ProjectIndex::Checkpoint& checkpoint) {
  context_ = &context;
  const ScanState& state = context.state;
  const Counters now = CountersOf(state);
  // One physical line, counted as a logical line of its own: the line before ended plainly.
  const bool joined = now.logical == last_.logical;
  const bool clean = !joined && now.physical == last_.physical + 1;
  if (firstLine_ && joined) flags_ |= kStartsJoined;
  bool restartable = false;
  if (!firstLine_ && clean && chars_ - lastCheckpoint_ >= kCheckpointChars) {
    checkpoint = ProjectIndex::Checkpoint{state.physicalLineOffset,
                                          chars_,
                                          tokens,
                                          events,
                                          last_.physical - start_.physical,
                                          last_.logical - start_.logical,
                                          lineNumberSet_ ? last_.lineNumber : last_.lineNumber - start_.lineNumber,
                                          lineNumberSet_ ? kLineNumberSet : 0u,
                                          static_cast<uint32_t>(std::min<int64_t>(last_.fileLine, UINT32_MAX))};
    lastCheckpoint_ = chars_;
    restartable = last_.fileLine <= UINT32_MAX;
  }
  if (context.references.ReferenceLetterSets[kLineNumberLetter] != lineNumberSets_) {
    lineNumberSets_ = context.references.ReferenceLetterSets[kLineNumberLetter];
    lineNumberSet_ = true;
  }
  // The line's run ends at its first join character (the rest is dropped) or at its end.
  const int64_t run = std::min(state.linePosition - 1, state.lineLength);
  chars_ += run;
  LongRuns(state);
  last_ = now;
  firstLine_ = false;
  return restartable;
}

bool TextMarks::ValueSet(const ScanContext& context, int letter) {
  const uint32_t sets = context.references.ReferenceLetterSets[static_cast<size_t>(letter)];
  if (sets == seenSets_[static_cast<size_t>(letter)]) return false;
  seenSets_[static_cast<size_t>(letter)] = sets;
  return true;
}

// The keyword pass sees a run of more than 125 word characters through its ring, and may find a
// key in it that no token holds (a run of hyphens is no word under the need-letter rule).
void TextMarks::LongRuns(const ScanState& state) {
  const std::string_view line(state.lineBuffer.data(),
                              static_cast<size_t>(std::min(state.linePosition - 1, state.lineLength)));
  const auto isWord = [&](char c) { return state.classOfLower[static_cast<unsigned char>(c)] == kWordClass; };
  if (openRun_ + static_cast<int64_t>(line.size()) <= kLongestRingWord) {
    // No run can be too long here: only the one left open at the line's end is wanted.
    size_t start = line.size();
    while (start > 0 && isWord(line[start - 1])) --start;
    openRun_ = start == 0 ? openRun_ + static_cast<int64_t>(line.size()) : static_cast<int64_t>(line.size() - start);
    return;
  }
  // Counted in locals: the line's bytes could alias the members, which would be stored at each byte.
  int64_t run = openRun_;
  int64_t longest = 0;
  for (char c : line) {
    run = isWord(c) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  openRun_ = run;
  if (longest > kLongestRingWord) flags_ |= kLongWord;
}

void TextMarks::TextRead(const ScanContext& context) {
  // A last line that starts with a join character is read (its tags and counts with it) and
  // handed out as no line at all.
  context_ = &context;
  const ScanState& state = context.state;
  if (context.references.ReferenceLetterSets[kLineNumberLetter] != lineNumberSets_) {
    lineNumberSets_ = context.references.ReferenceLetterSets[kLineNumberLetter];
    lineNumberSet_ = true;
  }
  // The reader ends the text joined when its last line holds a join character.
  if (state.joinPending) flags_ |= kEndsJoined;
  last_ = CountersOf(state);
}

void TextMarks::EndText(ProjectIndex::Text& text) {
  text.physicalLines = last_.physical - start_.physical;
  text.logicalLines = last_.logical - start_.logical;
  text.lineNumber = lineNumberSet_ ? last_.lineNumber : last_.lineNumber - start_.lineNumber;
  if (lineNumberSet_) flags_ |= kLineNumberSet;
  if (context_ && context_->ErrorReportText.size() != reportedBefore_) flags_ |= kReported;
  text.flags = flags_;
}

}  // namespace wordloom
