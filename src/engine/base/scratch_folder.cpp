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

constexpr char kRunPrefix[] = "run-";
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

// Removes every entry of the open folder `fd` (a run folder holds only files).
void RemoveEntries(int fd) {
  const int listFd = ::dup(fd);
  DIR* list = listFd < 0 ? nullptr : ::fdopendir(listFd);
  if (list == nullptr) {
    if (listFd >= 0) ::close(listFd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(list)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.emplace_back(entry->d_name);
  }
  ::closedir(list);
  for (const std::string& name : names) ::unlinkat(fd, name.c_str(), 0);
}

bool IsRunFolderName(const char* name) {
  return std::strncmp(name, kRunPrefix, sizeof kRunPrefix - 1) == 0 && std::strlen(name) == sizeof kRunPrefix - 1 + 6;
}

// Removes the run folders of this user's runs that ended without removing their own (a
// killed process): old enough, and not locked by a live run.
void RemoveAbandonedRuns(const std::string& parent) {
  const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (parentFd < 0) return;
  const int listFd = ::dup(parentFd);
  DIR* list = listFd < 0 ? nullptr : ::fdopendir(listFd);
  std::vector<std::string> names;
  while (list != nullptr) {
    const dirent* entry = ::readdir(list);
    if (entry == nullptr) break;
    if (IsRunFolderName(entry->d_name)) names.emplace_back(entry->d_name);
  }
  if (list != nullptr) {
    ::closedir(list);
  } else if (listFd >= 0) {
    ::close(listFd);
  }
  const time_t now = std::time(nullptr);
  for (const std::string& name : names) {
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && now - info.st_mtime > kAbandonedAfterSeconds &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      RemoveEntries(fd);
      ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
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
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    ::rmdir(buffer.data());
    return Status::Error("Could not use a folder in the scratch folder " + parent + ": " + ErrnoText(error) + ".");
  }
  parent_ = parent;
  folder_ = buffer.data();
  folderFd_ = fd;
  return Status::Ok();
}

std::string ScratchFolder::PathOf(const std::string& name) const { return folder_ + "/~" + name; }

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
  if (folderFd_ < 0) return;
  RemoveEntries(folderFd_);
  ::rmdir(folder_.c_str());
  ::close(folderFd_);
}

}  // namespace wordloom
