// Citations: where in the texts a find was made, as the reference letters chosen by the user
// describe it.
//
// The citation letters are up to 26 letters typed by the user, in order; "L" stands for the
// line number, every other letter for the current value of that reference letter. A citation
// is, for each letter, one space and the line number right-aligned in the line-number width,
// or the letter's value (nothing at all when the value is empty).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scan/scan_state.h"

namespace wordloom {

inline constexpr int kLineLetter = 12;  // "L"

// Letter numbers (A = 1) of the letters A to Z in `text`, either case, at most 26; other
// characters are passed over.
std::vector<int> ParseCitationLetters(std::string_view text);

// Whether any letter other than "L" is cited (the citation then follows the reference values).
bool CitesReferenceValues(const std::vector<int>& letters);

// Appends the citation to `out`. `values` are the reference values indexed by letter number.
void BuildCitation(const std::vector<int>& letters, int64_t lineNumber, int64_t lineNumberWidth,
                   const std::array<std::string, kLetterCount + 1>& values, std::string& out);

}  // namespace wordloom
