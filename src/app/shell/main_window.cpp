#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <optional>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "concordance/concordance_page.h"
#include "concordance/file_view.h"
#include "concordance/hit_table_panel.h"
#include "lists/profile_page.h"
#include "lists/word_list_page.h"
#include "lists/word_table_panel.h"
#include "scan/list_sort.h"
#include "scan/status_texts.h"
#include "shell/app_info.h"
#include "shell/help_window.h"
#include "shell/index_keeper.h"
#include "shell/main_window_names.h"
#include "shell/options_dialog.h"
#include "shell/output_panes.h"
#include "shell/pass_runner.h"
#include "shell/project_commands.h"
#include "shell/small_windows.h"
#include "ui/code_page.h"
#include "ui/controls.h"
#include "ui/elided_label.h"
#include "ui/hit_table_view.h"
#include "ui/output_pane.h"
#include "ui/prompts.h"
#include "ui/row_table_view.h"

namespace wordloom::app {

namespace names = main_window_names;

namespace {

QAction* MakeAction(QObject* parent, const char* objectName, const QString& text, const QString& tip,
                    const QKeySequence& shortcut = QKeySequence()) {
  auto* action = new QAction(text, parent);
  action->setObjectName(QString::fromLatin1(objectName));
  action->setStatusTip(tip);
  action->setToolTip(tip);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

// The desktop's icon, else the style's own where it has a fitting one; an action without an
// icon shows its text on the toolbar.
QIcon ThemeIcon(const char* name, std::optional<QStyle::StandardPixmap> fallback = std::nullopt) {
  const QIcon fromTheme = QIcon::fromTheme(QString::fromLatin1(name));
  if (!fromTheme.isNull() || !fallback) return fromTheme;
  return QApplication::style()->standardIcon(*fallback);
}

}  // namespace

MainWindow::MainWindow(Session& session, Settings& settings, Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), session_(session), settings_(settings), prompts_(prompts) {
  setObjectName(QString::fromLatin1(names::kWindow));
  setWindowTitle(MainCaption());
  setWindowIcon(QIcon(QStringLiteral(":/wordloom.png")));
  runner_ = new PassRunner(this);
  projectCommands_ = new ProjectCommands(session_, settings_, prompts_, *runner_,
                                         [this](QWidget* parent) { return PrepareScratch(parent); }, this);
  indexKeeper_ = std::make_unique<IndexKeeper>(
      session_, *runner_, [this](QWidget* parent) { return PrepareScratch(parent); },
      [this] { return settings_.ReadOptions().threads; });
  CreateActions();
  CreateMenus();
  CreateToolBars();
  CreatePages();
  CreateStatusBar();
  ConnectCommands();
}

// A pass still running ends first: its result is dropped with the window.
MainWindow::~MainWindow() { runner_->Abandon(); }

void MainWindow::CreateActions() {
  newAction_ = MakeAction(this, names::kNew, QStringLiteral("&New"), QStringLiteral("Creates a new project"),
                          QKeySequence::New);
  openAction_ = MakeAction(this, names::kOpen, QStringLiteral("&Open"),
                           QStringLiteral("Opens a project, or a text file as a new project"), QKeySequence::Open);
  saveAction_ = MakeAction(this, names::kSave, QStringLiteral("&Save"),
                           QStringLiteral("Saves the output on show as an RTF or text file"), QKeySequence::Save);
  saveAsAction_ = MakeAction(this, names::kSaveAs, QStringLiteral("Save &As..."),
                             QStringLiteral("Saves the output on show as an RTF or text file"), QKeySequence::SaveAs);
  pageSetupAction_ = MakeAction(this, names::kPageSetup, QStringLiteral("Page Set&up..."),
                                QStringLiteral("Chooses the paper, its orientation and margins"));
  printPreviewAction_ = MakeAction(this, names::kPrintPreview, QStringLiteral("Print Pre&view"),
                                   QStringLiteral("Shows the printout of the output on show"));
  printAction_ = MakeAction(this, names::kPrint, QStringLiteral("&Print..."),
                            QStringLiteral("Prints the output on show"), QKeySequence::Print);
  exitAction_ = MakeAction(this, names::kExit, QStringLiteral("E&xit"), QStringLiteral("Ends Wordloom"),
                           QKeySequence::Quit);
  undoAction_ = MakeAction(this, names::kUndo, QStringLiteral("&Undo"), QStringLiteral("Undoes the last edit"),
                           QKeySequence::Undo);
  cutAction_ = MakeAction(this, names::kCut, QStringLiteral("Cu&t"), QStringLiteral("Cuts the selection"),
                          QKeySequence::Cut);
  copyAction_ = MakeAction(this, names::kCopy, QStringLiteral("&Copy"), QStringLiteral("Copies the selection"),
                           QKeySequence::Copy);
  pasteAction_ = MakeAction(this, names::kPaste, QStringLiteral("&Paste"), QStringLiteral("Pastes the clipboard"),
                            QKeySequence::Paste);
  viewProjectAction_ = MakeAction(this, names::kViewProject, QStringLiteral("&Project"),
                              QStringLiteral("Shows the project's files and scanning rules"));
  viewToolBarAction_ = MakeAction(this, names::kViewToolbar, QStringLiteral("&Toolbar"),
                              QStringLiteral("Shows or hides the toolbar"));
  viewKeyWordsAction_ = MakeAction(this, names::kViewKeyWords, QStringLiteral("&KeyWords"),
                               QStringLiteral("Shows or hides the KeyWords toolbar"));
  viewStatusBarAction_ = MakeAction(this, names::kViewStatusBar, QStringLiteral("Status &Bar"),
                                QStringLiteral("Shows or hides the status bar"));
  optionsAction_ = MakeAction(this, names::kViewOptions, QStringLiteral("&Options..."),
                              QStringLiteral("Context width, the page shown after opening, tips"));
  webBrowserAction_ = MakeAction(this, names::kViewWebBrowser, QStringLiteral("&Web Browser"),
                                 QStringLiteral("Opens Wordloom's home page in the web browser"));
  helpContentsAction_ = MakeAction(this, names::kHelpContents, QStringLiteral("&Contents"),
                               QStringLiteral("Shows the contents of the manual"), QKeySequence::HelpContents);
  helpSearchAction_ = MakeAction(this, names::kHelpSearch, QStringLiteral("&Search For Help On..."),
                             QStringLiteral("Looks up a keyword in the manual's index"));
  copyrightAction_ = MakeAction(this, names::kHelpCopyright, QStringLiteral("Copyright and &Legals"),
                                QStringLiteral("Shows the copyright and the licence"));
  aboutAction_ = MakeAction(this, names::kHelpAbout, QStringLiteral("&About Wordloom..."),
                            QStringLiteral("Shows the version of Wordloom"));
  // Saving and printing need an output: they wait for a project.
  for (QAction* action : {saveAction_, saveAsAction_, printPreviewAction_, printAction_}) action->setEnabled(false);
  for (QAction* toggle : {viewToolBarAction_, viewKeyWordsAction_, viewStatusBarAction_}) {
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }

  newAction_->setIcon(ThemeIcon("document-new", QStyle::SP_FileIcon));
  openAction_->setIcon(ThemeIcon("document-open", QStyle::SP_DialogOpenButton));
  saveAction_->setIcon(ThemeIcon("document-save", QStyle::SP_DialogSaveButton));
  printAction_->setIcon(ThemeIcon("document-print"));
  cutAction_->setIcon(ThemeIcon("edit-cut"));
  copyAction_->setIcon(ThemeIcon("edit-copy"));
  pasteAction_->setIcon(ThemeIcon("edit-paste"));
}

void MainWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QString::fromLatin1(names::kFileMenu));
  file->addActions({newAction_, openAction_});
  file->addSeparator();
  file->addActions({saveAction_, saveAsAction_});
  file->addSeparator();
  file->addActions({pageSetupAction_, printPreviewAction_, printAction_});
  file->addSeparator();
  fileMenu_ = file;
  exitSeparator_ = file->addSeparator();
  file->addAction(exitAction_);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QString::fromLatin1(names::kEditMenu));
  edit->addAction(undoAction_);
  edit->addSeparator();
  edit->addActions({cutAction_, copyAction_, pasteAction_});

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->setObjectName(QString::fromLatin1(names::kViewMenu));
  view->addAction(viewProjectAction_);
  view->addSeparator();
  view->addActions({viewToolBarAction_, viewKeyWordsAction_, viewStatusBarAction_});
  view->addSeparator();
  view->addActions({optionsAction_, webBrowserAction_});

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QString::fromLatin1(names::kHelpMenu));
  help->addActions({helpContentsAction_, helpSearchAction_});
  help->addSeparator();
  help->addActions({copyrightAction_, aboutAction_});
}

