// Object names of the controls of the project dialogs' folder and file panel, as tests find them.
#pragma once

namespace wordloom::app::file_chooser_names {

inline constexpr char kFolderCaption[] = "FolderCaption";
inline constexpr char kFolder[] = "Text2";           // the folder whose files are listed (read-only)
inline constexpr char kPatternCaption[] = "PatternCaption";
inline constexpr char kPattern[] = "Text5";          // "Files of type:"
inline constexpr char kDrives[] = "Drive1";
inline constexpr char kFolders[] = "Dir1";
inline constexpr char kFiles[] = "File1";

}  // namespace wordloom::app::file_chooser_names
