#include "lists/keyword_selection.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/cp1252.h"
#include "scan/status_texts.h"
#include "unicode/unicode_text.h"

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

KeyWordsEditor::KeyWordsEditor(WordLists& lists, const CharTables& tables)
    : lists_(lists), keys_(tables, 0), unicode_(tables.unicode.get()) {}

std::string KeyWordsEditor::Fold(std::string_view typed) const {
  return unicode_ ? unicode_->FoldKey(typed) : Lower1252(typed);
}

namespace {

// The binary search of the insertion: the entry goes where the search for its key ends, unless
// an entry of equal key is met on the way.
template <typename List>
void InsertByKey(List& list, EntryPosition position, const std::string& word, const SortKeyOrder& keys) {
  int64_t low = 0;
  int64_t high = static_cast<int64_t>(list.size()) - 1;
  while (low <= high) {
    const int64_t mid = (low + high) / 2;
    const int order = keys.Compare(list.WordAt(static_cast<size_t>(mid)), word);
    if (order == 0) return;
    if (order > 0) {
      high = mid - 1;
    } else {
      low = mid + 1;
    }
  }
  list.Insert(static_cast<size_t>(low), position);
}

using Positions = std::vector<EntryPosition>;

struct VectorList {
  Positions& positions;
  const EntryList& vocabulary;
  size_t size() const { return positions.size(); }
  const std::string& WordAt(size_t index) const { return vocabulary[positions[index]].word; }
  void Insert(size_t index, EntryPosition position) {
    positions.insert(positions.begin() + static_cast<std::ptrdiff_t>(index), position);
  }
};

// A list kept in blocks, so that reaching an index and inserting at it cost O(sqrt n) rather
// than moving the whole list.
class BlockedList {
 public:
  BlockedList(Positions& list, const EntryList& vocabulary) : vocabulary_(vocabulary) {
    for (size_t at = 0; at < list.size(); at += kBlock) {
      const auto begin = list.begin() + static_cast<std::ptrdiff_t>(at);
      blocks_.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(std::min(kBlock, list.size() - at)));
    }
    size_ = list.size();
    Restart(0);
  }
  size_t size() const { return size_; }
  const std::string& WordAt(size_t index) const {
    const size_t block = Find(index);
    return vocabulary_[blocks_[block][index - starts_[block]]].word;
  }
  void Insert(size_t index, EntryPosition position) {
    if (blocks_.empty()) blocks_.emplace_back();
    const size_t block = index == size_ ? blocks_.size() - 1 : Find(index);
    Positions& positions = blocks_[block];
    positions.insert(positions.begin() + static_cast<std::ptrdiff_t>(index - starts_[block]), position);
    if (positions.size() > 2 * kBlock) {
      Positions upper(positions.begin() + kBlock, positions.end());
      positions.resize(kBlock);
      blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block) + 1, std::move(upper));
    }
    ++size_;
    Restart(block);
  }
  void MoveTo(Positions& list) {
    list.clear();
    list.reserve(size_);
    for (const Positions& positions : blocks_) list.insert(list.end(), positions.begin(), positions.end());
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
  const EntryList& vocabulary_;
  std::vector<Positions> blocks_;
  std::vector<size_t> starts_;
  size_t size_ = 0;
};

}  // namespace

void KeyWordsEditor::InsertKeyWord(EntryPosition position) {
  if (position >= lists_.Vocabulary.size()) return;
  VectorList list{lists_.KeyWords.positions(), lists_.Vocabulary};
  InsertByKey(list, position, WordAt(position), keys_);
}

bool KeyWordsEditor::KeyWordsStrictlyOrdered() const {
  const EntryView& list = lists_.KeyWords;
  for (size_t i = 1; i < list.size(); ++i) {
    if (keys_.Compare(WordAt(list[i - 1]), WordAt(list[i])) >= 0) return false;
  }
  return true;
}

