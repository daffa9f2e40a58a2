#include "base/paths.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace wordloom {

Status WorkingFolder(std::string& folder) {
  const Status tooLong = Status::Error("The working folder's path is too long.");
  // The path is found at any length (the buffer grows until it holds it), but one that the
  // system cannot open by is refused rather than used.
  std::vector<char> buffer(PATH_MAX);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno == ERANGE) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (errno == ENAMETOOLONG) return tooLong;
    if (errno == ENOENT) return Status::Error("The working folder no longer exists.");
    return Status::Error("Could not find the working folder's path: " + ErrnoText(errno) + ".");
  }
  folder = buffer.data();
  return folder.size() < PATH_MAX ? Status::Ok() : tooLong;
}

std::string CurrentFolder() {
  std::string folder;
  return WorkingFolder(folder).ok() ? folder : "/";
}

bool ExecutableFolder(std::string& folder) {
  std::vector<char> buffer(PATH_MAX);
  ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return false;
  std::string exe(buffer.data(), static_cast<size_t>(length));
  size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return false;
  folder = slash == 0 ? "/" : exe.substr(0, slash);
  return true;
}

std::string ProgramFolder() {
  std::string folder;
  return ExecutableFolder(folder) ? folder : CurrentFolder();
}

std::string NormalisePath(const std::string& path) {
  bool absolute = !path.empty() && path[0] == '/';
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else if (!absolute) {
        parts.push_back(part);
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  std::string out = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += '/';
    out += parts[i];
  }
  return out.empty() ? std::string(".") : out;
}

Status AbsoluteNormalPath(const std::string& path, std::string& absolute) {
  if (!path.empty() && path[0] == '/') {
    absolute = NormalisePath(path);
    return Status::Ok();
  }
  std::string folder;
  Status status = WorkingFolder(folder);
  if (!status.ok()) return status;
  absolute = NormalisePath(folder + "/" + path);
  return Status::Ok();
}

std::string FileNameOf(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  std::string_view tail = text.substr(text.size() - suffix.size());
  for (size_t i = 0; i < suffix.size(); ++i) {
    char a = tail[i], b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
    if (a != b) return false;
  }
  return true;
}

}  // namespace wordloom