void MainWindow::CreateToolBars() {
  fileToolBar_ = addToolBar(QStringLiteral("Toolbar"));
  fileToolBar_->setObjectName(QString::fromLatin1(names::kToolBar));
  fileToolBar_->addActions({newAction_, openAction_, saveAction_, printAction_});
  fileToolBar_->addSeparator();
  fileToolBar_->addActions({cutAction_, copyAction_, pasteAction_});

  addToolBarBreak();
  keyWordsToolBar_ = addToolBar(QStringLiteral("KeyWords"));
  keyWordsToolBar_->setObjectName(QString::fromLatin1(names::kKeyWordsToolBar));
  keyWordsSummary_ = ResultBox(names::kKeyWordsSummary, keyWordsToolBar_);
  keyWordsSummary_->setMinimumWidth(150);
  keyWordsSummary_->setToolTip(QStringLiteral("The key words chosen"));
  keyWordsSummary_->setFocusPolicy(Qt::NoFocus);
  keyWordsButton_ = Button(names::kKeyWordsButton, QStringLiteral("KeyWords"), keyWordsToolBar_);
  keyWordsButton_->setToolTip(QStringLiteral("Chooses the key words"));
  listOrderBox_ = DropDown(names::kListOrder,
                           {{"Ascending Alphabetic Order", static_cast<int>(ListOrder::AscendingAlphabetic)},
                            {"Descending Alphabetic Order", static_cast<int>(ListOrder::DescendingAlphabetic)},
                            {"Increasing Frequency Order", static_cast<int>(ListOrder::IncreasingFrequency)},
                            {"Decreasing Frequency Order", static_cast<int>(ListOrder::DecreasingFrequency)},
                            {"Increasing Length Order", static_cast<int>(ListOrder::IncreasingLength)},
                            {"Decreasing Length Order", static_cast<int>(ListOrder::DecreasingLength)}},
                           keyWordsToolBar_);
  listOrderBox_->setToolTip(QStringLiteral("The order of word lists and of key-word concordances"));
  rhymeCheck_ = Check(names::kRhyme, QStringLiteral("Rhyme"), keyWordsToolBar_);
  rhymeCheck_->setToolTip(QStringLiteral("Orders words from their last letter"));
  keyWordsToolBar_->addWidget(keyWordsSummary_);
  keyWordsToolBar_->addWidget(keyWordsButton_);
  keyWordsToolBar_->addWidget(listOrderBox_);
  keyWordsToolBar_->addWidget(rhymeCheck_);
  keyWordsToolBar_->setEnabled(false);
}

