// The passes of a concordance run over a project whose index matches it (the keyword and
// whole-line passes, and the gathering of hits): each text is read only around the tokens whose
// words can be finds, from the index's restart points, so a rare key costs a few lines of each
// text that holds it and nothing for the others.
//
// The finds, their order, citations and contexts, and the reader's counters and reference
// values after each text are exactly those of reading every text whole: a stretch is read from
// a restart point at least 1,024 characters before the first character it examines (a
// whole-line pass from that character), with the reader's state there restored, and it examines every word start from one restart point
// before a candidate token to one after it, so no find can fall outside. A pass that needs more
// of the text before a find than a stretch gives asks for the stretch again from further back.
// Texts the reader cannot be restarted inside (see kReadWhole in index/index_format.h; a long
// word counts only in Windows-1252, whose keyword pass sees words through a ring), and every
// text when the run is not one the index can serve (an empty end-of-line text or one of a
// space, a Windows-1252 alphabet whose words may share sort keys, or candidate words that are
// more than one token in 64), are read whole as before. A whole-line pass also reads whole the
// texts with line-number tags, which can make one numbered line of several lines.
// Memory: 8 bytes a candidate token (with the tokens before it that a find may start at), and
// the pass's own.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "concordance/gather.h"
#include "index/index.h"

namespace wordloom {

// The whole-line passes match a numbered line's runs of word characters. In a text without
// line-number tags these are its tokens, but for two rules: an end hyphen of the alphabet joins
// the runs that meet at a line's end into one token, and the need-letter rule leaves out runs
// without a letter or a digit. True when neither applies.
bool LineWordsAreTokens(const Session& session);
// True when, moreover, a line's runs are lower-cased as its tokens are, so that a pattern
// matches a run as it matches its token: in a UTF-8 project, when the words are cut at the
// alphabet's runs with rule characters in ASCII, and no token holds a sigma (lower-cased by
// what follows it) or a character that is no word character (a dotted capital I lower-cases to
// an i and a dot above, which the line's matching leaves out).
bool LineWordsMatchAsTokens(const Session& session);
// For a whole-line pass with `keys` of `kind`: true for the words of every token where a line the
// keys match may hold a find; empty when the keys may match a line no token picks out. Keys
// must be word characters; in a UTF-8 project the words must be cut at the alphabet's runs, the
// rule characters be ASCII, the dotted capital I and the sigmas be word characters as their
// lower cases are, and no key hold a sigma.
std::function<bool(std::string_view word)> LineCandidates(const Session& session, MatchKind kind,
                                                          const std::vector<std::string>& keys);

class IndexedTexts {
 public:
  // The keyword pass, the gathering of hits, and the whole-line passes.
  enum class Pass { Keywords, Hits, Lines };
  // `mayFind`: true for a vocabulary word the pass can find a key in. A find may also start up
  // to `reachBack` tokens before such a word's (a phrase's first word, before the word that
  // picks it out). A stretch starts reading at least `lookBack` characters before the first
  // it examines, so that the pass seldom has to ask for more.
  IndexedTexts(const Session& session, Pass pass, const std::function<bool(std::string_view word)>& mayFind,
               int64_t reachBack = 0, int64_t lookBack = 0);

  // True when the run reads through the index.
  bool serves() const { return index_ != nullptr; }

  // The whole text, as the pass reads it without the index.
  using ReadWhole = std::function<Status()>;
  // One stretch of the text, open at the stretch's offset, the reader's state there in the
  // context. Sets `further` (and hands out nothing) when it needs more of the text before its
  // first find than the stretch starts with; never at the text's start.
  using ReadStretch = std::function<Status(LineSource& text, const TextStretch& stretch, bool& further)>;

  // The pass over text `file` (the run's files in order, each once), continuing from `context`
  // as the previous text left it.
  [[nodiscard]] Status Gather(size_t file, ScanContext& context, ProgressSink* progress, const ReadWhole& whole,
                              const ReadStretch& stretch);

 private:
  // The reader's counters and reference values as the text before left them.
  struct TextStart {
    int64_t physicalLines;
    int64_t logicalLines;
    int64_t lineNumber;
    std::array<std::string, kLetterCount + 1> values;
  };
  Status GatherStretch(size_t file, ScanContext& context, const TextStart& start, int64_t from, int64_t to,
                       const ReadStretch& read);
  int64_t ReadStart(std::span<const ProjectIndex::Checkpoint> checkpoints, int64_t from) const;
  void RestoreAt(size_t file, const TextStart& start, const ProjectIndex::Checkpoint* checkpoint,
                 ScanContext& context) const;

  const Session& session_;
  const ProjectIndex* index_ = nullptr;
  const Pass pass_;
  const bool wordsInOwnLines_;  // every token's word lies in its own line
  const bool longWordsLieBetweenPoints_;  // no end hyphen carries a word from line to line
  const int64_t lookBack_;
  LineSource text_;                  // the text being read in stretches
  size_t openText_ = SIZE_MAX;       // its number
  std::vector<int64_t> candidates_;  // the positions of the tokens whose words can be finds, ascending
  bool previousEndsJoined_ = false;
};

}  // namespace wordloom
