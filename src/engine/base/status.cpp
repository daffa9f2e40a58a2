#include "base/status.h"

#include <cstring>

namespace wordloom {

std::string ErrnoText(int error) { return std::strerror(error); }

}  // namespace wordloom