void MainWindow::CreatePages() {
  pages_ = Named(new QTabWidget(this), names::kPages);
  concordancePage_ = new ConcordancePage(pages_);
  wordListPage_ = new WordListPage(pages_);
  profilePage_ = new ProfilePage(pages_);
  pages_->addTab(concordancePage_, QStringLiteral("Concordance"));
  pages_->addTab(wordListPage_, QStringLiteral("Word List"));
  pages_->addTab(profilePage_, QStringLiteral("Profile"));
  CreateAnalysisPages();
  CreatePlotPage();
  pages_->setEnabled(false);
  setCentralWidget(pages_);
  outputPanes_ = new OutputPanes(concordancePage_->pane(), wordListPage_->pane(), profilePage_->spectrumPane(),
                                 profilePage_->statisticsPane(), prompts_, this);
}

void MainWindow::CreateStatusBar() {
  statusBar()->setObjectName(QString::fromLatin1(names::kStatusBar));
  // The path and the title give way to the counts when the window is narrow.
  pathPanel_ = Named(new ElidedLabel(this), names::kPathPanel);
  titlePanel_ = Named(new ElidedLabel(this), names::kTitlePanel);
  countsPanel_ = Label(names::kCountsPanel, QString(), this);
  statusBar()->addWidget(pathPanel_, 1);
  statusBar()->addWidget(titlePanel_, 1);
  statusBar()->addWidget(countsPanel_);
  progressBar_ = Named(new QProgressBar(this), names::kProgressBar);
  progressBar_->setMaximumWidth(160);
  progressBar_->setVisible(false);
  statusBar()->addPermanentWidget(progressBar_);
}

