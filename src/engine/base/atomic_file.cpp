#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace wordloom {
namespace {

// The file a path names after following symbolic links, so that saving through a link
// replaces the file it points to (which need not exist yet) rather than the link.
std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    char target[PATH_MAX];
    ssize_t length = ::readlink(current.c_str(), target, sizeof target - 1);
    if (length <= 0) return current;
    std::string next(target, static_cast<size_t>(length));
    size_t slash = current.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next = current.substr(0, slash + 1) + next;
    current = next;
  }
  return current;
}

}  // namespace

AtomicFile::~AtomicFile() {
  if (!committed_ && !temporary_.empty()) {
    (void)writer_.Close();
    ::unlink(temporary_.c_str());
  }
}

Status AtomicFile::Open(const std::string& target) {
  target_ = ResolveLinks(target);
  size_t slash = target_.rfind('/');
  std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  std::string pattern = folder + (folder.back() == '/' ? "" : "/") + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = ::mkstemp(buffer.data());
  if (fd < 0) return Status::Error(ErrnoText(errno));
  temporary_ = buffer.data();

  // The new file keeps the permissions of the one it replaces, or the usual ones for a new file.
  struct stat info {};
  mode_t mode;
  if (::stat(target_.c_str(), &info) == 0) {
    mode = info.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  (void)::fchmod(fd, mode);
  writer_.Attach(fd);
  return Status::Ok();
}

Status AtomicFile::Commit() {
  Status status = writer_.Close(/*sync=*/true);
  if (!status.ok()) return status;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) return Status::Error(ErrnoText(errno));
  committed_ = true;
  // The rename itself reaches the disk with the folder.
  size_t slash = target_.rfind('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target_.substr(0, slash));
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    (void)::fsync(fd);
    ::close(fd);
  }
  return Status::Ok();
}

}  // namespace wordloom
