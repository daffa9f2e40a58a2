// Gathering hits: the keyword pass's reading of each text, with the words cut out of the
// stream, matched, and kept with where they stand in the file.
#include <algorithm>
#include <deque>
#include <memory>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "concordance/stream_citations.h"
#include "hits/hit_store_builder.h"
#include "hits/hit_words.h"
#include "hits/phrase.h"
#include "scan/text_reader.h"

namespace wordloom {
namespace {


// A line longer than this is not read whole for the context of each of its hits.
constexpr int64_t kLongLine = 4096;

class FileGatherer {
 public:
  // With a `stretch`, only words starting in its examined characters can be hits, and the pass
  // ends once the last of them is kept.
  FileGatherer(ScanContext& context, LineSource& file, const CharTables& tables, HitMatcher& matcher,
               const HitGatherSettings& settings, HitStoreBuilder& builder, int32_t fileIndex, ProgressSink* progress,
               const TextStretch* stretch = nullptr)
      : context_(context), s_(context.state), file_(file), matcher_(matcher), settings_(settings),
        builder_(builder), fileIndex_(fileIndex), progress_(progress), stretch_(stretch),
        words_(tables, IsWordTable(context.state), [this](StreamWord&& word) { OnWord(std::move(word)); }),
        snapshots_(context.references.ReferenceLetterValue, s_.readReferences && CitesReferenceValues(settings.letters),
                   settings.letters),
        lines_(s_.endOfLineChar) {}

  void Run() {
    CharacterRun run;
    while (ReadCharacterRun(context_, file_, ReaderMode::Concordance, run, progress_)) {
      if (run.emptyLine) {
        words_.Break();
      } else {
        spans_.push_back(Span{loaded_, static_cast<int64_t>(run.text.size()), run.firstLineNumber,
                              run.logicalLineTotal, static_cast<int64_t>(run.insideLength), snapshots_.Take(context_.references.ReferenceLetterValue),
                              s_.physicalLineOffset, s_.fileLineNumber - 1, s_.origins.FileOffset(0),
                              s_.origins.Unedited() ? nullptr : std::make_shared<LineOrigins>(s_.origins)});
        text_.append(run.text);
        loaded_ += static_cast<int64_t>(run.text.size());
        words_.Feed(run.text);
      }
      if (further_) return;
      MatchPhrases(false);
      if (further_) return;
      EmitReady(false);
      Trim();
      // A stretch is done once every word in its range has been tried and its hits kept.
      if (stretch_ && passed_ && (!matcher_.phrase() || nextStart_ >= firstPassed_) && pending_.empty()) return;
      if (progress_ && progress_->StopRequested()) break;
    }
    words_.Finish();
    MatchPhrases(true);
    if (!further_) EmitReady(true);
  }

  // True when a stretch started too late for its first hit: nothing was kept.
  bool further() const { return further_; }

 private:
  struct Span {
    int64_t start;  // stream offset of the run's first byte
    int64_t length;
    int64_t firstLineNumber;
    int64_t logicalLineTotal;
    int64_t insideLength;  // leading bytes whose end-of-line marker counts
    size_t snapshot;
    int64_t lineOffset;  // of its physical line in the file
    int64_t fileLine;
    int64_t fileOffset;  // of the run's first byte
    std::shared_ptr<const LineOrigins> origins;  // where the line was edited, else null
  };
  struct Pending {
    int64_t first;  // word numbers
    int64_t last;
    int32_t key;
  };

  static std::array<bool, 256> IsWordTable(const ScanState& s) {
    std::array<bool, 256> isWord{};
    for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;
    return isWord;
  }

  const StreamWord& Word(int64_t number) const { return words_list_[static_cast<size_t>(number - firstWord_)]; }
  int64_t WordCount() const { return firstWord_ + static_cast<int64_t>(words_list_.size()); }

  // Whether a word starting at stream offset `start` may be a hit's first (with a stretch, one
  // that starts in its examined characters; stream offsets count from its first character).
  bool Examined(int64_t start) const {
    const int64_t character = stretch_ ? stretch_->charsBefore + start + 1 : 0;
    return !stretch_ || (character >= stretch_->examineFrom && character <= stretch_->examineTo);
  }

