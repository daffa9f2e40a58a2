// Word lists: entries of a word and a count, and the four lists of the KeyWords window.
//
// `Vocabulary` holds every word type of the last scan with its frequency, in collating order.
// The other three lists are views of it, each in an order of its own: `KeyWords` the key words
// being edited, `KeyWordsList` the committed key words, and `AllWordsList` every word type in
// the order the word list last sorted it. A view holds the positions of its entries in the
// vocabulary, 4 bytes an entry, and a view that is the whole vocabulary in its own order holds
// nothing at all, which is what a scan or an open leaves in all three. A vocabulary therefore
// holds at most kMostEntries entries, as the list sort's numbering requires anyway. Counts are
// 64-bit. Beside the vocabulary, `ranges` holds each entry's range, the number of the project's
// files it occurs in, as the scan found it; it is empty when not known (a project file keeps
// no ranges: see CountWordRanges in vocabulary.h). Memory: the vocabulary's entries (40 bytes
// each, and the words longer than 15 bytes), 4 bytes an entry for the ranges, and 4 bytes an
// entry for each view once it is reordered or edited.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace wordloom {

struct Entry {
  std::string word;
  int64_t count = 0;
  bool operator==(const Entry&) const = default;
};

using EntryList = std::vector<Entry>;

// A position in the vocabulary.
using EntryPosition = uint32_t;
inline constexpr size_t kMostEntries = UINT32_MAX;

// Some entries of the vocabulary, in an order of the view's own: their positions.
class EntryView {
 public:
  EntryView() = default;
  explicit EntryView(std::vector<EntryPosition> positions) : positions_(std::move(positions)) {}
  // The first `size` entries of the vocabulary in its order, without a position held.
  static EntryView Whole(size_t size) {
    EntryView view;
    view.whole_ = true;
    view.wholeSize_ = size;
    return view;
  }

  size_t size() const { return whole_ ? wholeSize_ : positions_.size(); }
  bool empty() const { return size() == 0; }
  EntryPosition operator[](size_t i) const { return whole_ ? static_cast<EntryPosition>(i) : positions_[i]; }

  // The positions, to change them: a whole view spells its positions out first.
  std::vector<EntryPosition>& positions() {
    if (whole_) {
      positions_.resize(wholeSize_);
      for (size_t i = 0; i < wholeSize_; ++i) positions_[i] = static_cast<EntryPosition>(i);
      whole_ = false;
    }
    return positions_;
  }

  // The bytes the view holds besides itself.
  size_t HeldBytes() const { return positions_.capacity() * sizeof(EntryPosition); }

  bool operator==(const EntryView& other) const {
    if (size() != other.size()) return false;
    for (size_t i = 0; i < size(); ++i) {
      if ((*this)[i] != other[i]) return false;
    }
    return true;
  }

 private:
  bool whole_ = false;
  size_t wholeSize_ = 0;
  std::vector<EntryPosition> positions_;
};

struct WordLists {
  EntryList Vocabulary;
  std::vector<uint32_t> ranges;  // one per vocabulary entry, or none
  EntryView KeyWords;
  EntryView KeyWordsList;
  EntryView AllWordsList;

  // Entry i of a view of this vocabulary.
  const Entry& At(const EntryView& view, size_t i) const { return Vocabulary[view[i]]; }
  // The entries of a view, copied out.
  EntryList Entries(const EntryView& view) const {
    EntryList entries;
    entries.reserve(view.size());
    for (size_t i = 0; i < view.size(); ++i) entries.push_back(At(view, i));
    return entries;
  }
  // True when `ranges` holds the range of every vocabulary entry.
  bool HasRanges() const { return ranges.size() == Vocabulary.size(); }
  // Makes the other three lists the whole vocabulary, entry for entry, as a scan or an open does.
  void ResetViews() {
    KeyWords = KeyWordsList = AllWordsList = EntryView::Whole(Vocabulary.size());
  }
};

}  // namespace wordloom
