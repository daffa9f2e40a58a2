#include "lists/keyword_selection.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "base/cp1252.h"
#include "scan/status_texts.h"

namespace wordloom {

bool PatternMatches(PatternKind kind, std::string_view pattern, std::string_view word) {
  const size_t at = word.find(pattern);
  switch (kind) {
    case PatternKind::Prefix:
      return at == 0;
    case PatternKind::Anywhere:
      return at != std::string_view::npos;
    case PatternKind::Suffix:
      return at != std::string_view::npos && at + pattern.size() == word.size();
  }
  return false;
}

int64_t ReadThreshold(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  auto digits = [&] {
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) number += text[i++];
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
  digits();
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    digits();
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
      while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) exponent += text[j++];
      number += exponent;
    }
  }
  const double value = std::strtod(number.c_str(), nullptr);  // no digits read as 0
  const double rounded = std::nearbyint(value);                // halves to even
  if (!(rounded > -9.2e18)) return std::numeric_limits<int64_t>::min();
  if (!(rounded < 9.2e18)) return std::numeric_limits<int64_t>::max();
  return static_cast<int64_t>(rounded);
}

KeyWordsEditor::KeyWordsEditor(WordLists& lists, const CharTables& tables) : lists_(lists), keys_(tables, 0) {}

namespace {

// The Part's binary search: the entry goes where the search for its key ends, unless an entry
// of equal key is met on the way.
template <typename List>
void InsertByKey(List& list, const Entry& entry, const SortKeyOrder& keys) {
  int64_t low = 0;
  int64_t high = static_cast<int64_t>(list.size()) - 1;
  while (low <= high) {
    const int64_t mid = (low + high) / 2;
    const int order = keys.Compare(list.At(static_cast<size_t>(mid)).word, entry.word);
    if (order == 0) return;
    if (order > 0) {
      high = mid - 1;
    } else {
      low = mid + 1;
    }
  }
  list.Insert(static_cast<size_t>(low), entry);
}

struct VectorList {
  EntryList& entries;
  size_t size() const { return entries.size(); }
  const Entry& At(size_t index) const { return entries[index]; }
  void Insert(size_t index, const Entry& entry) { entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index), entry); }
};

// A list kept in blocks, so that reaching an index and inserting at it cost O(sqrt n) rather
// than moving the whole list.
class BlockedList {
 public:
  explicit BlockedList(EntryList& list) {
    for (size_t at = 0; at < list.size(); at += kBlock) {
      const auto begin = list.begin() + static_cast<std::ptrdiff_t>(at);
      blocks_.emplace_back(std::make_move_iterator(begin),
                           std::make_move_iterator(begin + static_cast<std::ptrdiff_t>(std::min(kBlock, list.size() - at))));
    }
    size_ = list.size();
    Restart(0);
  }
  size_t size() const { return size_; }
  const Entry& At(size_t index) const {
    const size_t block = Find(index);
    return blocks_[block][index - starts_[block]];
  }
  void Insert(size_t index, const Entry& entry) {
    if (blocks_.empty()) blocks_.emplace_back();
    const size_t block = index == size_ ? blocks_.size() - 1 : Find(index);
    EntryList& entries = blocks_[block];
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index - starts_[block]), entry);
    if (entries.size() > 2 * kBlock) {
      EntryList upper(std::make_move_iterator(entries.begin() + kBlock), std::make_move_iterator(entries.end()));
      entries.resize(kBlock);
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(upper));
    }
    ++size_;
    Restart(block);
  }
  void MoveTo(EntryList& list) {
    list.clear();
    list.reserve(size_);
    for (EntryList& entries : blocks_) std::move(entries.begin(), entries.end(), std::back_inserter(list));
  }

 private:
  static constexpr size_t kBlock = 512;
  size_t Find(size_t index) const {
    return static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) - starts_.begin()) - 1;
  }
  void Restart(size_t from) {  // the start indexes of the blocks from `from` on
    starts_.resize(blocks_.size());
    for (size_t b = from; b < blocks_.size(); ++b) starts_[b] = b == 0 ? 0 : starts_[b - 1] + blocks_[b - 1].size();
  }
  std::vector<EntryList> blocks_;
  std::vector<size_t> starts_;
  size_t size_ = 0;
};

}  // namespace

void KeyWordsEditor::InsertKeyWord(const Entry& entry) {
  VectorList list{lists_.KeyWords};
  InsertByKey(list, entry, keys_);
}

