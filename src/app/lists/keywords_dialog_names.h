// Object names of the KeyWords Required dialog's controls, as settings and tests find them.
#pragma once

namespace wordloom::app::keywords_dialog_names {

inline constexpr char kDialog[] = "Form3";
inline constexpr char kVocabularyCaption[] = "Label1";  // "Vocabulary"
inline constexpr char kVocabularyList[] = "List1";
inline constexpr char kVocabularyCount[] = "Text7";     // "N words"
inline constexpr char kVocabularySelect[] = "Frame4";   // "Select"
inline constexpr char kVocabularyAll[] = "Command6";    // "All"
inline constexpr char kVocabularyNone[] = "Command7";   // "None"
inline constexpr char kKeyWordsCaption[] = "Label2";    // "KeyWords Required"
inline constexpr char kKeyWordsList[] = "List2";
inline constexpr char kKeyWordsCount[] = "Text8";       // "N words"
inline constexpr char kKeyWordsSelect[] = "Frame5";     // "Select"
inline constexpr char kKeyWordsAll[] = "Command15";     // "All"
inline constexpr char kKeyWordsNone[] = "Command16";    // "None"
inline constexpr char kClear[] = "Command5";            // "Clear"
inline constexpr char kAdd[] = "Option1";               // "Add"
inline constexpr char kRemove[] = "Option2";            // "Remove"
inline constexpr char kMoveFrame[] = "Frame1";          // "Add by" / "Remove by"
inline constexpr char kPatternFrame[] = "Frame3";       // "Pattern"
inline constexpr char kPrefixCaption[] = "Label3";
inline constexpr char kPrefix[] = "Text4";
inline constexpr char kPrefixMove[] = "Command11";      // "Do"
inline constexpr char kSuffixCaption[] = "Label4";
inline constexpr char kSuffix[] = "Text5";
inline constexpr char kSuffixMove[] = "Command13";      // "Do"
inline constexpr char kAnywhereCaption[] = "Label5";
inline constexpr char kAnywhere[] = "Text6";
inline constexpr char kAnywhereMove[] = "Command14";    // "Do"
inline constexpr char kFrequencyFrame[] = "Frame2";     // "Frequency"
inline constexpr char kGreaterCaption[] = "Label6";
inline constexpr char kGreater[] = "Text1";
inline constexpr char kGreaterMove[] = "Command8";      // "Do"
inline constexpr char kLessCaption[] = "Label7";
inline constexpr char kLess[] = "Text2";
inline constexpr char kLessMove[] = "Command9";         // "Do"
inline constexpr char kEqualCaption[] = "Label8";
inline constexpr char kEqual[] = "Text3";
inline constexpr char kEqualMove[] = "Command10";       // "Do"
inline constexpr char kSelectionMove[] = "Command4";    // "Selection"
inline constexpr char kNotMove[] = "Command12";         // "not", hidden
inline constexpr char kOk[] = "Command2";               // "OK"
inline constexpr char kCancel[] = "Command1";           // "Cancel"

}  // namespace wordloom::app::keywords_dialog_names