void KeyWordsEditor::InsertAll(const std::vector<EntryPosition>& positions) {
  if (positions.empty()) return;
  Positions& list = lists_.KeyWords.positions();
  if (!KeyWordsStrictlyOrdered()) {
    // A list out of order (the alphabet changed since the scan, or a damaged project) gets
    // exactly what the one-by-one insertions give.
    BlockedList blocked(list, lists_.Vocabulary);
    for (EntryPosition position : positions) InsertByKey(blocked, position, WordAt(position), keys_);
    blocked.MoveTo(list);
    return;
  }
  // In an ordered list, inserting one by one keeps the list ordered and adds each key once,
  // the first entry of that key winning: that is a merge of the new keys into the list.
  auto less = [&](EntryPosition a, EntryPosition b) { return keys_.Less(WordAt(a), WordAt(b)); };
  auto same = [&](EntryPosition a, EntryPosition b) { return keys_.Compare(WordAt(a), WordAt(b)) == 0; };
  Positions fresh(positions);
  std::stable_sort(fresh.begin(), fresh.end(), less);
  fresh.erase(std::unique(fresh.begin(), fresh.end(), same), fresh.end());
  Positions merged;
  merged.reserve(list.size() + fresh.size());
  size_t i = 0;
  for (EntryPosition position : fresh) {
    while (i < list.size() && less(list[i], position)) merged.push_back(list[i++]);
    if (i < list.size() && same(list[i], position)) continue;  // already there
    merged.push_back(position);
  }
  merged.insert(merged.end(), list.begin() + static_cast<std::ptrdiff_t>(i), list.end());
  list.swap(merged);
}

void KeyWordsEditor::PatternMove(MoveDirection direction, PatternKind kind, std::string_view typed) {
  if (typed.empty()) return;
  const std::string pattern = Fold(typed);
  auto matches = [&](EntryPosition position) { return PatternMatches(kind, pattern, WordAt(position)); };
  if (direction == MoveDirection::Remove) {
    std::erase_if(lists_.KeyWords.positions(), matches);
    return;
  }
  std::vector<EntryPosition> chosen;
  for (size_t p = 0; p < lists_.Vocabulary.size(); ++p) {
    if (matches(static_cast<EntryPosition>(p))) chosen.push_back(static_cast<EntryPosition>(p));
  }
  InsertAll(chosen);
}

void KeyWordsEditor::WordMove(MoveDirection direction, std::string_view typed) {
  const std::string word = Fold(typed);
  // The entries of that very text, selected in the list the move takes them from.
  std::vector<size_t> selected;
  if (direction == MoveDirection::Add) {
    for (size_t p = 0; p < lists_.Vocabulary.size(); ++p) {
      if (lists_.Vocabulary[p].word == word) selected.push_back(p);
    }
  } else {
    for (size_t i = 0; i < lists_.KeyWords.size(); ++i) {
      if (WordAt(lists_.KeyWords[i]) == word) selected.push_back(i);
    }
  }
  SelectionMove(direction, selected);
}

void KeyWordsEditor::FrequencyMove(MoveDirection direction, FrequencyTest test, std::string_view thresholdText) {
  const int64_t threshold = ReadThreshold(thresholdText);
  auto passes = [&](EntryPosition position) {
    const int64_t count = lists_.Vocabulary[position].count;
    switch (test) {
      case FrequencyTest::Greater:
        return count > threshold;
      case FrequencyTest::Less:
        return count < threshold;
      case FrequencyTest::Equal:
        return count == threshold;
    }
    return false;
  };
  if (direction == MoveDirection::Remove) {
    std::erase_if(lists_.KeyWords.positions(), passes);
    return;
  }
  std::vector<EntryPosition> chosen;
  for (size_t p = 0; p < lists_.Vocabulary.size(); ++p) {
    if (passes(static_cast<EntryPosition>(p))) chosen.push_back(static_cast<EntryPosition>(p));
  }
  InsertAll(chosen);
}

void KeyWordsEditor::SelectionMove(MoveDirection direction, const std::vector<size_t>& selected) {
  if (direction == MoveDirection::Add) {
    std::vector<size_t> ordered(selected);
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    std::vector<EntryPosition> chosen;
    for (size_t index : ordered) {
      if (index < lists_.Vocabulary.size()) chosen.push_back(static_cast<EntryPosition>(index));
    }
    InsertAll(chosen);
    return;
  }
  Positions& list = lists_.KeyWords.positions();
  std::vector<bool> remove(list.size(), false);
  for (size_t index : selected) {
    if (index < remove.size()) remove[index] = true;
  }
  size_t kept = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    if (!remove[i]) list[kept++] = list[i];
  }
  list.resize(kept);
}

std::string KeyWordsEditor::CountText() const { return WordCountText(static_cast<int64_t>(lists_.KeyWords.size())); }

}  // namespace wordloom
