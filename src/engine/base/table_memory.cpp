#include "base/table_memory.h"

#include <sys/mman.h>

namespace wordloom {

void MappedMemory::operator()(void* memory) const {
  if (memory != nullptr) ::munmap(memory, bytes);
}

void* MapTableMemory(size_t bytes) {
  void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  if (bytes >= (size_t{2} << 20)) (void)::madvise(memory, bytes, MADV_HUGEPAGE);
  return memory;
}

}  // namespace wordloom