  // A hit's words and contexts reach back this far; a stretch that starts after the text's
  // start must hold all of it, and its first word, which may be the end of one, is not used.
  // Sets `further_` when this first word of a hit is too early.
  bool TooEarly(int64_t number, int64_t start) {
    further_ = stretch_ && (stretch_->charsBefore > 0 || stretch_->offset > 0) &&
               (number <= kMostContextWords || start < settings_.contextBytes);
    return further_;
  }

  void OnWord(StreamWord&& word) {
    words_list_.push_back(std::move(word));
    if (further_) return;
    const int64_t number = WordCount() - 1;
    const int64_t start = words_list_.back().start;
    if (stretch_ && !passed_ && stretch_->charsBefore + start + 1 > stretch_->examineTo) {
      passed_ = true;
      firstPassed_ = number;
    }
    if (matcher_.phrase() || !Examined(start)) return;
    matcher_.MatchWord(words_list_.back().lower, matched_);
    if (matched_.empty() || TooEarly(number, start)) return;
    for (size_t k : matched_) pending_.push_back(Pending{number, number, static_cast<int32_t>(k + 1)});
  }

  // Tries each word as a phrase's first once the words it may span are all in.
  void MatchPhrases(bool final) {
    if (!matcher_.phrase()) return;
    const int64_t reach = matcher_.longestPhrase();
    while (nextStart_ < WordCount() && (final || nextStart_ + reach <= WordCount())) {
      if (Examined(Word(nextStart_).start)) {
        phraseWords_.clear();
        for (int64_t n = nextStart_; n < std::min(WordCount(), nextStart_ + reach); ++n) phraseWords_.push_back(&Word(n).lower);
        const int last = matcher_.MatchPhrase(phraseWords_);
        if (last >= 0) {
          if (TooEarly(nextStart_, Word(nextStart_).start)) return;
          pending_.push_back(Pending{nextStart_, nextStart_ + last, 1});
        }
      }
      ++nextStart_;
    }
  }

  // The span that holds the stream offset (spans reach back far enough for every offset asked).
  size_t SpanIndex(int64_t offset) const {
    auto after = std::upper_bound(spans_.begin(), spans_.end(), offset,
                                  [](int64_t at, const Span& span) { return at < span.start; });
    return static_cast<size_t>(std::max<std::ptrdiff_t>(after - spans_.begin(), 1) - 1);
  }
  const Span& SpanOf(int64_t offset) const { return spans_[SpanIndex(offset)]; }

  int64_t FileOffset(int64_t streamOffset) const {
    const Span& span = SpanOf(streamOffset);
    const auto at = static_cast<size_t>(streamOffset - span.start);
    return span.origins ? span.origins->FileOffset(at) : span.fileOffset + static_cast<int64_t>(at);
  }

  // Where contexts are read from to cover the stream from `need` on: the start of its line, or
  // in a long line a space before it; the file offset and the stream offset of that place.
  std::pair<int64_t, int64_t> ReadFrom(int64_t need) const {
    const Span& span = SpanOf(need);
    if (!span.origins && need - span.start > kLongLine) {
      // The line stands in the file as it is: a space there is a place to start reading.
      const int64_t lowest = std::max(span.start, need - kLongLine);
      for (int64_t p = need; p > lowest; --p) {
        if (text_[static_cast<size_t>(p - first_)] == ' ') return {span.fileOffset + (p - span.start), p};
      }
    }
    return {span.lineOffset, span.start};
  }

  // In a long line that stands in the file as it is, the file offset of a space at or after
  // `need` where contexts may stop reading; -1 when there is none.
  int64_t MidLineAfter(const Span& span, int64_t need) const {
    if (span.origins || span.start + span.length - need <= kLongLine) return -1;
    const int64_t highest = std::min(span.start + span.length, need + kLongLine);
    for (int64_t p = need; p < highest; ++p) {
      if (text_[static_cast<size_t>(p - first_)] == ' ') return span.fileOffset + (p - span.start);
    }
    return -1;
  }

