#include "concordance/citation.h"

#include "scan/status_texts.h"

namespace wordloom {

std::vector<int> ParseCitationLetters(std::string_view text) {
  std::vector<int> letters;
  for (char c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') continue;
    if (letters.size() == kLetterCount) break;
    letters.push_back(c - 'A' + 1);
  }
  return letters;
}

bool CitesReferenceValues(const std::vector<int>& letters) {
  for (int letter : letters) {
    if (letter != kLineLetter) return true;
  }
  return false;
}

void BuildCitation(const std::vector<int>& letters, int64_t lineNumber, int64_t lineNumberWidth,
                   const std::array<std::string, kLetterCount + 1>& values, std::string& out) {
  for (int letter : letters) {
    if (letter == kLineLetter) {
      out += ' ';
      out += PadNumber(lineNumber, lineNumberWidth);
    } else if (!values[static_cast<size_t>(letter)].empty()) {
      out += ' ';
      out += values[static_cast<size_t>(letter)];
    }
  }
}

}  // namespace wordloom
