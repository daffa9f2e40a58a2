#include <algorithm>
#include <array>
#include <deque>
#include <optional>
#include <string>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "concordance/key_search.h"
#include "concordance/key_table.h"
#include "concordance/kwic_unicode.h"
#include "scan/text_reader.h"

namespace wordloom {
namespace {

constexpr int64_t kRing = 250;
constexpr int64_t kAhead = 125;          // characters read beyond the one examined
constexpr int64_t kSample = 63;          // a run of 2 * kSample word characters spans two samples
constexpr int64_t kTrimBlocks = 16;     // blocks of text kept before the window is moved down
constexpr size_t kMostSearchedKeys = 8;  // beyond this every word is looked at instead

using Values = std::array<std::string, kLetterCount + 1>;

// Stream positions: the characters the reader hands out in this file are numbered from 1;
// position k sits in ring slot (k + 123) mod 250 + 1. When the examined character is at
// position e, the ring holds positions e - 124 to e + 125, and positions before 1 are the
// spaces the ring started with.
class KwicPass {
 public:
  KwicPass(ScanContext& context, LineSource& file, const GatherQuery& query, CitationSink& sink, ProgressSink* progress,
           bool needLetter, const TextStretch& stretch)
      : stretch_(stretch), first_(stretch.charsBefore + 1), loaded_(stretch.charsBefore), needLetter_(needLetter), context_(context), s_(context.state), file_(file), query_(query), sink_(sink),
        progress_(progress),
        lower_(LowerCaseTable().data()), block_(std::max<int64_t>(query.blockSize, 1)),
        table_(query.keyTable ? *query.keyTable : ownTable_.emplace(query.kind, query.keys)) {
    for (int c = 0; c < 256; ++c) isWord_[static_cast<size_t>(c)] = s_.classOfLower[c] == kWordClass;
    trackValues_ = s_.readReferences && CitesReferenceValues(query.letters);
    snapshots_.push_back(context.references.ReferenceLetterValue);
    bool searchable = query.keys.size() <= kMostSearchedKeys;
    for (const std::string& key : query.keys) searchable = searchable && !key.empty();
    if (searchable) {
      std::vector<std::string> distinctKeys;  // a key typed twice is searched for once
      for (const std::string& key : query.keys) {
        if (std::find(distinctKeys.begin(), distinctKeys.end(), key) != distinctKeys.end()) continue;
        distinctKeys.push_back(key);
        searchers_.emplace_back(key);
        longestKey_ = std::max<int64_t>(longestKey_, static_cast<int64_t>(key.size()));
      }
    }
    scanAllWords_ = !searchable;
  }

  void Run() {
    int64_t examined = std::max(stretch_.examineFrom, stretch_.charsBefore + 1) - 1;
    for (;;) {
      // A stretch reads no further than its last examination needs.
      Load(std::min(examined + block_, stretch_.examineTo) + kAhead + longestKey_);
      // The reads the pass makes: all of them once the end is known, else those made so far.
      const int64_t reads = stopped_ ? stopReads_ : (finished_ ? calls_ : loaded_);
      const int64_t last = std::min({reads - kAhead, examined + block_, stretch_.examineTo});
      if (last > examined) {
        Examine(examined + 1, last);
        examined = last;
      }
      if ((finished_ || stopped_) && examined >= reads - kAhead) return;
      if (examined >= stretch_.examineTo) return;
      Trim(examined + 1);
      if (progress_) progress_->Yield();
    }
  }

 private:
  // A run of characters from one logical line, with what the ring records for each of them.
  struct Span {
    int64_t start;  // position of the first character
    int64_t length;
    int64_t firstLineNumber;
    int64_t logicalLineTotal;
    int64_t insideLength;  // leading characters whose end-of-line marker counts
    size_t snapshot;       // the reference values in force
  };

