// Gathering whole lines as hits: the whole-line pass, told where each line starts.
#include <algorithm>

#include "concordance/gather.h"
#include "hits/hit_store_builder.h"
#include "hits/hit_words.h"
#include "hits/phrase.h"

namespace wordloom {
namespace {

// Keeps each line found, with its first five words as R1..R5 and its last five as L1..L5 (the
// last word first) for sorting, and its key as the key.
class LineHitSink : public CitationSink {
 public:
  LineHitSink(HitStoreBuilder& builder, int32_t file, const ScanState& state, const CharTables& tables,
              const std::vector<std::string>& keys)
      : builder_(builder), file_(file), state_(state), tables_(tables), keys_(keys) {}

  void LineStarted(int64_t offset, int64_t fileLine, int64_t line) {
    offset_ = offset;
    fileLine_ = fileLine;
    line_ = line;
  }

  void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
           std::string_view) override {
    HitRecord record;
    record.file = file_;
    record.key = static_cast<int32_t>(keyNumber);
    record.offset = offset_;
    record.length = static_cast<int64_t>(leftContext.size());
    record.fileLine = fileLine_;
    record.line = line_;
    record.sequence = sequence;
    strings_[0].assign(citation);
    strings_[1].assign(leftContext);
    CutWords(leftContext);
    for (size_t k = 0; k < kSortWords; ++k) {
      strings_[2 + kSortWords - 1 - k] = k < words_.size() ? words_[words_.size() - 1 - k] : std::string();
      strings_[2 + kSortWords + 1 + k] = k < words_.size() ? words_[k] : std::string();
    }
    strings_[2 + kSortWords] = keys_[static_cast<size_t>(keyNumber - 1)];
    builder_.Add(record, strings_);
  }

 private:
  HitStoreBuilder& builder_;
  int32_t file_;
  int64_t offset_ = 0;
  int64_t fileLine_ = 0;
  int64_t line_ = 0;
  std::array<std::string, kHitStrings> strings_;

  // The line's words, lower-cased, cut as the keyword pass cuts them.
  void CutWords(std::string_view line) {
    if (!cutter_) {
      // Made at the first line found, once the pass has set the reader's classes.
      std::array<bool, 256> isWord{};
      for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = state_.classOfLower[c] == kWordClass;
      cutter_ = std::make_unique<StreamWords>(tables_, isWord, [this](StreamWord&& word) { words_.push_back(std::move(word.lower)); });
    }
    words_.clear();
    cutter_->Feed(line);
    cutter_->Feed(" ");
    cutter_->Break();
  }

  const ScanState& state_;
  const CharTables& tables_;
  const std::vector<std::string>& keys_;
  std::unique_ptr<StreamWords> cutter_;
  std::vector<std::string> words_;
};

// The words of a lowered line: its runs of word characters.
void LineWords(std::string_view lowered, const WordCharTable& isWord, std::vector<std::string>& words) {
  words.clear();
  size_t at = 0;
  while (at < lowered.size()) {
    while (at < lowered.size() && !isWord[static_cast<unsigned char>(lowered[at])]) ++at;
    size_t end = at;
    while (end < lowered.size() && isWord[static_cast<unsigned char>(lowered[end])]) ++end;
    if (end > at) words.emplace_back(lowered.substr(at, end - at));
    at = end;
  }
}

}  // namespace

Status GatherFileLines(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                       int32_t fileIndex, HitMatcher& matcher, bool patterns, const GatherQuery& base,
                       HitStoreBuilder& builder, ProgressSink* progress, LineSource* file,
                       const TextStretch& stretch) {
  LineHitSink sink(builder, fileIndex, context.state, tables, base.keys);
  GatherQuery query = base;
  query.lineStarted = [&](int64_t offset, int64_t fileLine) {
    sink.LineStarted(offset, fileLine, context.state.currentLineNumber);
  };
  std::vector<std::string> words;
  std::vector<const std::string*> from;
  if (patterns) {
    // A line matches a pattern when one of its words does, or a phrase when its words hold it.
    query.matchLine = [&](std::string_view lowered, const WordCharTable& isWord, std::vector<size_t>& found) {
      LineWords(lowered, isWord, words);
      found.clear();
      if (!matcher.phrase()) {
        std::vector<size_t> matched;
        for (const std::string& word : words) {
          matcher.MatchWord(word, matched);
          found.insert(found.end(), matched.begin(), matched.end());
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        return;
      }
      const size_t reach = static_cast<size_t>(matcher.longestPhrase());
      for (size_t start = 0; start < words.size(); ++start) {
        from.clear();
        for (size_t k = start; k < std::min(words.size(), start + reach); ++k) from.push_back(&words[k]);
        if (matcher.MatchPhrase(from) >= 0) {
          found.push_back(0);
          return;
        }
      }
    };
  }
  context.state.trackOrigins = true;
  return file ? GatherLineStretch(context, rules, tables, *file, path, query, sink, stretch, progress)
              : GatherLine(context, rules, tables, path, query, sink, progress);
}

}  // namespace wordloom
