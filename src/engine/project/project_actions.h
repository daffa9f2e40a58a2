// The engine side of the project commands: open, save, new from a text file, the OK of the
// New and Edit Project dialogs, and the scan of the project's texts.
//
// These are the steps of the commands that touch no window. The caller shows the messages
// (a failed Status carries the text to show) and refreshes its windows with the texts of
// status_texts.h.
#pragma once

#include <string>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "project/project_file.h"
#include "project/session.h"
#include "scan/vocabulary.h"

namespace wordloom {

// Opens a project file: reads it (see ReadProjectFile), then marks letter L used and takes
// the vocabulary size from the vocabulary. A foreign or unreadable file changes nothing.
ProjectFileReport OpenProject(Session& session, const std::string& path, const std::string& programFolder,
                              const std::string& currentFolder);

// True when the opener takes `path` as a plain text file: its name ends with ".txt" in any case.
bool OpensAsTextFile(const std::string& path);

// The path the status bar is given after opening `path`: a final ".txt" (exact case) becomes ".wlm".
std::string StatusPathAfterOpen(const std::string& path);

// Opening a plain text file: a new project (for the New Project dialog) holding the file,
// named after it up to its first "."; the letter flags and the Error Report are cleared.
Project NewProjectFromTextFile(Session& session, const std::string& path, const std::string& currentFolder);

// The checks before the save dialog: rebuilds the character tables from the rules, then
// refuses a blank title ("Please Supply a Title") or a project without files ("No files in
// the project").
Status CheckProjectToSave(Session& session);

// Writes the session's project to `path` once CheckProjectToSave passes, and makes `path` the
// project's file name.
Status SaveProject(Session& session, const std::string& path);

// The vocabulary scan of the current project's texts.
Status ScanProjectTexts(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options = {});

// OK of the New Project dialog, before its question about saving: a blank title is refused,
// then the dialog's record becomes the current project (all but its scope, patterns and
// font), the tables are rebuilt, the texts are scanned when "Save Vocabulary" is checked, and
// letter L is marked used.
Status AcceptNewProject(Session& session, const Project& created, const ScratchFolder& scratch,
                        const VocabularyOptions& options = {});

// OK of the Edit Project dialog, before its question about saving: tables rebuilt, a blank
// title refused, the texts scanned when "Save Vocabulary" is checked.
Status AcceptEditProject(Session& session, const ScratchFolder& scratch, const VocabularyOptions& options = {});

}  // namespace wordloom
