// Object names of the New and Edit Project dialogs' controls, as tests find them.
#pragma once

namespace wordloom::app::project_dialog_names {

inline constexpr char kNewDialog[] = "Form1";
inline constexpr char kEditDialog[] = "Form4";

// The Project frame.
inline constexpr char kProjectFrame[] = "Frame3";
inline constexpr char kTitleLabel[] = "Label1";
inline constexpr char kTitle[] = "Text3";               // "Title:"
inline constexpr char kFileNameLabel[] = "Label5";
inline constexpr char kFileName[] = "Text1";            // "File name:"
inline constexpr char kBrowse[] = "Command2";           // "Browse"
inline constexpr char kSaveVocabulary[] = "Check1";     // "Save Vocabulary"
inline constexpr char kNoPath[] = "Check2";             // "No Path", New Project only
inline constexpr char kSave[] = "Command7";             // "Save"
inline constexpr char kOk[] = "Command3";               // "OK"
inline constexpr char kCancel[] = "Command8";           // "Cancel"

// The text files.
inline constexpr char kSelectFrame[] = "Frame7";
inline constexpr char kSelectAll[] = "Command4";        // "All"
inline constexpr char kSelectNone[] = "Command6";       // "None"
inline constexpr char kAddFiles[] = "Command1";         // "Add selected files to the project"
inline constexpr char kProjectFilesFrame[] = "Frame4";
inline constexpr char kProjectFiles[] = "List1";        // "Files in the project"
inline constexpr char kProgress[] = "ProgressBar1";

// The scanning rules.
inline constexpr char kRulesFrame[] = "Frame1";
inline constexpr char kAlphabetLabel[] = "Label3";
inline constexpr char kAlphabet[] = "Text4";            // "Alphabet:"
inline constexpr char kFont[] = "Command5";             // "Font"
inline constexpr char kReferencesLabel[] = "Label4";
inline constexpr char kNoReferences[] = "Option10";     // "none"
inline constexpr char kType1References[] = "Option11";  // "type1"
inline constexpr char kReferencePatternFrame[] = "Frame2";
inline constexpr char kLeftReference[] = "Text8";       // the opening character of a reference
inline constexpr char kLetters[] = "Command9";          // "Letter"
inline constexpr char kRightReference[] = "Text9";      // the closing character
inline constexpr char kEndOfLineLabel[] = "Label2";
inline constexpr char kEndOfLine[] = "Text7";           // "End of Line:"
inline constexpr char kJoinLabel[] = "Label6";
inline constexpr char kJoin[] = "Text6";                // "Join:"
inline constexpr char kEndHyphen[] = "Text13";          // "End Hyphen:"
// The labels "text" (before the closing character) and "End Hyphen:" in the New Project
// dialog; the Edit Project dialog has the two names the other way round.
inline constexpr char kReferenceTextLabel[] = "Label11";
inline constexpr char kEndHyphenLabel[] = "Label7";

// The texts' encoding and the rules of UTF-8 projects: controls of our own, named for their role.
inline constexpr char kEncodingLabel[] = "EncodingLabel";
inline constexpr char kEncoding[] = "EncodingBox";                // "Encoding:"
inline constexpr char kLanguageLabel[] = "LanguageLabel";
inline constexpr char kLanguage[] = "LanguageBox";                // "Language:"
inline constexpr char kWordsLabel[] = "WordsLabel";
inline constexpr char kWords[] = "WordsBox";                      // "Words:"
inline constexpr char kUnicodeLetters[] = "UnicodeLettersCheck";  // "Unicode letters"
inline constexpr char kNeedLetter[] = "NeedLetterCheck";          // "A word needs a letter or digit"

// The vocabulary to save.
inline constexpr char kVocabularyFrame[] = "Frame6";
inline constexpr char kScopeAll[] = "Option1";          // "All"
inline constexpr char kScopeNone[] = "Option2";         // "None"
inline constexpr char kScopeMatches[] = "Option3";      // "Matches"
inline constexpr char kPatternsFrame[] = "Frame5";      // "Any of"
inline constexpr char kPrefixLabel[] = "Label8";
inline constexpr char kPrefix[] = "Text10";             // "Prefix"
inline constexpr char kSuffixLabel[] = "Label9";
inline constexpr char kSuffix[] = "Text11";             // "Suffix"
inline constexpr char kAnywhereLabel[] = "Label10";
inline constexpr char kAnywhere[] = "Text12";           // "Anywhere"

}  // namespace wordloom::app::project_dialog_names
