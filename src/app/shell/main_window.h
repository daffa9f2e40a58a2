// MainWindow: the menus, the toolbars, the output pages and the analysis pages, and the
// status bar.
//
// The window reads its settings when it loads and writes them when it is closed (not when
// minimised). Its passes run on a worker thread through one PassRunner: while one runs, every
// action that would start another is off, "Stop" ends a concordance, and the window stays
// responsive; the window reads the session again only once the pass has been committed.
// Closing the window during a pass stops a concordance, or waits for a scan, and then closes.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "base/status.h"
#include "project/session.h"
#include "shell/pass_runner.h"
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
class FileWriter;
class ProgressSink;
class ScratchFolder;
enum class SearchMode;
enum class TableFormat;
}

namespace wordloom::app {

class ClustersPage;
class CollocatesPage;
class ConcordancePage;
class CopyrightWindow;
class ErrorReportWindow;
class FileView;
class HelpWindow;
class IndexKeeper;
class KeynessPage;
class OptionsDialog;
class OutputPanes;
class PassRunner;
class PlotPage;
class ProfilePage;
class ProjectCommands;
class Prompts;
class WordListPage;
enum class PaneCode;

// Why an analysis's row cannot open its hits: the texts no longer give the hits the scan counted.
inline constexpr char kTextsChanged[] =
    "The texts have changed since the project was scanned: scan it again (View > Project, OK) to open these hits.";

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Session& session, Settings& settings, Prompts& prompts, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Reads the settings (the first run writes the defaults), the place and size, the options.
  void Load();
  // Opens a project file, or a text file as a new project, as "&Open" does once it has a path.
  void OpenPath(const QString& path);
  // Types `keys` into the Keys box and starts a Kwic concordance of them.
  void RunKwic(const QString& keys);

  // The pane on show.
  PaneCode ShownPane() const;
  int ContextWidth() const { return contextWidth_; }
  int StartUpOutput() const { return startUpOutput_; }
  const QString& TempDir() const { return tempDir_; }
  // The scratch folder of the settings, in which the window makes its own folder.
  QString ScratchFolderPath() const;
  // The window's own folder, where its outputs are written; empty before the first pass.
  QString RunFolderPath() const;
  // True while a pass runs (a scan, a concordance, a word list or a profile).
  bool IsRunning() const;

 signals:
  // The New Project dialog opened for a text file has closed.
  void textFileOpenFinished();
  // A pass has turned the window busy, or back once its result is committed.
  void busyChanged(bool busy);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreatePages();
  void CreateStatusBar();
  void ConnectCommands();

  void LoadOptions();
  void SaveOptions(const OptionValues& values);
  QRect FirstPlace() const;
  void PlaceWindow();
  void SaveOnClose();
  void ShowToolBars();

  // What the window shows of the session.
  // Engine text of the current project, decoded by its encoding.
  QString ProjectText(const std::string& bytes) const;
  void ShowOpenedProject(const QString& statusPath);
  void ShowNewProjectTaken(const QString& statusPath);
  void ShowProjectReady();
  void ClearOutputs();
  void ShowStatus(const QString& shown);
  void ShowKeyWordsSummary();
  void UpdateRecentProjects();
  void ShowErrorReport();
  void ClearErrorReport();
  // True when the page on show is one of the output panes', which Save and Print act on.
  bool OutputShown() const;
  void UpdateOutputActions();

