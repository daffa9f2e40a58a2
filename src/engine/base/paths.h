// Path helpers: absolute and lexically normalised paths, names and folders.
//
// Paths use "/". Normalising is lexical: no ".", no "..", no repeated "/", nothing looked up
// on disk. The program's own folder is the folder of the running executable.
#pragma once

#include <string>
#include <string_view>

namespace wordloom {

std::string CurrentFolder();
std::string ProgramFolder();
// `path` made absolute against the current folder and lexically normalised.
std::string AbsoluteNormalPath(const std::string& path);
std::string NormalisePath(const std::string& path);
// The name after the last "/".
std::string FileNameOf(std::string_view path);
// `folder`, "/" unless it already ends with one, and `name`.
std::string JoinPath(const std::string& folder, const std::string& name);
// True when `text` ends with `suffix`, compared without regard to ASCII case.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

}  // namespace wordloom
