// SideBySide: runs work(0) to work(count - 1), each on a thread of its own where the system
// gives one; what it does not give, the calling thread runs itself, after work(0). Returns
// when every one is done. `work` must catch its own exceptions. Memory: the threads.
#pragma once

#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

namespace wordloom {

template <typename Work>
void SideBySide(size_t count, const Work& work) {
  if (count == 0) return;
  std::vector<std::jthread> helpers;
  size_t next = 1;
  try {
    for (; next < count; ++next) helpers.emplace_back(work, next);
  } catch (const std::system_error&) {
    // No thread to be had: this thread runs the rest.
  }
  work(0);
  helpers.clear();  // joins them
  for (; next < count; ++next) work(next);
}

}  // namespace wordloom
