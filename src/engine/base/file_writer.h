// FileWriter: buffered output to a file descriptor, with the first error kept.
//
// Writes go through a 256 KiB buffer; one as large as the buffer goes straight to the file.
// Room can be left and filled later, in place (Reserve, WriteAt). A
// failed write is remembered and later writes are dropped, so a writer can be used without
// checking each call; Close() reports the first failure with the system's reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/status.h"

namespace wordloom {

class FileWriter {
 public:
  FileWriter() = default;
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Takes ownership of an open descriptor.
  void Attach(int fd);
  bool IsOpen() const { return fd_ >= 0; }

  void Write(std::string_view bytes);
  void Put(char c) {
    if (used_ == buffer_.size()) Flush();
    buffer_[used_++] = c;
  }
  void Flush();
  // Appends the next `bytes` bytes of the open file `from`. False when it ends first or cannot
  // be read; a failed write is kept as Write's are.
  bool CopyFrom(int from, uint64_t bytes);
  // Leaves the next `bytes` bytes of the file for WriteAt to fill, and returns their offset (-1
  // when the file fails; the failure is kept as Write's are).
  int64_t Reserve(uint64_t bytes);
  // Writes `bytes` at `offset`, in room Reserve left; safe from several threads at once, since
  // it touches no buffer. A failure is returned, not kept.
  bool WriteAt(uint64_t offset, std::string_view bytes) const;
  // Has the system start writing what was written so far to storage, so that a later
  // Close(true) of a large file waits less. A hint: its failures are Close's to report. It may
  // wait while the storage catches up; StartWriteBackAside waits on a thread of its own (when
  // the system gives one), which must end before the writer closes.
  void StartWriteBack();
  std::jthread StartWriteBackAside();
  // Flushes the buffer to the file's storage (fsync) when `sync` is set, then closes.
  Status Close(bool sync = false);
  const Status& error() const { return error_; }

 private:
  void WriteOut(const char* bytes, size_t size);

  int fd_ = -1;
  std::vector<char> buffer_ = std::vector<char>(256 * 1024);
  size_t used_ = 0;
  Status error_;
};

}  // namespace wordloom