  // The passes (main_window_runs.cpp).
  void RunConcordancePass(bool line);
  void RunWordList();
  void RunProfile();
  // The table's passes (main_window_hits.cpp): a run that gathers hits, arranging them anew,
  // exporting them, and opening a hit in the file view.
  void RunHitPass(bool line);
  void ArrangeHitTable();
  void ExportHitTable(TableFormat format);
  void OpenHit(int row);
  // The word table's passes (main_window_words.cpp): making the table, filtering it, exporting
  // the rows on show, and a word's concordance in the table of hits.
  void RunWordTable();
  void FilterWordTable();
  void ExportWordTable(TableFormat format);
  void RunWordConcordance(int row);
  // The analyses (main_window_analyses.cpp): their pages, the passes that make their tables,
  // the exports, and the hits of a row in the Concordance page's table.
  void CreateAnalysisPages();
  void ConnectAnalyses();
  void ClearAnalyses();
  void RunCollocates();
  void RunClusters();
  void RunKeyness();
  void ChooseReference();
  void ExportCollocates(TableFormat format);
  void ExportClusters(TableFormat format);
  void ExportKeyness(TableFormat format);
  void OpenCollocateHits(int row);
  void OpenClusterHits(int row);
  void OpenKeyWordHits(int row);
  // Types `keys` into the Concordance page, searched as `mode`, and fills its table.
  void RunTableConcordance(const QString& keys, SearchMode mode);
  // The Plot page (main_window_plot.cpp): its pass, saving and printing the plot, and the
  // hits under a mark in the Concordance page's table.
  void CreatePlotPage();
  void ConnectPlot();
  void RunPlot();
  void SavePlot();
  void PrintPlot();
  void OpenPlotHits(size_t series, size_t part, qint64 firstHit);
  // Asks for a file and writes a table to it through `write` on the runner's thread; `noun`
  // names a row ("hit") in the messages. `operation` lives as long as the program.
  using TableWrite = std::function<Status(FileWriter& out, ProgressSink& progress)>;
  void ExportTable(TableFormat format, const char* operation, const char* noun, size_t count, TableWrite write);
  // The window's own folder inside the settings' scratch folder, made at the first pass and
  // again when the setting names another folder; null once the user has been told why not.
  std::shared_ptr<ScratchFolder> PrepareScratch(QWidget* parent);
  // Starts a pass that reads the texts through the project's index, once the index is current.
  void StartIndexedPass(const char* operation, bool stoppable, PassRunner::Pass pass, PassRunner::Done done);
  // Turns off what would start another pass, and back on; `stoppable` passes turn on "Stop".
  void SetBusy(bool busy, bool stoppable);

  void EditCommand(const char* slot);
  void ShowOptions();
  void ShowHelp(bool index);
  void ShowCopyright();
  void ShowAbout();
  void OpenWebBrowser();

  Session& session_;
  Settings& settings_;
  Prompts& prompts_;
  PassRunner* runner_;
  ProjectCommands* projectCommands_;
  std::unique_ptr<IndexKeeper> indexKeeper_;
  OutputPanes* outputPanes_ = nullptr;
  QString tempDir_;
  OptionValues options_;
  int contextWidth_ = 60;
  int startUpOutput_ = 0;
  std::shared_ptr<ScratchFolder> scratch_;
  std::string scratchSetting_;  // the folder `scratch_` was made in
  bool busy_ = false;

  QAction* newAction_;
  QAction* openAction_;
  QAction* saveAction_;
  QAction* saveAsAction_;
  QAction* pageSetupAction_;
  QAction* printPreviewAction_;
  QAction* printAction_;
  QAction* exitAction_;
  QAction* undoAction_;
  QAction* cutAction_;
  QAction* copyAction_;
  QAction* pasteAction_;
  QAction* viewProjectAction_;
  QAction* viewToolBarAction_;
  QAction* viewKeyWordsAction_;
  QAction* viewStatusBarAction_;
  QAction* optionsAction_;
  QAction* webBrowserAction_;
  QAction* helpContentsAction_;
  QAction* helpSearchAction_;
  QAction* copyrightAction_;
  QAction* aboutAction_;
  QMenu* fileMenu_ = nullptr;
  QAction* exitSeparator_ = nullptr;  // the recent projects come before it
  QList<QAction*> recentProjectActions_;

  QToolBar* fileToolBar_;
  QToolBar* keyWordsToolBar_;
  QLineEdit* keyWordsSummary_;
  QPushButton* keyWordsButton_;
  QComboBox* listOrderBox_;
  QCheckBox* rhymeCheck_;

  QTabWidget* pages_;
  ConcordancePage* concordancePage_;
  WordListPage* wordListPage_;
  ProfilePage* profilePage_;
  CollocatesPage* collocatesPage_;
  ClustersPage* clustersPage_;
  PlotPage* plotPage_;
  KeynessPage* keynessPage_;

  QLabel* pathPanel_;
  QLabel* titlePanel_;
  QLabel* countsPanel_;
  QProgressBar* progressBar_;

  OptionsDialog* optionsDialog_ = nullptr;
  CopyrightWindow* copyrightWindow_ = nullptr;
  ErrorReportWindow* errorReportWindow_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;
  FileView* fileView_ = nullptr;
};

}  // namespace wordloom::app
