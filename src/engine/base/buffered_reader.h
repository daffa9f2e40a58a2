// BufferedReader: reads of exact sizes from a stretch of an open file, through a buffer.
//
// The reader does not own the descriptor, and reads its stretch with pread, so several
// readers can share one file (the runs of a merge). Memory: the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"

namespace wordloom {

class BufferedReader {
 public:
  explicit BufferedReader(size_t bufferSize = 256 * 1024) : buffer_(bufferSize) {}

  // Starts reading `length` bytes of `fd` from `offset` (to the end of the file by default).
  // `name` names the file in messages.
  void Reset(int fd, std::string name, uint64_t offset = 0, uint64_t length = UINT64_MAX);

  // Reads exactly `size` bytes. False when the stretch or the file ends first, or a read
  // fails (error() then says why).
  bool Read(void* into, size_t size);
  // True when every byte of the stretch has been handed out (or the file ended).
  bool AtEnd() const { return begin_ == filled_ && (next_ >= end_ || fileEnded_); }
  const Status& error() const { return error_; }

 private:
  int fd_ = -1;
  std::string name_;
  uint64_t next_ = 0;
  uint64_t end_ = 0;
  bool fileEnded_ = false;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t filled_ = 0;
  Status error_;
};

}  // namespace wordloom