  // The character in the ring slot of position k. Past the last character the slot still holds
  // what was written there one ring earlier.
  unsigned char At(int64_t k) const {
    while (k > loaded_) k -= kRing;
    if (k <= stretch_.charsBefore) return ' ';
    return static_cast<unsigned char>(text_[static_cast<size_t>(k - first_)]);
  }
  bool IsWord(int64_t k) const { return isWord_[At(k)]; }

  // Reads until `target` characters are in, or the pass's loop would stop: once the file is
  // at its end and its last line used up, or after one more read that finds nothing.
  void Load(int64_t target) {
    CharacterRun run;
    while (!finished_ && !stopped_ && loaded_ < target) {
      if (file_.AtEnd() && s_.linePosition > s_.lineLength) {
        finished_ = true;
        calls_ = loaded_;
      } else if (!ReadCharacterRun(context_, file_, ReaderMode::Concordance, run, progress_)) {
        finished_ = true;
        calls_ = loaded_ + 1;
      } else if (!run.text.empty()) {  // a logical line is never empty: it ends with the end padding
        spans_.push_back(Span{loaded_ + 1, static_cast<int64_t>(run.text.size()), run.firstLineNumber,
                              run.logicalLineTotal, static_cast<int64_t>(run.insideLength), CurrentSnapshot()});
        text_.append(run.text);
        // A stop asked for while the line was read (the reader lets the window paint at a line's
        // start) ends the pass after that line's first character, as reading one character at
        // a time would.
        if (progress_ && progress_->StopRequested()) {
          stopped_ = true;
          stopReads_ = loaded_ + 1;
        }
        loaded_ += static_cast<int64_t>(run.text.size());
      }
    }
  }

  size_t CurrentSnapshot() {
    if (trackValues_) {
      const Values& now = context_.references.ReferenceLetterValue;
      const Values& last = snapshots_.back();
      for (int letter : query_.letters) {
        if (now[static_cast<size_t>(letter)] != last[static_cast<size_t>(letter)]) {
          snapshots_.push_back(now);
          break;
        }
      }
    }
    return firstSnapshot_ + snapshots_.size() - 1;
  }

  // Drops the text and spans no later examination can reach.
  void Trim(int64_t next) {
    while (spans_.size() > 1 && spans_.front().start + spans_.front().length <= next) spans_.pop_front();
    while (!spans_.empty() && firstSnapshot_ < spans_.front().snapshot) {
      snapshots_.pop_front();
      ++firstSnapshot_;
    }
    int64_t keep = next - kRing;
    if (!spans_.empty()) keep = std::min(keep, spans_.front().start);
    if (keep - first_ > kTrimBlocks * block_) {
      text_.erase(0, static_cast<size_t>(keep - first_));
      first_ = keep;
    }
  }

  void Examine(int64_t lo, int64_t hi) {
    candidates_.clear();
    if (scanAllWords_) {
      for (int64_t e = lo; e <= hi; ++e) {
        if (IsWord(e) && !IsWord(e - 1)) candidates_.push_back(e);
      }
    } else {
      FindKeyOccurrences(lo, hi);
      FindLongRuns(lo, hi);
      // Near the end the ring may hold characters of an earlier turn: look at every word.
      if (finished_) {
        for (int64_t e = std::max(lo, calls_ - kAhead - kRing); e <= hi; ++e) candidates_.push_back(e);
      }
      std::sort(candidates_.begin(), candidates_.end());
      candidates_.erase(std::unique(candidates_.begin(), candidates_.end()), candidates_.end());
    }
    for (int64_t e : candidates_) Verify(e);
  }

