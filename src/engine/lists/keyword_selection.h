// KeyWords selection: the working lists of the KeyWords Required window and every move
// between them.
//
// The left list is the vocabulary (`Vocabulary`), the right list the key words being edited
// (`KeyWords`, a view of the vocabulary), kept in forward collating order without two words
// of equal sort key. Words move by spelling pattern, by frequency, by their text or as
// selected; "OK" commits the key words into `KeyWordsList`. Only positions in the vocabulary
// move, never words. A bulk move of n words into a list of m costs O((n + m) log(n + m)), with
// the same result as inserting the words one by one with InsertKeyWord.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_rules.h"
#include "scan/sort_key.h"
#include "scan/word_lists.h"

namespace wordloom {

enum class MoveDirection { Add, Remove };
enum class PatternKind { Prefix, Suffix, Anywhere };
enum class FrequencyTest { Greater, Less, Equal };

// The pattern tests, case-sensitive. Suffix looks at the first occurrence only: "ab" does not
// take "abab".
bool PatternMatches(PatternKind kind, std::string_view pattern, std::string_view word);

// A frequency threshold as typed: the leading number (blanks, sign, decimals, exponent; no
// number reads as 0), rounded half to even.
int64_t ReadThreshold(std::string_view text);

class KeyWordsEditor {
 public:
  // Edits `lists.KeyWords` against `lists.Vocabulary`, comparing forward sort keys.
  KeyWordsEditor(WordLists& lists, const CharTables& tables);

  // Inserts the vocabulary's entry at `position` at the sorted place found by binary search; a
  // word of equal key is not added.
  void InsertKeyWord(EntryPosition position);

  // Patterns and words are lower-cased first, as concordance keys are: every vocabulary word
  // is lower case, so "Govern" selects what "govern" selects (and "ΣΟΦΟΣ" what "σοφος" does).
  void PatternMove(MoveDirection direction, PatternKind kind, std::string_view pattern);
  // Adds every vocabulary entry whose text is exactly `word`, or removes every such key word.
  void WordMove(MoveDirection direction, std::string_view word);
  void FrequencyMove(MoveDirection direction, FrequencyTest test, std::string_view thresholdText);
  // "Selection": adds the given entries of the vocabulary, or removes those of the key words
  // (indexes into the list concerned).
  void SelectionMove(MoveDirection direction, const std::vector<size_t>& selected);
  void Clear() { lists_.KeyWords = EntryView(); }
  // "OK": the key words become the committed key words.
  void Commit() { lists_.KeyWordsList = lists_.KeyWords; }

  // "N words", the count under the key-word list.
  std::string CountText() const;

 private:
  // Inserts the entries at `positions` (in vocabulary order) as InsertKeyWord one by one would.
  void InsertAll(const std::vector<EntryPosition>& positions);
  const std::string& WordAt(EntryPosition position) const { return lists_.Vocabulary[position].word; }
  bool KeyWordsStrictlyOrdered() const;
  // Typed text lower-cased as the project's words are.
  std::string Fold(std::string_view typed) const;

  WordLists& lists_;
  SortKeyOrder keys_;
  const UnicodeText* unicode_;
};

}  // namespace wordloom
