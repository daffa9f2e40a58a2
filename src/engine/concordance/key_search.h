// Finding a lower-case key in text of either case, fast.
//
// The text is never copied or folded. Where the processor has SSE2, sixteen positions are
// tested at a time: the key's first and last characters, in either case, must both be in
// place before the whole key is compared. Elsewhere a Horspool search skips through the
// text by the key's length. Used to pass quickly over text in which a key cannot be found.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wordloom {

class KeySearcher {
 public:
  // `key` is lower case and not empty.
  explicit KeySearcher(std::string_view key);

  // Appends the offset of every occurrence in `text`, overlapping ones included, in order.
  void FindAll(std::string_view text, std::vector<size_t>& found) const;

 private:
  bool Matches(const unsigned char* at) const;
  void FindWithShifts(std::string_view text, std::vector<size_t>& found) const;

  std::string key_;
  std::array<size_t, 256> shift_{};
  // The bytes whose lower-case partner is the key's first (last) character, when there are
  // at most two of them.
  unsigned char first_[2] = {0, 0};
  unsigned char last_[2] = {0, 0};
  bool twoCases_ = false;
};

}  // namespace wordloom