void MainWindow::ConnectCommands() {
  ProjectCommands* project = projectCommands_;
  connect(newAction_, &QAction::triggered, project, &ProjectCommands::NewProject);
  connect(openAction_, &QAction::triggered, project, &ProjectCommands::Open);
  connect(viewProjectAction_, &QAction::triggered, project, &ProjectCommands::EditProject);
  connect(keyWordsButton_, &QPushButton::clicked, project, &ProjectCommands::ShowKeyWords);
  connect(concordancePage_, &ConcordancePage::keyWordsDialogRequested, project, &ProjectCommands::ShowKeyWords);
  connect(profilePage_, &ProfilePage::keyWordsDialogRequested, project, &ProjectCommands::ShowKeyWords);
  connect(project, &ProjectCommands::projectOpened, this, [this](const QString& statusPath) {
    ClearOutputs();
    ShowOpenedProject(statusPath);
  });
  connect(project, &ProjectCommands::newProjectTaken, this, &MainWindow::ShowNewProjectTaken);
  connect(project, &ProjectCommands::projectAccepted, this, [this](const QString& statusPath) {
    ShowProjectReady();
    ShowKeyWordsSummary();
    ShowStatus(statusPath);
  });
  connect(project, &ProjectCommands::projectScanned, this, [this] {
    wordListPage_->table()->clear();  // its rows were positions in the vocabulary the scan replaced
    ClearAnalyses();  // and theirs
    ShowStatus(ProjectText(session_.project.Title));
    ShowKeyWordsSummary();
  });
  for (auto changed : {&ProjectCommands::projectOpened, &ProjectCommands::projectAccepted,
                       &ProjectCommands::newProjectTaken}) {
    connect(project, changed, this, [this] { indexKeeper_->Forget(); });
  }
  connect(project, &ProjectCommands::projectScanned, this, [this] { indexKeeper_->Forget(); });
  connect(project, &ProjectCommands::keyWordsChanged, this, &MainWindow::ShowKeyWordsSummary);
  connect(project, &ProjectCommands::recentProjectsChanged, this, &MainWindow::UpdateRecentProjects);
  connect(project, &ProjectCommands::errorReportCleared, this, &MainWindow::ClearErrorReport);
  connect(project, &ProjectCommands::errorReportChanged, this, &MainWindow::ShowErrorReport);
  connect(project, &ProjectCommands::textFileOpenFinished, this, &MainWindow::textFileOpenFinished);

  connect(saveAction_, &QAction::triggered, this, [this] {
    if (OutputShown()) outputPanes_->Save(ShownPane());
  });
  connect(saveAsAction_, &QAction::triggered, saveAction_, &QAction::trigger);
  connect(pageSetupAction_, &QAction::triggered, outputPanes_, &OutputPanes::SetUpPage);
  connect(printPreviewAction_, &QAction::triggered, this, [this] {
    if (OutputShown()) outputPanes_->PrintPreview(ShownPane());
  });
  connect(printAction_, &QAction::triggered, this, [this] {
    if (OutputShown()) outputPanes_->Print(ShownPane());
  });
  connect(exitAction_, &QAction::triggered, this, &QWidget::close);
  connect(undoAction_, &QAction::triggered, this, [this] { EditCommand("undo"); });
  connect(cutAction_, &QAction::triggered, this, [this] { EditCommand("cut"); });
  connect(copyAction_, &QAction::triggered, this, [this] { EditCommand("copy"); });
  connect(pasteAction_, &QAction::triggered, this, [this] { EditCommand("paste"); });
  for (QAction* toggle : {viewToolBarAction_, viewKeyWordsAction_, viewStatusBarAction_}) {
    connect(toggle, &QAction::triggered, this, &MainWindow::ShowToolBars);
  }
  connect(optionsAction_, &QAction::triggered, this, &MainWindow::ShowOptions);
  connect(webBrowserAction_, &QAction::triggered, this, &MainWindow::OpenWebBrowser);
  connect(helpContentsAction_, &QAction::triggered, this, [this] { ShowHelp(false); });
  connect(helpSearchAction_, &QAction::triggered, this, [this] { ShowHelp(true); });
  connect(copyrightAction_, &QAction::triggered, this, &MainWindow::ShowCopyright);
  connect(aboutAction_, &QAction::triggered, this, &MainWindow::ShowAbout);

  connect(concordancePage_, &ConcordancePage::kwicRequested, this, [this] { RunConcordancePass(false); });
  connect(concordancePage_, &ConcordancePage::lineRequested, this, [this] { RunConcordancePass(true); });
  connect(concordancePage_, &ConcordancePage::stopRequested, runner_, &PassRunner::Stop);
  HitTablePanel* table = concordancePage_->table();
  connect(table, &HitTablePanel::arrangeRequested, this, &MainWindow::ArrangeHitTable);
  connect(table, &HitTablePanel::exportRequested, this, &MainWindow::ExportHitTable);
  connect(table, &HitTablePanel::hitActivated, this, &MainWindow::OpenHit);
  connect(wordListPage_, &WordListPage::wordListRequested, this, &MainWindow::RunWordList);
  WordTablePanel* words = wordListPage_->table();
  connect(words, &WordTablePanel::filterChanged, this, &MainWindow::FilterWordTable);
  connect(words, &WordTablePanel::stopRequested, runner_, &PassRunner::Stop);
  connect(words, &WordTablePanel::exportRequested, this, &MainWindow::ExportWordTable);
  connect(words, &WordTablePanel::wordActivated, this, &MainWindow::RunWordConcordance);
  connect(profilePage_, &ProfilePage::profileRequested, this, &MainWindow::RunProfile);
  connect(runner_, &PassRunner::started, this, [this](bool stoppable) { SetBusy(true, stoppable); });
  connect(runner_, &PassRunner::finished, this, [this] { SetBusy(false, false); });
  connect(runner_, &PassRunner::progress, this, [this](int permille) {
    if (permille < 0) {
      progressBar_->setRange(0, 0);
    } else {
      progressBar_->setRange(0, 1000);
      progressBar_->setValue(permille);
    }
  });
  ConnectAnalyses();
  ConnectPlot();
}

