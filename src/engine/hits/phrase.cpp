#include "hits/phrase.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>

namespace wordloom {
namespace {

// "{M,N}" or "{N}": a gap of M to N words (N alone: exactly N).
bool ParseGap(const std::string& text, int& low, int& high) {
  if (text.size() < 3 || text.front() != '{' || text.back() != '}') return false;
  const std::string inner = text.substr(1, text.size() - 2);
  const size_t comma = inner.find(',');
  auto number = [](std::string_view digits, int& value) {
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() && value >= 0 && value <= 100;
  };
  if (comma == std::string::npos) return number(inner, low) && number(inner, high);
  return number(std::string_view(inner).substr(0, comma), low) &&
         number(std::string_view(inner).substr(comma + 1), high) && low <= high;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t at = 0;
  for (;;) {
    const size_t end = text.find(separator, at);
    parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) return parts;
    at = end + 1;
  }
}

}  // namespace

Status ParsePhrase(const std::string& text, const UnicodeText* unicode, std::vector<PhraseStep>& steps) {
  steps.clear();
  int low = 0, high = 0;
  bool gapPending = false;
  for (const std::string& part : SplitAt(text, ' ')) {
    if (part.empty()) continue;
    if (part.front() == '{') {
      if (steps.empty() || gapPending || !ParseGap(part, low, high)) {
        return Status::Error("Not a phrase gap here: \"" + part + "\" (a gap such as {0,3} stands between two words)");
      }
      gapPending = true;
      continue;
    }
    PhraseStep& step = steps.emplace_back();
    if (gapPending) {
      step.minGap = low;
      step.maxGap = high;
      gapPending = false;
    }
    for (const std::string& alternative : SplitAt(part, '|')) {
      if (alternative.empty()) return Status::Error("A phrase word has an empty alternative: \"" + part + "\"");
      Status made = WordPattern::Wildcard(alternative, unicode, step.alternatives.emplace_back());
      if (!made.ok()) return made;
    }
  }
  if (steps.empty()) return Status::Error("The phrase has no words.");
  if (gapPending) return Status::Error("A phrase cannot end with a gap.");
  return Status::Ok();
}

Status HitMatcher::Make(const HitQuery& query, const std::vector<std::string>& keys, const UnicodeText* unicode,
                        std::unique_ptr<HitMatcher>& out) {
  auto matcher = std::make_unique<HitMatcher>();
  matcher->wholeWord_.fill(true);  // a word is matched alone: every character of it is a word character
  switch (query.mode) {
    case SearchMode::Word:
    case SearchMode::Prefix:
    case SearchMode::Suffix:
    case SearchMode::Anywhere:
      matcher->table_ = std::make_unique<KeyTable>(
          query.keyWords ? MatchKind::Word : static_cast<MatchKind>(static_cast<int>(query.mode) + 1), keys);
      break;
    case SearchMode::Wildcard:
    case SearchMode::Regex:
      for (const std::string& key : keys) {
        Status made = query.mode == SearchMode::Wildcard
                          ? WordPattern::Wildcard(key, unicode, matcher->patterns_.emplace_back())
                          : WordPattern::Regex(key, unicode, matcher->patterns_.emplace_back());
        if (!made.ok()) return made;
      }
      break;
    case SearchMode::Phrase: {
      Status parsed = ParsePhrase(keys.front(), unicode, matcher->steps_);
      if (!parsed.ok()) return parsed;
      for (const PhraseStep& step : matcher->steps_) matcher->longest_ += 1 + step.maxGap;
      break;
    }
  }
  out = std::move(matcher);
  return Status::Ok();
}

void HitMatcher::MatchWord(const std::string& lower, std::vector<size_t>& found) {
  if (table_) {
    table_->Match(lower, wholeWord_, found);
    return;
  }
  found.clear();
  for (size_t k = 0; k < patterns_.size(); ++k) {
    if (patterns_[k]->Matches(lower)) found.push_back(k);
  }
}

bool HitMatcher::MatchStep(size_t step, const std::string& lower) const {
  const auto& alternatives = steps_[step].alternatives;
  return std::any_of(alternatives.begin(), alternatives.end(), [&](const auto& pattern) { return pattern->Matches(lower); });
}

int64_t HitMatcher::WordsBefore(size_t step) const {
  int64_t words = 0;
  for (size_t k = 1; k <= step; ++k) words += 1 + steps_[k].maxGap;
  return words;
}

int HitMatcher::MatchPhrase(const std::vector<const std::string*>& words) const {
  if (words.empty() || !MatchStep(0, *words[0])) return -1;
  std::set<size_t> reached = {0};
  for (size_t k = 1; k < steps_.size() && !reached.empty(); ++k) {
    std::set<size_t> next;
    for (size_t at : reached) {
      for (size_t j = at + 1 + static_cast<size_t>(steps_[k].minGap);
           j <= at + 1 + static_cast<size_t>(steps_[k].maxGap) && j < words.size(); ++j) {
        if (MatchStep(k, *words[j])) next.insert(j);
      }
    }
    reached.swap(next);
  }
  return reached.empty() ? -1 : static_cast<int>(*reached.begin());
}

}  // namespace wordloom
