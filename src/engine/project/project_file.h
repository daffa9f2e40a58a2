// The project file (".wlm"): the project, its tables, its vocabulary, in one text file.
//
// Records are CR LF lines of one value, or two separated by a comma: strings in double
// quotes (a quote inside is doubled), integers in decimal, booleans "#TRUE#"/"#FALSE#", the
// date and time of saving as #yyyy-mm-dd# and #hh:mm:ss#. Strings are the project's bytes, so
// a UTF-8 project's file is UTF-8. There are two layouts, told apart by the first record:
// - "wlm30": a Windows-1252 project whose UTF-8-era rules (unicodeLetters, needLetter,
//   language, words) are all at their defaults. Older releases read and write this layout, and
//   such a project is written byte for byte as they write it.
// - "wlm32": every other project. The same records in the same order, with seven more right
//   after the first: the encoding ("windows-1252" or "utf-8"), the language, the word
//   boundaries ("alphabet" or "unicode"), unicodeLetters, needLetter (as the rule applies),
//   and the join and end-hyphen texts, which the byte tables cannot hold when they are
//   characters beyond ASCII.
// The character tables are stored for both; a UTF-8 project's are rebuilt from its rules when
// it is read, since they also hold its Unicode side.
// WriteProjectFile replaces the file only once the new one is complete. ReadProjectFile
// refuses a file whose first value is neither tag and then changes nothing; otherwise it reads
// every record it can into the session, skipping a record that fails (the field keeps its
// earlier value; an encoding it does not know reads as Windows-1252), and reports each sentinel
// that does not read 12345 as "Unknown fault with <path>". Reading holds the file in memory once.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"
#include "project/session.h"

namespace wordloom {

// The value a project file writes after its rules and after its letters, to check its records.
inline constexpr int64_t kProjectSentinel = 12345;

inline constexpr std::string_view kProjectTag = "wlm30";
inline constexpr std::string_view kUnicodeProjectTag = "wlm32";

// The names the "wlm32" records give the encoding and the word boundaries.
inline constexpr std::pair<TextEncoding, std::string_view> kEncodingNames[] = {
    {TextEncoding::Windows1252, "windows-1252"}, {TextEncoding::Utf8, "utf-8"}};
inline constexpr std::pair<WordBoundaries, std::string_view> kWordBoundaryNames[] = {
    {WordBoundaries::Alphabet, "alphabet"}, {WordBoundaries::Unicode, "unicode"}};

// The first record a project of these rules is written with: kProjectTag or kUnicodeProjectTag.
// An Automatic encoding, which a project should not hold, counts as Windows-1252.
std::string_view ProjectFileTag(const ScanRules& rules);

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
