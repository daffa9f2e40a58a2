// ScratchFolder: the folder of the program's scratch files.
//
// Every scratch file is the folder, "/", "~" and a short name ("~A", "~0"). The default
// folder is private to the user: "wordloom-<uid>" under the system's temporary folder,
// created with mode 0700 and refused when it is a symbolic link or belongs to someone else.
// Scratch files are never opened through a symbolic link.
#pragma once

#include <string>

#include "base/file_writer.h"
#include "base/status.h"

namespace wordloom {

class ScratchFolder {
 public:
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

 private:
  std::string folder_;
};

}  // namespace wordloom
