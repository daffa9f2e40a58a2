// frmMain, the main window: menus, toolbars, the three output pages, the status bar.
//
// The window reads its settings when it loads and writes them when it is closed (not when
// minimised). Its actions call the engine on the session it is given: opening a project,
// the concordance runs, the word list and the profile, saving and printing the pane on
// show. While a pass runs, the window stays responsive, "Stop" ends a concordance run, and
// every action that would start another pass is off until the run ends.
#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <QHash>
#include <array>
#include <functional>
#include <memory>

#include "base/status.h"
#include "project/session.h"
#include "shell/settings.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolBar;

namespace wordloom {
class ScratchFolder;
}

namespace wordloom::app {

class ConcordancePage;
class CopyrightWindow;
class ErrorReportWindow;
class HelpWindow;
class KeyWordsDialog;
class OptionsDialog;
class OutputPane;
class ProfilePage;
class ProjectDialog;
class ReferenceLettersDialog;
class Prompts;
class RunProgress;
class WordListPage;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Session& session, Settings& settings, Prompts& prompts, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The load step: settings (the first run writes the defaults), place and size, options.
  void Load();
  // Opens a project file, or a text file as a new project, as "&Open" does once it has a path.
  void OpenPath(const QString& path);
  // Types `keys` into the Keys box and runs a Kwic concordance of them.
  void RunKwic(const QString& keys);
  // LayoutMainWindow(): the toolbars follow their menu check marks.
  void LayoutMainWindow();

  // The pane code of the page on show: 0, 1, 20 or 21.
  int PaneCode() const;
  OutputPane* PaneOf(int code) const;
  void SavePane(int code);
  void SaveWordList();
  void PrintPane(int code);

  int ContextWidth() const { return ContextWidth_; }
  int StartUpOutput() const { return StartUpOutput_; }
  const QString& TempDir() const { return TempDir_; }
  // The scratch folder of the settings, in which the window makes its own folder.
  QString ScratchFolderPath() const;
  // The window's own folder, where its outputs are written and printed from; empty before
  // the first pass.
  QString RunFolderPath() const;
  // True while a pass runs (a scan, a concordance, a word list or a profile).
  bool IsRunning() const { return busy_; }

 signals:
  // The New Project dialog opened for a text file has closed.
  void textFileOpenFinished();
  // A pass has turned the window (and the dialog it runs from) busy, or back.
  void busyChanged(bool busy);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreatePages();
  void CreateStatusBar();
  void ConnectRuns();

  // Options: LoadOptions() follows the store; SaveOptions() writes the dialog's values.
  void LoadOptions();
  void SaveOptions(const OptionValues& values);
  void CentreWindows();
  void SaveOnUnload();

  void OpenProjectCommand();
  void OpenProjectFile(const QString& path);
  void OpenTextFile(const QString& path);
  void ShowOpenedProject(const QString& statusPath);
  void ClearOutputs();
  void ShowStatus(const QString& shown);
  void ShowKeyWordsSummary();
  void UpdateRecentProjects();

  void RunConcordancePass(bool line);
  void RunWordList();
  void RunProfile();
  // The window's own folder inside the settings' scratch folder, made at the first pass and
  // again when the setting names another folder; null once the user has been told why not.
  std::shared_ptr<ScratchFolder> PrepareScratch(QWidget* parent);
  // Runs a pass with the scratch folder ready and the window busy (`stoppable`: "Stop" ends
  // it); false, once the user has been told why, when it cannot run or fails.
  // A scan from a project dialog shows its progress there and turns the dialog off.
  // `operation` completes "Not enough memory to …".
  bool RunPass(const char* operation, bool stoppable,
               const std::function<Status(const ScratchFolder&, RunProgress&)>& pass, ProjectDialog* from = nullptr);
  void LoadPane(int code, const std::string& path);
  // Turns off what would start another pass (and back on as it was); `stoppable` passes
  // turn on "Stop".
  void SetBusy(bool busy, bool stoppable);
  // Shows the Error Report when a pass added entries after its first `before` bytes.
  void ShowErrorReportIfAny(size_t before);

