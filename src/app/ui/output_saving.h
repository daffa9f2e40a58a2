// Saving an output: the file's exact bytes as text, or the same text as an RTF document.
//
// A name ending in ".txt" (in any case) gets the output's bytes as they are; any other name
// gets RTF whose text is the output's text. The output is read through its own open file a
// block at a time, so the saved copy is what the pane shows even when the scratch file has
// since been replaced, and a large output never sits in memory. Saving writes a temporary file
// beside the target and renames it into place, so a failed save leaves the old file as it was.
#pragma once

#include <QString>
#include <string>

namespace wordloom::app {

class OutputFile;

// The save dialog's filter, "description|pattern" pairs as the prompts take them.
inline constexpr char kOutputSaveFilter[] = "Text files (*.txt)|*.txt|Rtf files (*.rtf)|*.rtf";

enum class SaveKind { Text, Rtf };

// Text for a name ending in ".txt" (in any case), else RTF.
SaveKind SaveKindOf(const QString& path);

// Saves `file` to `path` as the name asks (or as `kind`); false with "Could not save PATH:
// REASON." (or the reason the output could not be read) when it fails.
bool SaveOutput(const OutputFile& file, const QString& path, QString& error);
bool SaveOutput(const OutputFile& file, const QString& path, SaveKind kind, QString& error);

// Writes `bytes` to `path` the same way.
bool SaveBytes(const QString& path, const std::string& bytes, QString& error);

}  // namespace wordloom::app
