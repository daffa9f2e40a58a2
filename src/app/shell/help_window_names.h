// Object names of the help window and its controls, as tests find them.
#pragma once

namespace wordloom::app::help_window_names {

inline constexpr char kWindow[] = "frmHelp";
inline constexpr char kTabs[] = "tabHelp";          // "Contents" and "Index"
inline constexpr char kContents[] = "cmdContents";
inline constexpr char kBack[] = "cmdBack";
inline constexpr char kKeyword[] = "txtKeyword";    // the index's search box
inline constexpr char kKeywords[] = "lstKeywords";  // the index
inline constexpr char kBrowser[] = "brwHelp";       // the page shown

}  // namespace wordloom::app::help_window_names
