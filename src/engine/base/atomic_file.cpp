#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace wordloom {
namespace {

constexpr int kMaxLinks = 40;  // as the system's own limit on a chain of links
// A temporary file untouched for this long belongs to a save that was killed.
constexpr time_t kStaleSeconds = 60;
constexpr size_t kTemporaryLetters = 6;  // the XXXXXX of mkstemp

bool IsTrusted(uid_t owner) { return owner == ::geteuid() || owner == 0; }

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names after following symbolic links, so that saving through a link
// replaces the file it points to (which need not exist yet) rather than the link. A link that
// another user could have planted or swapped is refused.
Status ResolveLinks(const std::string& path, std::string& resolved) {
  std::string current = path;
  for (int depth = 0;; ++depth) {
    // The owner and the target are read from one open link, so it cannot be swapped between.
    const int fd = ::open(current.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    struct stat link {};
    if (fd < 0 || ::fstat(fd, &link) != 0 || !S_ISLNK(link.st_mode)) {
      if (fd >= 0) ::close(fd);
      break;
    }
    if (depth == kMaxLinks) {
      ::close(fd);
      return Status::Error(ErrnoText(ELOOP));
    }
    // In a sticky world-writable folder, the folder's owner may still replace what lies in it.
    struct stat folder {};
    const bool shared = ::stat(FolderOf(current).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 &&
                        (folder.st_mode & S_IWOTH) != 0;
    if (!IsTrusted(link.st_uid) || (shared && !IsTrusted(folder.st_uid))) {
      ::close(fd);
      return Status::Error("it is a link owned by another user");
    }
    char target[PATH_MAX];
    const ssize_t length = ::readlinkat(fd, "", target, sizeof target);
    const int error = errno;
    ::close(fd);
    if (length < 0) return Status::Error(ErrnoText(error));
    if (length == 0 || static_cast<size_t>(length) == sizeof target) return Status::Error(ErrnoText(ENAMETOOLONG));
    std::string next(target, static_cast<size_t>(length));
    size_t slash = current.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next = current.substr(0, slash + 1) + next;
    current = next;
  }
  resolved = current;
  return Status::Ok();
}

// True when the user may not write the existing regular file `path`. Root may write any file,
// so for root only the mode decides: a file without any write bit is read-only.
bool IsReadOnly(const std::string& path, const struct stat& info) {
  if (::geteuid() == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

bool IsTemporaryLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// Removes the temporary files of `name` that earlier saves left in `folder` when they were
// killed: regular files of the user's own, named exactly as Open names them, unchanged for a
// while (a save under way keeps writing to its own).
void RemoveStaleTemporaries(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::string prefix = "." + name + ".";
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view found(entry->d_name);
    if (found.size() != prefix.size() + kTemporaryLetters || !found.starts_with(prefix)) continue;
    bool ours = true;
    for (char c : found.substr(prefix.size())) ours = ours && IsTemporaryLetter(c);
    struct stat info {};
    if (!ours || ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_mtime <= now - kStaleSeconds) {
      (void)::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

}  // namespace

AtomicFile::~AtomicFile() {
  if (!committed_ && !temporary_.empty()) {
    (void)writer_.Close();
    ::unlink(temporary_.c_str());
  }
}

Status AtomicFile::Open(const std::string& target) {
  Status status = ResolveLinks(target, target_);
  if (!status.ok()) return status;
  struct stat old {};
  const bool replacing = ::lstat(target_.c_str(), &old) == 0;
  if (replacing && S_ISREG(old.st_mode) && IsReadOnly(target_, old)) return Status::Error("the file is read-only");

  size_t slash = target_.rfind('/');
  std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  RemoveStaleTemporaries(folder, name);
  std::string pattern = folder + (folder.back() == '/' ? "" : "/") + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = ::mkstemp(buffer.data());
  if (fd < 0) return Status::Error(ErrnoText(errno));
  temporary_ = buffer.data();

  // The new file keeps the owner, group and permissions of the one it replaces (as far as the
  // user may give them away), or has the usual ones for a new file; never a special bit.
  mode_t mode;
  if (replacing) {
    mode = old.st_mode & 0777;
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
      (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
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
  int fd = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    (void)::fsync(fd);
    ::close(fd);
  }
  return Status::Ok();
}

}  // namespace wordloom