void MainWindow::Load() {
  if (!settings_.HasCurrentLayout()) {
    settings_.ResetLayout();
    SaveOptions(settings_.ReadOptions());  // the Options dialog's defaults
    settings_.WriteGeometry(FirstPlace());
  }
  PlaceWindow();
  tempDir_ = settings_.TempDir();
  LoadOptions();
  concordancePage_->SetKeys(QString());
  keyWordsSummary_->clear();
  viewToolBarAction_->setChecked(true);
  ShowToolBars();
  UpdateRecentProjects();
  settings_.Sync();
  concordancePage_->FocusKeys();
}

// The first place of the window: two thirds of the screen's free area, centred in it.
QRect MainWindow::FirstPlace() const {
  const QScreen* screen = QApplication::primaryScreen();
  if (!screen) return QRect(0, 0, 760, 560);
  const QRect free = screen->availableGeometry();
  QRect place(0, 0, free.width() * 2 / 3, free.height() * 2 / 3);
  place.moveCenter(free.center());
  return place;
}

// The stored place is that of the window's inside (without its frame), as closing stores it,
// so the window opens exactly where it was closed; a place on no screen is moved to the first.
void MainWindow::PlaceWindow() {
  QRect place = settings_.ReadGeometry();
  const QScreen* screen = QApplication::screenAt(place.center());
  if (!screen && QApplication::primaryScreen()) place.moveCenter(FirstPlace().center());
  setGeometry(place);
}

