// The project record: title, project file, text files, scanning rules and saving options.
//
// One Project is the current project (the Edit Project dialog's); the New Project dialog
// edits another and hands it over on OK. Text files are kept in the order added, without
// duplicates (exact comparison).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/scan_rules.h"

namespace wordloom {

// The "All", "None" and "Matches" option buttons; a damaged project file can leave none set.
enum class VocabularyScope { Unselected, All, None, Matches };

struct AlphabetFont {
  bool bold = false;
  bool italic = false;
  std::string name = "Courier New";
  double size = 8.25;
  bool strikethrough = false;
  bool underline = false;
  int64_t weight = 400;
};

// The "Save Vocabulary" check box as a project file stores it; only a damaged file holds Greyed,
// which saves nothing.
enum class VocabularyCheck : int64_t { Clear = 0, Checked = 1, Greyed = 2 };

struct Project {
  std::string Title = "Project1";
  std::string FileName;
  std::vector<std::string> Files;
  VocabularyCheck SaveVocabulary = VocabularyCheck::Checked;
  VocabularyScope scope = VocabularyScope::All;
  std::string PrefixPattern;
  std::string SuffixPattern;
  std::string AnywherePattern;
  ScanRules rules;
  AlphabetFont font;

  // Appends `path` unless the list already holds exactly that string. Costs O(files); to add
  // many, use AddFiles.
  bool AddFile(const std::string& path);
  // Appends each of `paths` in turn unless the list already holds exactly that string, and
  // returns the positions in `paths` of those appended. Costs O(files + paths) on average.
  std::vector<size_t> AddFiles(const std::vector<std::string>& paths);
  bool SavesVocabulary() const { return SaveVocabulary == VocabularyCheck::Checked; }
};

// The new-project defaults: file name "Project1" in `currentFolder`, title "Project1", no
// files, the default rules. The scope, the patterns and the font are left as they are.
void ResetToNewProjectDefaults(Project& project, const std::string& currentFolder);

// True when the title holds nothing but spaces.
bool IsBlankTitle(const std::string& title);

}  // namespace wordloom
