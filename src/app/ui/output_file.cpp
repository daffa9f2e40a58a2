#include "ui/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "base/regular_file.h"
#include "base/status.h"
#include "ui/output_text.h"

namespace wordloom::app {
namespace {

constexpr uint64_t kCrLfBit = uint64_t{1} << 63;

// Reads up to `count` bytes at `offset`, fewer only at the end of the file; false with errno set.
bool ReadAt(int fd, char* into, size_t count, uint64_t offset, size_t& got) {
  got = 0;
  while (got < count) {
    const ssize_t n = ::pread(fd, into + got, count - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return true;
}

// UTF-8 columns from the bytes alone, so that a character may fall across two blocks: a
// character up to U+07FF counts one, a longer one two (the East Asian wide characters all
// lie beyond), a continuation byte nothing. Never less than the columns shown.
uint64_t AdvanceUtf8Columns(uint64_t column, const char* begin, const char* end) {
  for (; begin < end; ++begin) {
    const auto byte = static_cast<unsigned char>(*begin);
    if (byte == '\t') {
      column += kTabWidth - column % kTabWidth;
    } else if ((byte & 0xC0) != 0x80) {
      column += byte >= 0xE0 ? 2 : 1;
    }
  }
  return column;
}

}  // namespace

std::shared_ptr<const OutputFile> OutputFile::Open(const std::string& path, TextEncoding encoding, std::string& error,
                                                   size_t blockSize) {
  int fd = -1;
  if (const Status opened = OpenRegularFile(path, fd); !opened.ok()) {
    error = "Could not read " + path + ": " + opened.message() + ".";
    return nullptr;
  }
  std::shared_ptr<OutputFile> file(new OutputFile(fd, path, encoding, std::max<size_t>(blockSize, 1)));
  if (!file->Index(error)) return nullptr;
  return file;
}

OutputFile::~OutputFile() { ::close(fd_); }

bool OutputFile::Index(std::string& error) {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    error = "Could not read " + path_ + ": " + ErrnoText(errno) + ".";
    return false;
  }
  size_ = static_cast<uint64_t>(info.st_size);
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(blockSize_, std::max<uint64_t>(size_, 1))));
  AddLineStart(0, false);
  uint64_t offset = 0;
  uint64_t column = 0;
  char last = '\n';  // the byte before the one being looked at
  const auto advance = encoding_ == TextEncoding::Utf8 ? AdvanceUtf8Columns : AdvanceBytes;
  while (offset < size_) {
    size_t got = 0;
    if (!ReadAt(fd_, buffer.data(), static_cast<size_t>(std::min<uint64_t>(buffer.size(), size_ - offset)), offset,
                got)) {
      error = "Could not read " + path_ + ": " + ErrnoText(errno) + ".";
      return false;
    }
    if (got == 0) {  // cut short since it was opened: index what is there
      size_ = offset;
      break;
    }
    const char* p = buffer.data();
    const char* end = p + got;
    while (p < end) {
      const auto* newline = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
      const char* stop = newline ? newline : end;
      column = advance(column, p, stop);
      if (stop > p) last = stop[-1];
      if (!newline) break;
      const bool crLf = last == '\r';
      longestLine_ = std::max(longestLine_, column - (crLf ? 1 : 0));
      column = 0;
      AddLineStart(offset + static_cast<uint64_t>(newline + 1 - buffer.data()), crLf);
      last = '\n';
      p = newline + 1;
    }
    offset += got;
  }
  endsWithLineEnd_ = size_ > 0 && Entry(entries_ - 1) == size_;
  if (Entry(entries_ - 1) < size_) {  // a last line without an end
    longestLine_ = std::max(longestLine_, column);
    AddLineStart(size_, false);
  }
  lineCount_ = entries_ - 1;
  return true;
}

void OutputFile::AddLineStart(uint64_t offset, bool afterCrLf) {
  constexpr uint64_t kChunk = uint64_t{1} << kChunkBits;
  if (entries_ % kChunk == 0) chunks_.push_back(std::make_unique<uint64_t[]>(kChunk));
  chunks_.back()[entries_ % kChunk] = offset | (afterCrLf ? kCrLfBit : 0);
  ++entries_;
}

uint64_t OutputFile::Entry(uint64_t index) const {
  return chunks_[index >> kChunkBits][index & ((uint64_t{1} << kChunkBits) - 1)] & ~kCrLfBit;
}

uint64_t OutputFile::LineStart(uint64_t line) const { return line < lineCount_ ? Entry(line) : size_; }

uint64_t OutputFile::LineLength(uint64_t line) const {
  if (line >= lineCount_) return 0;
  const uint64_t next = line + 1;
  const uint64_t raw = chunks_[next >> kChunkBits][next & ((uint64_t{1} << kChunkBits) - 1)];
  const bool hasEnd = next < lineCount_ || endsWithLineEnd_;
  const uint64_t endLength = !hasEnd ? 0 : (raw & kCrLfBit) != 0 ? 2 : 1;
  return (raw & ~kCrLfBit) - Entry(line) - endLength;
}

