// ScratchFolder: the private folder of one run's scratch files.
//
// Every run (a wordloom-cli process, a window) makes its own folder "wordloom-run-XXXXXX" in the
// scratch folder it is given, with mkdtemp (mode 0700), and removes it with its files when it
// ends; so two runs never see each other's files, and nothing another user created is ever
// opened. Every scratch file is the run folder, "/", "~" and a short name ("~A", "~0"). The
// default scratch folder is private to the user: "wordloom-<uid>" under the system's temporary
// folder, created with mode 0700 and refused when it is a symbolic link or belongs to someone
// else. Scratch files are opened through the run folder's descriptor, never through a
// symbolic link, and a file opened for writing replaces the old one rather than rewriting it,
// so whoever still reads the old one keeps its content. A run holds a lock on its folder's
// "~lock" only to mark it as alive: a later run removes the scratch files and folders of runs
// that were killed, and nothing ever waits for a lock.
#pragma once

#include <string>

#include "base/file_writer.h"
#include "base/status.h"

namespace wordloom {

class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder();  // removes the run folder and its files
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Makes the run folder inside `folder`, creating `folder` (mode 0700) when it does not exist.
  Status Prepare(const std::string& folder);
  // As Prepare, inside the private per-user folder under $TMPDIR (or /tmp).
  Status PrepareDefault();
  static std::string DefaultPath();

  // The scratch folder given, and this run's own folder inside it.
  const std::string& parent() const { return parent_; }
  const std::string& folder() const { return folder_; }
  // The path of the scratch file `name`: the run folder, "/~" and the name.
  std::string PathOf(const std::string& name) const;

  // Opens a new file `name` for writing, in place of any file of that name.
  Status OpenForWrite(const std::string& name, FileWriter& writer) const;
  // Returns an open read-only descriptor, or -1 with `status` set.
  int OpenForRead(const std::string& name, Status& status) const;
  void Remove(const std::string& name) const;

 private:
  Status MakeRunFolder(const std::string& parent);
  std::string parent_;
  std::string folder_;
  int folderFd_ = -1;  // the run folder
  int lockFd_ = -1;    // its "~lock", locked while this run lives
};

}  // namespace wordloom
