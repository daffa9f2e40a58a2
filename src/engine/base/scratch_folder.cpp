#include "base/scratch_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace wordloom {
namespace {

constexpr char kRunPrefix[] = "wordloom-run-";
constexpr char kLockName[] = "~lock";
// A folder of a run that died is removed once it is this old; a live run locks its folder
// at once, so the age only covers the moment between creating the folder and locking it.
constexpr time_t kAbandonedAfterSeconds = 60;

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

// The names in the open folder `fd` that `wanted` accepts.
template <typename Wanted>
std::vector<std::string> NamesIn(int fd, Wanted wanted) {
  std::vector<std::string> names;
  const int listFd = ::dup(fd);
  DIR* list = listFd < 0 ? nullptr : ::fdopendir(listFd);
  if (list == nullptr) {
    if (listFd >= 0) ::close(listFd);
    return names;
  }
  while (const dirent* entry = ::readdir(list)) {
    if (wanted(entry->d_name)) names.emplace_back(entry->d_name);
  }
  ::closedir(list);
  return names;
}

// Removes the scratch files ("~" names) of the open run folder `fd`; nothing else that may
// have been put there.
void RemoveScratchFiles(int fd) {
  for (const std::string& name : NamesIn(fd, [](const char* entry) { return entry[0] == '~'; })) {
    ::unlinkat(fd, name.c_str(), 0);
  }
}

bool IsRunFolderName(const char* name) {
  return std::strncmp(name, kRunPrefix, sizeof kRunPrefix - 1) == 0 && std::strlen(name) == sizeof kRunPrefix - 1 + 6;
}

// Whether a live run holds the lock of the run folder `fd`.
bool IsLive(int fd) {
  const int lock = ::openat(fd, kLockName, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (lock < 0) return false;
  const bool live = ::flock(lock, LOCK_EX | LOCK_NB) != 0;
  ::close(lock);
  return live;
}

// Removes the run folders of this user's runs that ended without removing their own (a
// killed process): old enough, and not locked by a live run.
void RemoveAbandonedRuns(const std::string& parent) {
  const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (parentFd < 0) return;
  const std::vector<std::string> names = NamesIn(parentFd, IsRunFolderName);
  const time_t now = std::time(nullptr);
  for (const std::string& name : names) {
    // What another user made is not even opened.
    struct stat info {};
    if (::fstatat(parentFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || now - info.st_mtime <= kAbandonedAfterSeconds) {
      continue;
    }
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && !IsLive(fd)) {
      RemoveScratchFiles(fd);
      ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);  // only when nothing else is left
    }
    ::close(fd);
  }
  ::close(parentFd);
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
  return status.ok() ? MakeRunFolder(path) : status;
}

Status ScratchFolder::PrepareDefault() {
  std::string path = DefaultPath();
  Status status = MakeFolder(path, true);
  return status.ok() ? MakeRunFolder(path) : status;
}

Status ScratchFolder::MakeRunFolder(const std::string& parent) {
  RemoveAbandonedRuns(parent);
  std::string pattern = (parent == "/" ? "/" : parent + "/") + kRunPrefix + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) {
    return Status::Error("Could not create a folder in the scratch folder " + parent + ": " + ErrnoText(errno) + ".");
  }
  const int fd = ::open(buffer.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  const int lock = fd < 0 ? -1 : ::openat(fd, kLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (lock >= 0) ::close(lock);
    if (fd >= 0) {
      RemoveScratchFiles(fd);
      ::close(fd);
    }
    ::rmdir(buffer.data());
    return Status::Error("Could not use a folder in the scratch folder " + parent + ": " + ErrnoText(error) + ".");
  }
  parent_ = parent;
  folder_ = buffer.data();
  folderFd_ = fd;
  lockFd_ = lock;
  return Status::Ok();
}

std::string ScratchFolder::PathOf(const std::string& name) const { return folder_ + "/~" + name; }

// Scratch files are opened through the run folder's descriptor, so that nothing put in the
// folder's place is ever used. A file is written anew, never over the old one: a reader that
// still holds the old one open goes on reading what it held.
Status ScratchFolder::OpenForWrite(const std::string& name, FileWriter& writer) const {
  const std::string file = "~" + name;
  if (::unlinkat(folderFd_, file.c_str(), 0) != 0 && errno != ENOENT) {
    return Status::Error("Could not replace the scratch file " + PathOf(name) + ": " + ErrnoText(errno) + ".");
  }
  const int fd = ::openat(folderFd_, file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    return Status::Error("Could not write the scratch file " + PathOf(name) + ": " + ErrnoText(errno) + ".");
  }
  writer.Attach(fd);
  return Status::Ok();
}

int ScratchFolder::OpenForRead(const std::string& name, Status& status) const {
  const int fd = ::openat(folderFd_, ("~" + name).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  status = fd < 0 ? Status::Error("Could not read the scratch file " + PathOf(name) + ": " + ErrnoText(errno) + ".")
                  : Status::Ok();
  return fd;
}

void ScratchFolder::Remove(const std::string& name) const { ::unlinkat(folderFd_, ("~" + name).c_str(), 0); }

ScratchFolder::~ScratchFolder() {
  if (folderFd_ < 0) return;
  RemoveScratchFiles(folderFd_);
  ::rmdir(folder_.c_str());
  ::close(lockFd_);
  ::close(folderFd_);
}

}  // namespace wordloom
