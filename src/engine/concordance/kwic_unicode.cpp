// The keyword pass over a UTF-8 text.
//
// The text is read through the same reader as every pass and cut into words by the same word
// cutter as the vocabulary scan, so a word found here is a word of the vocabulary. Contexts
// are measured in display columns: the left context is the halfWidth columns before the word,
// the right context the halfWidth + 1 columns from its first character, each made up of whole
// user-perceived characters and filled out with spaces where a wide character does not fit.
// Before the first character of the file the context is spaces, as the end padding makes it
// after the last. Memory: the text from a few kilobytes before the earliest word still waiting
// for its right context.
#include "concordance/kwic_unicode.h"

#include <algorithm>
#include <array>
#include <deque>
#include <optional>

#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/stream_citations.h"
#include "concordance/key_table.h"
#include "scan/text_reader.h"

namespace wordloom {
namespace {


constexpr int64_t kMostBytesPerColumn = 32;  // how far back a left context is looked for

class UnicodeKwicPass {
 public:
  UnicodeKwicPass(ScanContext& context, LineSource& file, const UnicodeText& unicode, const GatherQuery& query,
                  CitationSink& sink, const TextStretch& stretch, ProgressSink* progress)
      : context_(context), s_(context.state), file_(file), query_(query), sink_(sink), progress_(progress),
        stretch_(stretch), atTextStart_(stretch.charsBefore == 0 && stretch.offset == 0),
        table_(query.keyTable ? *query.keyTable : ownTable_.emplace(query.kind, query.keys)),
        cutter_(unicode, [this](int64_t offset, std::string_view, std::string_view lower) { Found(offset, lower); }),
        snapshots_(context.references.ReferenceLetterValue, s_.readReferences && CitesReferenceValues(query.letters),
                   query.letters),
        lines_(s_.endOfLineChar) {
    wholeWord_.fill(true);  // a word is matched alone: every character of it is a word character
  }

  void Run() {
    CharacterRun run;
    while (ReadCharacterRun(context_, file_, ReaderMode::Concordance, run, progress_)) {
      if (run.emptyLine) {
        cutter_.Break();
      } else {
        spans_.push_back(Span{loaded_, static_cast<int64_t>(run.text.size()), run.firstLineNumber,
                              run.logicalLineTotal, static_cast<int64_t>(run.insideLength), snapshots_.Take(context_.references.ReferenceLetterValue)});
        text_.append(run.text);
        loaded_ += static_cast<int64_t>(run.text.size());
        cutter_.Feed(run.text);
      }
      if (further_) return;
      EmitReady(false);
      Trim();
      // A stretch is done once a word after its examined characters has come and every find
      // has its contexts.
      if (passed_ && hits_.empty()) return;
      if (progress_ && progress_->StopRequested()) break;
    }
    cutter_.Discard();
    if (!further_) EmitReady(true);
  }

  bool further() const { return further_; }

 private:
  struct Span {
    int64_t start;  // stream offset of the run's first byte
    int64_t length;
    int64_t firstLineNumber;
    int64_t logicalLineTotal;
    int64_t insideLength;  // leading bytes whose end-of-line marker counts
    size_t snapshot;
  };
  struct Hit {
    int64_t offset;
    size_t key;
  };

  void Found(int64_t offset, std::string_view lower) {
    if (further_) return;
    // Stream offsets count from the stretch's first character.
    const int64_t character = stretch_.charsBefore + offset + 1;
    if (character > stretch_.examineTo) passed_ = true;
    if (character < stretch_.examineFrom || character > stretch_.examineTo) return;
    table_.Match(lower, wholeWord_, matched_);
    if (matched_.empty()) return;
    // The left context looks back this far, which must lie inside the stretch.
    if (query_.keepContexts && !atTextStart_ && offset < UnicodeKwicLookBack(query_)) {
      further_ = true;
      return;
    }
    for (size_t n : matched_) hits_.push_back(Hit{offset, n});
  }

  std::string_view Text(int64_t from, int64_t to) const {
    return std::string_view(text_).substr(static_cast<size_t>(from - first_), static_cast<size_t>(to - from));
  }

  // The right context of a hit: false while the text does not yet reach far enough.
  bool RightContext(int64_t offset, bool final, std::string& out) const {
    out.clear();
    const int64_t columns = query_.halfWidth + 1;
    std::string_view rest = Text(offset, loaded_);
    int64_t width = 0;
    size_t at = 0;
    while (width < columns) {
      if (at >= rest.size()) {
        if (!final) return false;
        break;
      }
      const size_t end = ClusterEnd(rest, at);
      const int w = ClusterWidth(rest.substr(at, end - at));
      if (width + w > columns) break;
      out.append(rest.substr(at, end - at));
      width += w;
      at = end;
    }
    out.append(static_cast<size_t>(columns - width), ' ');
    return true;
  }

