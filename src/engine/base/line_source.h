// LineSource: the physical lines of a text file, read through one large buffer.
//
// A physical line ends at LF, CR LF or a lone CR; the terminator after the last line starts
// no further line. Lines are bytes (any value, NUL included) handed out as views into the
// buffer, valid until the next call. Memory is one buffer of 1 MiB, grown only to hold a
// line longer than that. A read error ends the data; error() then says what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace wordloom {

class LineSource {
 public:
  LineSource() = default;
  ~LineSource();
  LineSource(const LineSource&) = delete;
  LineSource& operator=(const LineSource&) = delete;

  // Opens the file and reads its first block, so that a folder or an unreadable file fails
  // here with the system's reason, and a device or FIFO with kNotRegularFile.
  Status Open(const std::string& path, size_t bufferSize = 1 << 20);
  // As Open, reading from byte `start` (the first byte of a line) on; offsets still count
  // from the file's first byte.
  Status OpenAt(const std::string& path, int64_t start, size_t bufferSize = 1 << 20);
  // Reads the open file again from byte `start` (the first byte of a line) on, keeping its
  // buffer: for reading one file at several places in turn.
  Status Restart(int64_t start);
  // Reads `bytes` (a copy is kept) as if they were a whole file.
  void OpenBytes(std::string_view bytes);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Puts the next physical line, without its terminator, into `line`; false when no line
  // is left. AtEnd() is up to date when it returns.
  bool ReadLine(std::string& line);
  // The whole lines already read ahead, up to the last one in the buffer and ending before
  // file offset `limit` (-1: anywhere): none of them the last line before either. They end at
  // an LF (the last of them, at least), so that ReadLine would give each as the bytes show it.
  // Empty when there are none; valid until the next call.
  std::string_view LinesAhead(int64_t limit) const;
  // Passes over the first `bytes` of LinesAhead, as reading their lines would.
  void Skip(size_t bytes) { begin_ += bytes; }
  // Reads on to the end of the data and counts the lines left there, as many as ReadLine
  // would give, without handing them out.
  int64_t CountLines();
  // The byte offset in the file of the first byte of the line ReadLine gave last.
  int64_t lineOffset() const { return lineOffset_; }
  // The byte offset of the line ReadLine gives next (past the end when none is left).
  int64_t nextLineOffset() const { return bufferBase_ + static_cast<int64_t>(begin_); }
  // True when no further line can be read: the data is used up (or a read failed).
  bool AtEnd() const { return begin_ == end_ && eof_; }
  // The read error that ended the data early, if any.
  const Status& error() const { return error_; }
  // True once a byte beyond ASCII has been read (into the buffer: perhaps ahead of the lines).
  bool beyondAscii() const { return beyondAscii_; }

 private:
  bool Fill();  // moves the unread bytes to the front and reads more; false if none came
  size_t FindTerminator(size_t from);

  int fd_ = -1;
  bool bytes_ = false;      // reading bytes given by OpenBytes
  int64_t bufferBase_ = 0;  // the file offset of buffer_[0]
  int64_t lineOffset_ = 0;
  std::string path_;
  std::vector<char> buffer_;
  size_t begin_ = 0;  // first unread byte
  size_t end_ = 0;    // one past the last byte read from the file
  size_t crPos_ = 0;  // cached position of the next CR at or after a past search (end_ if none)
  bool crValid_ = false;
  bool eof_ = true;
  bool beyondAscii_ = false;
  Status error_;
};

}  // namespace wordloom
