#include "concordance/key_search.h"

namespace wordloom {

KeySearcher::KeySearcher(std::string_view key) : key_(key) {
  const size_t m = key_.size();
  for (int c = 0; c < 256; ++c) {
    const unsigned char lower = ToLower1252(static_cast<unsigned char>(c));
    size_t shift = m;
    for (size_t i = 0; i + 1 < m; ++i) {
      if (static_cast<unsigned char>(key_[i]) == lower) shift = m - 1 - i;
    }
    shift_[static_cast<size_t>(c)] = shift;
  }
}

}  // namespace wordloom
