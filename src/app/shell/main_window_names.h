// Object names of the main window, its actions and the controls of its pages: the names that
// stored settings and tests find them by. Each is written here once; the code and the tests use
// these constants.
#pragma once

namespace wordloom::app::main_window_names {

inline constexpr char kWindow[] = "frmMain";

// Menus and their actions.
inline constexpr char kFileMenu[] = "mnuFile";
inline constexpr char kEditMenu[] = "mnuEdit";
inline constexpr char kViewMenu[] = "mnuView";
inline constexpr char kHelpMenu[] = "mnuHelp";
inline constexpr char kNew[] = "mnuFileNew";
inline constexpr char kOpen[] = "mnuFileOpen";
inline constexpr char kSave[] = "mnuFileSave";
inline constexpr char kSaveAs[] = "mnuFileSaveAs";
inline constexpr char kPageSetup[] = "mnuFilePageSetup";
inline constexpr char kPrintPreview[] = "mnuFilePrintPreview";
inline constexpr char kPrint[] = "mnuFilePrint";
inline constexpr char kExit[] = "mnuFileExit";
inline constexpr char kRecentProjectPrefix[] = "mnuFileMRU";  // followed by 1, 2, ...
inline constexpr char kUndo[] = "mnuEditUndo";
inline constexpr char kCut[] = "mnuEditCut";
inline constexpr char kCopy[] = "mnuEditCopy";
inline constexpr char kPaste[] = "mnuEditPaste";
inline constexpr char kViewProject[] = "mnuViewProject";
inline constexpr char kViewToolbar[] = "mnuViewToolbar";
inline constexpr char kViewKeyWords[] = "mnuViewKeyWords";
inline constexpr char kViewStatusBar[] = "mnuViewStatusBar";
inline constexpr char kViewOptions[] = "mnuViewOptions";
inline constexpr char kViewWebBrowser[] = "mnuViewWebBrowser";
inline constexpr char kHelpContents[] = "mnuHelpContents";
inline constexpr char kHelpSearch[] = "mnuHelpSearch";
inline constexpr char kHelpCopyright[] = "mnuHelpCopyright";
inline constexpr char kHelpAbout[] = "mnuHelpAbout";

// The toolbars: the file toolbar and the key-words toolbar with its controls.
inline constexpr char kToolBar[] = "tbToolBar";
inline constexpr char kKeyWordsToolBar[] = "Toolbar2";
inline constexpr char kKeyWordsSummary[] = "Text2";
inline constexpr char kKeyWordsButton[] = "Command9";
inline constexpr char kListOrder[] = "Combo2";
inline constexpr char kRhyme[] = "Check2";

// The pages and the status bar.
inline constexpr char kPages[] = "SSTab1";
inline constexpr char kStatusBar[] = "StatusBar1";
inline constexpr char kPathPanel[] = "Panel1";
inline constexpr char kTitlePanel[] = "Panel2";
inline constexpr char kCountsPanel[] = "Panel3";
inline constexpr char kProgressBar[] = "ProgressBar1";

// The Concordance page.
inline constexpr char kRunFrame[] = "Frame4";
inline constexpr char kKwic[] = "Command5";
inline constexpr char kLine[] = "Command2";
inline constexpr char kStop[] = "Command4";
inline constexpr char kConcordanceOutput[] = "Option5";
inline constexpr char kIndexOutput[] = "Option6";
inline constexpr char kCitationOrder[] = "Combo3";
inline constexpr char kKeysArea[] = "Picture2";
inline constexpr char kKeysLabel[] = "Label1";
inline constexpr char kKeys[] = "Text1";
inline constexpr char kMatchWord[] = "Option3";
inline constexpr char kMatchPrefix[] = "Option1";
inline constexpr char kMatchSuffix[] = "Option2";
inline constexpr char kMatchAnywhere[] = "Option4";
inline constexpr char kMatchKeyWords[] = "Option9";
inline constexpr char kCiteLabel[] = "Label3";
inline constexpr char kCitationLetters[] = "Text7";
inline constexpr char kConcordanceCounts[] = "Text6";
inline constexpr char kConcordanceLabel[] = "Label2";
inline constexpr char kConcordancePane[] = "RichTextBox1";

// The Word List page.
inline constexpr char kWordList[] = "Command6";
inline constexpr char kLayoutFrame[] = "Frame1";
inline constexpr char kLayout[] = "Combo1";
inline constexpr char kFrequencies[] = "Check1";
inline constexpr char kSelectFrame[] = "Frame2";
inline constexpr char kListAllWords[] = "Option7";
inline constexpr char kListKeyWords[] = "Option8";
inline constexpr char kWordListCount[] = "Text5";
inline constexpr char kWordListLabel[] = "Label5";
inline constexpr char kWordListPane[] = "RichTextBox2";

// The Profile page.
inline constexpr char kProfileFrame[] = "Frame3";
inline constexpr char kProfile[] = "Command3";
inline constexpr char kProfileAllWords[] = "Option10";
inline constexpr char kProfileKeyWords[] = "Option11";
inline constexpr char kProfilePanes[] = "SSTab2";
inline constexpr char kSpectrumPane[] = "RichTextBox3";
inline constexpr char kStatisticsPane[] = "RichTextBox4";
inline constexpr char kProfileTitle[] = "Text11";

}  // namespace wordloom::app::main_window_names