void MainWindow::LoadOptions() {
  options_ = settings_.ReadOptions();
  if (optionsDialog_) optionsDialog_->SetValues(options_);
  const OptionValues shown = AsOptionButtons(options_);
  contextWidth_ = ContextWidthOf(shown.context);
  startUpOutput_ = StartUpOutputOf(shown);
}

void MainWindow::SaveOptions(const OptionValues& values) {
  settings_.WriteOptions(values);
  settings_.Sync();
  LoadOptions();
}

void MainWindow::ShowToolBars() {
  fileToolBar_->setVisible(viewToolBarAction_->isChecked());
  keyWordsToolBar_->setVisible(viewKeyWordsAction_->isChecked());
  statusBar()->setVisible(viewStatusBarAction_->isChecked());
}

bool MainWindow::IsRunning() const { return runner_->IsRunning(); }

void MainWindow::StartIndexedPass(const char* operation, bool stoppable, PassRunner::Pass pass, PassRunner::Done done) {
  indexKeeper_->Then(this, [this, operation, stoppable, pass = std::move(pass), done = std::move(done)] {
    runner_->Start(operation, stoppable, pass, done);
  });
}

// A concordance ends at its next check; a scan runs to its end. The pass's result goes with
// the window.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (runner_->IsRunning()) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    runner_->Abandon();
    QApplication::restoreOverrideCursor();
  }
  SaveOnClose();
  projectCommands_->HideDialogs();
  for (QWidget* window : std::initializer_list<QWidget*>{helpWindow_, errorReportWindow_, fileView_}) {
    if (window) window->hide();
  }
  event->accept();
}

void MainWindow::SaveOnClose() {
  if (isMinimized()) return;
  settings_.WriteGeometry(geometry());
  settings_.WriteOptions(options_);
  settings_.Sync();
}

void MainWindow::ShowOptions() {
  if (!optionsDialog_) {
    optionsDialog_ = new OptionsDialog(this);
    optionsDialog_->setWindowModality(Qt::ApplicationModal);
    connect(optionsDialog_, &OptionsDialog::applyRequested, this, &MainWindow::SaveOptions);
  }
  LoadOptions();
  optionsDialog_->show();
  optionsDialog_->raise();
}

