// Path helpers: absolute and lexically normalised paths, names and folders.
//
// Paths use "/". Normalising is lexical: no ".", no "..", no repeated "/", nothing looked up
// on disk. The program's own folder is the folder of the running executable. A relative path
// is made absolute only against the working folder's true path; when the system cannot give
// that path or open files by it (the folder was removed, a folder above it cannot be read, or
// its path is longer than the system takes), the caller gets a message instead of a guess.
#pragma once

#include <string>
#include <string_view>

#include "base/status.h"

namespace wordloom {

// The working folder's path; fails with a message for the user when it cannot be had.
Status WorkingFolder(std::string& folder);
// The working folder, or "/" when it cannot be had: only for defaults the user sees and can
// change (a dialog's first folder). Paths that are read or written come from AbsoluteNormalPath.
std::string CurrentFolder();
// The running program's folder, or the working folder when the system does not say.
std::string ProgramFolder();
// The running program's folder; false when the system does not say.
bool ExecutableFolder(std::string& folder);
// `path` made absolute against the working folder and lexically normalised into `absolute`.
// Fails as WorkingFolder does, and only for a relative path.
Status AbsoluteNormalPath(const std::string& path, std::string& absolute);
std::string NormalisePath(const std::string& path);
// The name after the last "/".
std::string FileNameOf(std::string_view path);
// `folder`, "/" unless it already ends with one, and `name`.
std::string JoinPath(const std::string& folder, const std::string& name);
// True when `text` ends with `suffix`, compared without regard to ASCII case.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

}  // namespace wordloom