  // Word starts in [lo, hi] near which a key occurs in the text.
  void FindKeyOccurrences(int64_t lo, int64_t hi) {
    const bool atWordStart = query_.kind == MatchKind::Word || query_.kind == MatchKind::Prefix;
    const int64_t regionEnd = std::min(loaded_, hi + kAhead + longestKey_);
    if (regionEnd < lo) return;
    std::string_view region(text_.data() + (lo - first_), static_cast<size_t>(regionEnd - lo + 1));
    for (const KeySearcher& searcher : searchers_) {
      occurrences_.clear();
      searcher.FindAll(region, occurrences_);
      // The word start found for the previous occurrence: an occurrence in the same word
      // shares it, so no character is looked at twice.
      int64_t previousAt = lo - 1;
      int64_t previousStart = 0;  // 0: none within reach
      for (size_t offset : occurrences_) {
        const int64_t at = lo + static_cast<int64_t>(offset);
        if (atWordStart) {
          if (at <= hi) candidates_.push_back(at);
          continue;
        }
        int64_t start = at;
        const int64_t reach = std::max(at - kAhead, previousAt);
        while (start > reach && IsWord(start - 1)) --start;
        if (start == previousAt && start > at - kAhead && IsWord(start - 1)) {
          start = previousStart >= at - kAhead ? previousStart : 0;
        } else if (IsWord(start - 1)) {
          start = 0;
        }
        previousAt = at;
        previousStart = start;
        if (start >= lo && start <= hi) candidates_.push_back(start);
      }
    }
  }

  // Words of 126 characters or more, starting in [lo, hi]: the ring cannot hold them whole,
  // so their examined text runs on into older characters.
  void FindLongRuns(int64_t lo, int64_t hi) {
    int64_t skipUntil = lo;
    // The first sample at or after a run's start is at most kSample - 1 further on.
    for (int64_t sample = lo; sample < hi + kSample; sample += kSample) {
      if (sample < skipUntil || !IsWord(sample) || !IsWord(sample + kSample)) continue;
      int64_t k = sample + 1;
      while (k < sample + kSample && IsWord(k)) ++k;
      if (k < sample + kSample) continue;
      int64_t start = sample;
      while (start > lo && IsWord(start - 1)) --start;
      // Follow the run only as far as the samples of this block go: enough to know whether it
      // is long, and to pass over it.
      int64_t end = sample + kSample;
      const int64_t limit = std::min(loaded_, hi + 2 * kSample);
      while (end < limit && IsWord(end + 1)) ++end;
      skipUntil = end + 1;
      if (start <= hi && !IsWord(start - 1) && end - start + 1 > kAhead) candidates_.push_back(start);
    }
  }

  // The examination of position e, as the ring pass makes it.
  void Verify(int64_t e) {
    if (!IsWord(e) || IsWord(e - 1)) return;
    // The word: from e on while word characters, wrapping round the ring.
    word_.clear();
    for (int64_t i = 0; i < kRing; ++i) {
      unsigned char c = At(i <= kAhead ? e + i : e + i - kRing);
      if (!isWord_[c]) break;
      word_ += static_cast<char>(lower_[c]);
    }
    if (needLetter_ && !HasLetterOrDigit1252(word_)) return;  // no word under the need-letter rule
    table_.Match(word_, isWord_, matched_);
    for (size_t n : matched_) Emit(e, static_cast<int64_t>(n + 1));
  }

  const Span& SpanOf(int64_t k) const {
    auto after = std::upper_bound(spans_.begin(), spans_.end(), k, [](int64_t at, const Span& span) { return at < span.start; });
    return *(after - 1);
  }

  void Emit(int64_t e, int64_t keyNumber) {
    const Span& span = SpanOf(e);
    int64_t lineNumber = span.firstLineNumber;
    if (s_.endOfLineChar >= 0) {
      // Finds come in increasing position: count the span's markers only once.
      if (countedSpan_ != span.start) {
        countedSpan_ = span.start;
        countedTo_ = span.start - 1;
        markers_ = 0;
      }
      const int64_t to = std::min(e, span.start + span.insideLength - 1);
      if (to > countedTo_) {
        const char* begin = text_.data() + (countedTo_ + 1 - first_);
        markers_ += std::count(begin, begin + (to - countedTo_), static_cast<char>(s_.endOfLineChar));
        countedTo_ = to;
      }
      lineNumber += markers_;
    }
    citation_.clear();
    BuildCitation(query_.letters, lineNumber, query_.lineNumberWidth, snapshots_[span.snapshot - firstSnapshot_],
                  citation_);
    left_.clear();
    right_.clear();
    if (query_.keepContexts) {
      const int64_t from = e - query_.halfWidth;
      const int64_t to = e + query_.halfWidth;  // the last character of the right context
      if (from >= first_ && to <= loaded_) {
        left_.assign(text_, static_cast<size_t>(from - first_), static_cast<size_t>(query_.halfWidth));
        right_.assign(text_, static_cast<size_t>(e - first_), static_cast<size_t>(query_.halfWidth + 1));
      } else {
        for (int64_t k = from; k < e; ++k) left_ += static_cast<char>(At(k));
        for (int64_t k = e; k <= to; ++k) right_ += static_cast<char>(At(k));
      }
    }
    sink_.Add(keyNumber, span.logicalLineTotal, citation_, left_, right_);
  }

