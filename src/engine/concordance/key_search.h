// Finding a lower-case key in text of either case, fast.
//
// A Horspool search whose shift table is built over the raw bytes through the lower-case
// table, so the text is never copied or folded: typically it looks at one byte in every
// key-length bytes. Used to skip quickly through text in which a key cannot be found.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/cp1252.h"

namespace wordloom {

class KeySearcher {
 public:
  // `key` is lower case and not empty.
  explicit KeySearcher(std::string_view key);

  // Calls found(offset) for every occurrence in `text`, overlapping ones included, in order.
  template <typename Found>
  void FindAll(std::string_view text, Found found) const {
    const size_t m = key_.size();
    if (text.size() < m) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* lower = LowerCaseTable().data();
    const unsigned char* key = reinterpret_cast<const unsigned char*>(key_.data());
    const unsigned char last = key[m - 1];
    const size_t stop = text.size() - m;
    for (size_t at = 0; at <= stop;) {
      unsigned char c = p[at + m - 1];
      if (lower[c] == last) {
        size_t i = 0;
        while (i + 1 < m && lower[p[at + i]] == key[i]) ++i;
        if (i + 1 == m) found(at);
      }
      at += shift_[c];
    }
  }

 private:
  std::string key_;
  std::array<size_t, 256> shift_{};
};

}  // namespace wordloom