void MainWindow::ShowHelp(bool index) {
  const QString folder = FindDataFile(QStringLiteral("help"));
  if (folder.isEmpty()) {
    prompts_.Message(this, QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
    return;
  }
  if (!helpWindow_) helpWindow_ = new HelpWindow(folder, this);
  index ? helpWindow_->ShowIndex() : helpWindow_->ShowContents();
}

void MainWindow::ShowCopyright() {
  if (!copyrightWindow_) copyrightWindow_ = new CopyrightWindow(this);
  QString error;
  if (!copyrightWindow_->LoadRtfFile(FindDataFile(QStringLiteral("copyrigh.rtf")), error)) {
    prompts_.Message(this, error, MessageKind::Warning);
    return;
  }
  copyrightWindow_->show();
  copyrightWindow_->raise();
}

void MainWindow::ShowAbout() {
  auto* about = new AboutDialog(prompts_, this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
}

void MainWindow::OpenWebBrowser() {
  const QString home = FindDataFile(QStringLiteral("help/index.html"));
  if (home.isEmpty()) {
    prompts_.Message(this, QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
    return;
  }
  if (!prompts_.OpenUrl(QUrl::fromLocalFile(home))) {
    prompts_.Message(this, QStringLiteral("Could not start a web browser for %1.").arg(home), MessageKind::Warning);
  }
}

// Editing acts on text boxes; the panes and the tables are read-only, so only Copy reaches them.
void MainWindow::EditCommand(const char* slot) {
  QWidget* focused = QApplication::focusWidget();
  const bool pane = qobject_cast<OutputPane*>(focused) != nullptr || qobject_cast<RowTableView*>(focused) != nullptr;
  if (qobject_cast<QLineEdit*>(focused) || qobject_cast<QPlainTextEdit*>(focused) ||
      (pane && qstrcmp(slot, "copy") == 0)) {
    QMetaObject::invokeMethod(focused, slot);
  }
}

// What the window shows of the session.

void MainWindow::OpenPath(const QString& path) { projectCommands_->OpenPath(path); }

QString MainWindow::ProjectText(const std::string& bytes) const {
  return DecodeText(bytes, session_.project.rules.encoding);
}

void MainWindow::ShowOpenedProject(const QString& statusPath) {
  concordancePage_->SetCitationLetters(ProjectText(ReferenceLetterBoxText(session_.scan.references)));
  ShowProjectReady();
  pages_->setCurrentIndex(startUpOutput_);
  ShowKeyWordsSummary();
  ShowStatus(statusPath);
  if (startUpOutput_ == 0) concordancePage_->FocusKeys();
}

// No output of the previous project is left on show.
void MainWindow::ShowNewProjectTaken(const QString& statusPath) {
  ClearOutputs();
  ShowProjectReady();
  concordancePage_->SetCitationLetters(ProjectText(ReferenceLetterBoxText(session_.scan.references)));
  ShowKeyWordsSummary();
  ShowStatus(statusPath);
}

void MainWindow::ShowProjectReady() {
  pages_->setEnabled(true);
  titlePanel_->setText(ProjectText(session_.project.Title));
  keyWordsToolBar_->setEnabled(true);
  UpdateOutputActions();
}

bool MainWindow::OutputShown() const {
  const QWidget* shown = pages_->currentWidget();
  return shown == concordancePage_ || shown == wordListPage_ || shown == profilePage_;
}

// Saving goes on during a pass, as each pane holds its own output file open; printing waits.
void MainWindow::UpdateOutputActions() {
  const bool output = pages_->isEnabled() && OutputShown();
  for (QAction* action : {saveAction_, saveAsAction_}) action->setEnabled(output);
  for (QAction* action : {printAction_, printPreviewAction_}) action->setEnabled(output && !busy_);
}

void MainWindow::ClearOutputs() {
  outputPanes_->ClearAll();
  concordancePage_->table()->clear();
  wordListPage_->table()->clear();
  if (fileView_) fileView_->Clear();
  wordListPage_->ShowCount(QString());
  concordancePage_->ShowCounts(QString());
  profilePage_->ShowTitle(QString());
  ClearAnalyses();
}

// The path panel shows a path or the title, the counts panel the project's counts.
void MainWindow::ShowStatus(const QString& shown) {
  const ProjectStatus status =
      wordloom::ShowProjectStatus(std::string(), static_cast<int64_t>(session_.project.Files.size()), session_.totals,
                                  session_.scan.state.physicalLineTotal);
  pathPanel_->setText(shown);
  countsPanel_->setText(ProjectText(status.counts));
}

void MainWindow::ShowKeyWordsSummary() {
  keyWordsSummary_->setText(ProjectText(wordloom::ShowKeyWordsSummary(session_.lists)));
}

void MainWindow::UpdateRecentProjects() {
  for (QAction* action : recentProjectActions_) fileMenu_->removeAction(action);
  qDeleteAll(recentProjectActions_);
  recentProjectActions_.clear();
  const QStringList recent = settings_.RecentProjects();
  for (qsizetype i = 0; i < recent.size(); ++i) {
    QString shown = recent[i];
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
    action->setObjectName(QString::fromLatin1(names::kRecentProjectPrefix) + QString::number(i + 1));
    action->setStatusTip(QStringLiteral("Opens %1").arg(recent[i]));
    action->setEnabled(!IsRunning());
    const QString path = recent[i];
    connect(action, &QAction::triggered, this, [this, path] { OpenPath(path); });
    fileMenu_->insertAction(exitSeparator_, action);
    recentProjectActions_ << action;
  }
}

void MainWindow::ShowErrorReport() {
  if (session_.scan.ErrorReportText.empty()) return;
  if (!errorReportWindow_) errorReportWindow_ = new ErrorReportWindow(this);
  errorReportWindow_->SetReport(session_.scan.ErrorReportText, session_.project.rules.encoding);
  errorReportWindow_->show();
}

void MainWindow::ClearErrorReport() {
  if (!errorReportWindow_) return;
  errorReportWindow_->hide();
  errorReportWindow_->SetReport(std::string(), TextEncoding::Windows1252);
}

}  // namespace wordloom::app
