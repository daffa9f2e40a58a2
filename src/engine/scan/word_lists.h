// Word lists: entries of a word and a count, and the four lists of the KeyWords window.
//
// `Vocabulary` holds every word type of the last scan with its frequency, in collating order;
// `KeyWords` the key words being edited; `KeyWordsList` the committed key words; and
// `AllWordsList` every word type again. A scan or an open fills all four with the same
// entries. Counts are 64-bit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wordloom {

struct Entry {
  std::string word;
  int64_t count = 0;
  bool operator==(const Entry&) const = default;
};

using EntryList = std::vector<Entry>;

struct WordLists {
  EntryList Vocabulary;    // List1
  EntryList KeyWords;      // List2
  EntryList KeyWordsList;  // List3
  EntryList AllWordsList;  // List4

  // Fills the other three lists from Vocabulary, entry for entry.
  void CopyVocabularyToAll() {
    KeyWords = Vocabulary;
    KeyWordsList = Vocabulary;
    AllWordsList = Vocabulary;
  }
  void Clear() {
    Vocabulary.clear();
    KeyWords.clear();
    KeyWordsList.clear();
    AllWordsList.clear();
  }
};

}  // namespace wordloom