  QString PrintablePath(int code);
  void PrintPreview();
  void EditCommand(const char* slot);
  void ShowOptions();
  void ShowHelp(bool index);
  void ShowCopyright();
  void ShowAbout();
  void OpenWebBrowser();

  // The project dialogs and the KeyWords Required dialog (project_commands.cpp).
  ProjectDialog* ProjectDialogOf(bool isNew);
  void NewProjectCommand();
  void EditProjectCommand();
  void FinishTextFileOpen();
  // Save and OK of a project dialog.
  void SaveFromProjectDialog(ProjectDialog* dialog);
  void AcceptProjectDialog(ProjectDialog* dialog);
  // The scan (when "Save Vocabulary" is checked) after the checks of the dialog's OK; false
  // when the dialog must stay open.
  bool ScanFromProjectDialog(ProjectDialog* dialog);
  // The writer's checks, its save dialog and the save.
  void SaveProjectWithDialog(QWidget* parent, const QString& folder);
  // The main window once a project is current: its pages, menus and title.
  void ShowProjectReady();
  void ShowNewProjectTaken(const QString& statusPath);
  void ShowReferenceLetters();
  void ShowKeyWordsDialog();

  Session& session_;
  Settings& settings_;
  Prompts& prompts_;
  QPrinter printer_;
  QString TempDir_;
  OptionValues options_;
  int ContextWidth_ = 60;
  int StartUpOutput_ = 0;
  RunProgress* currentRun_ = nullptr;
  bool busy_ = false;
  bool closePending_ = false;
  QList<QPair<QObject*, bool>> enabledBeforeRun_;
  std::shared_ptr<ScratchFolder> scratch_;
  std::string scratchSetting_;  // the folder `scratch_` was made in
  // The panes a pass has filled since the project opened, with the folder of their output
  // (kept while a pane shows it).
  QHash<int, std::shared_ptr<ScratchFolder>> filledPanes_;

  // Menus and toolbar actions, named after their menu entries.
  QAction* mnuFileNew;
  QAction* mnuFileOpen;
  QAction* mnuFileSave;
  QAction* mnuFileSaveAs;
  QAction* mnuFilePageSetup;
  QAction* mnuFilePrintPreview;
  QAction* mnuFilePrint;
  QAction* mnuFileExit;
  QAction* mnuEditUndo;
  QAction* mnuEditCut;
  QAction* mnuEditCopy;
  QAction* mnuEditPaste;
  QAction* mnuViewProject;
  QAction* mnuViewToolbar;
  QAction* mnuViewKeyWords;
  QAction* mnuViewStatusBar;
  QAction* mnuViewOptions;
  QAction* mnuViewWebBrowser;
  QAction* mnuHelpContents;
  QAction* mnuHelpSearch;
  QAction* mnuHelpCopyright;
  QAction* mnuHelpAbout;
  QMenu* recentMenu_ = nullptr;
  QAction* exitSeparator_ = nullptr;  // the recent projects come before it
  QList<QAction*> mnuFileMRU;

  QToolBar* tbToolBar;
  QToolBar* Toolbar2;
  QLineEdit* Text2;     // the key-word summary
  QPushButton* Command9;  // "KeyWords"
  QComboBox* Combo2;    // the word-list order
  QCheckBox* Check2;    // "Rhyme"

  QTabWidget* SSTab1;
  ConcordancePage* concordancePage_;
  WordListPage* wordListPage_;
  ProfilePage* profilePage_;

  QLabel* statusPanels_[3];
  QProgressBar* ProgressBar1;

  OptionsDialog* frmOptions_ = nullptr;
  CopyrightWindow* Form2_ = nullptr;
  ErrorReportWindow* Form6_ = nullptr;
  ProjectDialog* Form1_ = nullptr;  // New Project
  ProjectDialog* Form4_ = nullptr;  // Edit Project
  KeyWordsDialog* Form3_ = nullptr;
  ReferenceLettersDialog* Form5_ = nullptr;
  QString textFileOpening_;  // the text file the New Project dialog is open for
  bool newProjectTaken_ = false;  // its project has become the current one (OK or Save)
  std::array<int64_t, 27> letterFlagsBeforeTextFile_{};
  HelpWindow* helpWindow_ = nullptr;
};

}  // namespace wordloom::app
