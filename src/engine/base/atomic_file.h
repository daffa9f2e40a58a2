// AtomicFile: replaces a file only once its new content is safely written.
//
// The new content goes to a temporary file in the target's folder; Commit() flushes it to
// storage and renames it over the target, so a failure at any point leaves the previous
// file byte for byte as it was. A target that is a symbolic link is written through: the
// file it points to is replaced and the link stays.
#pragma once

#include <string>
#include <string_view>

#include "base/file_writer.h"
#include "base/status.h"

namespace wordloom {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; the status carries the system's reason on failure.
  Status Open(const std::string& target);
  FileWriter& writer() { return writer_; }
  Status Commit();

 private:
  std::string target_;
  std::string temporary_;
  FileWriter writer_;
  bool committed_ = false;
};

}  // namespace wordloom
