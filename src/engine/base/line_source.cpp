#include "base/line_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "base/cp1252.h"
#include "base/regular_file.h"

namespace wordloom {

LineSource::~LineSource() { Close(); }

void LineSource::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  bytes_ = false;
  bufferBase_ = 0;
  lineOffset_ = 0;
  begin_ = end_ = 0;
  eof_ = true;
  crValid_ = false;
  beyondAscii_ = false;
}

Status LineSource::Open(const std::string& path, size_t bufferSize) { return OpenAt(path, 0, bufferSize); }

Status LineSource::OpenAt(const std::string& path, int64_t start, size_t bufferSize) {
  Close();
  error_ = Status::Ok();
  path_ = path;
  int fd = -1;
  Status opened = OpenRegularFile(path, fd);
  if (!opened.ok()) return opened;
  fd_ = fd;
  // A small file needs no more than its own size (and a byte to find its end).
  struct stat info {};
  if (::fstat(fd, &info) == 0 && info.st_size >= start && static_cast<uint64_t>(info.st_size - start) < bufferSize) {
    bufferSize = static_cast<size_t>(info.st_size - start) + 1;
  }
  buffer_.resize(bufferSize < 16 ? 16 : bufferSize);
  eof_ = false;
  bufferBase_ = start;
  Fill();
  if (!error_.ok()) {
    Status failed = error_;
    Close();
    return failed;
  }
  return Status::Ok();
}

Status LineSource::Restart(int64_t start) {
  if (fd_ < 0) return Status::Error(ErrnoText(EBADF));
  error_ = Status::Ok();
  bufferBase_ = start;
  lineOffset_ = start;
  begin_ = end_ = 0;
  crValid_ = false;
  eof_ = false;
  Fill();
  return error_;
}

void LineSource::OpenBytes(std::string_view bytes) {
  Close();
  error_ = Status::Ok();
  buffer_.assign(bytes.begin(), bytes.end());
  begin_ = 0;
  end_ = bytes.size();
  bytes_ = true;
  beyondAscii_ = !IsAscii(bytes);
}

bool LineSource::Fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    bufferBase_ += static_cast<int64_t>(begin_);
    end_ -= begin_;
    begin_ = 0;
    crValid_ = false;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  for (;;) {
    // buffer_[i] holds the file's byte bufferBase_ + i.
    ssize_t got = ::pread(fd_, buffer_.data() + end_, buffer_.size() - end_, bufferBase_ + static_cast<int64_t>(end_));
    if (got > 0) {
      if (!beyondAscii_) beyondAscii_ = !IsAscii(std::string_view(buffer_.data() + end_, static_cast<size_t>(got)));
      end_ += static_cast<size_t>(got);
      crValid_ = false;
      return true;
    }
    if (got == 0) {
      eof_ = true;
      return false;
    }
    if (errno == EINTR) continue;
    error_ = Status::Error(ErrnoText(errno));
    eof_ = true;
    return false;
  }
}

std::string_view LineSource::LinesAhead(int64_t limit) const {
  size_t stop = end_;
  if (limit >= 0 && limit - bufferBase_ < static_cast<int64_t>(end_)) {
    stop = limit > bufferBase_ ? static_cast<size_t>(limit - bufferBase_) : 0;
  }
  if (stop <= begin_ + 1) return {};
  // The last LF with a byte after it before `stop`: the line of that byte is left out.
  const char* from = buffer_.data() + begin_;
  const void* lf = ::memrchr(from, '\n', stop - 1 - begin_);
  if (!lf) return {};
  return std::string_view(from, static_cast<size_t>(static_cast<const char*>(lf) + 1 - from));
}

namespace {

// The LFs and CRs in [from, to), counted in short blocks that the compiler turns into vector code.
int64_t CountTerminatorBytes(const char* from, const char* to) {
  int64_t count = 0;
  while (from < to) {
    const char* end = from + std::min<std::ptrdiff_t>(to - from, 4096);
    uint32_t inBlock = 0;
    for (; from < end; ++from) inBlock += (*from == '\n') | (*from == '\r');
    count += inBlock;
  }
  return count;
}

}  // namespace

int64_t LineSource::CountLines() {
  int64_t lines = 0;
  char last = '\n';  // the byte before the data counted so far: none yet, as after a terminator
  do {
    const char* from = buffer_.data() + begin_;
    const char* to = buffer_.data() + end_;
    if (from == to) continue;
    // Every LF and every CR ends a line, but a CR LF ends one, also across two reads.
    lines += CountTerminatorBytes(from, to);
    if (last == '\r' && *from == '\n') --lines;
    for (const char* cr = from; (cr = static_cast<const char*>(std::memchr(cr, '\r', to - cr))) != nullptr && ++cr < to;) {
      if (*cr == '\n') --lines;
    }
    last = to[-1];
    begin_ = end_;
  } while (Fill());
  if (last != '\n' && last != '\r') ++lines;  // a last line without a terminator
  return lines;
}

size_t LineSource::FindTerminator(size_t from) {
  // The CR position is cached so that a file without CRs is searched for one once per
  // buffer, not once per line.
  if (!crValid_ || crPos_ < from) {
    const void* cr = std::memchr(buffer_.data() + from, '\r', end_ - from);
    crPos_ = cr ? static_cast<size_t>(static_cast<const char*>(cr) - buffer_.data()) : end_;
    crValid_ = true;
  }
  const void* lf = std::memchr(buffer_.data() + from, '\n', crPos_ - from);
  return lf ? static_cast<size_t>(static_cast<const char*>(lf) - buffer_.data()) : crPos_;
}

bool LineSource::ReadLine(std::string& line) {
  if (fd_ < 0 && !bytes_) return false;
  lineOffset_ = bufferBase_ + static_cast<int64_t>(begin_);
  size_t scanned = begin_;  // bytes before this offset hold no terminator
  for (;;) {
    size_t at = FindTerminator(scanned);
    if (at < end_) {
      bool crAtBufferEnd = buffer_[at] == '\r' && at + 1 == end_ && !eof_;
      if (!crAtBufferEnd) {
        size_t next = at + 1;
        if (buffer_[at] == '\r' && next < end_ && buffer_[next] == '\n') ++next;
        line.assign(buffer_.data() + begin_, at - begin_);
        begin_ = next;
        if (begin_ == end_) Fill();  // learn whether the file is at its end
        return true;
      }
    }
    if (eof_) {
      if (begin_ == end_) return false;
      line.assign(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
    size_t offset = (at < end_ ? at : end_) - begin_;
    Fill();
    scanned = begin_ + offset;
  }
}

}  // namespace wordloom
