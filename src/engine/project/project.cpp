#include "project/project.h"

#include <algorithm>

#include "base/paths.h"

namespace wordloom {

bool Project::AddFile(const std::string& path) {
  if (std::find(Files.begin(), Files.end(), path) != Files.end()) return false;
  Files.push_back(path);
  return true;
}

void ResetToNewProjectDefaults(Project& project, const std::string& currentFolder) {
  project.FileName = JoinPath(currentFolder, "Project1");
  project.Title = "Project1";
  project.Files.clear();
  project.SaveVocabulary = 1;
  project.rules = ScanRules();
}

bool IsBlankTitle(const std::string& title) { return title.find_first_not_of(' ') == std::string::npos; }

}  // namespace wordloom
