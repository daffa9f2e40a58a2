#include "base/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace wordloom {

void GuardStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = ::open("/dev/null", O_RDONLY);
    // open() returns the lowest free descriptor, which is `fd` itself.
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
}

}  // namespace wordloom
