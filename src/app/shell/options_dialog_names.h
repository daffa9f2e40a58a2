// Object names of the Options dialog and its controls, as tests find them.
#pragma once

namespace wordloom::app::options_dialog_names {

inline constexpr char kDialog[] = "frmOptions";
inline constexpr char kTabs[] = "tbsOptions";
inline constexpr char kPage[] = "picOptions";              // every page of the tabs
inline constexpr char kContextFrame[] = "Frame2";
inline constexpr char kContext[] = "Text1";                // the context width
inline constexpr char kContextArrows[] = "UpDown1";
inline constexpr char kStepUp[] = "up";
inline constexpr char kStepDown[] = "down";
inline constexpr char kStartUpFrame[] = "Frame1";          // "On Start Up"
inline constexpr const char* kStartUp[] = {"Option1", "Option2", "Option3"};  // Concordance, Word List, Profile
inline constexpr char kTipsFrame[] = "fraSample1";
inline constexpr char kTips[] = "Check1";                  // "Show Tips on startup"
inline constexpr char kScanFrame[] = "ScanFrame";          // "Scanning the texts"
inline constexpr char kThreads[] = "ThreadsBox";           // "Threads:", 0 shown as "Automatic"
inline constexpr const char* kGroupFrames[] = {"fraSample2", "fraSample3", "fraSample4"};
inline constexpr char kOk[] = "cmdOK";
inline constexpr char kCancel[] = "cmdCancel";
inline constexpr char kApply[] = "cmdApply";

}  // namespace wordloom::app::options_dialog_names