  // The left context of a hit: the text before it is looked at a few bytes a column first,
  // and further back only while that does not fill the columns.
  void LeftContext(int64_t offset, std::string& out) const {
    const int64_t columns = query_.halfWidth;
    for (int64_t bytesPerColumn = 4;; bytesPerColumn *= 2) {
      const int64_t from = std::max(first_, offset - columns * bytesPerColumn);
      const bool whole = from == first_ || bytesPerColumn >= kMostBytesPerColumn;
      if (FillLeftContext(offset, from, columns, out) || whole) return;
    }
  }

  // The left context from the text [from, offset): true when it fills the columns.
  bool FillLeftContext(int64_t offset, int64_t from, int64_t columns, std::string& out) const {
    std::string_view before = Text(from, offset);
    // Start on a character's first byte.
    size_t start = 0;
    while (start < before.size() && (static_cast<unsigned char>(before[start]) & 0xC0) == 0x80) ++start;
    clusters_.clear();  // start and width, in order
    for (size_t at = start; at < before.size();) {
      const size_t end = ClusterEnd(before, at);
      clusters_.emplace_back(at, ClusterWidth(before.substr(at, end - at)));
      at = end;
    }
    // Where the look back stopped short of the file's start, the first character may be the
    // end of a longer one (marks without their letter): it is never shown.
    const bool cut = from > 0;
    const size_t first = cut && !clusters_.empty() ? 1 : 0;
    int64_t width = 0;
    size_t keep = clusters_.size();
    while (keep > first && width + clusters_[keep - 1].second <= columns) width += clusters_[--keep].second;
    // Filled: the columns are full, or a wide character stands just beyond them.
    const bool filled = keep > first || !cut;
    out.assign(static_cast<size_t>(columns - width), ' ');
    if (keep < clusters_.size()) out.append(before.substr(clusters_[keep].first));
    return filled;
  }

  const Span& SpanOf(int64_t offset) const {
    auto after = std::upper_bound(spans_.begin(), spans_.end(), offset,
                                  [](int64_t at, const Span& span) { return at < span.start; });
    return *(after - 1);
  }

  void EmitReady(bool final) {
    while (!hits_.empty()) {
      const Hit hit = hits_.front();
      if (query_.keepContexts && !RightContext(hit.offset, final, right_)) return;
      if (!query_.keepContexts) right_.clear();
      left_.clear();
      if (query_.keepContexts) LeftContext(hit.offset, left_);
      const Span& span = SpanOf(hit.offset);
      const int64_t lineNumber = lines_.LineAt(span.start, span.firstLineNumber, span.start + span.insideLength, hit.offset, text_, first_);
      citation_.clear();
      BuildCitation(query_.letters, lineNumber, query_.lineNumberWidth, snapshots_.At(span.snapshot),
                    citation_);
      RestoreRuleChars(s_, left_);
      RestoreRuleChars(s_, right_);
      sink_.Add(static_cast<int64_t>(hit.key + 1), span.logicalLineTotal, citation_, left_, right_);
      hits_.pop_front();
    }
  }

  // Drops text and spans that no waiting or later word can reach.
  void Trim() {
    const int64_t waiting = std::min(hits_.empty() ? loaded_ : hits_.front().offset, cutter_.pendingOffset());
    const int64_t needed = waiting - (query_.halfWidth + 2) * kMostBytesPerColumn;
    while (spans_.size() > 1 && spans_[1].start <= needed) spans_.pop_front();
    if (!spans_.empty()) snapshots_.DropBefore(spans_.front().snapshot);
    const int64_t keep = std::min(needed, spans_.empty() ? needed : spans_.front().start);
    if (keep - first_ > (int64_t{1} << 16)) {
      text_.erase(0, static_cast<size_t>(keep - first_));
      first_ = keep;
    }
  }

  ScanContext& context_;
  ScanState& s_;
  LineSource& file_;
  const GatherQuery& query_;
  CitationSink& sink_;
  ProgressSink* progress_;
  const TextStretch& stretch_;
  const bool atTextStart_;  // before its first character the context is spaces
  bool passed_ = false;     // a word after the examined characters has come
  bool further_ = false;
  std::optional<KeyTable> ownTable_;  // declared before table_, which may refer to it
  KeyTable& table_;
  WordCharTable wholeWord_{};
  WordCutter cutter_;

  std::string text_;  // the stream from offset first_ to loaded_
  int64_t first_ = 0;
  int64_t loaded_ = 0;
  std::deque<Span> spans_;
  ValueSnapshots snapshots_;
  std::deque<Hit> hits_;
  std::vector<size_t> matched_;
  LineCounter lines_;
  std::string citation_, left_, right_;
  mutable std::vector<std::pair<size_t, int>> clusters_;  // the left context's characters
};

}  // namespace

int64_t UnicodeKwicLookBack(const GatherQuery& query) { return (query.halfWidth + 2) * kMostBytesPerColumn; }

bool RunUnicodeKwic(ScanContext& context, LineSource& file, const UnicodeText& unicode, const GatherQuery& query,
                    CitationSink& sink, const TextStretch& stretch, ProgressSink* progress) {
  UnicodeKwicPass pass(context, file, unicode, query, sink, stretch, progress);
  pass.Run();
  return pass.further();
}

}  // namespace wordloom
