#include "concordance/key_table.h"

#include <algorithm>
#include <numeric>

namespace wordloom {
namespace {

constexpr size_t kMostTriedKeys = 4;  // up to this many keys are tried one by one

}  // namespace

KeyTable::KeyTable(MatchKind kind, const std::vector<std::string>& keys) : kind_(kind) {
  uint64_t characters = 0;
  for (const std::string& key : keys) characters += key.size();
  // Nodes and keys are numbered in 32 bits; a list too long for that is tried key by key.
  if (keys.size() <= kMostTriedKeys || characters + keys.size() >= kNone) {
    fewKeys_ = keys;
    return;
  }
  tabled_ = true;
  Build(keys);
  if (kind_ == MatchKind::Anywhere) LinkFailures();
  seen_.assign(nodes_.size(), 0);
}

void KeyTable::Build(std::vector<std::string> keys) {
  if (kind_ == MatchKind::Suffix) {
    for (std::string& key : keys) std::reverse(key.begin(), key.end());
  }
  // Sorted, the keys below a node are a run; equal keys stay in list order.
  std::vector<uint32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });

  // Each node holds a run [lo, hi) of the sorted keys, whose first `depth` characters are its
  // text. The children of a node are numbered together, and the first of them is built next,
  // so that a walk down a run of single children reads memory in order.
  struct Pending {
    uint32_t node, lo, hi, depth;
  };
  nodes_.emplace_back();
  std::vector<Pending> stack{{0, 0, static_cast<uint32_t>(keys.size()), 0}};
  std::vector<Pending> children;
  while (!stack.empty()) {
    const Pending pending = stack.back();
    stack.pop_back();
    Node node;
    node.keys.first = static_cast<uint32_t>(keyIndex_.size());
    uint32_t at = pending.lo;
    // The keys that are the node's text come first.
    for (; at < pending.hi && keys[order[at]].size() == pending.depth; ++at) keyIndex_.push_back(order[at]);
    node.keys.count = static_cast<uint32_t>(keyIndex_.size()) - node.keys.first;
    node.firstEdge = static_cast<uint32_t>(edges_.size());
    children.clear();
    while (at < pending.hi) {
      const unsigned char c = static_cast<unsigned char>(keys[order[at]][pending.depth]);
      uint32_t end = at + 1;
      while (end < pending.hi && static_cast<unsigned char>(keys[order[end]][pending.depth]) == c) ++end;
      const uint32_t child = static_cast<uint32_t>(nodes_.size());
      nodes_.emplace_back();
      edges_.push_back(Edge{child, c});
      children.push_back(Pending{child, at, end, pending.depth + 1});
      at = end;
    }
    node.edgeCount = static_cast<uint32_t>(edges_.size()) - node.firstEdge;
    nodes_[pending.node] = node;
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  rootChild_.fill(kNone);
  for (uint32_t e = 0; e < nodes_[0].edgeCount; ++e) rootChild_[edges_[e].byte] = edges_[e].to;
  if (kind_ == MatchKind::Word) {
    for (const Node& node : nodes_) {
      if (node.keys.count != 0) wordKeys_.emplace(keys[keyIndex_[node.keys.first]], node.keys);
    }
  }
}

void KeyTable::LinkFailures() {
  failure_.assign(nodes_.size(), 0);
  output_.assign(nodes_.size(), kNone);
  // Breadth first, so that the links of every shorter text are in place.
  std::vector<uint32_t> queue{0};
  for (size_t i = 0; i < queue.size(); ++i) {
    const uint32_t v = queue[i];
    const Node& node = nodes_[v];
    for (uint32_t e = node.firstEdge; e < node.firstEdge + node.edgeCount; ++e) {
      const uint32_t child = edges_[e].to;
      const uint32_t failure = v == 0 ? 0 : Step(failure_[v], edges_[e].byte);
      failure_[child] = failure;
      output_[child] = nodes_[failure].keys.count != 0 ? failure : output_[failure];
      queue.push_back(child);
    }
  }
}

uint32_t KeyTable::Child(uint32_t node, unsigned char c) const {
  if (node == 0) return rootChild_[c];
  const Edge* first = edges_.data() + nodes_[node].firstEdge;
  const Edge* last = first + nodes_[node].edgeCount;
  const Edge* at = std::lower_bound(first, last, c, [](const Edge& edge, unsigned char byte) { return edge.byte < byte; });
  return at != last && at->byte == c ? at->to : kNone;
}

uint32_t KeyTable::Step(uint32_t node, unsigned char c) const {
  for (;;) {
    const uint32_t next = Child(node, c);
    if (next != kNone) return next;
    if (node == 0) return 0;
    node = failure_[node];
  }
}

void KeyTable::Report(uint32_t node) {
  if (seen_[node] == round_) return;
  seen_[node] = round_;
  reported_.push_back(node);
}

void KeyTable::Append(KeyRun keys, std::vector<size_t>& found) const {
  found.insert(found.end(), keyIndex_.begin() + keys.first, keyIndex_.begin() + keys.first + keys.count);
}

void KeyTable::Match(std::string_view text, const WordCharTable& isWord, std::vector<size_t>& found) {
  found.clear();
  if (!tabled_) {
    for (size_t n = 0; n < fewKeys_.size(); ++n) {
      if (MatchKey(kind_, fewKeys_[n], text, isWord)) found.push_back(n);
    }
    return;
  }
  auto word = [&](char c) { return isWord[static_cast<unsigned char>(c)]; };
  if (kind_ == MatchKind::Word && std::all_of(text.begin(), text.end(), word)) {
    // Only the whole text can be a word of it; never the empty key.
    const auto keys = wordKeys_.find(text);
    if (keys != wordKeys_.end() && !text.empty()) Append(keys->second, found);
    return;
  }
  if (++round_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    round_ = 1;
  }
  reported_.clear();
  const size_t size = text.size();
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  auto wordAt = [&](size_t i) { return isWord[byte(i)]; };
  // An occurrence counts only if it starts inside the text: only the empty key's can fail to.
  switch (kind_) {
    case MatchKind::Word:
    case MatchKind::Prefix:
      for (size_t start = 0; start < size; ++start) {
        if (start > 0 && wordAt(start - 1)) continue;
        uint32_t node = 0;
        for (size_t end = start;; ++end) {
          const bool counts = kind_ == MatchKind::Prefix || end == size || !wordAt(end);
          if (counts && nodes_[node].keys.count != 0) Report(node);
          if (end == size || (node = Child(node, byte(end))) == kNone) break;
        }
      }
      break;
    case MatchKind::Suffix:
      for (size_t end = 0; end <= size; ++end) {
        if (end < size && wordAt(end)) continue;
        uint32_t node = 0;  // walking the reversed keys back from `end`
        for (size_t start = end;; --start) {
          if (start < size && nodes_[node].keys.count != 0) Report(node);
          if (start == 0 || (node = Child(node, byte(start - 1))) == kNone) break;
        }
      }
      break;
    case MatchKind::Anywhere: {
      uint32_t node = 0;
      for (size_t i = 0; i < size; ++i) {
        node = Step(node, byte(i));
        // The output links of a node reported earlier have all been reported with it.
        uint32_t at = nodes_[node].keys.count != 0 ? node : output_[node];
        for (; at != kNone && seen_[at] != round_; at = output_[at]) Report(at);
      }
      break;
    }
  }
  for (uint32_t node : reported_) Append(nodes_[node].keys, found);
  if (reported_.size() > 1) std::sort(found.begin(), found.end());
}

}  // namespace wordloom
