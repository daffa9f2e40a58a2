// Matching a key against a word (keyword in context) or a line (whole-line concordance).
//
// A key is found where its characters occur in the text exactly (both are lower case); the
// match kind then says which occurrences count: a whole word, the start of a word, the end of
// a word, or anywhere. A rejected occurrence lets the search go on one character later.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace wordloom {

enum class MatchKind { Word = 1, Prefix = 2, Suffix = 3, Anywhere = 4 };

// isWord[c]: whether the byte c is a word character (the class of its lower-case partner).
using WordCharTable = std::array<bool, 256>;

bool MatchKey(MatchKind kind, std::string_view key, std::string_view text, const WordCharTable& isWord);

}  // namespace wordloom
