// The project file (".wlm"): the project, its tables, its vocabulary, in one text file.
//
// Records are CR LF lines of one value, or two separated by a comma: strings in double
// quotes (a quote inside is doubled), integers in decimal, booleans "#TRUE#"/"#FALSE#", the
// date and time of saving as #yyyy-mm-dd# and #hh:mm:ss#. The first record is "wlm30".
// WriteProjectFile replaces the file only once the new one is complete. ReadProjectFile
// refuses a file whose first value is not "wlm30" and then changes nothing; otherwise it reads
// every record it can into the session, skipping a record that fails (the field keeps its
// earlier value), and reports each sentinel that does not read 12345 as "Unknown fault with
// <path>". Reading holds the file in memory once.
#pragma once

#include <string>
#include <vector>

#include "base/status.h"
#include "project/session.h"

namespace wordloom {

// The value a project file writes after its rules and after its letters, to check its records.
inline constexpr int64_t kProjectSentinel = 12345;

// Writes the session's project to `path`; fails with "Could not save the project to <path>:
// <reason>." and leaves any previous file intact.
Status WriteProjectFile(const Session& session, const std::string& path);

struct ProjectFileReport {
  Status status;                      // failed: the file was not read and nothing changed
  std::vector<std::string> messages;  // "Unknown fault with <path>", for each bad sentinel
};

// Reads `path` into the session as the opener does: the project record is
// first reset to the new-project defaults. Relative text paths are taken from `programFolder`.
ProjectFileReport ReadProjectFile(const std::string& path, const std::string& programFolder,
                                  const std::string& currentFolder, Session& session);

}  // namespace wordloom
