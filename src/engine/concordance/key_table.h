// Matching a whole key list at once: which keys a word or a line matches.
//
// A KeyTable gives exactly what MatchKey gives for each key in turn, at a cost that does not
// grow with the number of keys. The keys are held in a trie, walked forward from every place
// an occurrence may start (whole words and prefixes) or, over the reversed keys, backward from
// every place one may end (suffixes); for keys found anywhere the trie is an Aho-Corasick
// automaton run once over the text; a text of word characters only is looked up whole among
// the whole-word keys. Each key the text matches is reported once, however often it occurs.
// With a handful of keys, for which trying each in turn is faster, it does just that.
// Memory: about 30 bytes for each character of the keys, and a copy of whole-word keys.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "concordance/match_key.h"

namespace wordloom {

class KeyTable {
 public:
  // `keys` are lower case, in key-list order; they may repeat and may be empty.
  KeyTable(MatchKind kind, const std::vector<std::string>& keys);

  // Sets `found` to the positions in the key list of the keys that MatchKey accepts in `text`,
  // in increasing order: a key listed twice is found twice. Not for two threads at once.
  void Match(std::string_view text, const WordCharTable& isWord, std::vector<size_t>& found);

 private:
  static constexpr uint32_t kNone = UINT32_MAX;

  // The positions in the key list of the keys of one text: keyIndex_[first, first + count),
  // in increasing order.
  struct KeyRun {
    uint32_t first = 0, count = 0;
  };
  // Node 0 is the root. A node's edges, in increasing byte order, are a run of edges_.
  struct Node {
    uint32_t firstEdge = 0, edgeCount = 0;
    KeyRun keys;  // the keys that end at the node
  };
  struct Edge {
    uint32_t to;
    unsigned char byte;
  };
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  void Build(std::vector<std::string> keys);
  void LinkFailures();
  uint32_t Child(uint32_t node, unsigned char c) const;
  uint32_t Step(uint32_t node, unsigned char c) const;
  void Report(uint32_t node);
  void Append(KeyRun keys, std::vector<size_t>& found) const;

  MatchKind kind_;
  std::vector<std::string> fewKeys_;  // the keys, when they are few enough to try in turn
  bool tabled_ = false;

  std::vector<Node> nodes_;
  std::vector<Edge> edges_;
  std::vector<uint32_t> keyIndex_;
  std::array<uint32_t, 256> rootChild_{};
  // For keys found anywhere: the node of the longest proper suffix of a node's text, and the
  // nearest node along those links at which a key ends.
  std::vector<uint32_t> failure_, output_;
  // For whole words, the keys of each text: a text of word characters only, as the keyword
  // pass hands over, matches just the keys equal to it, found here in one look.
  std::unordered_map<std::string, KeyRun, TextHash, std::equal_to<>> wordKeys_;

  std::vector<uint32_t> seen_;  // the round in which each node was last reported
  uint32_t round_ = 0;
  std::vector<uint32_t> reported_;
};

}  // namespace wordloom
