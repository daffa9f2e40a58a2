// OutputFile: an output text on disk, read a line or a block at a time through the open file.
//
// Open indexes the file once: the byte offset of every line start and the width of the widest
// line. The text is in the encoding of the project that wrote it (Windows-1252 or UTF-8,
// see output_text.h for how its characters stand in columns). A line ends with CR LF or LF; a last line without an end is a line; an empty file has
// no lines. Every read goes through the descriptor kept from Open, so the content stays what it
// was when the path is later removed or replaced by a newer output. The object is immutable
// once opened and its reads use pread, so it may be opened on one thread and read on others.
// Memory: 8 bytes a line for the index, and one block while reading; never the whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scan/scan_rules.h"

namespace wordloom::app {

class OutputFile {
 public:
  static constexpr size_t kBlockSize = 1 << 20;
  // Receives a block of bytes; returns false to stop.
  using BlockSink = std::function<bool(std::string_view bytes)>;
  // Receives one line's bytes, without their end; returns false to stop.
  using LineSink = std::function<bool(uint64_t line, std::string_view bytes)>;

  // Opens and indexes `path`, text in `encoding`, reading it in blocks of `blockSize` bytes
  // (tests use tiny blocks); null with "Could not read PATH: REASON." when it cannot be read.
  static std::shared_ptr<const OutputFile> Open(const std::string& path, TextEncoding encoding, std::string& error,
                                                size_t blockSize = kBlockSize);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  const std::string& Path() const { return path_; }
  TextEncoding Encoding() const { return encoding_; }
  uint64_t Size() const { return size_; }
  uint64_t LineCount() const { return lineCount_; }
  // True when the file's last byte ends a line (false for an empty file).
  bool EndsWithLineEnd() const { return endsWithLineEnd_; }
  // The columns of the widest line, each tab reaching the next multiple of kTabWidth. In UTF-8
  // a bound: each character beyond U+07FF counts two columns, as it may be wide.
  uint64_t LongestLine() const { return longestLine_; }

  // The byte offset where `line` starts; Size() for LineCount() and beyond.
  uint64_t LineStart(uint64_t line) const;
  // The bytes of `line` without its end; 0 past the last line.
  uint64_t LineLength(uint64_t line) const;
  // The line holding byte `offset` (a line's end belongs to it); LineCount() at the end.
  uint64_t LineOf(uint64_t offset) const;
  // The bytes of `line` without its end, at most `limit` of them; empty past the last line or
  // when the read fails.
  std::string Line(uint64_t line, uint64_t limit = UINT64_MAX) const;

  // Reads bytes [begin, end) into `bytes`; false with the message when a read fails.
  bool Read(uint64_t begin, uint64_t end, std::string& bytes, std::string& error) const;
  // Hands bytes [begin, end) to `sink` in blocks; false when a read fails (with the message)
  // or the sink stops (error left empty).
  bool Stream(uint64_t begin, uint64_t end, const BlockSink& sink, std::string& error) const;
  // Hands lines [first, first + count) to `sink`, reading a block at a time.
  bool ForEachLine(uint64_t first, uint64_t count, const LineSink& sink, std::string& error) const;

  // The offset of a match of `pattern` (in the file's encoding), ignoring letter case (see
  // FoldCase in output_text.h): forward, the first
  // match starting at or after `from`; backward, the last match starting before `from`. Either
  // way the search wraps around the file. Empty when there is none (or a read fails).
  std::optional<uint64_t> Find(std::string_view pattern, uint64_t from, bool forward) const;

 private:
  OutputFile(int fd, std::string path, TextEncoding encoding, size_t blockSize)
      : fd_(fd), path_(std::move(path)), encoding_(encoding), blockSize_(blockSize) {}
  bool Index(std::string& error);
  void AddLineStart(uint64_t offset, bool afterCrLf);
  uint64_t Entry(uint64_t index) const;
  std::optional<uint64_t> FirstMatch(std::string_view folded, uint64_t begin, uint64_t end) const;
  std::optional<uint64_t> LastMatch(std::string_view folded, uint64_t begin, uint64_t end) const;
  bool ReadFolded(uint64_t begin, uint64_t end, std::string& bytes) const;

  int fd_;
  std::string path_;
  TextEncoding encoding_;
  size_t blockSize_;
  uint64_t size_ = 0;
  uint64_t lineCount_ = 0;
  uint64_t longestLine_ = 0;
  bool endsWithLineEnd_ = false;
  // Line starts in chunks of kChunk entries, so the index grows without copying. Entry i + 1
  // is where line i's end finishes; its top bit is set when that end was CR LF.
  static constexpr unsigned kChunkBits = 16;
  std::vector<std::unique_ptr<uint64_t[]>> chunks_;
  uint64_t entries_ = 0;
};

}  // namespace wordloom::app