bool KeyWordsEditor::KeyWordsStrictlyOrdered() const {
  const EntryList& list = lists_.KeyWords;
  for (size_t i = 1; i < list.size(); ++i) {
    if (keys_.Compare(list[i - 1].word, list[i].word) >= 0) return false;
  }
  return true;
}

void KeyWordsEditor::InsertAll(const std::vector<const Entry*>& entries) {
  if (entries.empty()) return;
  if (!KeyWordsStrictlyOrdered()) {
    // A list out of order (the alphabet changed since the scan, or a damaged project) gets
    // exactly what the one-by-one insertions give.
    BlockedList blocked(lists_.KeyWords);
    for (const Entry* entry : entries) InsertByKey(blocked, *entry, keys_);
    blocked.MoveTo(lists_.KeyWords);
    return;
  }
  // In an ordered list, inserting one by one keeps the list ordered and adds each key once,
  // the first entry of that key winning: that is a merge of the new keys into the list.
  std::vector<const Entry*> fresh(entries);
  std::stable_sort(fresh.begin(), fresh.end(), [&](const Entry* a, const Entry* b) { return keys_.Less(a->word, b->word); });
  fresh.erase(std::unique(fresh.begin(), fresh.end(),
                          [&](const Entry* a, const Entry* b) { return keys_.Compare(a->word, b->word) == 0; }),
              fresh.end());
  EntryList& list = lists_.KeyWords;
  EntryList merged;
  merged.reserve(list.size() + fresh.size());
  size_t i = 0;
  for (const Entry* entry : fresh) {
    while (i < list.size() && keys_.Less(list[i].word, entry->word)) merged.push_back(std::move(list[i++]));
    if (i < list.size() && keys_.Compare(list[i].word, entry->word) == 0) continue;  // already there
    merged.push_back(*entry);
  }
  while (i < list.size()) merged.push_back(std::move(list[i++]));
  list = std::move(merged);
}

void KeyWordsEditor::PatternMove(MoveDirection direction, PatternKind kind, std::string_view typed) {
  if (typed.empty()) return;
  const std::string pattern = Lower1252(typed);
  if (direction == MoveDirection::Remove) {
    std::erase_if(lists_.KeyWords, [&](const Entry& entry) { return PatternMatches(kind, pattern, entry.word); });
    return;
  }
  std::vector<const Entry*> chosen;
  for (const Entry& entry : lists_.Vocabulary) {
    if (PatternMatches(kind, pattern, entry.word)) chosen.push_back(&entry);
  }
  InsertAll(chosen);
}

void KeyWordsEditor::WordMove(MoveDirection direction, std::string_view typed) {
  const std::string word = Lower1252(typed);
  // The entries of that very text, selected in the list the move takes them from.
  const EntryList& list = direction == MoveDirection::Add ? lists_.Vocabulary : lists_.KeyWords;
  std::vector<size_t> selected;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].word == word) selected.push_back(i);
  }
  SelectionMove(direction, selected);
}

void KeyWordsEditor::FrequencyMove(MoveDirection direction, FrequencyTest test, std::string_view thresholdText) {
  const int64_t threshold = ReadThreshold(thresholdText);
  auto passes = [&](const Entry& entry) {
    switch (test) {
      case FrequencyTest::Greater:
        return entry.count > threshold;
      case FrequencyTest::Less:
        return entry.count < threshold;
      case FrequencyTest::Equal:
        return entry.count == threshold;
    }
    return false;
  };
  if (direction == MoveDirection::Remove) {
    std::erase_if(lists_.KeyWords, passes);
    return;
  }
  std::vector<const Entry*> chosen;
  for (const Entry& entry : lists_.Vocabulary) {
    if (passes(entry)) chosen.push_back(&entry);
  }
  InsertAll(chosen);
}

void KeyWordsEditor::SelectionMove(MoveDirection direction, const std::vector<size_t>& selected) {
  if (direction == MoveDirection::Add) {
    std::vector<const Entry*> chosen;
    std::vector<size_t> ordered(selected);
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    for (size_t index : ordered) {
      if (index < lists_.Vocabulary.size()) chosen.push_back(&lists_.Vocabulary[index]);
    }
    InsertAll(chosen);
    return;
  }
  EntryList& list = lists_.KeyWords;
  std::vector<bool> remove(list.size(), false);
  for (size_t index : selected) {
    if (index < remove.size()) remove[index] = true;
  }
  size_t kept = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (remove[i]) continue;
    if (kept != i) list[kept] = std::move(list[i]);
    ++kept;
  }
  list.resize(kept);
}

std::string KeyWordsEditor::CountText() const { return WordCountText(static_cast<int64_t>(lists_.KeyWords.size())); }

}  // namespace wordloom
