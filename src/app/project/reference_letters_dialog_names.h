// Object names of the Reference Letter Definition dialog and its controls, as tests find them.
#pragma once

namespace wordloom::app::reference_letters_dialog_names {

inline constexpr char kDialog[] = "Form5";
inline constexpr char kGrid[] = "MSFlexGrid1";  // the letters, their values and comments
inline constexpr char kLetter[] = "Label1";     // the letter of the current row
inline constexpr char kText[] = "Text1";        // the text for the current cell
inline constexpr char kAdd[] = "Command1";      // "Add"
inline constexpr char kClose[] = "Command2";    // "Close"

}  // namespace wordloom::app::reference_letters_dialog_names
