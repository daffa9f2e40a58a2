// Search patterns over words: one pattern per key, or a phrase of patterns with gaps.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/status.h"
#include "concordance/key_table.h"
#include "concordance/word_pattern.h"
#include "hits/hits.h"

namespace wordloom {

// One word of a phrase: any of its alternatives, after a gap of minGap to maxGap words.
struct PhraseStep {
  std::vector<std::unique_ptr<WordPattern>> alternatives;
  int minGap = 0;
  int maxGap = 0;
};

class HitMatcher {
 public:
  // The keys of `query` (lower-cased already for the four match kinds).
  static Status Make(const HitQuery& query, const std::vector<std::string>& keys, const UnicodeText* unicode,
                     std::unique_ptr<HitMatcher>& out);

  bool phrase() const { return !steps_.empty(); }
  const std::vector<PhraseStep>& steps() const { return steps_; }
  // Words a phrase may span from its first to its last, at most.
  int longestPhrase() const { return longest_; }

  // The keys (0-based) a single word matches, in increasing order.
  void MatchWord(const std::string& lower, std::vector<size_t>& found);
  // The shortest match of the phrase starting at word 0 of `words` (lower case): the index of
  // its last word, or -1. `complete` says `words` runs to the end of the file.
  int MatchPhrase(const std::vector<const std::string*>& words) const;
  // Whether `lower` is a word of step `step` of the phrase.
  bool MatchStep(size_t step, const std::string& lower) const;
  // The most words a phrase's step `step` may stand after its first word.
  int64_t WordsBefore(size_t step) const;

 private:
  std::unique_ptr<KeyTable> table_;
  std::vector<std::unique_ptr<WordPattern>> patterns_;
  WordCharTable wholeWord_{};
  std::vector<PhraseStep> steps_;
  int longest_ = 0;
};

// The keys of a query as they are matched: its words split at spaces (lower-cased for the four
// match kinds), or its one pattern or phrase.
std::vector<std::string> QueryKeys(const HitQuery& query, const UnicodeText* unicode);

// Splits a phrase into its words and gaps: "make {0,3} decision", "take|took care".
Status ParsePhrase(const std::string& text, const UnicodeText* unicode, std::vector<PhraseStep>& steps);

}  // namespace wordloom
