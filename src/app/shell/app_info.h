// The program's identity and where its shipped files are.
//
// The help pages and "copyrigh.rtf" sit in the program's own folder in a build, and in
// ../share/wordloom beside it once installed.
#pragma once

#include <QString>

namespace wordloom::app {

inline constexpr const char* kAppTitle = "Wordloom";
inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 2;
inline constexpr int kVersionRevision = 0;

// The main window's caption: "Wordloom - 3.2".
QString MainCaption();

// The path of a shipped file or folder, or an empty text when it is in neither place.
QString FindDataFile(const QString& name);

}  // namespace wordloom::app
