// Searching the token stream: a search's words matched against the vocabulary once, so each
// token is matched by looking up its entry.
#include <algorithm>

#include "analysis/analysis.h"
#include "hits/phrase.h"

namespace wordloom {

// The entries one word of a search accepts, after a gap of minGap to maxGap tokens.
struct NodeSearch::Step {
  std::vector<uint8_t> accepts;  // per vocabulary entry
  int minGap = 0;
  int maxGap = 0;
};

NodeSearch::~NodeSearch() = default;

Status RequireWords(const Session& session) {
  if (session.totals.tokenCount > 0) return Status::Ok();
  return Status::Error("The project holds no words: scan its texts first.");
}

Status NodeSearch::Make(const Session& session, const HitQuery& query, std::unique_ptr<NodeSearch>& out) {
  Status status = RequireWords(session);
  if (!status.ok()) return status;
  const UnicodeText* unicode = session.tables.unicode.get();
  const EntryList& vocabulary = session.lists.Vocabulary;
  HitQuery matched = query;
  std::vector<std::string> keys;
  if (query.keyWords) {
    const EntryView& keyWords = session.lists.KeyWordsList;
    for (size_t i = 0; i < keyWords.size(); ++i) keys.push_back(session.lists.At(keyWords, i).word);
    matched.mode = SearchMode::Word;
  } else {
    keys = QueryKeys(query, unicode);
  }
  if (keys.empty()) return Status::Error(query.keyWords ? "There are no key words." : "The search has no keys.");
  std::unique_ptr<HitMatcher> matcher;
  status = HitMatcher::Make(matched, keys, unicode, matcher);
  if (!status.ok()) return status;

  std::unique_ptr<NodeSearch> search(new NodeSearch);
  if (matcher->phrase()) {
    search->reach_ = matcher->longestPhrase();
    for (const PhraseStep& phraseStep : matcher->steps()) {
      Step& step = search->steps_.emplace_back();
      step.minGap = phraseStep.minGap;
      step.maxGap = phraseStep.maxGap;
      step.accepts.resize(vocabulary.size());
      for (size_t p = 0; p < vocabulary.size(); ++p) {
        step.accepts[p] = std::any_of(phraseStep.alternatives.begin(), phraseStep.alternatives.end(),
                                      [&](const auto& pattern) { return pattern->Matches(vocabulary[p].word); });
      }
    }
  } else {
    Step& step = search->steps_.emplace_back();
    step.accepts.resize(vocabulary.size());
    std::vector<size_t> found;
    for (size_t p = 0; p < vocabulary.size(); ++p) {
      matcher->MatchWord(vocabulary[p].word, found);
      step.accepts[p] = !found.empty();
    }
  }
  out = std::move(search);
  return Status::Ok();
}

bool NodeSearch::MatchesStep(size_t step, EntryPosition entry) const {
  const std::vector<uint8_t>& accepts = steps_[step].accepts;
  return entry < accepts.size() && accepts[entry] != 0;
}

std::vector<EntryPosition> NodeSearch::StartEntries() const {
  std::vector<EntryPosition> entries;
  const std::vector<uint8_t>& accepts = steps_.front().accepts;
  for (size_t p = 0; p < accepts.size(); ++p) {
    if (accepts[p] != 0) entries.push_back(static_cast<EntryPosition>(p));
  }
  return entries;
}

int NodeSearch::Match(const EntryPosition* tokens, size_t count) const {
  if (count == 0 || !MatchesStep(0, tokens[0])) return -1;
  if (steps_.size() == 1) return 0;
  // Every place the phrase's words so far can end, in increasing order; the shortest match
  // ends at the first place its last word reaches.
  std::vector<size_t> reached = {0};
  std::vector<size_t> next;
  for (size_t k = 1; k < steps_.size() && !reached.empty(); ++k) {
    next.clear();
    for (size_t at : reached) {
      const size_t last = std::min(count - 1, at + 1 + static_cast<size_t>(steps_[k].maxGap));
      for (size_t j = at + 1 + static_cast<size_t>(steps_[k].minGap); j <= last; ++j) {
        if (MatchesStep(k, tokens[j])) next.push_back(j);
      }
    }
    std::sort(next.begin(), next.end());
    next.erase(std::unique(next.begin(), next.end()), next.end());
    reached.swap(next);
  }
  return reached.empty() ? -1 : static_cast<int>(reached.front());
}

void HitTokenSink::BeginFile(uint32_t file) {
  waiting_.clear();
  delivered_ = 0;
  part_ = 0;
  FileStarted(file);
}

void HitTokenSink::LineRead(const ScanContext& context) { part_ = PartOfLine(context); }

void HitTokenSink::Token(EntryPosition entry) {
  if (search_.reach() == 1) {
    TokenAt(delivered_++, entry, search_.Match(&entry, 1) + 1, part_);
    return;
  }
  waiting_.push_back(Waiting{entry, part_});
  Deliver(false);
}

void HitTokenSink::EndFile() {
  Deliver(true);
  FileEnded(delivered_);
}

// Hands on each waiting token once the tokens a hit starting at it may span are in (or, at
// the file's end, all of them).
void HitTokenSink::Deliver(bool all) {
  const auto reach = static_cast<size_t>(search_.reach());
  size_t first = 0;
  while (first < waiting_.size() && (all || waiting_.size() - first >= reach)) {
    const size_t count = std::min(reach, waiting_.size() - first);
    entries_.clear();
    for (size_t i = first; i < first + count; ++i) entries_.push_back(waiting_[i].entry);
    TokenAt(delivered_++, waiting_[first].entry, search_.Match(entries_.data(), count) + 1, waiting_[first].part);
    ++first;
  }
  waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(first));
}

}  // namespace wordloom