  const TextStretch stretch_;
  std::string text_;       // the characters from position first_ to loaded_
  int64_t first_ = 1;
  int64_t loaded_ = 0;
  bool needLetter_;  // the need-letter rule: a word of apostrophes and hyphens is no word
  ScanContext& context_;
  ScanState& s_;
  LineSource& file_;
  const GatherQuery& query_;
  CitationSink& sink_;
  ProgressSink* progress_;
  const unsigned char* lower_;
  const int64_t block_;
  WordCharTable isWord_{};

  bool finished_ = false;
  int64_t calls_ = 0;      // reads the pass makes in all, known once finished
  bool stopped_ = false;   // a stop was asked for
  int64_t stopReads_ = 0;  // the reads made before the pass noticed it
  std::deque<Span> spans_;
  std::deque<Values> snapshots_;
  size_t firstSnapshot_ = 0;
  bool trackValues_ = false;

  std::vector<KeySearcher> searchers_;
  int64_t longestKey_ = 0;
  bool scanAllWords_ = false;
  std::optional<KeyTable> ownTable_;  // declared before table_, which may refer to it
  KeyTable& table_;
  std::vector<size_t> matched_;  // the keys the word matches

  int64_t countedSpan_ = 0;  // the span whose end-of-line markers are counted up to countedTo_
  int64_t countedTo_ = 0;
  int64_t markers_ = 0;

  std::vector<int64_t> candidates_;
  std::vector<size_t> occurrences_;
  std::string word_, citation_, left_, right_;
};

}  // namespace

Status GatherKwic(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                  const GatherQuery& query, CitationSink& sink, ProgressSink* progress) {
  return GatherKwicStretch(context, rules, tables, path, query, sink, TextStretch{}, progress);
}

Status GatherKwicStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables,
                         const std::string& path, const GatherQuery& query, CitationSink& sink,
                         const TextStretch& stretch, ProgressSink* progress) {
  LineSource file;
  const bool whole = stretch.offset == 0 && stretch.examineTo == TextStretch{}.examineTo;
  Status opened = file.OpenAt(path, stretch.offset, whole ? size_t{1} << 20 : kStretchBufferBytes);
  if (!opened.ok()) return opened;
  return GatherKwicStretch(context, rules, tables, file, path, query, sink, stretch, progress);
}

Status GatherKwicStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables, LineSource& file,
                         const std::string& path, const GatherQuery& query, CitationSink& sink,
                         const TextStretch& stretch, ProgressSink* progress, bool* further) {
  // The end padding pushes the words of the last 125 characters through the examined slot.
  const std::string padding(static_cast<size_t>(kRing), ' ');
  context.references.contextPadding = padding;
  BeginPass(context, rules, tables, padding);
  BeginFile(context, path);
  context.state.fileLineNumber = stretch.fileLine;
  if (tables.unicode) {
    const bool wanted = RunUnicodeKwic(context, file, *tables.unicode, query, sink, stretch, progress);
    if (further) *further = wanted;
  } else {
    KwicPass(context, file, query, sink, progress, tables.needLetter, stretch).Run();
  }
  return file.error();
}

}  // namespace wordloom
