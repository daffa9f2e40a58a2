// Memory for a large table that lookups jump about in: mapped on its own, zeroed, and in huge
// pages where the system allows, since small pages would cost a page walk for each lookup.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

namespace wordloom {

// Unmaps a table's memory.
struct MappedMemory {
  size_t bytes = 0;
  void operator()(void* memory) const;
};

// `bytes` of zeroed memory, or null when the system has none.
void* MapTableMemory(size_t bytes);

// A table of `count` elements, all bytes zero (which must be an element's empty state), or null.
template <typename T>
std::unique_ptr<T[], MappedMemory> MapTable(size_t count) {
  static_assert(std::is_trivially_destructible_v<T>);
  return std::unique_ptr<T[], MappedMemory>(static_cast<T*>(MapTableMemory(count * sizeof(T))),
                                            MappedMemory{count * sizeof(T)});
}

}  // namespace wordloom
