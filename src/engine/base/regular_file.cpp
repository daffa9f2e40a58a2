#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace wordloom {
namespace {

// Folders are let through: reading one fails with the system's own reason.
bool IsRegularOrFolder(mode_t mode) { return S_ISREG(mode) || S_ISDIR(mode); }

}  // namespace

Status OpenRegularFile(const std::string& path, int& fd) {
  fd = -1;
  // A device is not even opened (opening one can have effects of its own).
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !IsRegularOrFolder(info.st_mode)) return Status::Error(kNotRegularFile);
  int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (opened < 0) return Status::Error(ErrnoText(errno));
  // The file may have been replaced since it was looked at: what was opened decides.
  if (::fstat(opened, &info) != 0) {
    const int error = errno;
    ::close(opened);
    return Status::Error(ErrnoText(error));
  }
  Status refused;
  if (S_ISDIR(info.st_mode)) {
    refused = Status::Error(ErrnoText(EISDIR));
  } else if (!S_ISREG(info.st_mode)) {
    refused = Status::Error(kNotRegularFile);
  } else {
    const int flags = ::fcntl(opened, F_GETFL);
    if (flags < 0 || ::fcntl(opened, F_SETFL, flags & ~O_NONBLOCK) != 0) refused = Status::Error(ErrnoText(errno));
  }
  if (!refused.ok()) {
    ::close(opened);
    return refused;
  }
  fd = opened;
  return Status::Ok();
}

bool IsNotRegularFile(const Status& status) { return !status.ok() && status.message() == kNotRegularFile; }

int64_t RegularFileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<int64_t>(info.st_size) : 0;
}

}  // namespace wordloom
