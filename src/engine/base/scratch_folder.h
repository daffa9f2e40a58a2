// ScratchFolder: the folder of the program's scratch files.
//
// Every scratch file is the folder, "/", "~" and a short name ("~A", "~0"). The default
// folder is private to the user: "wordloom-<uid>" under the system's temporary folder,
// created with mode 0700 and refused when it is a symbolic link or belongs to someone else.
// Scratch files are never opened through a symbolic link, and a lock keeps two processes from
// using one folder at the same time.
#pragma once

#include <string>

#include "base/file_writer.h"
#include "base/status.h"

namespace wordloom {

class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Uses `folder`, creating it (mode 0700) when it does not exist.
  Status Prepare(const std::string& folder);
  // Uses the private per-user folder under $TMPDIR (or /tmp).
  Status PrepareDefault();
  static std::string DefaultPath();

  const std::string& folder() const { return folder_; }
  // The path of the scratch file `name`: the folder, "/~" and the name.
  std::string PathOf(const std::string& name) const;

  Status OpenForWrite(const std::string& name, FileWriter& writer) const;
  // Returns an open read-only descriptor, or -1 with `status` set.
  int OpenForRead(const std::string& name, Status& status) const;
  void Remove(const std::string& name) const;

  // Takes the folder for this process (a lock on its file "~lock"), waiting while another
  // process holds it, so that two runs never share the scratch files. Held until destruction.
  Status Lock();
  // As Lock, but fails at once, saying the folder is in use, while another process holds it.
  Status TryLock();

 private:
  Status TakeLock(bool wait);
  std::string folder_;
  int lockFd_ = -1;
};

}  // namespace wordloom
