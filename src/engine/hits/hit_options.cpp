// The names of search modes and sort levels, as the command line and the settings spell them.
#include <array>
#include <cctype>

#include "hits/hits.h"

namespace wordloom {
namespace {

constexpr std::array<std::pair<std::string_view, SearchMode>, 7> kModes = {{
    {"word", SearchMode::Word},
    {"prefix", SearchMode::Prefix},
    {"suffix", SearchMode::Suffix},
    {"anywhere", SearchMode::Anywhere},
    {"wildcard", SearchMode::Wildcard},
    {"regex", SearchMode::Regex},
    {"phrase", SearchMode::Phrase},
}};

}  // namespace

std::optional<SearchMode> SearchModeNamed(std::string_view name) {
  for (const auto& [text, mode] : kModes) {
    if (text == name) return mode;
  }
  return std::nullopt;
}

std::string_view SearchModeName(SearchMode mode) {
  for (const auto& [text, named] : kModes) {
    if (named == mode) return text;
  }
  return "word";
}

std::string SortFieldName(SortField field) {
  const int n = static_cast<int>(field);
  if (field == SortField::Key) return "KEY";
  if (field == SortField::File) return "FILE";
  if (field == SortField::Line) return "LINE";
  std::string name(1, n <= kSortWords ? 'L' : 'R');
  name += static_cast<char>('0' + (n <= kSortWords ? n : n - kSortWords));
  return name;
}

std::optional<std::vector<SortLevel>> ParseSortLevels(std::string_view text) {
  std::vector<SortLevel> levels;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(',', at);
    if (end == std::string_view::npos) end = text.size();
    std::string name(text.substr(at, end - at));
    SortLevel level;
    if (!name.empty() && name.back() == '-') {
      level.descending = true;
      name.pop_back();
    }
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool known = false;
    for (int n = static_cast<int>(SortField::Key); n <= static_cast<int>(SortField::Line); ++n) {
      if (SortFieldName(static_cast<SortField>(n)) == name) {
        level.field = static_cast<SortField>(n);
        known = true;
      }
    }
    if (!known) return std::nullopt;
    levels.push_back(level);
    at = end + 1;
  }
  return levels;
}

}  // namespace wordloom
