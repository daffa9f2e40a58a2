// OpenRegularFile: opens a file for reading, refusing what is not a regular file.
//
// Texts and project files are read to their end, so a device (/dev/zero never ends) or a
// FIFO (which waits for a writer) must not be read as one. A device, FIFO or socket is
// refused with the reason kNotRegularFile, without being opened when it can be told
// beforehand; the open itself never waits (O_NONBLOCK, cleared again before the descriptor
// is handed out), and what was opened is checked once more. A folder fails as reading one
// does, with the system's "Is a directory". Memory: none.
#pragma once

#include <cstdint>
#include <string>

#include "base/status.h"

namespace wordloom {

// The reason given for a device, FIFO or socket.
inline constexpr char kNotRegularFile[] = "Not a regular file";

// Opens `path` read-only (close-on-exec) into `fd`; on failure `fd` is -1 and the status
// carries the reason alone ("No such file or directory", kNotRegularFile), for the caller's
// message.
Status OpenRegularFile(const std::string& path, int& fd);

// True when `status` is OpenRegularFile's refusal of a device, FIFO or socket.
bool IsNotRegularFile(const Status& status);

// The size of the regular file at `path`; 0 when it is none or cannot be told.
int64_t RegularFileSize(const std::string& path);

}  // namespace wordloom
