#include "concordance/match_key.h"

namespace wordloom {

bool MatchKey(MatchKind kind, std::string_view key, std::string_view text, const WordCharTable& isWord) {
  auto word = [&](size_t i) { return isWord[static_cast<unsigned char>(text[i])]; };
  const size_t k = key.size();
  // An empty key occurs at every position of a non-empty text.
  for (size_t i = text.find(key); i != std::string_view::npos && i < text.size(); i = text.find(key, i + 1)) {
    const size_t after = i + k;  // the first character after the occurrence
    const bool startsWord = i == 0 || !word(i - 1);
    const bool endsWord = after >= text.size() || !word(after);
    switch (kind) {
      case MatchKind::Word:
        if (startsWord && endsWord) return true;
        break;
      case MatchKind::Prefix:
        if (startsWord) return true;
        break;
      case MatchKind::Suffix:
        if (endsWord) return true;
        break;
      case MatchKind::Anywhere:
        return true;
    }
  }
  return false;
}

}  // namespace wordloom
