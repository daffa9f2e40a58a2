#include "project/project.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "base/paths.h"

namespace wordloom {

bool Project::AddFile(const std::string& path) {
  if (std::find(Files.begin(), Files.end(), path) != Files.end()) return false;
  Files.push_back(path);
  return true;
}

std::vector<size_t> Project::AddFiles(const std::vector<std::string>& paths) {
  // The set views the strings of `Files`, which stay in place: the list has room for all.
  const size_t room = Files.size() + paths.size();
  if (Files.capacity() < room) Files.reserve(std::max(room, 2 * Files.capacity()));
  std::unordered_set<std::string_view> present;
  present.reserve(room);
  present.insert(Files.begin(), Files.end());
  std::vector<size_t> added;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (present.contains(paths[i])) continue;
    Files.push_back(paths[i]);
    present.insert(Files.back());
    added.push_back(i);
  }
  return added;
}

void ResetToNewProjectDefaults(Project& project, const std::string& currentFolder) {
  project.FileName = JoinPath(currentFolder, "Project1");
  project.Title = "Project1";
  project.Files.clear();
  project.SaveVocabulary = VocabularyCheck::Checked;
  project.rules = ScanRules();
  project.rules.encoding = TextEncoding::Automatic;  // settled from the texts (SettleEncoding)
}

bool IsBlankTitle(const std::string& title) { return title.find_first_not_of(' ') == std::string::npos; }

}  // namespace wordloom
