// AtomicFile: replaces a file only once its new content is safely written.
//
// The new content goes to a temporary file ".NAME.XXXXXX" in the target's folder; Commit()
// flushes it to storage and renames it over the target, so a failure at any point leaves the
// previous file byte for byte as it was. The new file keeps the old one's owner, group and
// permission bits (never setuid, setgid or sticky). A file the user cannot write is not
// replaced (for root: one without any write bit, such as mode 0444). Opening removes what an
// earlier save killed mid-way left behind: temporary files of this target, of the user's own,
// more than a minute old.
//
// A target that is a symbolic link is written through: the file it points to is replaced and
// the link stays. A link is followed only when it belongs to the user or to root and does not
// lie in a sticky world-writable folder of another user, at every step of a chain; otherwise
// someone else could have planted it to have the save overwrite a file of their choosing.
// Memory: the writer's buffer.
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

  // Creates the temporary file. On failure the status carries the reason alone: the
  // system's, "it is a link owned by another user" or "the file is read-only".
  Status Open(const std::string& target);
  FileWriter& writer() { return writer_; }
  // The temporary file, for reading back what was written (after writer().Flush()).
  const std::string& temporaryPath() const { return temporary_; }
  Status Commit();

 private:
  std::string target_;
  std::string temporary_;
  FileWriter writer_;
  bool committed_ = false;
};

}  // namespace wordloom