  // The file offset just after the stream's bytes before `end`: within the line of its last byte.
  int64_t FileOffsetAfter(int64_t end) const {
    const Span& span = SpanOf(end - 1);
    const auto at = static_cast<size_t>(end - span.start);
    return span.origins ? span.origins->FileOffset(at) : span.fileOffset + static_cast<int64_t>(at);
  }

  // The stream offset from which every context of `words` words and `bytes` bytes before a
  // hit is covered.
  int64_t LeftNeed(const Pending& hit, int64_t words, int64_t bytes) const {
    const int64_t byWords = hit.first - words >= firstWord_ && hit.first >= words ? Word(hit.first - words).start : 0;
    return std::max<int64_t>(0, std::min(byWords, Word(hit.first).start - bytes));
  }

  void EmitReady(bool final) {
    while (!pending_.empty()) {
      const Pending hit = pending_.front();
      const int64_t keyEnd = Word(hit.last).end;
      const int64_t wordsAfter = hit.last + kMostContextWords;
      int64_t rightNeed = keyEnd + settings_.contextBytes;
      if (wordsAfter < WordCount()) rightNeed = std::max(rightNeed, Word(wordsAfter).end);
      int64_t windowEnd = -1;
      if (!final) {
        if (wordsAfter >= WordCount() || rightNeed >= loaded_) return;
        const int64_t inside = MidLineAfter(spans_[SpanIndex(rightNeed)], rightNeed);
        if (inside >= 0) {
          windowEnd = inside;
        } else {
          // Under an end hyphen the line after the last one needed comes too: a word may run
          // on into it.
          const size_t after = SpanIndex(rightNeed) + (settings_.hyphenated ? 2 : 1);
          if (after >= spans_.size()) return;
          windowEnd = spans_[after].lineOffset;
        }
      }
      Emit(hit, windowEnd);
      pending_.pop_front();
    }
  }

  void Emit(const Pending& hit, int64_t windowEnd) {
    const StreamWord& first = Word(hit.first);
    const StreamWord& last = Word(hit.last);
    const Span& span = SpanOf(first.start);
    const int64_t lineNumber = lines_.LineAt(span.start, span.firstLineNumber, span.start + span.insideLength, first.start, text_, first_);
    HitRecord record;
    record.file = fileIndex_;
    record.key = hit.key;
    record.offset = FileOffset(first.start);
    record.length = std::max<int64_t>(0, FileOffsetAfter(last.end) - record.offset);
    record.fileLine = span.fileLine;
    record.line = lineNumber;
    record.sequence = span.logicalLineTotal;
    const auto [windowStart, windowStream] = ReadFrom(LeftNeed(hit, kMostContextWords, settings_.contextBytes));
    record.windowStart = windowStart;
    record.keyStart = first.start - windowStream;
    const auto [nearStart, nearStream] = ReadFrom(LeftNeed(hit, kNearContextWords, kNearContextBytes));
    record.nearStart = nearStart;
    record.nearKeyStart = first.start - nearStream;
    record.windowEnd = windowEnd;
    record.keyLength = last.end - first.start;

    strings_[0].clear();
    BuildCitation(settings_.letters, lineNumber, settings_.lineNumberWidth, snapshots_.At(span.snapshot),
                  strings_[0]);
    strings_[1].assign(Text(first.start, last.end));
    RestoreRuleChars(s_, strings_[1]);
    for (int k = 0; k < kSortWords; ++k) {
      const int64_t before = hit.first - kSortWords + k;
      const int64_t after = hit.last + 1 + k;
      strings_[2 + static_cast<size_t>(k)] = before >= firstWord_ && before >= 0 ? Word(before).lower : std::string();
      strings_[2 + kSortWords + 1 + static_cast<size_t>(k)] = after < WordCount() ? Word(after).lower : std::string();
    }
    std::string& key = strings_[2 + kSortWords];
    key.clear();
    for (int64_t n = hit.first; n <= hit.last; ++n) {
      if (n > hit.first) key += ' ';
      key += Word(n).lower;
    }
    builder_.Add(record, strings_);
  }

