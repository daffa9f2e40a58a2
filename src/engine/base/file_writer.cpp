#include "base/file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace wordloom {

FileWriter::~FileWriter() { (void)Close(); }

void FileWriter::Attach(int fd) {
  (void)Close();
  fd_ = fd;
  used_ = 0;
  error_ = Status::Ok();
}

void FileWriter::Write(std::string_view bytes) {
  if (bytes.size() > buffer_.size() - used_) {
    Flush();
    // What would fill the buffer goes straight to the file, never copied.
    if (bytes.size() >= buffer_.size()) return WriteOut(bytes.data(), bytes.size());
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

void FileWriter::Flush() {
  WriteOut(buffer_.data(), used_);
  used_ = 0;
}

void FileWriter::WriteOut(const char* bytes, size_t size) {
  size_t done = 0;
  while (done < size && fd_ >= 0 && error_.ok()) {
    ssize_t wrote = ::write(fd_, bytes + done, size - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      error_ = Status::Error(ErrnoText(errno));
      break;
    }
    done += static_cast<size_t>(wrote);
  }
}

bool FileWriter::CopyFrom(int from, uint64_t bytes) {
  Flush();
  // In the kernel while it can (the same file system), else through the buffer.
  while (bytes > 0 && fd_ >= 0 && error_.ok()) {
    const ssize_t copied = ::copy_file_range(from, nullptr, fd_, nullptr, bytes, 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied <= 0) break;  // some file systems copy nothing: reading says whether `from` ended
    bytes -= static_cast<uint64_t>(copied);
  }
  while (bytes > 0 && fd_ >= 0 && error_.ok()) {
    const ssize_t got = ::read(from, buffer_.data(), bytes < buffer_.size() ? bytes : buffer_.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    WriteOut(buffer_.data(), static_cast<size_t>(got));
    bytes -= static_cast<uint64_t>(got);
  }
  return true;
}

int64_t FileWriter::Reserve(uint64_t bytes) {
  Flush();
  if (fd_ < 0 || !error_.ok()) return -1;
  const off_t at = ::lseek(fd_, 0, SEEK_CUR);
  if (at < 0 || ::lseek(fd_, static_cast<off_t>(bytes), SEEK_CUR) < 0) {
    error_ = Status::Error(ErrnoText(errno));
    return -1;
  }
  return at;
}

bool FileWriter::WriteAt(uint64_t offset, std::string_view bytes) const {
  while (!bytes.empty() && fd_ >= 0) {
    const ssize_t wrote = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(wrote));
    offset += static_cast<uint64_t>(wrote);
  }
  return bytes.empty();
}

void FileWriter::StartWriteBack() {
  Flush();
  if (fd_ >= 0) (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

std::jthread FileWriter::StartWriteBackAside() {
  Flush();
  try {
    return std::jthread([fd = fd_] {
      if (fd >= 0) (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    });
  } catch (const std::system_error&) {
    StartWriteBack();
    return {};
  }
}

Status FileWriter::Close(bool sync) {
  if (fd_ < 0) return error_;
  Flush();
  if (sync && error_.ok() && ::fsync(fd_) != 0) error_ = Status::Error(ErrnoText(errno));
  if (::close(fd_) != 0 && error_.ok()) error_ = Status::Error(ErrnoText(errno));
  fd_ = -1;
  return error_;
}

}  // namespace wordloom
