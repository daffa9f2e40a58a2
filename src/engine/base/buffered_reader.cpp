#include "base/buffered_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wordloom {

void BufferedReader::Reset(int fd, std::string name, uint64_t offset, uint64_t length) {
  fd_ = fd;
  name_ = std::move(name);
  next_ = offset;
  end_ = length > UINT64_MAX - offset ? UINT64_MAX : offset + length;
  fileEnded_ = false;
  begin_ = filled_ = 0;
  error_ = Status::Ok();
}

bool BufferedReader::Read(void* into, size_t size) {
  char* out = static_cast<char*>(into);
  while (size > 0) {
    if (begin_ == filled_) {
      const uint64_t want = std::min<uint64_t>(buffer_.size(), end_ - next_);
      if (fd_ < 0 || want == 0 || fileEnded_) return false;
      const ssize_t got = ::pread(fd_, buffer_.data(), want, static_cast<off_t>(next_));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        error_ = Status::Error("Could not read the scratch file " + name_ + ": " + ErrnoText(errno) + ".");
        return false;
      }
      if (got == 0) {
        fileEnded_ = true;
        return false;
      }
      next_ += static_cast<uint64_t>(got);
      begin_ = 0;
      filled_ = static_cast<size_t>(got);
    }
    const size_t take = std::min(size, filled_ - begin_);
    std::memcpy(out, buffer_.data() + begin_, take);
    begin_ += take;
    out += take;
    size -= take;
  }
  return true;
}

}  // namespace wordloom
