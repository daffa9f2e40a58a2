#include "base/scratch_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace wordloom {
namespace {

Status CheckFolder(const std::string& folder, bool mustBePrivate) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) {
    return Status::Error("Could not use the scratch folder " + folder + ": " + ErrnoText(errno) + ".");
  }
  if (S_ISLNK(info.st_mode)) {
    return Status::Error("The scratch folder " + folder + " is a symbolic link; give the folder itself.");
  }
  if (!S_ISDIR(info.st_mode)) {
    return Status::Error("The scratch folder " + folder + " is not a folder.");
  }
  if (mustBePrivate) {
    if (info.st_uid != ::geteuid()) {
      return Status::Error("The scratch folder " + folder + " belongs to another user.");
    }
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
      return Status::Error("Could not make the scratch folder " + folder + " private: " +
                           ErrnoText(errno) + ".");
    }
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return Status::Error("The scratch folder " + folder + " is not writable: " + ErrnoText(errno) + ".");
  }
  return Status::Ok();
}

Status MakeFolder(const std::string& folder, bool mustBePrivate) {
  if (folder.empty()) return Status::Error("No scratch folder was given.");
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return Status::Error("Could not create the scratch folder " + folder + ": " + ErrnoText(errno) + ".");
  }
  return CheckFolder(folder, mustBePrivate);
}

}  // namespace

std::string ScratchFolder::DefaultPath() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (tmp && tmp[0] == '/') ? tmp : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/wordloom-" + std::to_string(::geteuid());
}

Status ScratchFolder::Prepare(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  Status status = MakeFolder(path, false);
  if (status.ok()) folder_ = path;
  return status;
}

Status ScratchFolder::PrepareDefault() {
  std::string path = DefaultPath();
  Status status = MakeFolder(path, true);
  if (status.ok()) folder_ = path;
  return status;
}

std::string ScratchFolder::PathOf(const std::string& name) const {
  return (folder_ == "/" ? "/~" : folder_ + "/~") + name;
}

Status ScratchFolder::OpenForWrite(const std::string& name, FileWriter& writer) const {
  std::string path = PathOf(name);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    return Status::Error("Could not write the scratch file " + path + ": " + ErrnoText(errno) + ".");
  }
  writer.Attach(fd);
  return Status::Ok();
}

int ScratchFolder::OpenForRead(const std::string& name, Status& status) const {
  std::string path = PathOf(name);
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  status = fd < 0 ? Status::Error("Could not read the scratch file " + path + ": " + ErrnoText(errno) + ".")
                  : Status::Ok();
  return fd;
}

void ScratchFolder::Remove(const std::string& name) const { ::unlink(PathOf(name).c_str()); }

ScratchFolder::~ScratchFolder() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

Status ScratchFolder::Lock() { return TakeLock(true); }

Status ScratchFolder::TryLock() { return TakeLock(false); }

Status ScratchFolder::TakeLock(bool wait) {
  if (lockFd_ >= 0) return Status::Ok();
  std::string path = PathOf("lock");
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return Status::Error("Could not lock the scratch folder " + folder_ + ": " + ErrnoText(errno) + ".");
  while (::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) {
      return Status::Error("The scratch folder " + folder_ +
                           " is in use by another run of Wordloom; try again when it has finished.");
    }
    return Status::Error("Could not lock the scratch folder " + folder_ + ": " + ErrnoText(error) + ".");
  }
  lockFd_ = fd;
  return Status::Ok();
}

}  // namespace wordloom