uint64_t OutputFile::LineOf(uint64_t offset) const {
  uint64_t low = 0;  // Entry(low) <= offset
  uint64_t high = lineCount_ + 1;
  while (high - low > 1) {
    const uint64_t middle = low + (high - low) / 2;
    if (Entry(middle) <= offset) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return low;
}

std::string OutputFile::Line(uint64_t line, uint64_t limit) const {
  const uint64_t start = LineStart(line);
  std::string bytes;
  std::string error;
  if (!Read(start, start + std::min(LineLength(line), limit), bytes, error)) bytes.clear();
  return bytes;
}

bool OutputFile::Read(uint64_t begin, uint64_t end, std::string& bytes, std::string& error) const {
  end = std::min(end, size_);
  bytes.resize(begin < end ? static_cast<size_t>(end - begin) : 0);
  size_t got = 0;
  if (!ReadAt(fd_, bytes.data(), bytes.size(), begin, got)) {
    error = "Could not read " + path_ + ": " + ErrnoText(errno) + ".";
    return false;
  }
  if (got < bytes.size()) {
    error = "Could not read " + path_ + ": it was cut short.";
    return false;
  }
  return true;
}

bool OutputFile::Stream(uint64_t begin, uint64_t end, const BlockSink& sink, std::string& error) const {
  end = std::min(end, size_);
  std::string block;
  for (uint64_t at = begin; at < end; at += block.size()) {
    if (!Read(at, std::min(end, at + blockSize_), block, error)) return false;
    if (!sink(block)) return false;
  }
  return true;
}

bool OutputFile::ForEachLine(uint64_t first, uint64_t count, const LineSink& sink, std::string& error) const {
  const uint64_t last = first + std::min(count, lineCount_ - std::min(first, lineCount_));
  const uint64_t rangeEnd = LineStart(last);
  std::string block;  // bytes from blockStart, always beginning at a line start
  uint64_t blockStart = 0;
  std::string longLine;
  for (uint64_t line = first; line < last; ++line) {
    const uint64_t start = Entry(line);
    const uint64_t length = LineLength(line);
    std::string_view bytes;
    if (start >= blockStart && start + length <= blockStart + block.size()) {
      bytes = std::string_view(block).substr(static_cast<size_t>(start - blockStart), static_cast<size_t>(length));
    } else if (length > blockSize_) {
      if (!Read(start, start + length, longLine, error)) return false;
      bytes = longLine;
    } else {
      if (!Read(start, std::min(rangeEnd, start + blockSize_), block, error)) return false;
      blockStart = start;
      bytes = std::string_view(block).substr(0, static_cast<size_t>(length));
    }
    if (!sink(line, bytes)) return false;
  }
  return true;
}

bool OutputFile::ReadFolded(uint64_t begin, uint64_t end, std::string& bytes) const {
  std::string error;
  if (!Read(begin, end, bytes, error)) return false;
  bytes = FoldCase(bytes, encoding_);
  return true;
}

std::optional<uint64_t> OutputFile::FirstMatch(std::string_view folded, uint64_t begin, uint64_t end) const {
  const uint64_t m = folded.size();
  const std::boyer_moore_horspool_searcher searcher(folded.begin(), folded.end());
  std::string bytes;
  for (uint64_t blockStart = begin; blockStart < end; blockStart += blockSize_) {
    // The block holds every match that starts before min(blockStart + blockSize_, end).
    const uint64_t readEnd = std::min(size_, std::min(blockStart + blockSize_, end) + m - 1);
    if (readEnd < blockStart + m) break;
    if (!ReadFolded(blockStart, readEnd, bytes)) return std::nullopt;
    const auto found = std::search(bytes.begin(), bytes.end(), searcher);
    if (found != bytes.end()) return blockStart + static_cast<uint64_t>(found - bytes.begin());
  }
  return std::nullopt;
}

std::optional<uint64_t> OutputFile::LastMatch(std::string_view folded, uint64_t begin, uint64_t end) const {
  const uint64_t m = folded.size();
  std::string bytes;
  for (uint64_t blockEnd = end; blockEnd > begin;) {
    const uint64_t blockStart = blockEnd - std::min<uint64_t>(blockSize_, blockEnd - begin);
    const uint64_t readEnd = std::min(size_, blockEnd + m - 1);
    if (readEnd >= blockStart + m) {
      if (!ReadFolded(blockStart, readEnd, bytes)) return std::nullopt;
      const auto found = std::find_end(bytes.begin(), bytes.end(), folded.begin(), folded.end());
      if (found != bytes.end()) return blockStart + static_cast<uint64_t>(found - bytes.begin());
    }
    blockEnd = blockStart;
  }
  return std::nullopt;
}

std::optional<uint64_t> OutputFile::Find(std::string_view pattern, uint64_t from, bool forward) const {
  if (pattern.empty() || pattern.size() > size_) return std::nullopt;
  const std::string folded = FoldCase(pattern, encoding_);
  from = std::min(from, size_);
  if (forward) {
    if (auto found = FirstMatch(folded, from, size_)) return found;
    return FirstMatch(folded, 0, from);
  }
  if (auto found = LastMatch(folded, 0, from)) return found;
  return LastMatch(folded, from, size_);
}

}  // namespace wordloom::app