  std::string_view Text(int64_t from, int64_t to) const {
    return std::string_view(text_).substr(static_cast<size_t>(from - first_), static_cast<size_t>(to - from));
  }

  // Drops the words, spans and text that no waiting or later hit can reach.
  void Trim() {
    int64_t keepWord = WordCount() - kMostContextWords - 1;
    if (!pending_.empty()) keepWord = std::min(keepWord, pending_.front().first - kMostContextWords);
    if (matcher_.phrase()) keepWord = std::min(keepWord, nextStart_ - kMostContextWords);
    keepWord = std::max(keepWord, firstWord_);
    while (firstWord_ < keepWord) {
      words_list_.pop_front();
      ++firstWord_;
    }
    int64_t needed = loaded_ - settings_.contextBytes;
    if (!words_list_.empty()) needed = std::min(needed, words_list_.front().start - settings_.contextBytes);
    needed = std::max<int64_t>(0, needed);
    while (spans_.size() > 1 && spans_[1].start <= needed) spans_.pop_front();
    if (!spans_.empty()) snapshots_.DropBefore(spans_.front().snapshot);
    const int64_t keep = spans_.empty() ? needed : std::min(needed, spans_.front().start);
    if (keep - first_ > (int64_t{1} << 16)) {
      text_.erase(0, static_cast<size_t>(keep - first_));
      first_ = keep;
    }
  }

  ScanContext& context_;
  ScanState& s_;
  LineSource& file_;
  HitMatcher& matcher_;
  const HitGatherSettings& settings_;
  HitStoreBuilder& builder_;
  int32_t fileIndex_;
  ProgressSink* progress_;
  const TextStretch* stretch_;
  bool passed_ = false;   // a word after the stretch's examined characters has come
  int64_t firstPassed_ = 0;  // its number
  bool further_ = false;
  StreamWords words_;

  std::string text_;  // the stream from offset first_ to loaded_
  int64_t first_ = 0;
  int64_t loaded_ = 0;
  std::deque<Span> spans_;
  ValueSnapshots snapshots_;
  std::deque<StreamWord> words_list_;  // words firstWord_ on
  int64_t firstWord_ = 0;
  int64_t nextStart_ = 0;  // the next word to try as a phrase's first
  std::deque<Pending> pending_;
  std::vector<size_t> matched_;
  std::vector<const std::string*> phraseWords_;
  LineCounter lines_;
  std::array<std::string, kHitStrings> strings_;
};

}  // namespace

Status GatherFileHits(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                      int32_t fileIndex, HitMatcher& matcher, const HitGatherSettings& settings,
                      HitStoreBuilder& builder, ProgressSink* progress) {
  LineSource file;
  Status opened = file.Open(path);
  if (!opened.ok()) return opened;
  PrepareHitReader(context, rules, tables, path);
  FileGatherer(context, file, tables, matcher, settings, builder, fileIndex, progress).Run();
  return file.error();
}

Status GatherFileHitsStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables, LineSource& file,
                             const std::string& path, int32_t fileIndex, HitMatcher& matcher,
                             const HitGatherSettings& settings, HitStoreBuilder& builder, const TextStretch& stretch,
                             bool& further, ProgressSink* progress) {
  PrepareHitReader(context, rules, tables, path);
  context.state.fileLineNumber = stretch.fileLine;
  FileGatherer gatherer(context, file, tables, matcher, settings, builder, fileIndex, progress, &stretch);
  gatherer.Run();
  further = gatherer.further();
  return file.error();
}

void PrepareHitReader(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path) {
  // The keyword pass's reading: the end padding pushes the last words out of the text.
  const std::string padding(kHitPadding, ' ');
  context.references.contextPadding = padding;
  ScanRules read = rules;
  if (read.endOfLine.empty()) read.endOfLine.assign(1, ' ');
  BeginPass(context, read, tables, padding);
  BeginFile(context, path);
  context.state.trackOrigins = true;
}

}  // namespace wordloom
